#pragma once

#include <cstdint>

// The colouring settings of the panel, as a display uses them; a value type that a scene file
// keeps and that a display without a window takes.
struct DisplaySettings {
    std::int32_t mode = 2;  // 0 Vectors, 1 Velocity, 2 Vortex, 3 Dye
    std::uint8_t hueA = 0;  // hue of positive values
    std::uint8_t hueB = 43;  // hue of zero and negative values
    std::uint8_t saturation = 255;
    float coeffLin = 1.0f;  // value to lightness
    float coeffLog = 0.0f;
    std::uint8_t limitLight = 128;
    std::uint8_t limitOver = 9;
    bool isOver = false;
    bool isLog = false;
    bool isPositive = false;

    bool operator==(const DisplaySettings& o) const {
        return mode == o.mode && hueA == o.hueA && hueB == o.hueB && saturation == o.saturation &&
               coeffLin == o.coeffLin && coeffLog == o.coeffLog && limitLight == o.limitLight &&
               limitOver == o.limitOver && isOver == o.isOver && isLog == o.isLog &&
               isPositive == o.isPositive;
    }
    bool operator!=(const DisplaySettings& o) const { return !(*this == o); }
};

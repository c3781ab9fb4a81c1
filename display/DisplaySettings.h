#pragma once

#include <cstdint>

#include "DisplayMode.h"

// The colouring of the picture, as the panel sets it: what is shown, the hues and saturation of
// the two-hue colour rule, the scale from a value to a lightness, the lightness limit and the
// hue shift past it. One value, which the display holds and scene files keep.
struct DisplaySettings {
    DisplayMode mode = DisplayMode::Vortex;
    std::uint8_t hueA = 0;   // hue of positive values
    std::uint8_t hueB = 43;  // hue of zero and negative values
    std::uint8_t saturation = 255;
    float coeffLin = 1.0f;  // value to lightness
    // Lightness at which a value stops brightening.
    std::uint8_t limitLight = 128;
    // Largest hue shift past limitLight.
    std::uint8_t limitOver = 9;
    // Shift the hue of values past limitLight: forward when isPositive is set, backward otherwise.
    bool isOver = false;
    bool isPositive = false;

    bool operator==(const DisplaySettings& o) const {
        return mode == o.mode && hueA == o.hueA && hueB == o.hueB && saturation == o.saturation &&
               coeffLin == o.coeffLin && limitLight == o.limitLight && limitOver == o.limitOver &&
               isOver == o.isOver && isPositive == o.isPositive;
    }
    bool operator!=(const DisplaySettings& o) const { return !(*this == o); }
};

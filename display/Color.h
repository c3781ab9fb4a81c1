#pragma once

#include <cstdint>

// A colour by hue, saturation and lightness, one byte each. The hue runs round the colour circle
// in 256 steps: 0 red, about 43 yellow, 85 green, 128 cyan, 170 blue, 213 magenta, 255 red again.
struct ColorHSL {
    std::uint8_t alpha = 255;
    std::uint8_t hue = 0;
    std::uint8_t saturation = 0;
    std::uint8_t lightness = 0;
};

// A colour by red, green and blue, one byte each.
struct ColorRGB {
    std::uint8_t alpha = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// alpha << 24 | blue << 16 | green << 8 | red: in little-endian memory the bytes read red, green,
// blue, alpha, the layout of GL_RGBA pixels of type GL_UNSIGNED_BYTE.
constexpr std::uint32_t pack(const ColorRGB& c) {
    return static_cast<std::uint32_t>(c.alpha) << 24 | static_cast<std::uint32_t>(c.blue) << 16 |
           static_cast<std::uint32_t>(c.green) << 8 | static_cast<std::uint32_t>(c.red);
}

// Converts to red, green and blue with whole-number channel spans; alpha is copied. Full
// saturation at lightness 128 gives the pure hue with the two low channels at 1, not 0.
ColorRGB toRGB(const ColorHSL& c);

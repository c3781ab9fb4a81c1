#pragma once

#include <cstdint>

#include "ColorRGB.h"

// A colour by hue, saturation and lightness, one byte each. The hue runs round the colour circle
// in 256 steps: 0 red, about 43 yellow, 85 green, 128 cyan, 170 blue, 213 magenta, 255 red again.
struct ColorHSL {
    std::uint8_t alpha = 255;
    std::uint8_t hue = 0;
    std::uint8_t saturation = 0;
    std::uint8_t lightness = 0;
};

// Converts to red, green and blue with whole-number channel spans; alpha is copied. Full
// saturation at lightness 128 gives the pure hue with the two low channels at 1, not 0.
ColorRGB toRGB(const ColorHSL& c);

#pragma once

#include <cstdint>

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

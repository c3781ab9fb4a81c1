#include "ColorHSL.h"

namespace {

// Truncates toward zero and keeps the low 8 bits. Callers pass values in [0, 256).
std::uint8_t channel(float value) {
    return static_cast<std::uint8_t>(static_cast<int>(value));
}

}  // namespace

ColorRGB toRGB(const ColorHSL& c) {
    ColorRGB rgb;
    rgb.alpha = c.alpha;
    if (c.saturation == 0) {
        rgb.red = rgb.green = rgb.blue = c.lightness;
        return rgb;
    }

    // h = H * 6 / 255 in [0, 6): the sector is its whole part, the position in the sector the rest.
    float h = static_cast<float>(c.hue) * 6.0f / 255.0f;
    if (h == 6.0f) {
        h = 0.0f;
    }
    const float s = static_cast<float>(c.saturation) / 255.0f;
    const float l = static_cast<float>(c.lightness);
    const float sat = static_cast<float>(c.saturation);

    // Largest and smallest channel: L < 128: M = L (1 + s), m = L (1 - s);
    // otherwise M = L + S - L s, m = L (1 + s) - S.
    float high;
    float low;
    if (c.lightness < 128) {
        high = l * (1.0f + s);
        low = l * (1.0f - s);
    } else {
        high = l + sat - l * s;
        low = l * (1.0f + s) - sat;
    }
    // The span is truncated before use, so the rising and falling channels step by whole numbers.
    const float span = static_cast<float>(static_cast<int>(high - low));

    switch (static_cast<int>(h)) {
        case 0:
            rgb.red = channel(high);
            rgb.green = channel(low + h * span);
            rgb.blue = channel(low);
            break;
        case 1:
            rgb.red = channel(low + span * (2.0f - h));
            rgb.green = channel(high);
            rgb.blue = channel(low);
            break;
        case 2:
            rgb.red = channel(low);
            rgb.green = channel(high);
            rgb.blue = channel(low + span * (h - 2.0f));
            break;
        case 3:
            rgb.red = channel(low);
            rgb.green = channel(low + span * (4.0f - h));
            rgb.blue = channel(high);
            break;
        case 4:
            rgb.red = channel(low + span * (h - 4.0f));
            rgb.green = channel(low);
            rgb.blue = channel(high);
            break;
        default:
            rgb.red = channel(high);
            rgb.green = channel(low);
            rgb.blue = channel(low + span * (6.0f - h));
            break;
    }
    return rgb;
}

// The colour conversion, the packed word and the two-hue colour rule, on worked values.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "ColorHSL.h"
#include "DisplayTestSupport.h"

namespace {

struct Rgb {
    int red;
    int green;
    int blue;
};

::testing::AssertionResult hasChannels(const ColorRGB& c, Rgb expected) {
    if (c.red == expected.red && c.green == expected.green && c.blue == expected.blue) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got (" << int(c.red) << ", " << int(c.green) << ", "
                                         << int(c.blue) << "), expected (" << expected.red << ", "
                                         << expected.green << ", " << expected.blue << ")";
}

ColorHSL hsl(std::uint8_t hue, std::uint8_t saturation, std::uint8_t lightness) {
    return ColorHSL{0, hue, saturation, lightness};
}

}  // namespace

TEST(ToRgb, ConvertsWorkedColours) {
    struct Case {
        ColorHSL in;
        Rgb out;
    };
    const Case cases[] = {
        {hsl(0, 255, 128), {255, 1, 1}},  // full saturation at 128: the low channels are 1
        {hsl(0, 255, 64), {128, 0, 0}},
        {hsl(43, 255, 64), {126, 128, 0}},  // h = 258 / 255, rounded to a float, not 1
        {hsl(9, 255, 128), {255, 54, 1}},
        {hsl(247, 255, 128), {255, 1, 48}},
        {hsl(85, 255, 128), {1, 255, 1}},
        {hsl(255, 255, 128), {255, 1, 1}},  // h = 6 is taken as 0
        {hsl(170, 255, 128), {1, 1, 255}},
        {hsl(0, 0, 77), {77, 77, 77}},  // no saturation: grey
        {hsl(200, 0, 0), {0, 0, 0}},
        // Partial saturation: s = S / 255 and both extremes are single-precision values.
        {hsl(0, 65, 51), {64, 37, 37}},
        {hsl(0, 65, 102), {128, 75, 75}},
        {hsl(43, 100, 200), {220, 221, 178}},
        {hsl(170, 60, 150), {125, 125, 174}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(hasChannels(toRGB(c.in), c.out))
            << "hue " << int(c.in.hue) << " saturation " << int(c.in.saturation) << " lightness "
            << int(c.in.lightness);
    }
}

TEST(ToRgb, CarriesAlphaThrough) {
    EXPECT_EQ(toRGB(ColorHSL{0, 10, 255, 100}).alpha, 0);
    EXPECT_EQ(toRGB(ColorHSL{200, 10, 255, 100}).alpha, 200);
    EXPECT_EQ(toRGB(ColorHSL{37, 10, 0, 100}).alpha, 37);
}

TEST(Pack, PutsRedInTheLowByteAndAlphaInTheHighByte) {
    EXPECT_EQ(pack(ColorRGB{0, 128, 0, 0}), 0x00000080u);
    EXPECT_EQ(pack(ColorRGB{0x44, 0x11, 0x22, 0x33}), 0x44332211u);
}

// The rule on worked values, with the initial settings (hue 0 for colorA, coefficient 1,
// limitLight 128, saturation 255, no hue shift) and with some of them changed.
TEST(ColourRule, WorkedValues) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Settings {
        std::uint8_t hueA = 0;
        float coeff = 1.0f;
        std::uint8_t limit = 128;
        std::uint8_t saturation = 255;
        bool over = false;
        bool positive = false;
    };
    const Settings over{0, 1.0f, 128, 255, true, true};
    const Settings green{85, 2.0f};
    const Settings grey{0, 1.0f, 128, 0};
    const struct {
        Settings settings;
        float value;
        Rgb out;
    } cases[] = {
        {{}, 0.0f, {0, 0, 0}},
        {{}, 64.0f, {128, 0, 0}},
        {{}, 127.9f, {254, 0, 0}},
        {{}, 128.0f, {255, 1, 1}},
        {{}, 200.0f, {255, 1, 1}},
        {{}, 1000.0f, {255, 1, 1}},
        {{}, -64.0f, {126, 128, 0}},
        {{}, -300.0f, {252, 255, 1}},
        // Past the limit the hue turns one step per level, at most limitOver = 9 steps.
        {over, 200.0f, {255, 54, 1}},                              // hue 0 + 9
        {over, 130.0f, {255, 12, 1}},                              // hue 0 + 2
        {over, 128.0f, {255, 1, 1}},                               // no shift at the limit
        {{0, 1.0f, 128, 255, true, false}, 200.0f, {255, 1, 48}},  // hue 0 - 9 = 247
        {green, 64.0f, {1, 255, 1}},                               // level 128: pure green
        {{85, 2.0f, 64}, 1000.0f, {0, 128, 0}},                    // held at 64
        {grey, 40.0f, {40, 40, 40}},
        {grey, -40.0f, {40, 40, 40}},
        // Values that reach the rule from a blown-up field: each gets a defined colour. NaN is
        // not above 0, so it takes colorB, at level 0: black, as grey shows.
        {{}, inf, {255, 1, 1}},
        {{}, -inf, {252, 255, 1}},
        {{}, 3.0e38f, {255, 1, 1}},
        {{}, nan, {0, 0, 0}},
        {grey, nan, {0, 0, 0}},
        {over, inf, {255, 54, 1}},  // the shift capped by limitOver, however large the value
        // The panel never sends a negative coefficient; if one came, levels would stay at 0.
        {{0, -1.0f}, 64.0f, {0, 0, 0}},
        {{0, -1.0f}, -64.0f, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        displaytest::HeadlessDisplay display(3, 3);
        display.settings.hueA = c.settings.hueA;
        display.settings.coeffLin = c.settings.coeff;
        display.settings.limitLight = c.settings.limit;
        display.settings.saturation = c.settings.saturation;
        display.settings.isOver = c.settings.over;
        display.settings.isPositive = c.settings.positive;
        const ColorRGB rgb = display.valueToColor(c.value);
        EXPECT_TRUE(hasChannels(rgb, c.out))
            << "value " << c.value << ", hue " << int(c.settings.hueA) << ", coefficient "
            << c.settings.coeff;
        EXPECT_EQ(rgb.alpha, 0) << "value " << c.value;
    }
}

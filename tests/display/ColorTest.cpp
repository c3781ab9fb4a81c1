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

TEST(ColourRule, InitialSettings) {
    const displaytest::HeadlessDisplay display(3, 3);
    struct Case {
        float value;
        Rgb out;
    };
    const Case cases[] = {
        {0.0f, {0, 0, 0}},       {64.0f, {128, 0, 0}},     {127.9f, {254, 0, 0}},
        {128.0f, {255, 1, 1}},   {200.0f, {255, 1, 1}},    {1000.0f, {255, 1, 1}},
        {-64.0f, {126, 128, 0}}, {-300.0f, {252, 255, 1}},
    };
    for (const Case& c : cases) {
        const ColorRGB rgb = display.valueToColor(c.value);
        EXPECT_TRUE(hasChannels(rgb, c.out)) << "value " << c.value;
        EXPECT_EQ(rgb.alpha, 0) << "value " << c.value;
    }
}

TEST(ColourRule, HueShiftPastTheLimit) {
    displaytest::HeadlessDisplay display(3, 3);
    display.setIsOver(true);
    display.setIsPositive(true);
    EXPECT_TRUE(hasChannels(display.valueToColor(200.0f), {255, 54, 1}));  // hue 0 + 9
    EXPECT_TRUE(hasChannels(display.valueToColor(130.0f), {255, 12, 1}));  // hue 0 + 2
    EXPECT_TRUE(hasChannels(display.valueToColor(128.0f), {255, 1, 1}));   // no shift at the limit

    display.setIsPositive(false);
    EXPECT_TRUE(hasChannels(display.valueToColor(200.0f), {255, 1, 48}));  // hue 0 - 9 = 247
}

TEST(ColourRule, FollowsTheSettings) {
    displaytest::HeadlessDisplay display(3, 3);
    display.setHueColorA(85);
    display.setCoeffLin(2.0f);
    EXPECT_TRUE(hasChannels(display.valueToColor(64.0f), {1, 255, 1}));  // level 128: pure green

    display.setLimitLight(64);
    EXPECT_TRUE(hasChannels(display.valueToColor(1000.0f), {0, 128, 0}));  // held at 64

    display.setColorSaturation(0);
    display.setCoeffLin(1.0f);
    EXPECT_TRUE(hasChannels(display.valueToColor(40.0f), {40, 40, 40}));
    EXPECT_TRUE(hasChannels(display.valueToColor(-40.0f), {40, 40, 40}));
}

// Values that reach the rule from a blown-up field: each gets a defined colour.
TEST(ColourRule, NonFiniteValues) {
    displaytest::HeadlessDisplay display(3, 3);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(hasChannels(display.valueToColor(inf), {255, 1, 1}));
    EXPECT_TRUE(hasChannels(display.valueToColor(-inf), {252, 255, 1}));
    EXPECT_TRUE(hasChannels(display.valueToColor(3.0e38f), {255, 1, 1}));

    // NaN is not above 0, so it takes colorB, at level 0: black. Grey shows the level directly.
    EXPECT_TRUE(hasChannels(display.valueToColor(nan), {0, 0, 0}));
    display.setColorSaturation(0);
    EXPECT_TRUE(hasChannels(display.valueToColor(nan), {0, 0, 0}));

    // Past the limit the shift is capped by limitOver, however large the value.
    display.setColorSaturation(255);
    display.setIsOver(true);
    display.setIsPositive(true);
    EXPECT_TRUE(hasChannels(display.valueToColor(inf), {255, 54, 1}));
}

// The panel never sends a negative coefficient; if one came, levels would stay at 0.
TEST(ColourRule, NegativeCoefficientGivesBlack) {
    displaytest::HeadlessDisplay display(3, 3);
    display.setCoeffLin(-1.0f);
    EXPECT_TRUE(hasChannels(display.valueToColor(64.0f), {0, 0, 0}));
    EXPECT_TRUE(hasChannels(display.valueToColor(-64.0f), {0, 0, 0}));
}

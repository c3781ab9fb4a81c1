// DisplayField without OpenGL: initial settings, the three fills and the choice of drawing.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ColorHSL.h"
#include "DisplayField.h"
#include "VectorField.h"

namespace {

constexpr int kSize = 100;

// Records which drawing operation draw() chose.
class RecordingDisplay final : public DisplayField {
public:
    enum class Drawn { None, Vectors, Vortex, Velocity };
    Drawn drawn = Drawn::None;

    RecordingDisplay() : DisplayField(kSize, kSize) {}
    void drawVectors() override { drawn = Drawn::Vectors; }
    void drawVortex() override { drawn = Drawn::Vortex; }
    void drawVelocity() override { drawn = Drawn::Velocity; }
    void drawDye() override {}
};

// Element of colors, and first vertex, of cell (i, j): x-major order.
std::size_t cellIndex(int i, int j) {
    return static_cast<std::size_t>(i) * kSize + j;
}

// Every cell moving, differently, so that no colour or segment is left at its start value.
void stir(VectorField& field) {
    for (int j = 0; j < field.height; ++j) {
        for (int i = 0; i < field.width; ++i) {
            const float x = static_cast<float>(i);
            const float y = static_cast<float>(j);
            field.set(i, j, Vec2(0.03f * x - 0.01f * y * y, 0.5f + 0.02f * x * y));
        }
    }
}

// The vertex positions as x, y, x, y, ...
std::vector<float> endPositions(const DisplayField& d) {
    std::vector<float> ends;
    for (const VectorVertex& v : d.vertices) {
        ends.push_back(v.position.x);
        ends.push_back(v.position.y);
    }
    return ends;
}

}  // namespace

TEST(DisplayField, StartsWithThePanelDefaults) {
    const RecordingDisplay d;
    EXPECT_EQ(d.width, kSize);
    EXPECT_EQ(d.height, kSize);
    EXPECT_EQ(d.colors.size(), 10000u);
    EXPECT_EQ(d.vertexCount, 20000);
    EXPECT_EQ(d.vertices.size(), 20000u);
    EXPECT_EQ(d.settings.mode, DisplayMode::Vortex);
    EXPECT_FLOAT_EQ(d.extentX, 100.0f);
    EXPECT_FLOAT_EQ(d.extentY, 100.0f);
    EXPECT_EQ(d.settings.hueA, 0);
    EXPECT_EQ(d.settings.hueB, 43);
    EXPECT_EQ(d.settings.saturation, 255);
    // The rule's colours carry alpha 0, whatever the value.
    EXPECT_EQ(d.valueToColor(64.0f).alpha, 0);
    EXPECT_EQ(d.valueToColor(-64.0f).alpha, 0);
    EXPECT_FLOAT_EQ(d.settings.coeffLin, 1.0f);
    EXPECT_EQ(d.settings.limitLight, 128);
    EXPECT_EQ(d.settings.limitOver, 9);
    EXPECT_FALSE(d.settings.isOver);
    EXPECT_FALSE(d.settings.isPositive);
    for (std::uint32_t word : d.colors) {
        ASSERT_EQ(word, 0u);
    }
    for (const VectorVertex& v : d.vertices) {
        ASSERT_EQ(v.position.x, 0.0f);
        ASSERT_EQ(v.position.y, 0.0f);
        ASSERT_EQ(pack(v.color), 0u);
    }
}

TEST(DisplayField, SaturationSetsBothColours) {
    RecordingDisplay d;
    d.settings.saturation = 0;
    // Grey on both sides of zero: the one saturation is that of both hues.
    for (const float value : {77.0f, -77.0f}) {
        const ColorRGB c = d.valueToColor(value);
        EXPECT_EQ(c.red, 77);
        EXPECT_EQ(c.green, 77);
        EXPECT_EQ(c.blue, 77);
    }
}

TEST(DisplayField, DrawChoosesByMode) {
    RecordingDisplay d;
    d.draw();
    EXPECT_EQ(d.drawn, RecordingDisplay::Drawn::Vortex);
    d.settings.mode = DisplayMode::Velocity;
    d.draw();
    EXPECT_EQ(d.drawn, RecordingDisplay::Drawn::Velocity);
    d.settings.mode = DisplayMode::Vectors;
    d.draw();
    EXPECT_EQ(d.drawn, RecordingDisplay::Drawn::Vectors);
    d.settings.mode = DisplayMode::Vortex;
    d.draw();
    d.settings.mode = static_cast<DisplayMode>(7);
    d.draw();
    EXPECT_EQ(d.drawn, RecordingDisplay::Drawn::Vectors);
}

TEST(VortexFill, OuterRingIsBlackWhateverTheVelocity) {
    VectorField field(kSize, kSize);
    stir(field);
    RecordingDisplay d;
    d.fill(field, 100.0f, 100.0f);
    for (int n = 0; n < kSize; ++n) {
        EXPECT_EQ(d.colors[cellIndex(n, 0)], 0u) << "top, column " << n;
        EXPECT_EQ(d.colors[cellIndex(n, kSize - 1)], 0u) << "bottom, column " << n;
        EXPECT_EQ(d.colors[cellIndex(0, n)], 0u) << "left, row " << n;
        EXPECT_EQ(d.colors[cellIndex(kSize - 1, n)], 0u) << "right, row " << n;
    }
    // The stirred field has curl inside, so the interior is not left black.
    EXPECT_NE(d.colors[cellIndex(1, 1)], 0u);
}

TEST(VortexFill, CurlOverTwoCellsDividedBySpacing) {
    VectorField field(kSize, kSize);
    // Around cell (40, 60): w = (0.5 - (-0.25)) * 98 - (0.125 - (-0.375)) * 98 = 73.5 - 49 = 24.5,
    // level 24, red hue: (48, 0, 0).
    field.set(41, 60, Vec2(7.0f, 0.5f));
    field.set(39, 60, Vec2(-3.0f, -0.25f));
    field.set(40, 61, Vec2(0.125f, 5.0f));
    field.set(40, 59, Vec2(-0.375f, -9.0f));
    field.set(40, 60, Vec2(100.0f, 100.0f));  // the cell's own velocity plays no part
    RecordingDisplay d;
    d.fill(field, 100.0f, 100.0f);
    EXPECT_EQ(d.colors[cellIndex(40, 60)], pack(ColorRGB{0, 48, 0, 0}));
    // Cell (60, 40), where the order would put it if it were row-major, has no curl.
    EXPECT_EQ(d.colors[cellIndex(60, 40)], 0u);
}

TEST(VortexFill, NegativeCurlTakesTheSecondHue) {
    VectorField field(kSize, kSize);
    field.set(51, 50, Vec2(0.0f, -0.5f));  // w = -0.5 * 98 = -49: yellow at level 49
    RecordingDisplay d;
    d.fill(field, 100.0f, 100.0f);
    EXPECT_EQ(d.colors[cellIndex(50, 50)], pack(d.valueToColor(-49.0f)));
    EXPECT_EQ(d.colors[cellIndex(50, 50)], pack(toRGB(ColorHSL{0, 43, 255, 49})));
}

TEST(VelocityFill, ShowsTheSpeedAndBlackAtRest) {
    VectorField field(kSize, kSize);
    field.set(7, 3, Vec2(30.0f, -40.0f));  // speed 50: (100, 0, 0)
    RecordingDisplay d;
    d.settings.mode = DisplayMode::Velocity;
    d.fill(field, 100.0f, 100.0f);
    EXPECT_EQ(d.colors[cellIndex(7, 3)], pack(ColorRGB{0, 100, 0, 0}));
    EXPECT_EQ(d.colors[cellIndex(3, 7)], 0u);
    EXPECT_EQ(d.colors[cellIndex(50, 50)], 0u);
}

TEST(VectorsFill, SegmentFromTheCellCornerAlongTheVelocity) {
    VectorField field(kSize, kSize);
    field.set(10, 20, Vec2(3.0f, 0.0f));
    RecordingDisplay d;
    d.settings.mode = DisplayMode::Vectors;
    d.fill(field, 100.0f, 100.0f);
    const std::size_t k = cellIndex(10, 20);
    EXPECT_FLOAT_EQ(d.vertices[2 * k].position.x, 10.0f);
    EXPECT_FLOAT_EQ(d.vertices[2 * k].position.y, 20.0f);
    EXPECT_FLOAT_EQ(d.vertices[2 * k + 1].position.x, 13.0f);
    EXPECT_FLOAT_EQ(d.vertices[2 * k + 1].position.y, 20.0f);
    EXPECT_EQ(pack(d.vertices[2 * k].color), pack(ColorRGB{255, 0, 0, 0}));
    EXPECT_EQ(pack(d.vertices[2 * k + 1].color), pack(ColorRGB{255, 0, 0, 0}));
    // A cell at rest: a segment of zero length at its corner.
    const std::size_t rest = cellIndex(20, 10);
    EXPECT_FLOAT_EQ(d.vertices[2 * rest].position.x, 20.0f);
    EXPECT_FLOAT_EQ(d.vertices[2 * rest].position.y, 10.0f);
    EXPECT_FLOAT_EQ(d.vertices[2 * rest + 1].position.x, 20.0f);
    EXPECT_FLOAT_EQ(d.vertices[2 * rest + 1].position.y, 10.0f);
}

TEST(VectorsFill, ExtentsComeVerticalFirst) {
    VectorField field(kSize, kSize);
    field.set(10, 20, Vec2(1.0f, 2.0f));
    RecordingDisplay d;
    d.settings.mode = DisplayMode::Vectors;
    d.fill(field, 50.0f, 200.0f);  // extentY 50, extentX 200: cells 2 wide, 0.5 high
    EXPECT_FLOAT_EQ(d.extentY, 50.0f);
    EXPECT_FLOAT_EQ(d.extentX, 200.0f);
    const std::size_t k = cellIndex(10, 20);
    EXPECT_FLOAT_EQ(d.vertices[2 * k].position.x, 20.0f);
    EXPECT_FLOAT_EQ(d.vertices[2 * k].position.y, 10.0f);
    // The velocity is added unscaled.
    EXPECT_FLOAT_EQ(d.vertices[2 * k + 1].position.x, 21.0f);
    EXPECT_FLOAT_EQ(d.vertices[2 * k + 1].position.y, 12.0f);
}

TEST(VectorsFill, AnyOtherModeFillsAsVectors) {
    VectorField field(kSize, kSize);
    field.set(10, 20, Vec2(3.0f, 0.0f));
    RecordingDisplay d;
    d.settings.mode = static_cast<DisplayMode>(7);
    d.fill(field, 100.0f, 100.0f);
    EXPECT_FLOAT_EQ(d.vertices[2 * cellIndex(10, 20) + 1].position.x, 13.0f);
    EXPECT_EQ(d.colors[cellIndex(10, 20)], 0u);
}

TEST(Fill, LeavesTheOtherModesArrayUntouched) {
    VectorField stirred(kSize, kSize);
    stir(stirred);
    VectorField other(kSize, kSize);
    other.set(30, 30, Vec2(5.0f, 5.0f));
    RecordingDisplay d;

    d.settings.mode = DisplayMode::Velocity;
    d.fill(stirred, 100.0f, 100.0f);
    const std::vector<std::uint32_t> colors = d.colors;
    d.settings.mode = DisplayMode::Vectors;
    d.fill(other, 100.0f, 100.0f);
    EXPECT_EQ(d.colors, colors) << "Vectors rewrote the colours";

    const std::vector<float> ends = endPositions(d);
    for (int mode : {1, 2}) {
        d.settings.mode = static_cast<DisplayMode>(mode);
        d.fill(stirred, 100.0f, 100.0f);
        EXPECT_EQ(endPositions(d), ends) << "mode " << mode << " rewrote the vertices";
    }
}

TEST(Fill, FieldOfAnotherSizeChangesNothing) {
    VectorField wrong(kSize + 1, kSize);
    stir(wrong);
    RecordingDisplay d;
    for (int mode : {0, 1, 2}) {
        d.settings.mode = static_cast<DisplayMode>(mode);
        d.fill(wrong, 50.0f, 50.0f);
    }
    EXPECT_FLOAT_EQ(d.extentX, 100.0f);
    EXPECT_FLOAT_EQ(d.extentY, 100.0f);
    for (std::uint32_t word : d.colors) {
        ASSERT_EQ(word, 0u);
    }
    for (const VectorVertex& v : d.vertices) {
        ASSERT_EQ(v.position.x, 0.0f);
        ASSERT_EQ(v.position.y, 0.0f);
    }
}

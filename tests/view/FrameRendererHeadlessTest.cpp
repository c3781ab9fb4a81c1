// Frames rendered with no window system at all (the test's main removes DISPLAY): every grid,
// the obstacle outline where the view draws it whatever the grid, the same PNG bytes from every
// renderer and after other frames; and the sides that the renderer refuses.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <memory>

#include "DisplayMode.h"
#include "DisplaySettings.h"
#include "FrameRenderer.h"
#include "Simulation.h"

namespace {

// A fluid of n cells a side, stirred and dyed along its middle row past the triangle
// (20, 20), (70, 20), (45, 70) in hundredths of the grid, with two corners of another collected.
std::unique_ptr<Simulation> stirredFluid(int n) {
    auto sim = std::make_unique<Simulation>([] { return std::int64_t{0}; }, n);
    const auto cell = [n](int hundredths) { return hundredths * n / 100; };
    const int corners[][2] = {{20, 20}, {70, 20}, {45, 70}, {15, 85}, {60, 90}};
    for (const auto& c : corners) {
        sim->apply(Operation::corner(cell(c[0]), cell(c[1])));
        if (sim->corners().size() == 3) {
            sim->apply(Operation::buildObstacle());
        }
    }
    sim->apply(Operation::beginDrag());
    for (int x = 10; x < 90; x += 5) {
        sim->apply(Operation::stir(cell(x), cell(50), Vec2(2500.0f, 0.0f)));
        const float y = static_cast<float>(cell(50));
        sim->apply(Operation::pourDye(Vec2(static_cast<float>(cell(x)), y),
                                      Vec2(static_cast<float>(cell(x + 5)), y)));
        sim->apply(Operation::step());
    }
    return sim;
}

DisplaySettings inMode(DisplayMode mode) {
    DisplaySettings settings;
    settings.mode = mode;
    return settings;
}

QByteArray png(const QImage& frame) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    frame.save(&buffer, "PNG");
    return bytes;
}

// Whether the column at pixel x is cyan anywhere from 3 pixels above y to 3 below it.
bool cyanNear(const QImage& frame, int x, int y) {
    for (int row = y - 3; row <= y + 3; ++row) {
        if (frame.pixel(x, row) == qRgb(0, 255, 255)) {
            return true;
        }
    }
    return false;
}

int litPixels(const QImage& frame) {
    int lit = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            lit += (frame.pixel(x, y) & 0xffffffu) != 0 ? 1 : 0;
        }
    }
    return lit;
}

}  // namespace

TEST(FrameRendererHeadlessTest, EveryGridRendersWithNoDisplayToTheSameBytesEveryTime) {
    ASSERT_TRUE(qEnvironmentVariableIsEmpty("DISPLAY"));
    FrameRenderer renderer;
    ASSERT_TRUE(renderer.isValid()) << renderer.errorString().toStdString();
    for (int n : SceneLimits::kGridSizes) {
        SCOPED_TRACE(n);
        const std::unique_ptr<Simulation> sim = stirredFluid(n);
        const QImage dye = renderer.render(*sim, inMode(DisplayMode::Dye), true);
        ASSERT_EQ(dye.size(), QSize(641, 641));
        EXPECT_EQ(dye.format(), QImage::Format_RGB32);
        EXPECT_GT(litPixels(dye), 10000);
        // The triangle's top edge runs through the centres of the cells of row 20 hundredths
        // of the grid: y = 20.5 view units at the 100 grid, 20.125 at the 400.
        EXPECT_TRUE(cyanNear(dye, 291, 130));

        const QImage vortex = renderer.render(*sim, inMode(DisplayMode::Vortex), false);
        EXPECT_GT(litPixels(vortex), 10000);
        EXPECT_FALSE(cyanNear(vortex, 291, 130));
        // Another renderer, with a context of its own, and this one after another frame.
        FrameRenderer other;
        EXPECT_EQ(png(other.render(*sim, inMode(DisplayMode::Dye), true)), png(dye));
        EXPECT_EQ(png(renderer.render(*sim, inMode(DisplayMode::Dye), true)), png(dye));
    }
}

TEST(FrameRendererHeadlessTest, SidesTheFramebufferCannotTakeAreRefused) {
    const std::unique_ptr<Simulation> sim = stirredFluid(100);
    for (int side : {0, -641, 1 << 20}) {
        SCOPED_TRACE(side);
        FrameRenderer renderer(side);
        EXPECT_FALSE(renderer.isValid());
        EXPECT_TRUE(renderer.errorString().contains(QString::number(side)))
            << renderer.errorString().toStdString();
        EXPECT_TRUE(renderer.render(*sim, DisplaySettings(), true).isNull());
    }
    FrameRenderer small(64);
    EXPECT_EQ(small.render(*sim, DisplaySettings(), true).size(), QSize(64, 64));
}

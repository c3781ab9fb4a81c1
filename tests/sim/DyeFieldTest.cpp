#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "DyeField.h"
#include "Scene.h"

namespace {

using Channels = std::vector<float>[3];

// A coordinate clamped to [0, last]: the two cells and weights of a bilinear sample along it.
struct Axis {
    int i0;
    int i1;
    float w0;
    float w1;
};

Axis axis(float v, int last) {
    v = std::min(std::max(v, 0.0f), static_cast<float>(last));
    const int i0 = static_cast<int>(v);
    return {i0, std::min(i0 + 1, last), static_cast<float>(i0 + 1) - v, v - static_cast<float>(i0)};
}

template <typename Get>
float bilinear(const Axis& x, const Axis& y, Get get) {
    return ((get(x.i0, y.i0) * (x.w0 * y.w0) + get(x.i1, y.i0) * (x.w1 * y.w0)) +
            get(x.i0, y.i1) * (x.w0 * y.w1)) +
           get(x.i1, y.i1) * (x.w1 * y.w1);
}

float clampTrace(float p, float high) {
    return p >= 0.5f ? std::min(p, high) : 0.5f;
}

// The rule of DyeField.h, steps 1 to 6, read directly.
void ruleStep(const VectorField& u, float f, int D, float keep, const Channels& from,
              Channels& to) {
    const int N = u.width;
    const float s = static_cast<float>(N) / static_cast<float>(D);
    for (int b = 0; b < D; ++b) {
        for (int a = 0; a < D; ++a) {
            const float x = (a + 0.5f) * s - 0.5f;
            const float y = (b + 0.5f) * s - 0.5f;
            const Axis ux = axis(x, N - 1);
            const Axis uy = axis(y, N - 1);
            const float vx = bilinear(ux, uy, [&](int i, int j) { return u.at(i, j).x; });
            const float vy = bilinear(ux, uy, [&](int i, int j) { return u.at(i, j).y; });
            const float px = clampTrace(x - f * vx, (N - 2) + 0.5f);
            const float py = clampTrace(y - f * vy, (N - 2) + 0.5f);
            const Axis qx = axis((px + 0.5f) / s - 0.5f, D - 1);
            const Axis qy = axis((py + 0.5f) / s - 0.5f, D - 1);
            for (int c = 0; c < 3; ++c) {
                const float faded =
                    bilinear(qx, qy, [&](int i, int j) { return from[c][i + j * D]; }) * keep;
                to[c][a + b * D] = faded < 1.0f / 512 ? 0.0f : faded;
            }
        }
    }
}

// Velocities of a random scale, a few of them NaN or infinite.
void fillRandom(VectorField& u, std::mt19937& random) {
    const float scale = std::vector<float>{1.0f, 60.0f, 2000.0f}[random() % 3];
    std::uniform_real_distribution<float> value(-scale, scale);
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (Vec2& v : u.data) {
        v = Vec2(value(random), value(random));
        if (random() % 100 == 0) {
            v.x = odd[random() % 3];
        }
    }
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

}  // namespace

// Flows of every size under the default dye, the smallest flow, odd dyes whose rows end in a
// partial vector, and a dye coarser than half the flow, whose samples reach its last texel.
TEST(DyeKernel, EveryPathFollowsTheRuleToTheBit) {
    const int grids[][2] = {{100, 400}, {200, 400}, {400, 400}, {3, 8}, {100, 203}, {200, 90}};
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (const auto& [flow, size] : grids) {
        VectorField u(flow, flow);
        const std::vector<float> texels(size * size);
        Channels from{texels, texels, texels}, expected{texels, texels, texels};
        Channels actual{texels, texels, texels};
        for (int run = 0; run < 3; ++run) {
            fillRandom(u, random);
            for (std::vector<float>& channel : from) {
                std::generate(channel.begin(), channel.end(), [&] { return unit(random); });
            }
            const float keep = run == 0 ? 1.0f : unit(random);
            const float f = 0.001f / u.spacing;
            ruleStep(u, f, size, keep, from, expected);
            const float* source[3] = {from[0].data(), from[1].data(), from[2].data()};
            float* target[3] = {actual[0].data(), actual[1].data(), actual[2].data()};
            for (SimdPath path : {SimdPath::Portable, SimdPath::Avx2}) {
                if (isSimdPathSupported(path)) {
                    solverKernels(path).advectDye(flow, f, &u.data[0].x, size, keep, source,
                                                  target);
                    for (int c = 0; c < 3; ++c) {
                        EXPECT_TRUE(sameBits(actual[c], expected[c]))
                            << kernelName(path) << ", flow " << flow << ", dye " << size << ", run "
                            << run << ", channel " << c;
                    }
                }
            }
        }
    }
}

class DyeFieldTest : public ::testing::Test {
protected:
    static constexpr int kFlow = 100;
    FluidSolver solver{kFlow, kFlow, 0.001f, 0.01f, 20};
    DyeField dye{SceneLimits::kDyeSize};

    // A texel's index and its centre in flow positions.
    static int index(int a, int b) { return a + b * SceneLimits::kDyeSize; }
    static float centre(int a) { return (a + 0.5f) * 0.25f - 0.5f; }
};

// Texels over an obstacle's interior are zero after a step, and only those: the rest match a
// dye on the same flow without it. A new obstacle takes effect at the next step.
TEST_F(DyeFieldTest, ObstaclesZeroTheTexelsOverTheirInterior) {
    FluidSolver open(kFlow, kFlow, 0.001f, 0.01f, 20);
    std::mt19937 random(3);
    fillRandom(solver.velocity, random);
    open.velocity.copyFrom(solver.velocity);
    dye.splat(Vec2(50, 50), 80, DyeColour{1, 1, 1}, kFlow);
    const std::vector<std::vector<Vec2>> polygons{{{20, 20}, {60, 25}, {30, 70}},
                                                  {{70, 60}, {99, 60}, {99, 99}, {70, 90}}};
    for (const std::vector<Vec2>& polygon : polygons) {
        solver.clearObstacles();
        solver.addObstacle(polygon.data(), static_cast<int>(polygon.size()));
        std::vector<bool> interior(kFlow * kFlow, false);
        for (const Vec2& cell : solver.obstacles[0].interiorCells) {
            interior[static_cast<int>(cell.x) + static_cast<int>(cell.y) * kFlow] = true;
        }
        DyeField twin = dye;
        dye.step(solver, 1.0f);
        twin.step(open, 1.0f);
        for (int k = 0; k < SceneLimits::kDyeSize * SceneLimits::kDyeSize; ++k) {
            const bool inside = interior[k % 400 / 4 + k / 400 / 4 * kFlow];
            ASSERT_EQ(dye.blue()[k], inside ? 0.0f : twin.blue()[k]) << k;
        }
    }
}

// Pours of every hue, small and large, some past the walls: each adds only within its radius,
// never takes away, and the dye stays within [0, 1], reaching 1 where the pours pile up.
TEST_F(DyeFieldTest, SplatsAddWithinTheirRadiusUpToOne) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> position(-5.0f, 105.0f);
    for (int drag = 0; drag < 24; ++drag) {
        const Vec2 c(position(random), position(random));
        const float radius = drag % 3 == 0 ? 1.5f : position(random) / 4 + 2;
        const std::vector<float> before = dye.red();
        dye.splat(c, radius, DyeField::pourColour(drag / 3), kFlow);
        for (int b = 0; b < 400; ++b) {
            for (int a = 0; a < 400; ++a) {
                const float dx = centre(a) - c.x;
                const float dy = centre(b) - c.y;
                const float was = before[index(a, b)];
                const float now = dye.red()[index(a, b)];
                ASSERT_TRUE(dx * dx + dy * dy < radius * radius ? now >= was : now == was);
                ASSERT_LE(now, 1.0f);
            }
        }
    }
    EXPECT_EQ(*std::max_element(dye.red().begin(), dye.red().end()), 1.0f);
}

// Until something is poured a step leaves every texel 0; clear() goes back to that, and so does
// a dye that fades below 1/512, which no display shows: halved at every step, a full amount is
// 1/256 after 8 steps and gone after 10, every texel +0.
TEST_F(DyeFieldTest, AnEmptyDyeStaysEmpty) {
    solver.setVelocity(50, 50, Vec2(300, 200));
    const auto allZero = [this] {
        return std::all_of(dye.red().begin(), dye.red().end(), [](float v) { return v == 0; });
    };
    dye.step(solver, 1.0f);
    EXPECT_TRUE(dye.empty() && allZero());
    dye.splat(Vec2(50, 50), 1.5f, DyeColour{1, 0, 0}, kFlow);
    dye.step(solver, 1.0f);
    EXPECT_FALSE(dye.empty() || allZero());
    dye.clear();
    dye.step(solver, 1.0f);
    EXPECT_TRUE(dye.empty() && allZero());

    solver.setVelocity(50, 50, Vec2());
    dye.splat(Vec2(30, 60), 20, DyeColour{1, 1, 1}, kFlow);
    for (int k = 1; k <= 10; ++k) {
        dye.step(solver, 0.5f);
        EXPECT_TRUE(k < 9 ? !dye.empty() : k < 10 || dye.empty()) << k;
    }
    EXPECT_TRUE(std::none_of(dye.blue().begin(), dye.blue().end(),
                             [](float v) { return v != 0.0f || std::signbit(v); }));
}

// Eight distinct hues, fully saturated at full value, repeating every eight drags.
TEST(DyeColourTest, PourColoursCycleThroughBrightHues) {
    std::set<std::vector<float>> hues;
    for (int drag = -8; drag < 8; ++drag) {
        const DyeColour c = DyeField::pourColour(drag);
        const DyeColour again = DyeField::pourColour(drag + DyeField::kPourHues);
        const std::vector<float> rgb{c.red, c.green, c.blue};
        EXPECT_EQ(rgb, (std::vector<float>{again.red, again.green, again.blue}));
        EXPECT_EQ(*std::max_element(rgb.begin(), rgb.end()), 1.0f);
        EXPECT_EQ(*std::min_element(rgb.begin(), rgb.end()), 0.0f);
        hues.insert(rgb);
    }
    EXPECT_EQ(hues.size(), 8u);
}

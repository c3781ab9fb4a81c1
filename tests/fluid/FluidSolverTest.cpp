#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "FluidSolver.h"
#include "FluidTestSupport.h"

namespace {

using fluidtest::atRest;
using fluidtest::sameField;

constexpr int kSize = 100;

FluidSolver makeDefaultSolver() {
    return FluidSolver(kSize, kSize, 0.001f, 0.01f, 20);
}

void fillRandom(VectorField& v, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-5.0f, 5.0f);
    for (Vec2& cell : v.data) {
        cell = Vec2(value(random), value(random));
    }
}

}  // namespace

// One diffusion sweep from d = 0 with a unit source at (50, 50): the source cell gets
// alpha * beta and its right neighbour, updated after it, beta times that.
TEST(FluidSolverTest, DiffusionCoefficientsOfTheDefaultGrid) {
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, 1);
    VectorField source(kSize, kSize);
    VectorField target(kSize, kSize);
    source.set(50, 50, Vec2(1, 0));
    solver.diffuse(source, target);
    const float alpha = 10.4123f;
    const float beta = 0.0693850f;
    EXPECT_NEAR(target.at(50, 50).x, alpha * beta, 1e-5);
    EXPECT_NEAR(target.at(51, 50).x / target.at(50, 50).x, beta, 1e-6);
    EXPECT_EQ(target.at(49, 50).x, 0.0f);
}

// A cell moving at (10, 0) traces back 0.98 cells: 2 % of its own value stays.
TEST(FluidSolverTest, AdvectionTracesBackTimeStepOverSpacing) {
    FluidSolver solver = makeDefaultSolver();
    VectorField source(kSize, kSize);
    VectorField target(kSize, kSize);
    source.set(50, 50, Vec2(10, 0));
    solver.advect(source, target);
    const float factor = 0.098f;
    EXPECT_NEAR(target.at(50, 50).x, (1.0f - factor * 10.0f) * 10.0f, 1e-4);
}

// A cell at rest traces back to its own centre, where the weights 1, 0, 0, 0 give it its own
// source value, 0, whatever its neighbours hold.
TEST(FluidSolverTest, AdvectionOfARestingCellKeepsItsValue) {
    FluidSolver solver = makeDefaultSolver();
    VectorField source(kSize, kSize);
    VectorField target(kSize, kSize);
    fillRandom(source, 1);
    fillRandom(target, 5);
    const int resting[][2] = {{50, 50}, {1, 1}, {98, 98}, {1, 98}, {98, 1}, {37, 62}};
    for (const auto& [i, j] : resting) {
        source.set(i, j, Vec2());
    }
    solver.advect(source, target);
    for (const auto& [i, j] : resting) {
        EXPECT_EQ(target.at(i, j).x, 0.0f) << i << ", " << j;
        EXPECT_EQ(target.at(i, j).y, 0.0f) << i << ", " << j;
    }
}

TEST(FluidSolverTest, BackTraceIsClampedHalfACellFromTheWalls) {
    FluidSolver solver = makeDefaultSolver();
    VectorField source(kSize, kSize);
    VectorField target(kSize, kSize);
    // Cell (1, 50) traces back to x = 0.02, raised to 0.5: half boundary cell, half itself.
    source.set(0, 50, Vec2(0, 3));
    source.set(1, 50, Vec2(10, 0));
    // Cell (98, 50) traces back to x = 98.98, lowered to 98.5.
    source.set(98, 50, Vec2(-10, 0));
    source.set(99, 50, Vec2(0, 4));
    // Cell (50, 1) traces back to y = 0.02, raised to 0.5.
    source.set(50, 0, Vec2(6, 0));
    source.set(50, 1, Vec2(0, 10));
    solver.advect(source, target);
    EXPECT_FLOAT_EQ(target.at(1, 50).x, 5.0f);
    EXPECT_FLOAT_EQ(target.at(1, 50).y, 1.5f);
    EXPECT_FLOAT_EQ(target.at(98, 50).x, -5.0f);
    EXPECT_FLOAT_EQ(target.at(98, 50).y, 2.0f);
    EXPECT_FLOAT_EQ(target.at(50, 1).x, 3.0f);
    EXPECT_FLOAT_EQ(target.at(50, 1).y, 5.0f);
}

// A NaN position fails both comparisons of the clamp and is raised to 0.5; an infinite one is
// clamped like any other. Three corners of the source hold one value in each of their 2 x 2
// blocks of cells, which the bilinear sample at the block's centre returns exactly, so that each
// non-finite cell's result names the corner it sampled.
TEST(FluidSolverTest, NonFiniteVelocitiesNeverSampleOutsideTheGrid) {
    FluidSolver solver = makeDefaultSolver();
    VectorField source(kSize, kSize);
    VectorField target(kSize, kSize);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const int last = kSize - 1;
    const struct {
        int i;
        int j;
        Vec2 value;
    } blocks[] = {{0, 0, Vec2(1, 2)}, {0, last - 1, Vec2(3, 4)}, {last - 1, 0, Vec2(5, 6)}};
    for (const auto& b : blocks) {
        for (const auto& [di, dj] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
            source.set(b.i + di, b.j + dj, b.value);
        }
    }
    source.set(50, 50, Vec2(nan, nan));   // traces to (0.5, 0.5)
    source.set(20, 20, Vec2(inf, -inf));  // to (-inf, inf), clamped to (0.5, 98.5)
    source.set(30, 30, Vec2(-inf, inf));  // to (98.5, 0.5)
    solver.advect(source, target);
    EXPECT_EQ(target.at(50, 50).x, 1.0f);
    EXPECT_EQ(target.at(50, 50).y, 2.0f);
    EXPECT_EQ(target.at(20, 20).x, 3.0f);
    EXPECT_EQ(target.at(20, 20).y, 4.0f);
    EXPECT_EQ(target.at(30, 30).x, 5.0f);
    EXPECT_EQ(target.at(30, 30).y, 6.0f);

    // A step spreads the NaN over every cell (the sanitizer build checks every access on the
    // way); the walls' normal components alone stay 0.
    solver.velocity.copyFrom(source);
    solver.step();
    for (int j = 0; j < kSize; ++j) {
        for (int i = 0; i < kSize; ++i) {
            const bool side = (i == 0 || i == last) && j > 0 && j < last;
            const bool end = (j == 0 || j == last) && i > 0 && i < last;
            const Vec2 v = solver.velocity.at(i, j);
            ASSERT_TRUE(side ? v.x == 0.0f : std::isnan(v.x)) << "cell " << i << ", " << j;
            ASSERT_TRUE(end ? v.y == 0.0f : std::isnan(v.y)) << "cell " << i << ", " << j;
        }
    }
}

// Velocity walls are impermeable and slippery.
TEST(FluidSolverTest, BoundaryPassesWithoutObstacles) {
    FluidSolver solver = makeDefaultSolver();
    VectorField v(kSize, kSize);
    fillRandom(v, 2);
    solver.setVectorBoundary(v);
    const int last = kSize - 1;
    for (int k = 1; k < last; ++k) {
        EXPECT_EQ(v.at(0, k).x, 0.0f);
        EXPECT_EQ(v.at(0, k).y, v.at(1, k).y);
        EXPECT_EQ(v.at(last, k).x, 0.0f);
        EXPECT_EQ(v.at(last, k).y, v.at(last - 1, k).y);
        EXPECT_EQ(v.at(k, 0).x, v.at(k, 1).x);
        EXPECT_EQ(v.at(k, 0).y, 0.0f);
        EXPECT_EQ(v.at(k, last).x, v.at(k, last - 1).x);
        EXPECT_EQ(v.at(k, last).y, 0.0f);
    }
    // Each corner is half the interior cell diagonal to it.
    EXPECT_FLOAT_EQ(v.at(0, 0).x, 0.5f * v.at(1, 1).x);
    EXPECT_FLOAT_EQ(v.at(0, 0).y, 0.5f * v.at(1, 1).y);
    EXPECT_FLOAT_EQ(v.at(last, last).x, 0.5f * v.at(last - 1, last - 1).x);
    EXPECT_FLOAT_EQ(v.at(last, 0).y, 0.5f * v.at(last - 1, 1).y);
    EXPECT_FLOAT_EQ(v.at(0, last).x, 0.5f * v.at(1, last - 1).x);

    // Scalar walls have zero normal derivative; each corner equals its interior diagonal.
    ScalarField s(kSize, kSize);
    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (float& cell : s.data) {
        cell = value(random);
    }
    solver.setScalarBoundary(s);
    for (int k = 1; k < last; ++k) {
        EXPECT_EQ(s.at(k, 0), s.at(k, 1));
        EXPECT_EQ(s.at(k, last), s.at(k, last - 1));
        EXPECT_EQ(s.at(0, k), s.at(1, k));
        EXPECT_EQ(s.at(last, k), s.at(last - 1, k));
    }
    EXPECT_EQ(s.at(0, 0), s.at(1, 1));
    EXPECT_EQ(s.at(last, 0), s.at(last - 1, 1));
    EXPECT_EQ(s.at(0, last), s.at(1, last - 1));
    EXPECT_EQ(s.at(last, last), s.at(last - 1, last - 1));
}

TEST(FluidSolverTest, FieldAtRestStaysAtRest) {
    FluidSolver solver = makeDefaultSolver();
    for (int k = 0; k < 5; ++k) {
        solver.step();
    }
    EXPECT_TRUE(atRest(solver.velocity));
    solver.setViscosityEnabled(false);
    solver.step();
    EXPECT_TRUE(atRest(solver.velocity));
}

// The worked example of one stir at the centre of a fluid at rest, then one step, pinned to the
// bit: any change in the order of a sum or in where a value is rounded to single precision shows
// here. The comments give each value rounded.
TEST(FluidSolverTest, StirAtTheCentreThenOneStepGiveExactlyTheseFloats) {
    FluidSolver solver = makeDefaultSolver();
    solver.setVelocity(50, 50, Vec2(1, 0));
    for (int j = 0; j < kSize; ++j) {
        for (int i = 0; i < kSize; ++i) {
            const float expected = (i == 49 && j == 50)   ? 0.5f
                                   : (i == 51 && j == 50) ? -0.5f
                                                          : 0.0f;
            ASSERT_EQ(solver.divergence.at(i, j), expected) << "cell " << i << ", " << j;
        }
    }
    EXPECT_EQ(solver.pressure.at(49, 50), -0x1.6fec6ep-3f);    // -0.1797
    EXPECT_EQ(solver.pressure.at(51, 50), 0x1.68742cp-3f);     // 0.1760
    EXPECT_EQ(solver.velocity.at(50, 50).x, 0x1.a4f3ecp-1f);   // 0.8222
    EXPECT_EQ(solver.velocity.at(50, 50).y, -0x1.82fd2p-15f);  // -0.00005

    solver.step();
    EXPECT_EQ(solver.velocity.at(50, 50).x, 0x1.02980cp-1f);    // 0.5051
    EXPECT_EQ(solver.velocity.at(50, 50).y, -0x1.a0e008p-17f);  // -0.00001
    EXPECT_EQ(solver.velocity.at(49, 50).x, 0x1.2e42ecp-7f);    // 0.0092
    EXPECT_EQ(solver.velocity.at(49, 50).y, 0x1.8a8618p-17f);   // 0.00001
    EXPECT_EQ(solver.velocity.at(51, 50).x, 0x1.36e23p-7f);     // 0.0095
    EXPECT_EQ(solver.velocity.at(51, 50).y, -0x1.65989p-15f);   // -0.00004
}

// Ten steps of a stirred fluid around an obstacle, in two solvers: the same field to the bit, and
// exactly this field, summarised by an FNV-1a hash of every bit.
TEST(FluidSolverTest, TenStepsAroundAnObstacleAreReproducibleAndGiveExactlyThisField) {
    FluidSolver a = makeDefaultSolver();
    FluidSolver b = makeDefaultSolver();
    const std::vector<Vec2> triangle{{30, 30}, {60, 35}, {40, 70}};
    for (FluidSolver* solver : {&a, &b}) {
        solver->addObstacle(triangle.data(), 3);
        solver->setVelocity(20, 50, Vec2(500, -150));
        solver->setVelocity(75, 40, Vec2(-250, 300));
        for (int k = 0; k < 10; ++k) {
            solver->step();
        }
    }
    EXPECT_TRUE(sameField(a.velocity, b.velocity));
    std::uint64_t hash = 1469598103934665603ull;
    for (const Vec2& cell : a.velocity.data) {
        for (float component : {cell.x, cell.y}) {
            std::uint32_t bits;
            std::memcpy(&bits, &component, sizeof bits);
            for (int shift = 0; shift < 32; shift += 8) {
                hash = (hash ^ ((bits >> shift) & 0xffu)) * 1099511628211ull;
            }
        }
    }
    EXPECT_EQ(hash, 0x8843a415006b57e0ull);
}

TEST(FluidSolverTest, WithoutViscosityTheAdvectionStartsFromACopy) {
    FluidSolver solver = makeDefaultSolver();
    solver.setVelocity(40, 40, Vec2(200, 50));
    solver.step();
    VectorField before(kSize, kSize);
    before.copyFrom(solver.velocity);
    solver.setViscosityEnabled(false);
    solver.step();
    EXPECT_TRUE(sameField(solver.scratchVelocity, before));
}

// Vanishing viscosity: alpha = h^2 / (viscosity * timeStep) is infinite (1e-40), or finite but
// overflows once it multiplies a drag's velocity (1e-36 with 5000); a viscosity of 0 would divide
// by zero. In each case the diffusion is the identity, exactly as with viscosity switched off.
TEST(FluidSolverTest, VanishingViscosityDiffusesNothingAndStaysFinite) {
    const struct {
        float viscosity;
        float speed;
    } cases[] = {{0.0f, 100.0f}, {1e-40f, 100.0f}, {1e-36f, 5000.0f}, {1e-36f, 32000.0f}};
    for (const auto& c : cases) {
        FluidSolver tiny(kSize, kSize, 0.001f, c.viscosity, 20);
        FluidSolver off = makeDefaultSolver();
        off.setViscosityEnabled(false);
        for (FluidSolver* solver : {&tiny, &off}) {
            solver->setVelocity(50, 50, Vec2(c.speed, -c.speed));
            solver->step();
        }
        EXPECT_TRUE(sameField(tiny.velocity, off.velocity)) << c.viscosity;
        for (const Vec2& v : tiny.velocity.data) {
            ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y)) << c.viscosity;
        }
    }
}

// With no pressure sweeps nothing is subtracted, and only the projection's final boundary pass
// changes the field.
TEST(FluidSolverTest, SetVelocityReplacesIgnoresCellsOutsideTheGridAndEndsWithTheWalls) {
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, 0);
    solver.setVelocity(50, 50, Vec2(1, 0));
    solver.setVelocity(50, 50, Vec2(1, 0));
    EXPECT_EQ(solver.velocity.at(50, 50).x, 1.0f);
    solver.setVelocity(1, 50, Vec2(3, 4));
    EXPECT_EQ(solver.velocity.at(1, 50).x, 3.0f);
    EXPECT_EQ(solver.velocity.at(0, 50).x, 0.0f);
    EXPECT_EQ(solver.velocity.at(0, 50).y, 4.0f);

    VectorField before(kSize, kSize);
    before.copyFrom(solver.velocity);
    solver.setVelocity(kSize, 5, Vec2(9, 9));
    solver.setVelocity(-1, 5, Vec2(9, 9));
    solver.setVelocity(5, kSize, Vec2(9, 9));
    solver.setVelocity(5, -1, Vec2(9, 9));
    EXPECT_TRUE(sameField(solver.velocity, before));
}

TEST(FluidSolverTest, RejectsGridsWithoutInterior) {
    EXPECT_THROW(FluidSolver(2, 2, 0.001f, 0.01f, 20), std::invalid_argument);
}

// With the source and the target the same field, diffuse and advect read the source as it was
// when they were called, exactly as from a copy of it.
TEST(FluidSolverTest, InPlaceDiffusionAndAdvectionReadTheSourceAsOnEntry) {
    FluidSolver solver = makeDefaultSolver();
    VectorField field(kSize, kSize);
    VectorField copy(kSize, kSize);
    VectorField expected(kSize, kSize);
    for (bool advection : {false, true}) {
        fillRandom(field, 4);
        fillRandom(expected, 4);
        copy.copyFrom(field);
        if (advection) {
            solver.advect(copy, expected);
            solver.advect(field, field);
        } else {
            solver.diffuse(copy, expected);
            solver.diffuse(field, field);
        }
        EXPECT_TRUE(sameField(field, expected)) << advection;
    }
}

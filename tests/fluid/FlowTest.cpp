// The flows' walls, vorticity confinement and the cylinder, by the properties that make them
// what they are: a free stream that the tunnel keeps, a lid that drives the cavity round, a
// vortex that confinement keeps alive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "Flow.h"
#include "FluidSolver.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The strongest curl in cell units of the interior.
float strongestCurl(const VectorField& v) {
    float strongest = 0.0f;
    for (int j = 1; j < v.height - 1; ++j) {
        for (int i = 1; i < v.width - 1; ++i) {
            const float w = 0.5f * ((v.at(i + 1, j).y - v.at(i - 1, j).y) -
                                    (v.at(i, j + 1).x - v.at(i, j - 1).x));
            strongest = std::max(strongest, std::fabs(w));
        }
    }
    return strongest;
}

}  // namespace

// On each wall the boundary cell puts the wall where the flow says: the ghost cells' mean with
// their interior neighbours is the wall's velocity for the cavity, the inflow is (U, 0), the
// outflow copies the interior and holds the pressure at 0; all round a random field.
TEST(FlowTest, WallsOfEachFlow) {
    const float U = 1.5f;
    const int W = 9;
    const int H = 7;
    for (const Flow flow : {Flow::WindTunnel, Flow::DrivenCavity}) {
        SCOPED_TRACE(flowName(flow));
        FluidSolver solver(W, H, 0.001f, 0.01f, 20);
        solver.setFlow(flow, U);
        VectorField v(W, H);
        ScalarField p(W, H);
        for (int k = 0; k < W * H; ++k) {
            v.data[k] = Vec2(std::sin(1.0f + k), std::cos(2.0f * k));
            p.data[k] = std::sin(3.0f * k);
        }
        solver.setVectorBoundary(v);
        solver.setScalarBoundary(p);
        for (int j = 1; j < H - 1; ++j) {
            if (flow == Flow::WindTunnel) {
                EXPECT_EQ(v.at(0, j).x, U);
                EXPECT_EQ(v.at(0, j).y, 0.0f);
                EXPECT_EQ(v.at(W - 1, j).x, v.at(W - 2, j).x);
                EXPECT_EQ(v.at(W - 1, j).y, v.at(W - 2, j).y);
                EXPECT_EQ(p.at(W - 1, j), 0.0f);
                EXPECT_EQ(p.at(0, j), p.at(1, j));
            } else {
                for (const int i : {0, W - 1}) {
                    const int inner = i == 0 ? 1 : W - 2;
                    EXPECT_FLOAT_EQ(v.at(i, j).x + v.at(inner, j).x, 0.0f);
                    EXPECT_FLOAT_EQ(v.at(i, j).y + v.at(inner, j).y, 0.0f);
                    EXPECT_EQ(p.at(i, j), p.at(inner, j));
                }
            }
        }
        for (int i = 1; i < W - 1; ++i) {
            const float lid =
                flow == Flow::DrivenCavity ? 0.5f * (v.at(i, 0).x + v.at(i, 1).x) : 0.0f;
            EXPECT_FLOAT_EQ(lid, flow == Flow::DrivenCavity ? U : 0.0f);
            EXPECT_EQ(p.at(i, 0), p.at(i, 1));
            EXPECT_EQ(p.at(i, H - 1), p.at(i, H - 2));
        }
    }
}

// The free stream (U, 0) is a steady flow of the tunnel: inflow, outflow, walls and pressure
// leave it as it is, step after step.
TEST(FlowTest, TunnelKeepsTheFreeStream) {
    FluidSolver solver(40, 30, 0.001f, 0.01f, 20);
    solver.setFlow(Flow::WindTunnel, 2.0f);
    for (VectorField* field : {&solver.velocity, &solver.scratchVelocity}) {
        std::fill(field->data.begin(), field->data.end(), Vec2(2.0f, 0.0f));
    }
    for (int k = 0; k < 200; ++k) {
        solver.step();
    }
    for (int j = 1; j < 29; ++j) {
        for (int i = 1; i < 39; ++i) {
            ASSERT_NEAR(solver.velocity.at(i, j).x, 2.0f, 1e-4f) << i << ", " << j;
            ASSERT_NEAR(solver.velocity.at(i, j).y, 0.0f, 1e-4f) << i << ", " << j;
        }
    }
}

// From rest, the lid drags the fluid under it to the right and the primary vortex brings it
// back to the left lower down, on the vertical centre line; nothing crosses the still walls.
TEST(FlowTest, LidDrivesTheCavityRound) {
    FluidSolver solver(34, 34, 0.001f, 0.01f, 50);
    solver.setFlow(Flow::DrivenCavity, 1.0f);
    for (int k = 0; k < 1500; ++k) {
        solver.step();
    }
    const VectorField& v = solver.velocity;
    EXPECT_GT(v.at(16, 1).x, 0.5f);
    float lowest = 0.0f;
    for (int j = 1; j < 33; ++j) {
        lowest = std::min(lowest, v.at(16, j).x);
    }
    EXPECT_LT(lowest, -0.1f);
    for (int j = 1; j < 33; ++j) {
        EXPECT_FLOAT_EQ(v.at(0, j).x + v.at(1, j).x, 0.0f);
        EXPECT_FLOAT_EQ(v.at(33, j).x + v.at(32, j).x, 0.0f);
    }
}

// Speeds and strengths that are not finite, or a negative strength, are taken as none.
TEST(FlowTest, RefusedSettingsAreNone) {
    FluidSolver solver(10, 10, 0.001f, 0.01f, 20);
    for (const float bad : {kNaN, kInf, -kInf}) {
        solver.setFlow(Flow::WindTunnel, bad);
        EXPECT_EQ(solver.flowSpeed(), 0.0f);
        solver.setVorticityConfinement(bad);
        EXPECT_EQ(solver.vorticityConfinement, 0.0f);
    }
    solver.setVorticityConfinement(-2.0f);
    EXPECT_EQ(solver.vorticityConfinement, 0.0f);
    solver.setFlow(Flow::DrivenCavity, -3.0f);
    EXPECT_EQ(solver.flow(), Flow::DrivenCavity);
    EXPECT_EQ(solver.flowSpeed(), -3.0f);
}

// A stirred vortex in the closed box fades by viscosity and numerical dissipation;
// confinement keeps its core stronger, the more the stronger it is.
TEST(FlowTest, ConfinementKeepsAVortexStronger) {
    float previous = 0.0f;
    for (const float epsilon : {0.0f, 20.0f, 60.0f}) {
        FluidSolver solver(48, 48, 0.001f, 0.01f, 20);
        solver.setVorticityConfinement(epsilon);
        for (int k = 0; k < 4; ++k) {
            solver.setVelocity(24 + (k == 1) - (k == 3), 24 + (k == 2) - (k == 0),
                               Vec2(k == 0   ? 40.0f
                                    : k == 2 ? -40.0f
                                             : 0.0f,
                                    k == 1   ? 40.0f
                                    : k == 3 ? -40.0f
                                             : 0.0f));
        }
        for (int k = 0; k < 200; ++k) {
            solver.step();
        }
        const float curl = strongestCurl(solver.velocity);
        EXPECT_GT(curl, previous) << "epsilon " << epsilon;
        previous = curl;
    }
}

// The cylinder on the program's grids: whole-cell corners inside the grid, at most 100, turning
// counter-clockwise on screen, about a tenth of the square wide, a quarter of the way in and
// centred across; and an obstacle with cells.
TEST(FlowTest, CylinderPolygonOnEachGrid) {
    for (const int n : {100, 200, 400}) {
        SCOPED_TRACE(n);
        const std::vector<Vec2> polygon = cylinderPolygon(n);
        ASSERT_GE(polygon.size(), 8u);
        ASSERT_LE(polygon.size(), 100u);
        float left = n;
        float right = 0;
        float top = n;
        float bottom = 0;
        double twiceArea = 0.0;  // x to the right, y downward: negative counter-clockwise
        for (std::size_t k = 0; k < polygon.size(); ++k) {
            const Vec2 a = polygon[k];
            const Vec2 b = polygon[(k + 1) % polygon.size()];
            EXPECT_EQ(a.x, std::floor(a.x));
            EXPECT_EQ(a.y, std::floor(a.y));
            EXPECT_FALSE(a.x == b.x && a.y == b.y);
            left = std::min(left, a.x);
            right = std::max(right, a.x);
            top = std::min(top, a.y);
            bottom = std::max(bottom, a.y);
            twiceArea += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
        }
        const float cells = kCylinderDiameter * (n - 2);
        EXPECT_NEAR(right - left, cells, 1.0f);
        EXPECT_NEAR(bottom - top, cells, 1.0f);
        EXPECT_NEAR(0.5f * (left + right), kCylinderCentreX * (n - 2) + 0.5f, 1.0f);
        EXPECT_NEAR(0.5f * (top + bottom), 0.5f * (n - 1), 1.0f);
        EXPECT_LT(twiceArea, 0.0);
        EXPECT_NEAR(std::fabs(twiceArea) / 2.0, 3.14159 * cells * cells / 4.0, 0.1 * cells * cells);
        const Obstacle obstacle(polygon.data(), static_cast<int>(polygon.size()), n, n);
        EXPECT_GT(obstacle.interiorCount, 0);
    }
}

// The same bits on every machine: fixed runs of stirs, steps and obstacles, in each flow and with
// vorticity confinement, whose final velocity digests are written here. Every build must give them:
// each compiler, kernel path and processor. On a mismatch the run is repeated on the
// straightforward solver, to name the first cell where the two part.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "FieldDigest.h"
#include "FluidSolver.h"
#include "FluidTestSupport.h"
#include "ReferenceSolver.h"

namespace {

struct Scenario {
    const char* name;
    bool viscosity;
    int sweeps;
    bool obstacles;
    std::uint64_t digest;
    // The flows and the swirl, in shorter runs: the flow at its speed, the cylinder, epsilon.
    Flow flow = Flow::ClosedBox;
    float speed = 0.0f;
    bool cylinder = false;
    float swirl = 0.0f;
    int steps = 300;
};

// Obstacles along the walls (a block in the left wall, a wedge from the bottom-right corner) and
// two that cross each other in the middle.
const std::vector<std::vector<Vec2>> kObstacles = {
    {{0, 30}, {18, 30}, {18, 45}, {0, 45}},
    {{99, 99}, {99, 70}, {75, 99}},
    {{40, 55}, {70, 50}, {72, 58}, {42, 63}},
    {{52, 40}, {60, 41}, {58, 75}, {50, 74}},
};

constexpr int kStirringSteps = 120;

// Stirs on a fixed integer path, with drag-sized velocities that vary from stir to stir: no
// library maths, so the inputs are the same bits everywhere.
template <typename Solver>
void run(Solver& solver, const Scenario& s) {
    solver.setViscosityEnabled(s.viscosity);
    solver.setIterations(s.sweeps);
    solver.setFlow(s.flow, s.speed);
    solver.setVorticityConfinement(s.swirl);
    if (s.cylinder) {
        const std::vector<Vec2> polygon = cylinderPolygon(100);
        solver.addObstacle(polygon.data(), static_cast<int>(polygon.size()));
    }
    if (s.obstacles) {
        for (const std::vector<Vec2>& polygon : kObstacles) {
            solver.addObstacle(polygon.data(), static_cast<int>(polygon.size()));
        }
    }
    for (int k = 0; k < s.steps; ++k) {
        if (k < kStirringSteps && k % 2 == 0) {
            const int i = 20 + (k * 7) % 60;
            const int j = 15 + (k * 13) % 70;
            const Vec2 stir(static_cast<float>((k % 9 - 4) * 150),
                            static_cast<float>((k % 5 - 2) * 200));
            solver.setVelocity(i, j, stir);
        }
        solver.step();
    }
}

template <typename Solver>
Solver makeSolver() {
    return Solver(100, 100, 0.001f, 0.01f, 20);
}

std::string firstDifference(const VectorField& fast, const VectorField& reference) {
    const long k = fluidtest::firstDisagreement(fast, reference);
    if (k < 0) {
        return "the straightforward solver gives the same field: this build's arithmetic differs";
    }
    std::ostringstream text;
    text << "first differing cell (" << k / 2 % fast.width << ", " << k / 2 / fast.width << "), "
         << (k % 2 == 0 ? "x" : "y") << ": " << std::hexfloat << fluidtest::floatAt(fast, k)
         << " here, " << fluidtest::floatAt(reference, k) << " in the straightforward solver";
    return text.str();
}

void expectDigest(FluidSolver& solver, const Scenario& s) {
    run(solver, s);
    const std::uint64_t digest = fieldDigest(solver.velocity);
    if (digest == s.digest) {
        return;
    }
    ReferenceSolver reference = makeSolver<ReferenceSolver>();
    run(reference, s);
    ADD_FAILURE() << std::hex << "digest 0x" << digest << ", written 0x" << s.digest << "; "
                  << firstDifference(solver.velocity, reference.velocity);
}

const Scenario kScenarios[] = {
    {"StirsWithViscosity20Sweeps", true, 20, false, 0x48f10384e174283b},
    {"StirsWithoutViscosity2Sweeps", false, 2, false, 0x9bb7c213c464aca0},
    {"ObstaclesWithViscosity50Sweeps", true, 50, true, 0x29ae96c77b7e771a},
    {"ObstaclesWithoutViscosity20Sweeps", false, 20, true, 0xe3a38d55b91a125b},
    {"WindTunnelCylinder", true, 20, false, 0x1ce241d43c28b271, Flow::WindTunnel, 1.0f, true, 0.0f,
     150},
    {"WindTunnelObstaclesSwirl", true, 20, true, 0xd8240ee557e1681f, Flow::WindTunnel, 2.0f, true,
     25.0f, 100},
    {"DrivenCavity", true, 50, false, 0x001a6b1eccd5a644, Flow::DrivenCavity, 1.0f, false, 0.0f,
     150},
    {"DrivenCavityObstacles", false, 20, true, 0x096aaad1828af174, Flow::DrivenCavity, 3.0f, false,
     0.0f, 100},
    {"ClosedBoxSwirl", true, 20, false, 0x2c44d23b0e3030bb, Flow::ClosedBox, 0.0f, false, 40.0f,
     150},
    {"ClosedBoxObstaclesSwirl", false, 20, true, 0xa34599a632065bc6, Flow::ClosedBox, 0.0f, false,
     8.0f, 100},
};

}  // namespace

TEST(DigestTest, FixedRunsGiveTheWrittenDigestsOnEveryKernelPath) {
    for (SimdPath path : {SimdPath::Portable, SimdPath::Avx2}) {
        if (!isSimdPathSupported(path)) {
            continue;
        }
        for (const Scenario& s : kScenarios) {
            SCOPED_TRACE(std::string(s.name) + " on " + kernelName(path));
            FluidSolver solver = makeSolver<FluidSolver>();
            solver.useSimdPath(path);
            expectDigest(solver, s);
        }
    }
}

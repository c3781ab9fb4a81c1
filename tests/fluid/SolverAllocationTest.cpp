// step runs from the view's timer and setVelocity on every mouse move of a drag: neither may
// allocate. This executable counts every call of the global operator new.
#include <gtest/gtest.h>

#include <vector>

#include "CountingNew.h"
#include "FluidSolver.h"

TEST(SolverAllocation, StepAndStirAllocateNothingOnAnyPath) {
    for (SimdPath path : {SimdPath::Portable, SimdPath::Avx2}) {
        FluidSolver solver(100, 100, 0.001f, 0.01f, 20);
        if (!solver.useSimdPath(path)) {
            continue;
        }
        const std::vector<Vec2> triangle{{30, 30}, {60, 35}, {40, 70}};
        solver.addObstacle(triangle.data(), 3);
        const long before = allocationCount();
        for (bool viscosity : {true, false}) {
            solver.setViscosityEnabled(viscosity);
            solver.setVelocity(20, 50, Vec2(500, -150));
            solver.step();
        }
        EXPECT_EQ(allocationCount() - before, 0) << simdPathName(path);
    }
}

// A dye step runs with every solver step, and a splat on every mouse move of a drag: neither may
// allocate, around obstacles or not. This executable counts every call of the global operator new.
#include <gtest/gtest.h>

#include <vector>

#include "CountingNew.h"
#include "DyeField.h"
#include "Scene.h"

TEST(DyeAllocation, StepAndSplatAllocateNothingOnAnyPath) {
    FluidSolver solver(100, 100, 0.001f, 0.01f, 20);
    const std::vector<Vec2> triangle{{30, 30}, {60, 35}, {40, 70}};
    solver.addObstacle(triangle.data(), 3);
    solver.setVelocity(20, 50, Vec2(500, -150));
    DyeField dye{SceneLimits::kDyeSize};
    for (SimdPath path : {SimdPath::Portable, SimdPath::Avx2}) {
        dye.useSimdPath(path);
        const long before = allocationCount();
        dye.splat(Vec2(40, 50), 1.5f, DyeField::pourColour(1), 100);
        dye.step(solver, 0.99f);
        solver.clearObstacles();
        dye.step(solver, 0.99f);
        EXPECT_EQ(allocationCount() - before, 0) << simdPathName(path);
    }
}

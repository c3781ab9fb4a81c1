// The simulation apart from any window: its step gate on a clock that the test moves, the block
// stir of the finer grids, and obstacles carried from one grid to another.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "FluidTestSupport.h"
#include "Simulation.h"

namespace {

constexpr std::int64_t kMs = 1000000;

class SimulationTest : public testing::Test {
protected:
    std::int64_t now = 1000 * kMs;
    Simulation::Clock clock() {
        return [this] { return now; };
    }
};

// The start times of the steps of a simulation whose frames each end right after their step,
// polled every 0.1 ms for one second.
std::vector<std::int64_t> stepsInASecond(Simulation& sim, std::int64_t& now) {
    std::vector<std::int64_t> starts;
    for (const std::int64_t end = now + 1000 * kMs; now < end; now += kMs / 10) {
        if (sim.advance()) {
            starts.push_back(now);
            sim.endFrame();
        }
    }
    return starts;
}

}  // namespace

TEST_F(SimulationTest, TheDefaultGridStepsOnce16MsHavePassedSinceTheLastFrameEndedOrWhenDue) {
    Simulation sim(clock());
    now += 16 * kMs - 1;
    EXPECT_EQ(sim.nanosUntilStep(), 1);
    EXPECT_FALSE(sim.advance());
    now += 1;
    EXPECT_EQ(sim.nanosUntilStep(), 0);
    EXPECT_TRUE(sim.advance());
    // A frame that ends at once: 16 ms after it, sooner than the step is due.
    sim.endFrame();
    now += 16 * kMs - 1;
    EXPECT_FALSE(sim.advance());
    now += 1;
    EXPECT_TRUE(sim.advance());
    // A frame of 5 ms: the step is due 1/60 s after the last one started, before 16 ms have
    // passed since the frame ended.
    const std::int64_t started = now;
    now += 5 * kMs;
    sim.endFrame();
    now = started + 1000 * kMs / 60 - 1;
    EXPECT_FALSE(sim.advance());
    now += 1;
    EXPECT_TRUE(sim.advance());

    sim.apply(Operation::pause(true));
    now += 100 * kMs;
    EXPECT_FALSE(sim.advance());
}

// Frames of 5 ms, and a timer set in whole milliseconds that wakes up to 0.3 ms late besides: 60
// steps a second all the same, each at least 16 ms after the one before, where counting 16 ms
// from the frames' ends gave 47.
TEST_F(SimulationTest, TheDefaultGridStepsSixtyTimesASecondWhateverTheFrameTakes) {
    Simulation sim(clock());
    sim.apply(Operation::stir(50, 50, Vec2(1000.0f, 0.0f)));  // a fluid that never settles
    std::vector<std::int64_t> starts;
    const std::int64_t end = now + 2000 * kMs;
    for (int wake = 0; now < end; ++wake) {
        now += (sim.nanosUntilStep() + kMs - 1) / kMs * kMs + (wake % 4) * kMs / 10;
        if (sim.advance()) {
            starts.push_back(now);
            now += 5 * kMs;
            sim.endFrame();
        }
    }
    EXPECT_GE(starts.size(), 119u);
    EXPECT_LE(starts.size(), 121u);
    for (std::size_t k = 1; k < starts.size(); ++k) {
        EXPECT_GE(starts[k] - starts[k - 1], 16 * kMs);
    }
}

TEST_F(SimulationTest, FinerGridsStartSixtyStepsASecondWhateverTheFrameTakes) {
    for (int size : {200, 400}) {
        SCOPED_TRACE(size);
        Simulation sim(clock(), size);
        sim.apply(Operation::stir(size / 2, size / 2,
                                  Vec2(1000.0f, 0.0f)));  // a moving fluid, which never settles
        const std::vector<std::int64_t> starts = stepsInASecond(sim, now);
        EXPECT_EQ(starts.size(), 60u);
        for (std::size_t k = 1; k < starts.size(); ++k) {
            // 16.67 ms apart, to the poll's tenth of a millisecond.
            EXPECT_NEAR(static_cast<double>(starts[k] - starts[k - 1]), 1e9 / 60, kMs / 10);
        }
    }
}

TEST_F(SimulationTest, AStirSetsTheBlockUnderThePointerAndProjectsOnce) {
    for (int size : {100, 200, 400}) {
        SCOPED_TRACE(size);
        Simulation sim(clock(), size);
        const int block = size / 100;
        const Vec2 velocity(300.0f, -150.0f);
        // A cell inside the block that starts at (37, 52) * block.
        sim.apply(Operation::stir(37 * block + block / 2, 52 * block + block - 1, velocity));

        FluidSolver expected(size, size, 0.001f, 0.01f, 20);
        for (int j = 52 * block; j < 53 * block; ++j) {
            for (int i = 37 * block; i < 38 * block; ++i) {
                expected.velocity.set(i, j, velocity);
            }
        }
        expected.project(expected.velocity);
        EXPECT_TRUE(fluidtest::sameField(sim.fluidSolver().velocity, expected.velocity));
        if (size == 100) {
            // One cell, exactly as the solver's own stir.
            FluidSolver single(size, size, 0.001f, 0.01f, 20);
            single.setVelocity(37, 52, velocity);
            EXPECT_TRUE(fluidtest::sameField(sim.fluidSolver().velocity, single.velocity));
        }
    }
}

TEST_F(SimulationTest, AnotherGridKeepsTheObstaclesAndSettingsAndStartsAtRest) {
    Simulation sim(clock());
    const std::vector<Vec2> triangle = {{10, 10}, {60, 20}, {30, 70}};
    for (const Vec2& c : triangle) {
        ASSERT_TRUE(sim.apply(Operation::corner(static_cast<int>(c.x), static_cast<int>(c.y))));
    }
    ASSERT_TRUE(sim.apply(Operation::buildObstacle()));
    const Obstacle original = sim.fluidSolver().obstacles[0];
    sim.apply(Operation::iterations(7));
    sim.apply(Operation::viscosityEnabled(false));
    sim.apply(Operation::stir(50, 50, Vec2(100.0f, 0.0f)));
    sim.apply(Operation::pourDye(Vec2(40, 40), Vec2(60, 40)));

    ASSERT_TRUE(sim.apply(Operation::gridSize(400)));
    EXPECT_TRUE(fluidtest::atRest(sim.fluidSolver().velocity));
    EXPECT_TRUE(sim.dye().empty());
    EXPECT_EQ(sim.fluidSolver().iterations, 7);
    EXPECT_FALSE(sim.fluidSolver().viscosityEnabled);
    // Each corner to the cell of the 4 x 4 block that holds the old cell's centre.
    ASSERT_EQ(sim.obstacleOutlines().size(), 1u);
    const std::vector<Vec2> scaled = {{42, 42}, {242, 82}, {122, 282}};
    for (std::size_t k = 0; k < scaled.size(); ++k) {
        EXPECT_EQ(sim.obstacleOutlines()[0][k].x, scaled[k].x);
        EXPECT_EQ(sim.obstacleOutlines()[0][k].y, scaled[k].y);
    }
    ASSERT_EQ(sim.fluidSolver().obstacles.size(), 1);
    EXPECT_GT(sim.fluidSolver().obstacles[0].interiorCount, 15 * original.interiorCount);

    // And back: the same corners, and so the same obstacle, cell for cell.
    ASSERT_TRUE(sim.apply(Operation::gridSize(100)));
    const Obstacle& back = sim.fluidSolver().obstacles[0];
    ASSERT_EQ(back.interiorCount, original.interiorCount);
    ASSERT_EQ(back.boundaryCount, original.boundaryCount);
    for (int k = 0; k < original.interiorCount; ++k) {
        EXPECT_EQ(back.interiorCells[k].x, original.interiorCells[k].x);
        EXPECT_EQ(back.interiorCells[k].y, original.interiorCells[k].y);
    }
    EXPECT_FALSE(sim.apply(Operation::gridSize(300)));
    EXPECT_EQ(sim.gridSize(), 100);
}

TEST_F(SimulationTest, AFluidThatNoLongerChangesStopsSteppingUntilSomethingChangesIt) {
    Simulation sim(clock());
    const auto stepsIn = [&](int gates) {
        int steps = 0;
        for (int k = 0; k < gates; ++k) {
            now += 16 * kMs;
            steps += sim.advance() ? 1 : 0;
        }
        return steps;
    };
    // At rest, a step changes no bit; the check on the 32nd step finds that.
    EXPECT_EQ(stepsIn(100), Simulation::kSettleCheckPeriod);
    EXPECT_TRUE(sim.isSettled());

    sim.apply(Operation::stir(50, 50, Vec2(400.0f, 0.0f)));
    sim.apply(Operation::pourDye(Vec2(45, 50), Vec2(55, 50)));
    EXPECT_EQ(stepsIn(100), 100);
    EXPECT_FALSE(sim.isSettled());
    // Rest: no velocity, in the scratch field either, and no dye; a fluid that then stays still.
    sim.apply(Operation::rest());
    EXPECT_TRUE(fluidtest::atRest(sim.fluidSolver().velocity));
    EXPECT_TRUE(fluidtest::atRest(sim.fluidSolver().scratchVelocity));
    EXPECT_TRUE(sim.dye().empty());
    EXPECT_EQ(stepsIn(100), Simulation::kSettleCheckPeriod);
    EXPECT_TRUE(fluidtest::atRest(sim.fluidSolver().velocity));
    sim.apply(Operation::iterations(5));
    EXPECT_FALSE(sim.isSettled());

    // Dye poured into the still fluid fades, at a tenth a step, below what a display shows
    // within 60 steps; then it is gone and the fluid settles at the next check but one.
    sim.apply(Operation::fade(100.0f));
    sim.apply(Operation::pourDye(Vec2(45, 50), Vec2(55, 50)));
    EXPECT_LE(stepsIn(200), 60 + 2 * Simulation::kSettleCheckPeriod);
    EXPECT_TRUE(sim.isSettled());
    EXPECT_TRUE(sim.dye().empty());
}

// Lines back and forth along two rows each read the cells that the one before wrote, so that
// their outline copies add up until the solver's limit refuses one. A refused obstacle, a grid
// the obstacles do not fit and a scene past the limit each change nothing and say why.
TEST_F(SimulationTest, ObstaclesPastTheCopyLimitAreRefusedAndChangeNothing) {
    Simulation sim(clock(), 200);
    const auto placeLine = [&sim](int k) {
        const int from = k % 2 == 0 ? 197 : 2;
        const int to = k % 2 == 0 ? 2 : 197;
        const int row = 101 + k % 2;  // rows 50 and 51 on the grid of 100
        for (const int i : {from, to, 100}) {
            sim.apply(Operation::corner(i, row));
        }
    };
    int built = 0;
    for (; built < SceneLimits::kMaxObstacles; ++built) {
        placeLine(built);
        if (!sim.apply(Operation::buildObstacle())) {
            break;
        }
    }
    ASSERT_LT(built, SceneLimits::kMaxObstacles);
    EXPECT_EQ(sim.obstacleOutlines().size(), static_cast<std::size_t>(built));
    EXPECT_EQ(sim.corners().size(), 3u);  // the refused obstacle's corners stay
    EXPECT_EQ(sim.refusalText().rfind("The obstacle is refused: it would make the obstacles copy "
                                      "more than 40000 outline cells in each pass",
                                      0),
              0u)
        << sim.refusalText();
    sim.apply(Operation::discardCorners());
    EXPECT_EQ(sim.refusalText(), "");

    // Halved, the lines copy half as much, but the smaller grid allows a quarter.
    const Scene before = sim.scene(true);
    EXPECT_FALSE(sim.apply(Operation::gridSize(100)));
    EXPECT_EQ(
        sim.refusalText().rfind("The grid stays 200 x 200: on a grid of 100 x 100, obstacle ", 0),
        0u)
        << sim.refusalText();
    EXPECT_EQ(sim.gridSize(), 200);
    EXPECT_EQ(sim.obstacleOutlines().size(), before.obstacles.size());

    Scene smaller = before;
    smaller.gridSize = 100;
    smaller.hasFields = false;
    for (std::vector<Vec2>& outline : smaller.obstacles) {
        for (Vec2& c : outline) {
            c = Vec2(std::floor((c.x + 0.5f) / 2), std::floor((c.y + 0.5f) / 2));
        }
    }
    const std::string problem = sim.openScene(smaller);
    EXPECT_NE(problem.find("of the scene would make the obstacles copy more than 10000"),
              std::string::npos)
        << problem;
    EXPECT_EQ(sim.gridSize(), 200);
    EXPECT_EQ(sim.scene(true).obstacles.size(), before.obstacles.size());
}

// The controller on a clock that the test moves, with no display: the step gate and the timer
// that wakes when it opens, the timing of one step in 21, pause and rest, what it says on the
// status bar, and a replay kept to its recorded pace. A reference solver replays what the
// controller should have done.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTimer>
#include <cstdint>

#include "FluidSolver.h"
#include "FluidTestSupport.h"
#include "SimulationController.h"

namespace {

constexpr std::int64_t kMs = 1000000;

class SimulationControllerTest : public testing::Test {
protected:
    std::int64_t now = 1000 * kMs;
    SimulationController controller{[this] { return now; }, SceneLimits::kDefaultGridSize};
    FluidSolver expected{100, 100, 0.001f, 0.01f, 20};
    QTimer* timer = controller.findChild<QTimer*>();

    const FluidSolver& solver() const { return controller.simulation().fluidSolver(); }
    int counter() const { return controller.simulation().stepsSinceTimedStep(); }
    // Past the default grid's gate: 16 ms after the last frame.
    void tickPastGate() {
        now += 16 * kMs;
        controller.tick();
    }
    testing::AssertionResult sameAsExpected() const {
        return fluidtest::sameField(solver().velocity, expected.velocity)
                   ? testing::AssertionSuccess()
                   : testing::AssertionFailure() << "the velocity is not the reference's";
    }
};

}  // namespace

TEST_F(SimulationControllerTest, TicksInsideTheGateDoNothingAndTheFirstStepIsTimed) {
    QSignalSpy timed(&controller, &SimulationController::stepTimed);
    QSignalSpy changed(&controller, &SimulationController::fluidChanged);
    now += 15 * kMs;
    controller.tick();
    EXPECT_EQ(counter(), 20);
    EXPECT_EQ(timed.count(), 0);
    EXPECT_EQ(changed.count(), 0);

    now += 1 * kMs;
    controller.tick();
    EXPECT_EQ(counter(), 0);
    EXPECT_EQ(timed.count(), 1);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(SimulationControllerTest, TheTimerWakesOnceWhenTheGateOpensNeverBefore) {
    ASSERT_NE(timer, nullptr);
    // Every tick sets the timer for the moment the gate opens, rounded up to a millisecond:
    // right after a step, 5.5 ms later, and once the gate is open.
    const auto expectWakeAtGate = [&](int ms) {
        EXPECT_TRUE(timer->isActive());
        EXPECT_TRUE(timer->isSingleShot());
        EXPECT_EQ(timer->interval(), ms);
    };
    tickPastGate();
    expectWakeAtGate(16);
    now += 5 * kMs + kMs / 2;
    controller.tick();
    expectWakeAtGate(11);
    tickPastGate();
    expectWakeAtGate(16);
}

TEST_F(SimulationControllerTest, ExactlyOneStepIn21IsTimed) {
    // A stir and the first step, a timed one; the fluid then moves and never settles, so every
    // tick past the gate steps.
    QSignalSpy timed(&controller, &SimulationController::stepTimed);
    controller.apply(Operation::stir(51, 50, Vec2(500.0f, 0.0f)));
    tickPastGate();
    EXPECT_EQ(counter(), 0);
    for (int step = 1; step < 42; ++step) {
        SCOPED_TRACE(step);
        const int before = timed.count();
        tickPastGate();
        EXPECT_EQ(counter(), step % 21);
        EXPECT_EQ(timed.count() - before, step % 21 == 0 ? 1 : 0);
    }
    EXPECT_EQ(timed.count(), 2);
}

TEST_F(SimulationControllerTest, AStirThenEachTickPastTheGateIsOneSolverStep) {
    controller.apply(Operation::stir(51, 50, Vec2(330 * 50, 320 * 50)));
    expected.setVelocity(51, 50, Vec2(330 * 50, 320 * 50));
    for (int tick = 0; tick < 3; ++tick) {
        tickPastGate();
        expected.step();
        // A tick inside the gate steps nothing.
        controller.tick();
    }
    EXPECT_TRUE(sameAsExpected());
    EXPECT_FALSE(fluidtest::atRest(solver().velocity));

    controller.apply(Operation::viscosity(1000.0f));
    EXPECT_FLOAT_EQ(solver().kinematicViscosity, 10.0f);
    controller.apply(Operation::viscosity(1.0f));
    EXPECT_FLOAT_EQ(solver().kinematicViscosity, 0.01f);
}

TEST_F(SimulationControllerTest, PausedTheFluidStandsStillButStirsAndObstaclesApplyAtOnce) {
    QSignalSpy changed(&controller, &SimulationController::fluidChanged);
    controller.apply(Operation::stir(51, 50, Vec2(500.0f, 0.0f)));
    expected.setVelocity(51, 50, Vec2(500.0f, 0.0f));
    tickPastGate();
    expected.step();
    controller.setPaused(true);
    EXPECT_TRUE(controller.isPaused());
    EXPECT_FALSE(timer->isActive());
    tickPastGate();
    EXPECT_TRUE(sameAsExpected());

    // A stir applies without a step, and the view is told to show it.
    const int before = changed.count();
    controller.apply(Operation::stir(62, 50, Vec2(500.0f, 0.0f)));
    expected.setVelocity(62, 50, Vec2(500.0f, 0.0f));
    EXPECT_TRUE(sameAsExpected());
    EXPECT_GT(changed.count(), before);

    // An obstacle across the stirred row is imposed by a projection straight away.
    for (const Operation& op : {Operation::corner(55, 40), Operation::corner(70, 40),
                                Operation::corner(62, 60), Operation::buildObstacle()}) {
        ASSERT_TRUE(controller.apply(op));
    }
    const Vec2 triangle[] = {Vec2(55, 40), Vec2(70, 40), Vec2(62, 60)};
    expected.addObstacle(triangle, 3);
    expected.project(expected.velocity);
    EXPECT_TRUE(sameAsExpected());

    // Resumed, the gate has long been open: the fluid steps at once.
    controller.setPaused(false);
    expected.step();
    EXPECT_TRUE(sameAsExpected());
    EXPECT_TRUE(timer->isActive());
}

TEST_F(SimulationControllerTest, RestStopsEveryCellKeepsTheObstaclesAndStaysAtRest) {
    for (const Operation& op :
         {Operation::corner(20, 20), Operation::corner(40, 20), Operation::corner(30, 40),
          Operation::buildObstacle(), Operation::stir(51, 50, Vec2(500.0f, 0.0f))}) {
        ASSERT_TRUE(controller.apply(op));
    }
    for (int tick = 0; tick < 3; ++tick) {
        tickPastGate();
    }
    ASSERT_FALSE(fluidtest::atRest(solver().velocity));

    QSignalSpy changed(&controller, &SimulationController::fluidChanged);
    controller.apply(Operation::rest());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(fluidtest::atRest(solver().velocity));
    EXPECT_EQ(solver().obstacles.size(), 1);
    // The diffusion starts from the scratch field: left as it was, it would stir the fluid again.
    for (int tick = 0; tick < 3; ++tick) {
        tickPastGate();
    }
    EXPECT_TRUE(fluidtest::atRest(solver().velocity));
}

TEST_F(SimulationControllerTest, SaysWhatEachOperationDidAndNothingForOneThatDidNothing) {
    QSignalSpy messages(&controller, &SimulationController::statusMessage);
    const auto said = [&]() -> QString {
        return messages.isEmpty() ? QString() : messages.takeLast().at(0).toString();
    };
    struct Case {
        Operation op;
        const char* message;  // the start of what is said; empty for nothing at all
    };
    const Case cases[] = {
        {Operation::corner(10, 10),
         "1 corner: right-click at least 2 more, Ctrl+Z to remove the last, Esc to discard"},
        {Operation::corner(30, 10), "2 corners: right-click at least 1 more"},
        {Operation::buildObstacle(), "2 corners: right-click at least 1 more"},
        {Operation::corner(20, 30),
         "3 corners: middle-click to close, Ctrl+Z to remove the last, Esc to discard"},
        {Operation::corner(5, 40), "4 corners: middle-click to close"},
        {Operation::corner(100, 40), ""},  // outside the grid
        {Operation::removeLastCorner(), "3 corners: "},
        {Operation::buildObstacle(), "Obstacle added, 1 in all: Clear Obstacles removes them"},
        {Operation::removeLastCorner(), ""},
        {Operation::discardCorners(), ""},
        {Operation::corner(60, 60), "1 corner: "},
        {Operation::discardCorners(), "Corners discarded"},
        {Operation::rest(), "The fluid is at rest and the dye cleared; obstacles stay"},
        {Operation::gridSize(200), "Grid of 200 x 200 cells: the fluid starts at rest"},
        {Operation::gridSize(200), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        controller.apply(c.op);
        const QString message = said();
        EXPECT_TRUE(QString(c.message).isEmpty() ? message.isEmpty()
                                                 : message.startsWith(c.message))
            << message.toStdString();
    }
    controller.setPaused(true);
    EXPECT_TRUE(said().startsWith("Paused: P resumes"));
    controller.setPaused(false);
    EXPECT_EQ(said(), "Running: P pauses");
}

TEST_F(SimulationControllerTest, AReplayKeepsItsRecordedPaceTakesNoOperationAndEndsWithAVerdict) {
    controller.startRecording();
    controller.apply(Operation::stir(51, 50, Vec2(500.0f, 0.0f)));
    for (int tick = 0; tick < 70; ++tick) {
        tickPastGate();
    }
    now += 400 * kMs;  // paused as far as the recording can tell: a wait
    controller.apply(Operation::corner(10, 10));
    tickPastGate();
    const Recording recording = controller.stopRecording();

    QSignalSpy finished(&controller, &SimulationController::replayFinished);
    QSignalSpy progress(&controller, &SimulationController::replayProgress);
    controller.startReplay(recording);
    EXPECT_TRUE(controller.isReplaying());
    EXPECT_FALSE(controller.apply(Operation::stir(20, 20, Vec2(1.0f, 0.0f))));
    // Each tick past the gate takes one step of the replay, never more, except while the
    // recorded wait of 400 ms holds it back: 24 ticks 16 ms apart.
    long long steps = 0;
    int held = 0;
    for (int tick = 0; tick < 200 && finished.isEmpty(); ++tick) {
        tickPastGate();
        if (progress.isEmpty()) {
            ++held;
            continue;
        }
        const long long step = progress.takeLast().at(0).toLongLong();
        progress.clear();
        EXPECT_LE(step, steps + 1);
        steps = step;
    }
    EXPECT_EQ(held, 24);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toString(), "replay verified: 1 of 1 checkpoints");
    EXPECT_EQ(steps, 71);
    EXPECT_FALSE(controller.isReplaying());
    EXPECT_EQ(controller.simulation().corners().size(), 1u);
}

// On a finer grid a fluid whose dye has faded and whose picture stays the same for a second is
// held still, and steps again once its picture's settings or the fluid change; the default grid
// steps on, as its settle check alone decides.
TEST(SimulationControllerRestTest, AFinerGridRestsWhenNothingMoreShows) {
    for (const int grid : {100, 400}) {
        SCOPED_TRACE(grid);
        std::int64_t now = 1000 * kMs;
        SimulationController controller([&now] { return now; }, grid);
        // The steps of a number of frames, each filled as the view fills it.
        const auto stepsIn = [&](int frames, bool pictureChanged) {
            QSignalSpy changed(&controller, &SimulationController::fluidChanged);
            for (int k = 0; k < frames; ++k) {
                now += 17 * kMs;
                controller.tick();
                controller.frameFilled(pictureChanged);
            }
            return changed.count();
        };
        controller.apply(Operation::stir(grid / 2, grid / 2, Vec2(500.0f, 0.0f)));
        EXPECT_EQ(stepsIn(30, true), 30);
        const int held = grid == 100 ? 90 : SimulationController::kQuietFrames;
        EXPECT_EQ(stepsIn(90, false), held);
        controller.pictureSettingsChanged();
        EXPECT_EQ(stepsIn(5, false), 5);
        controller.apply(Operation::stir(grid / 3, grid / 2, Vec2(500.0f, 0.0f)));
        EXPECT_EQ(stepsIn(5, true), 5);
    }
}

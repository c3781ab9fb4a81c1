// Recordings and scenes apart from any window: a session recorded on one kernel path replays to
// the same bits on every other, a changed recording is caught at the checkpoint where it first
// differs, and a scene with its fields steps on as the session it came from.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "FieldDigest.h"
#include "FluidTestSupport.h"
#include "Replay.h"
#include "Simulation.h"

namespace {

constexpr std::int64_t kMs = 1000000;

template <typename T>
bool sameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

bool sameOutlines(const Simulation& a, const Simulation& b) {
    const auto& x = a.obstacleOutlines();
    const auto& y = b.obstacleOutlines();
    if (x.size() != y.size()) {
        return false;
    }
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (!sameBits(x[k], y[k])) {
            return false;
        }
    }
    return true;
}

// The velocity, the scratch field, the dye and the obstacles agree to the bit.
void expectSameFluid(const Simulation& a, const Simulation& b) {
    EXPECT_TRUE(fluidtest::sameField(a.fluidSolver().velocity, b.fluidSolver().velocity));
    EXPECT_TRUE(
        fluidtest::sameField(a.fluidSolver().scratchVelocity, b.fluidSolver().scratchVelocity));
    EXPECT_TRUE(sameBits(a.dye().red(), b.dye().red()));
    EXPECT_TRUE(sameBits(a.dye().blue(), b.dye().blue()));
    EXPECT_TRUE(sameOutlines(a, b));
}

class ReplayTest : public testing::Test {
protected:
    std::int64_t now = 1000 * kMs;
    Simulation::Clock clock() {
        return [this] { return now; };
    }
    void steps(Simulation& sim, int count) {
        for (int k = 0; k < count; ++k) {
            now += 16 * kMs;
            sim.apply(Operation::step());
        }
    }
    // A drag of count moves along row j from column i, with dye, a step after each move.
    void drag(Simulation& sim, int i, int j, int count) {
        sim.apply(Operation::beginDrag());
        for (int k = 0; k < count; ++k) {
            const float x = static_cast<float>(i + k);
            sim.apply(
                Operation::stir(i + k, j, Vec2(static_cast<float>((k % 5 - 2) * 150), 100.0f)));
            sim.apply(Operation::pourDye(Vec2(x - 1.0f, static_cast<float>(j)), Vec2(x, j + 0.5f)));
            steps(sim, 1);
        }
    }
    void corners(Simulation& sim, const std::vector<Vec2>& cells) {
        for (const Vec2& c : cells) {
            sim.apply(Operation::corner(static_cast<int>(c.x), static_cast<int>(c.y)));
        }
    }
    // A session as a user makes one: drags with dye, an obstacle built paused and one running,
    // settings changed, a corner taken back, idle time, a finer grid, rest. 130 steps.
    void playSession(Simulation& sim) {
        drag(sim, 20, 50, 20);
        sim.apply(Operation::pause(true));
        corners(sim, {{60, 20}, {75, 22}, {70, 40}});
        sim.apply(Operation::buildObstacle());
        sim.apply(Operation::pause(false));
        steps(sim, 15);
        sim.apply(Operation::viscosity(3.5f));
        sim.apply(Operation::iterations(12));
        sim.apply(Operation::fade(10.0f));
        now += 500 * kMs;
        corners(sim, {{10, 80}, {30, 80}, {30, 95}, {99, 99}});
        sim.apply(Operation::removeLastCorner());
        sim.apply(Operation::buildObstacle());
        steps(sim, 25);
        sim.apply(Operation::gridSize(200));
        drag(sim, 100, 120, 10);
        steps(sim, 10);
        sim.apply(Operation::rest());
        drag(sim, 40, 40, 5);
        sim.apply(Operation::viscosityEnabled(false));
        steps(sim, 45);
    }
};

}  // namespace

TEST_F(ReplayTest, ARecordingReplaysVerifiedOnEveryKernelPathAndMachine) {
    Simulation recorded(clock());
    recorded.useSimdPath(fastestSimdPath());
    drag(recorded, 30, 30, 5);  // the recording starts from a moving fluid with dye
    recorded.startRecording();
    playSession(recorded);
    const Recording recording = recorded.stopRecording();

    ASSERT_EQ(recorded.recordedSteps(), 130);
    std::vector<std::uint64_t> digests;
    int waits = 0;
    for (const Operation& op : recording.operations) {
        if (op.kind == OperationKind::Checkpoint) {
            digests.push_back(op.digest);
        }
        waits += op.kind == OperationKind::Wait && op.count == 500;
    }
    EXPECT_EQ(waits, 1);
    // The same on every compiler, kernel path and processor.
    EXPECT_EQ(digests, (std::vector<std::uint64_t>{0x01e803c65f5d160a, 0xd1fc329dd8d3d9e9}));

    for (SimdPath path : {SimdPath::Portable, SimdPath::Avx2}) {
        if (!isSimdPathSupported(path)) {
            continue;
        }
        SCOPED_TRACE(simdPathName(path));
        Simulation replayed(clock(), 400);
        replayed.useSimdPath(path);
        Replay replay(recording);
        replay.begin(replayed);
        std::vector<std::int64_t> waited;
        while (replay.advance(replayed)) {
            if (replay.waitNanos() > 0) {
                waited.push_back(replay.waitNanos());
            }
        }
        EXPECT_EQ(replay.verdict(), "replay verified: 2 of 2 checkpoints");
        EXPECT_EQ(replay.stepsDone(), 130);
        EXPECT_EQ(waited, std::vector<std::int64_t>{500 * kMs});
        expectSameFluid(replayed, recorded);
    }
}

TEST_F(ReplayTest, AChangedRecordingIsCaughtAtTheCheckpointWhereItFirstDiffers) {
    Simulation recorded(clock());
    recorded.startRecording();
    playSession(recorded);
    const Recording recording = recorded.stopRecording();

    // A stir before the first checkpoint, made a little stronger. The fluid at rest forgets it:
    // the checkpoint after the rest is reproduced.
    Recording changed = recording;
    int stirs = 0;
    for (Operation& op : changed.operations) {
        if (op.kind == OperationKind::Stir && ++stirs == 15) {
            op.a.x += 1.0f;
        }
    }
    Simulation replayed(clock());
    Replay replay(changed);
    replay.begin(replayed);
    while (replay.advance(replayed)) {
    }
    EXPECT_EQ(replay.firstDifference(), 60);
    EXPECT_EQ(replay.verdict(),
              "replay differs from the recording at step 60: 1 of 2 checkpoints reproduced");
}

TEST_F(ReplayTest, ASceneWithItsFieldsStepsOnAsTheSessionWould) {
    Simulation session(clock());
    playSession(session);
    corners(session, {{5, 5}, {9, 5}});
    const Scene scene = session.scene(true);

    Simulation opened(clock(), 400);
    ASSERT_EQ(opened.openScene(scene), "");
    EXPECT_EQ(opened.corners().size(), 2u);
    for (Simulation* sim : {&session, &opened}) {
        drag(*sim, 50, 50, 3);
        steps(*sim, 30);
    }
    expectSameFluid(opened, session);
    EXPECT_EQ(opened.settings().iterations, 12);

    // Without its fields a scene starts at rest, with its obstacles.
    ASSERT_EQ(opened.openScene(session.scene(false)), "");
    EXPECT_TRUE(fluidtest::atRest(opened.fluidSolver().velocity));
    EXPECT_TRUE(opened.dye().empty());
    EXPECT_TRUE(sameOutlines(opened, session));
}

TEST_F(ReplayTest, ARecordingStopsTakingOperationsAtTheMostAFileHoldsAndStaysReadable) {
    Simulation sim(clock());
    sim.startRecording();
    for (std::size_t k = 0; k < Recording::kMaxOperations; ++k) {
        sim.apply(Operation::fade(static_cast<float>(k % 100)));
    }
    EXPECT_TRUE(sim.recordingFull());
    steps(sim, 1);
    const Recording full = sim.stopRecording();
    EXPECT_LE(full.operations.size(), Recording::kMaxOperations);
    EXPECT_EQ(full.operations.back().kind, OperationKind::Fade);
    EXPECT_EQ(recordingProblem(full), "");
}

// Every kind of operation through the one dispatch: applied to a recording simulation it is
// kept, written to a recording file and read back it is the same, and replayed it leaves another
// simulation as the first. A kind added to the enumeration and missed in any of these places
// fails here.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "DocumentBits.h"
#include "RecordingFile.h"
#include "Replay.h"
#include "Simulation.h"

namespace {

using documenttest::difference;

constexpr std::int64_t kMs = 1000000;

// A session that uses every kind the window can apply; the recorder adds the waits and the
// checkpoints itself.
std::vector<Operation> session() {
    std::vector<Operation> ops = {
        Operation::beginDrag(),
        Operation::stir(40, 50, Vec2(500.0f, 25.0f)),
        Operation::push(41, 50, Vec2(250.0f, 25.0f)),
        Operation::project(),
        Operation::pourDye({39, 50}, {40, 50}),
        Operation::step(30),
        Operation::corner(10, 10),
        Operation::corner(30, 10),
        Operation::corner(20, 30),
        Operation::corner(5, 40),
        Operation::removeLastCorner(),
        Operation::buildObstacle(),
        Operation::corner(60, 60),
        Operation::discardCorners(),
        Operation::viscosity(3.5f),
        Operation::iterations(12),
        Operation::viscosityEnabled(false),
        Operation::fade(10.0f),
        Operation::pause(true),
        Operation::pause(false),
        Operation::step(40),
        Operation::clearObstacles(),
        Operation::flow(Flow::WindTunnel),
        Operation::flowSpeed(1.5f),
        Operation::swirl(20.0f),
        Operation::step(10),
        Operation::gridSize(200),
        Operation::stir(100, 100, Vec2(-300.0f, 0.0f)),
        Operation::step(5),
        Operation::rest(),
        Operation::step(1),
    };
    return ops;
}

}  // namespace

TEST(EveryOperationTest, EachKindIsAppliedRecordedWrittenAndReplayed) {
    std::int64_t now = 1000 * kMs;
    Simulation recorded([&now] { return now; });
    recorded.startRecording();
    for (const Operation& op : session()) {
        now += op.kind == OperationKind::Pause ? 300 * kMs : kMs;  // a pause long enough to wait
        EXPECT_TRUE(recorded.apply(op)) << "kind " << static_cast<int>(op.kind);
    }
    RecordingDocument written{recorded.stopRecording(), DisplaySettings()};

    std::set<int> kinds;
    for (const Operation& op : written.recording.operations) {
        kinds.insert(static_cast<int>(op.kind));
    }
    for (int k = 0; k < static_cast<int>(OperationKind::Count); ++k) {
        EXPECT_TRUE(kinds.count(k) == 1) << "kind " << k << " is never recorded: add it to the "
                                         << "session, to Simulation::apply and to the file forms";
    }

    RecordingDocument read;
    QString error;
    ASSERT_TRUE(RecordingFile::parse(RecordingFile::serialize(written), read, error))
        << error.toStdString();
    EXPECT_EQ(difference(read, written), "");

    Simulation replayed([&now] { return now; });
    Replay replay(read.recording);
    replay.begin(replayed);
    while (replay.advance(replayed)) {
    }
    EXPECT_EQ(replay.verdict(), "replay verified: 1 of 1 checkpoints");
    EXPECT_EQ(difference(replayed.scene(true), recorded.scene(true)), "");
    EXPECT_EQ(replayed.corners().size(), recorded.corners().size());
}

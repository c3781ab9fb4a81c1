#include "Replay.h"

#include "FieldDigest.h"
#include "Simulation.h"

Replay::Replay(Recording recording_) : recording(std::move(recording_)) {
    for (const Operation& op : recording.operations) {
        if (op.kind == OperationKind::Step) {
            totalSteps += op.count;
        } else if (op.kind == OperationKind::Checkpoint) {
            ++totalCheckpoints;
        }
    }
}

std::string Replay::begin(Simulation& sim) const {
    const std::string problem = sim.openScene(recording.start);
    if (problem.empty()) {
        sim.apply(Operation::pause(recording.startPaused));
    }
    return problem;
}

bool Replay::advance(Simulation& sim) {
    wait = 0;
    while (!finished()) {
        if (stepsLeft > 0) {
            --stepsLeft;
            ++steps;
            sim.apply(Operation::step());
            break;
        }
        const Operation& op = recording.operations[next++];
        if (op.kind == OperationKind::Step) {
            stepsLeft = op.count;
        } else if (op.kind == OperationKind::Wait) {
            wait = static_cast<std::int64_t>(op.count) * 1000000;
            break;
        } else if (op.kind == OperationKind::Checkpoint) {
            check(op, sim);
        } else {
            sim.apply(op);
        }
    }
    // A checkpoint right after the step belongs to it.
    while (stepsLeft == 0 && next < recording.operations.size() &&
           recording.operations[next].kind == OperationKind::Checkpoint) {
        check(recording.operations[next++], sim);
    }
    return !finished();
}

void Replay::check(const Operation& checkpoint, const Simulation& sim) {
    ++checkpointsReached;
    if (fieldDigest(sim.fluidSolver().velocity) == checkpoint.digest) {
        ++verified;
    } else if (differsAt < 0) {
        differsAt = steps;
    }
}

std::string Replay::verdict() const {
    if (differsAt >= 0) {
        return "replay differs from the recording at step " + std::to_string(differsAt) + ": " +
               std::to_string(verified) + " of " + std::to_string(totalCheckpoints) +
               " checkpoints reproduced";
    }
    return "replay verified: " + std::to_string(verified) + " of " +
           std::to_string(totalCheckpoints) + " checkpoints";
}

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

void Replay::begin(Simulation& sim) const {
    sim.openScene(recording.start);
    sim.setPaused(recording.startPaused);
}

bool Replay::advance(Simulation& sim) {
    wait = 0;
    while (!finished()) {
        if (stepsLeft > 0) {
            --stepsLeft;
            ++steps;
            sim.step();
            break;
        }
        const Operation& op = recording.operations[next++];
        if (op.kind == OperationKind::Step) {
            stepsLeft = op.count;
        } else if (op.kind == OperationKind::Wait) {
            wait = static_cast<std::int64_t>(op.count) * 1000000;
            break;
        } else {
            apply(op, sim);
        }
    }
    // A checkpoint right after the step belongs to it.
    while (stepsLeft == 0 && next < recording.operations.size() &&
           recording.operations[next].kind == OperationKind::Checkpoint) {
        apply(recording.operations[next++], sim);
    }
    return !finished();
}

void Replay::apply(const Operation& op, Simulation& sim) {
    switch (op.kind) {
        case OperationKind::Stir:
            sim.stir(op.i, op.j, op.a);
            break;
        case OperationKind::BeginDrag:
            sim.beginDrag();
            break;
        case OperationKind::PourDye:
            sim.pourDye(op.a, op.b);
            break;
        case OperationKind::AddCorner:
            sim.addCorner(op.i, op.j);
            break;
        case OperationKind::RemoveLastCorner:
            sim.removeLastCorner();
            break;
        case OperationKind::DiscardCorners:
            sim.discardCorners();
            break;
        case OperationKind::BuildObstacle:
            sim.buildObstacle();
            break;
        case OperationKind::ClearObstacles:
            sim.clearObstacles();
            break;
        case OperationKind::Rest:
            sim.bringToRest();
            break;
        case OperationKind::GridSize:
            sim.setGridSize(op.count);
            break;
        case OperationKind::Viscosity:
            sim.setViscosityValue(op.value);
            break;
        case OperationKind::Iterations:
            sim.setIterations(op.count);
            break;
        case OperationKind::ViscosityEnabled:
            sim.setViscosityEnabled(op.count != 0);
            break;
        case OperationKind::Fade:
            sim.setFade(op.value);
            break;
        case OperationKind::Pause:
            sim.setPaused(op.count != 0);
            break;
        case OperationKind::Checkpoint:
            ++checkpointsReached;
            if (fieldDigest(sim.fluidSolver().velocity) == op.digest) {
                ++verified;
            } else if (differsAt < 0) {
                differsAt = steps;
            }
            break;
        case OperationKind::Step:
        case OperationKind::Wait:
            break;  // advance handles these
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

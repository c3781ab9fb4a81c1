#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Recording.h"

class Simulation;

// Plays a recording back on a simulation, operation by operation, and checks at every checkpoint
// that the velocity has the recorded digest. The solver gives the same bits on every machine and
// kernel path, so a recording made anywhere replays verified anywhere.
class Replay {
public:
    // The recording must have no recordingProblem.
    explicit Replay(Recording recording);

    // Opens the start scene on sim, paused or running as the recording started. Returns an empty
    // string, or why the scene cannot be opened (Simulation::openScene); then sim is unchanged.
    std::string begin(Simulation& sim) const;
    // Applies the operations up to and including the next step, or up to the next wait, or to
    // the end. Returns whether operations remain.
    bool advance(Simulation& sim);
    bool finished() const { return next == recording.operations.size() && stepsLeft == 0; }
    // The time that passed in the recording, where advance stopped, before the next operation;
    // 0 when it stopped after a step.
    std::int64_t waitNanos() const { return wait; }

    long long stepsDone() const { return steps; }
    long long stepCount() const { return totalSteps; }
    int checkpointCount() const { return totalCheckpoints; }
    int checkpointsVerified() const { return verified; }
    // The step after which a checkpoint first differed; -1 while none has.
    long long firstDifference() const { return differsAt; }
    // "replay verified: 42 of 42 checkpoints", or where the replay first differs.
    std::string verdict() const;

    const Recording& source() const { return recording; }

private:
    // Compares the velocity's digest with a checkpoint's.
    void check(const Operation& checkpoint, const Simulation& sim);

    Recording recording;
    std::size_t next = 0;
    int stepsLeft = 0;  // of the step operation under way
    std::int64_t wait = 0;
    long long steps = 0;
    long long totalSteps = 0;
    int totalCheckpoints = 0;
    int checkpointsReached = 0;
    int verified = 0;
    long long differsAt = -1;
};

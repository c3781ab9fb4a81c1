#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Operation.h"
#include "Scene.h"

// A session of the window: the scene it started from, fields included, and everything done to
// the fluid after, with a digest of the velocity every kCheckpointPeriod steps.
struct Recording {
    static constexpr int kCheckpointPeriod = 60;
    // Limits that no recording made in the window reaches; a file past them is refused.
    static constexpr std::size_t kMaxOperations = 1000000;
    static constexpr int kMaxStepsInOperation = 1000000;
    // Steps of all the Step operations together: 46 hours at 60 steps a second.
    static constexpr std::int64_t kMaxTotalSteps = 10000000;
    static constexpr int kMaxWaitMs = 3600000;
    static constexpr float kMaxStir = 1e7f;
    // Largest coordinate of a PourDye end, in grid positions: far outside any grid.
    static constexpr float kMaxDyeCoordinate = 1e6f;

    Scene start;
    bool startPaused = false;
    std::vector<Operation> operations;
};

// Empty when the recording can be replayed; otherwise what is wrong with it, in a sentence: the
// start scene's problem (it must hold its fields), an operation count past the limit, or an
// operation whose numbers are out of range, such as a stir or a corner outside the grid in
// effect at that point.
std::string recordingProblem(const Recording& recording);

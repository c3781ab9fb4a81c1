#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Scene.h"
#include "Vec2.h"

// One thing that happened to the fluid, in the order the solver saw it. Which members a kind
// uses is given with it; the others stay 0.
enum class OperationKind : std::uint8_t {
    Step,              // count steps, one after another
    Stir,              // the block of cell (i, j) takes velocity a; the field is projected
    BeginDrag,         // a drag begins: its dye takes the next colour
    PourDye,           // dye along the segment from a to b, in grid positions
    AddCorner,         // corner at cell (i, j)
    RemoveLastCorner,  //
    DiscardCorners,    //
    BuildObstacle,     // from the corners collected
    ClearObstacles,    //
    Rest,              // every velocity to zero, the dye cleared
    GridSize,          // count cells a side
    Viscosity,         // value, in hundredths
    Iterations,        // count
    ViscosityEnabled,  // count 0 or 1
    Fade,              // value, thousandths a step
    Pause,             // count 1 pauses, 0 resumes
    Wait,              // count milliseconds in which nothing happened
    Checkpoint,        // digest: the velocity's fieldDigest after the steps so far
};

struct Operation {
    OperationKind kind = OperationKind::Step;
    int i = 0;
    int j = 0;
    int count = 0;
    float value = 0.0f;
    Vec2 a;
    Vec2 b;
    std::uint64_t digest = 0;

    // An operation of the kind with the count and value given, the rest 0.
    static Operation of(OperationKind kind, int count = 0, float value = 0.0f) {
        Operation made;
        made.kind = kind;
        made.count = count;
        made.value = value;
        return made;
    }
    // An operation on cell (i, j), with positions a and b for the kinds that take them.
    static Operation atCell(OperationKind kind, int i, int j, Vec2 a = Vec2(), Vec2 b = Vec2()) {
        Operation made = of(kind);
        made.i = i;
        made.j = j;
        made.a = a;
        made.b = b;
        return made;
    }
};

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

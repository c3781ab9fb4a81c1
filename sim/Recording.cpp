#include "Recording.h"

#include <cmath>

#include "ProblemText.h"

namespace {

// What the operations so far have set, as far as the checks of the next one need it.
struct ReplayState {
    int gridSize;
    FluidSettings settings;
    // Obstacles built since the last clearing, with the start's: at least as many as there are.
    std::size_t obstacles;
    std::int64_t steps = 0;
};

bool within(float value, float low, float high) {
    return value >= low && value <= high;
}

bool isCell(int i, int j, int n) {
    return i >= 0 && i < n && j >= 0 && j < n;
}

bool isBounded(const Vec2& v, float limit) {
    return within(v.x, -limit, limit) && within(v.y, -limit, limit);
}

std::string outsideGrid(int gridSize) {
    return ", outside the " + gridText(gridSize) + " grid in effect there";
}

// The rest of the sentence that begins "Operation k" when the operation is out of range; empty
// otherwise.
std::string stepProblem(const Operation& op, ReplayState& state) {
    if (op.count < 1 || op.count > Recording::kMaxStepsInOperation) {
        return " steps " + std::to_string(op.count) + " times: a step operation takes 1 to " +
               std::to_string(Recording::kMaxStepsInOperation);
    }
    state.steps += op.count;
    if (state.steps > Recording::kMaxTotalSteps) {
        return " brings the steps to " + std::to_string(state.steps) + ", more than the " +
               std::to_string(Recording::kMaxTotalSteps) + " a recording may take";
    }
    return {};
}

std::string motionProblem(const Operation& op, const ReplayState& state) {
    if (op.kind == OperationKind::Stir || op.kind == OperationKind::Push) {
        if (!isCell(op.i, op.j, state.gridSize)) {
            return " stirs cell " + cellText(op.i, op.j) + outsideGrid(state.gridSize);
        }
        if (!isBounded(op.a, Recording::kMaxStir)) {
            return " stirs at " + pointText(op.a) +
                   ": each component of a stir is finite and at most " +
                   numberText(Recording::kMaxStir) + " in size";
        }
        return {};
    }
    if (!isBounded(op.a, Recording::kMaxDyeCoordinate) ||
        !isBounded(op.b, Recording::kMaxDyeCoordinate)) {
        return " pours dye from " + pointText(op.a) + " to " + pointText(op.b) +
               ": each coordinate is finite and at most " +
               numberText(Recording::kMaxDyeCoordinate) + " in size";
    }
    return {};
}

std::string obstacleProblem(const Operation& op, ReplayState& state) {
    switch (op.kind) {
        case OperationKind::AddCorner:
            return isCell(op.i, op.j, state.gridSize)
                       ? std::string()
                       : " places a corner at cell " + cellText(op.i, op.j) +
                             outsideGrid(state.gridSize);
        case OperationKind::BuildObstacle:
            ++state.obstacles;
            return state.obstacles <= static_cast<std::size_t>(SceneLimits::kMaxObstacles)
                       ? std::string()
                       : " builds obstacle " + std::to_string(state.obstacles) +
                             ", more than the " + std::to_string(SceneLimits::kMaxObstacles) +
                             " a scene may hold";
        case OperationKind::ClearObstacles:
            state.obstacles = 0;
            return {};
        default:
            return {};
    }
}

// A switch's count: 1 on, 0 off.
std::string switchProblem(const Operation& op, const char* verb) {
    return op.count == 0 || op.count == 1
               ? std::string()
               : " " + std::string(verb) + " with " + std::to_string(op.count) + ": 1 is on, 0 off";
}

std::string settingProblem(const Operation& op, ReplayState& state) {
    switch (op.kind) {
        case OperationKind::GridSize:
            if (!SceneLimits::isOfferedGridSize(op.count)) {
                return " sets the grid to " + std::to_string(op.count) + " cells a side: use " +
                       offeredSizesText();
            }
            state.gridSize = op.count;
            return {};
        case OperationKind::Viscosity:
            state.settings.viscosityHundredths = op.value;
            break;
        case OperationKind::Iterations:
            state.settings.iterations = op.count;
            break;
        case OperationKind::Fade:
            state.settings.fadePerMille = op.value;
            break;
        case OperationKind::ViscosityEnabled:
            return switchProblem(op, "switches the viscosity");
        case OperationKind::Flow:
            state.settings.flow = static_cast<Flow>(op.count);
            break;
        case OperationKind::FlowSpeed:
            state.settings.flowSpeed = op.value;
            break;
        case OperationKind::Swirl:
            state.settings.swirl = op.value;
            break;
        default:
            return {};
    }
    const std::string problem = settingsProblem(state.settings);
    return problem.empty() ? problem : ": " + problem;
}

std::string operationProblem(const Operation& op, ReplayState& state) {
    switch (op.kind) {
        case OperationKind::Step:
            return stepProblem(op, state);
        case OperationKind::Stir:
        case OperationKind::Push:
        case OperationKind::PourDye:
            return motionProblem(op, state);
        case OperationKind::AddCorner:
        case OperationKind::BuildObstacle:
        case OperationKind::ClearObstacles:
            return obstacleProblem(op, state);
        case OperationKind::GridSize:
        case OperationKind::Viscosity:
        case OperationKind::Iterations:
        case OperationKind::ViscosityEnabled:
        case OperationKind::Fade:
        case OperationKind::Flow:
        case OperationKind::FlowSpeed:
        case OperationKind::Swirl:
            return settingProblem(op, state);
        case OperationKind::Pause:
            return switchProblem(op, "pauses");
        case OperationKind::Wait:
            return op.count >= 0 && op.count <= Recording::kMaxWaitMs
                       ? std::string()
                       : " waits " + std::to_string(op.count) + " ms: a wait lasts 0 to " +
                             std::to_string(Recording::kMaxWaitMs) + " ms";
        case OperationKind::BeginDrag:
        case OperationKind::RemoveLastCorner:
        case OperationKind::DiscardCorners:
        case OperationKind::Rest:
        case OperationKind::Checkpoint:
        case OperationKind::Project:
            return {};
        case OperationKind::Count:
            break;
    }
    return " is of an unknown kind, " + std::to_string(static_cast<int>(op.kind));
}

}  // namespace

std::string recordingProblem(const Recording& recording) {
    if (!recording.start.hasFields) {
        return "The start scene holds no fields: a recording starts from them.";
    }
    const std::string start = sceneProblem(recording.start);
    if (!start.empty()) {
        return "In the start scene, " + clause(start) + ".";
    }
    const std::size_t count = recording.operations.size();
    if (count > Recording::kMaxOperations) {
        return "The recording holds " + std::to_string(count) + " operations, more than the " +
               std::to_string(Recording::kMaxOperations) + " it may hold.";
    }
    ReplayState state{recording.start.gridSize, recording.start.settings,
                      recording.start.obstacles.size()};
    for (std::size_t k = 0; k < count; ++k) {
        const std::string problem = operationProblem(recording.operations[k], state);
        if (!problem.empty()) {
            return "Operation " + std::to_string(k + 1) + problem + ".";
        }
    }
    return {};
}

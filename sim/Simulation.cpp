#include "Simulation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "FieldDigest.h"
#include "ProblemText.h"

namespace {

// At the default size a step runs once more than 15 whole milliseconds have passed since the
// end of the last frame (16 ms or more), and never sooner than that after the last one started.
constexpr std::int64_t kFrameGateNs = 16000000;
// Steps are due 60 times a second, start to start.
constexpr std::int64_t kStepPeriodNs = 1000000000 / 60;
// The panel's viscosity value is in hundredths.
constexpr double kViscosityUnit = 0.01;
// A splat's radius, as a fraction of the grid's side.
constexpr float kSplatRadius = 0.015f;
// A recording notes the time that passed between two operations when it is longer than this:
// then nothing stepped (paused or settled), and a replay waits as long.
constexpr std::int64_t kWaitThresholdNs = 100000000;

}  // namespace

Simulation::Simulation(Clock clock_, int gridSize)
    : clock(std::move(clock_)),
      solver(SceneLimits::isOfferedGridSize(gridSize)
                 ? makeSolver(gridSize, fluidSettings)
                 : throw std::invalid_argument("grid size must be 100, 200 or 400")),
      dyeField(SceneLimits::kDyeSize),
      frameEnd(clock()),
      stepStart(frameEnd - kStepPeriodNs),
      // At the default size the first step waits 16 ms, as every one after a frame may; at the
      // larger sizes it runs at once.
      stepDue(gridSize == SceneLimits::kDefaultGridSize ? frameEnd + kStepPeriodNs : frameEnd) {}

std::unique_ptr<FluidSolver> Simulation::makeSolver(int size, const FluidSettings& s) const {
    auto made = std::make_unique<FluidSolver>(
        size, size, kTimeStep, static_cast<float>(s.viscosityHundredths * kViscosityUnit),
        s.iterations);
    made->setViscosityEnabled(s.viscosityEnabled);
    made->setFlow(s.flow, s.flowSpeed);
    made->setVorticityConfinement(s.swirl);
    made->useSimdPath(simdPath);
    return made;
}

bool Simulation::apply(const Operation& op) {
    if (op.kind == OperationKind::Step) {
        // Each step records itself, so that the checkpoints fall between the right steps.
        for (int k = 0; k < op.count; ++k) {
            step();
        }
        return op.count > 0;
    }
    refusal.clear();
    Operation applied = op;
    if (op.kind == OperationKind::Fade) {
        applied.value = std::clamp(op.value, 0.0f, 1000.0f);
    }
    if (!dispatch(applied)) {
        return false;
    }
    record(applied);
    return true;
}

bool Simulation::dispatch(const Operation& op) {
    switch (op.kind) {
        case OperationKind::Stir:
        case OperationKind::Push:
            return stir(op.i, op.j, op.a, op.kind == OperationKind::Stir);
        case OperationKind::Project:
            changed();
            solver->project(solver->velocity);
            return true;
        case OperationKind::BeginDrag:
            ++dragCount;
            return true;
        case OperationKind::PourDye:
            pourDye(op.a, op.b);
            return true;
        case OperationKind::AddCorner:
            return addCorner(op.i, op.j);
        case OperationKind::RemoveLastCorner:
            if (cornersPlaced.empty()) {
                return false;
            }
            cornersPlaced.pop_back();
            return true;
        case OperationKind::DiscardCorners:
            if (cornersPlaced.empty()) {
                return false;
            }
            cornersPlaced.clear();
            return true;
        case OperationKind::BuildObstacle:
            return buildObstacle();
        case OperationKind::ClearObstacles:
            clearObstacles();
            return true;
        case OperationKind::Rest:
            bringToRest();
            return true;
        case OperationKind::GridSize:
            return setGridSize(op.count);
        case OperationKind::Viscosity:
            changed();
            fluidSettings.viscosityHundredths = op.value;
            solver->setViscosity(static_cast<float>(op.value * kViscosityUnit));
            return true;
        case OperationKind::Iterations:
            changed();
            fluidSettings.iterations = op.count;
            solver->setIterations(op.count);
            return true;
        case OperationKind::ViscosityEnabled:
            changed();
            fluidSettings.viscosityEnabled = op.count != 0;
            solver->setViscosityEnabled(op.count != 0);
            return true;
        case OperationKind::Fade:
            changed();
            fluidSettings.fadePerMille = op.value;
            return true;
        case OperationKind::Pause:
            return setPaused(op.count != 0);
        case OperationKind::Flow:
        case OperationKind::FlowSpeed:
            if (op.kind == OperationKind::Flow &&
                (op.count < 0 || op.count > static_cast<int>(Flow::DrivenCavity))) {
                return false;
            }
            changed();
            if (op.kind == OperationKind::Flow) {
                fluidSettings.flow = static_cast<Flow>(op.count);
            } else {
                fluidSettings.flowSpeed = op.value;
            }
            solver->setFlow(fluidSettings.flow, fluidSettings.flowSpeed);
            return true;
        case OperationKind::Swirl:
            changed();
            fluidSettings.swirl = op.value;
            solver->setVorticityConfinement(op.value);
            return true;
        case OperationKind::Step:  // apply steps
        case OperationKind::Wait:  // kept by recordings only
        case OperationKind::Checkpoint:
        case OperationKind::Count:
            return false;
    }
    return false;
}

std::int64_t Simulation::nanosUntilStep() const {
    const std::int64_t now = clock();
    if (settled) {
        // Nothing to step: look again a frame from now.
        return kFrameGateNs;
    }
    std::int64_t opens = stepDue;
    if (gridSize() == SceneLimits::kDefaultGridSize) {
        // 16 ms after the end of the last frame, or when due if that comes first, but never
        // sooner than 16 ms after the last step started.
        opens = std::min(frameEnd + kFrameGateNs, std::max(stepDue, stepStart + kFrameGateNs));
    }
    return std::max<std::int64_t>(opens - now, 0);
}

bool Simulation::advance() {
    timedLastStep = false;
    if (paused || settled || nanosUntilStep() > 0) {
        return false;
    }
    stepStart = clock();
    // The next step is due a period after this one was: after one that came early, a period
    // after it started; after one less than a period late, a period after it was due, so that
    // the steps catch up; after one later still, a period after it started.
    const std::int64_t late = stepStart - stepDue;
    stepDue = (late < 0 ? stepStart : late < kStepPeriodNs ? stepDue : stepStart) + kStepPeriodNs;
    // The counter counts only while timing. Starting at 20, the first step is a timed one.
    if (timing && ++stepCounter > kTimedStepPeriod) {
        stepAndCheckSettled();
        lastStepDuration = clock() - stepStart;
        timedLastStep = true;
        stepCounter = 0;
    } else {
        stepAndCheckSettled();
    }
    return true;
}

namespace {

template <typename T>
bool sameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

}  // namespace

void Simulation::stepAndCheckSettled() {
    if (++settleCounter < kSettleCheckPeriod) {
        step();
        return;
    }
    settleCounter = 0;
    velocityBefore = solver->velocity.data;
    scratchBefore = solver->scratchVelocity.data;
    const std::vector<float>* const planes[] = {&dyeField.red(), &dyeField.green(),
                                                &dyeField.blue()};
    for (int c = 0; c < 3; ++c) {
        dyeBefore[c] = *planes[c];
    }
    step();
    settled = sameBits(velocityBefore, solver->velocity.data) &&
              sameBits(scratchBefore, solver->scratchVelocity.data) &&
              sameBits(dyeBefore[0], *planes[0]) && sameBits(dyeBefore[1], *planes[1]) &&
              sameBits(dyeBefore[2], *planes[2]);
}

void Simulation::endFrame() {
    frameEnd = clock();
}

void Simulation::step() {
    record(Operation::step());
    solver->step();
    dyeField.step(*solver, 1.0f - fluidSettings.fadePerMille / 1000.0f);
    recordCheckpointAfterStep();
}

bool Simulation::setPaused(bool value) {
    if (value == paused) {
        return false;
    }
    paused = value;
    return true;
}

void Simulation::bringToRest() {
    changed();
    // The next diffusion starts its sweeps from the scratch field, so that is zeroed as well;
    // pressure and divergence are recomputed from zero by every projection.
    std::fill(solver->velocity.data.begin(), solver->velocity.data.end(), Vec2());
    std::fill(solver->scratchVelocity.data.begin(), solver->scratchVelocity.data.end(), Vec2());
    dyeField.clear();
}

bool Simulation::stir(int i, int j, const Vec2& velocity, bool project) {
    VectorField& v = solver->velocity;
    if (!v.contains(i, j)) {
        return false;
    }
    changed();
    const int block = stirBlock();
    const int firstI = i / block * block;
    const int firstJ = j / block * block;
    for (int bj = firstJ; bj < firstJ + block; ++bj) {
        for (int bi = firstI; bi < firstI + block; ++bi) {
            v.set(bi, bj, velocity);
        }
    }
    if (project) {
        solver->project(v);
    }
    return true;
}

void Simulation::pourDye(const Vec2& from, const Vec2& to) {
    changed();
    const float radius = kSplatRadius * static_cast<float>(gridSize());
    const DyeColour colour = DyeField::pourColour(dragCount);
    // Splats half a radius apart along the segment, its end included.
    const float length = (to - from).length();
    const int splats = 1 + static_cast<int>(std::min(length / (0.5f * radius), 1000.0f));
    for (int k = 1; k <= splats; ++k) {
        const Vec2 at = from + (to - from) * (static_cast<float>(k) / static_cast<float>(splats));
        dyeField.splat(at, radius, colour, gridSize());
    }
}

bool Simulation::addCorner(int i, int j) {
    if (!solver->velocity.contains(i, j) ||
        static_cast<int>(cornersPlaced.size()) >= SceneLimits::kMaxCorners) {
        return false;
    }
    cornersPlaced.emplace_back(static_cast<float>(i), static_cast<float>(j));
    return true;
}

bool Simulation::buildObstacle() {
    if (cornersPlaced.size() < 3) {
        return false;
    }
    const ObstacleRefusal refused =
        solver->tryAddObstacle(cornersPlaced.data(), static_cast<int>(cornersPlaced.size()));
    if (refused == ObstacleRefusal::TooManyCopies) {
        refusal = "The obstacle is refused: it " + copiesText(*solver) + ".";
    }
    if (refused != ObstacleRefusal::None) {
        return false;
    }
    changed();
    outlines.push_back(cornersPlaced);
    cornersPlaced.clear();
    if (paused) {
        // Running, the next step imposes the obstacle; paused, a projection does it now.
        solver->project(solver->velocity);
    }
    return true;
}

void Simulation::clearObstacles() {
    changed();
    solver->clearObstacles();
    outlines.clear();
}

bool Simulation::setGridSize(int size) {
    const int old = gridSize();
    if (!SceneLimits::isOfferedGridSize(size) || size == old) {
        return false;
    }
    // The new cell holding the old cell's centre: floor((c + 0.5) * size / old). Whole cells
    // again, and 100 -> 400 -> 100 gives every corner back.
    const auto scaled = [old, size](Vec2 c) {
        return Vec2(std::floor((c.x + 0.5f) * static_cast<float>(size) / static_cast<float>(old)),
                    std::floor((c.y + 0.5f) * static_cast<float>(size) / static_cast<float>(old)));
    };
    std::vector<std::vector<Vec2>> moved = outlines;
    for (std::vector<Vec2>& outline : moved) {
        std::transform(outline.begin(), outline.end(), outline.begin(), scaled);
    }
    std::unique_ptr<FluidSolver> made = makeSolver(size, fluidSettings);
    const int refused = buildObstacles(*made, moved);
    if (refused >= 0) {
        refusal = "The grid stays " + gridText(old) + ": on a grid of " + gridText(size) +
                  ", obstacle " + std::to_string(refused + 1) + " " + copiesText(*made) + ".";
        return false;
    }
    changed();
    solver = std::move(made);
    outlines = std::move(moved);
    dyeField.clear();
    std::transform(cornersPlaced.begin(), cornersPlaced.end(), cornersPlaced.begin(), scaled);
    return true;
}

int Simulation::buildObstacles(FluidSolver& made, std::vector<std::vector<Vec2>>& corners) {
    std::vector<std::vector<Vec2>> kept;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const std::vector<Vec2>& outline = corners[k];
        switch (made.tryAddObstacle(outline.data(), static_cast<int>(outline.size()))) {
            case ObstacleRefusal::None:
                kept.push_back(outline);
                break;
            case ObstacleRefusal::Unbuildable:
                break;
            case ObstacleRefusal::TooManyCopies:
                return static_cast<int>(k);
        }
    }
    corners = std::move(kept);
    return -1;
}

std::string Simulation::copiesText(const FluidSolver& made) {
    // The solver's limit: one outline copy per cell of the grid, per boundary pass.
    return "would make the obstacles copy more than " + std::to_string(made.copyLimit()) +
           " outline cells in each pass of the solver, one for each cell of the " +
           gridText(made.velocity.width) + " grid, which slows every step";
}

bool Simulation::useSimdPath(SimdPath path) {
    if (!isSimdPathSupported(path)) {
        return false;
    }
    simdPath = path;
    solver->useSimdPath(path);
    dyeField.useSimdPath(path);
    return true;
}

Scene Simulation::scene(bool withFields) const {
    Scene made;
    made.gridSize = gridSize();
    made.settings = fluidSettings;
    made.obstacles = outlines;
    made.corners = cornersPlaced;
    made.hasFields = withFields;
    if (withFields) {
        made.fields.velocity = solver->velocity.data;
        made.fields.scratchVelocity = solver->scratchVelocity.data;
        made.fields.dyeSize = dyeField.size();
        made.fields.dye[0] = dyeField.red();
        made.fields.dye[1] = dyeField.green();
        made.fields.dye[2] = dyeField.blue();
        made.fields.dragCount = dragCount;
    }
    return made;
}

std::string Simulation::openScene(const Scene& scene) {
    std::string problem = sceneProblem(scene);
    if (!problem.empty()) {
        return problem;
    }
    std::unique_ptr<FluidSolver> made = makeSolver(scene.gridSize, scene.settings);
    std::vector<std::vector<Vec2>> built = scene.obstacles;
    const int refused = buildObstacles(*made, built);
    if (refused >= 0) {
        return "Obstacle " + std::to_string(refused + 1) + " of the scene " + copiesText(*made) +
               ".";
    }
    changed();
    fluidSettings = scene.settings;
    solver = std::move(made);
    outlines = std::move(built);
    cornersPlaced = scene.corners;
    if (scene.hasFields) {
        solver->velocity.data = scene.fields.velocity;
        solver->scratchVelocity.data = scene.fields.scratchVelocity;
        dyeField.load(scene.fields.dye[0], scene.fields.dye[1], scene.fields.dye[2]);
        dragCount = scene.fields.dragCount;
    } else {
        dyeField.clear();
    }
    return problem;
}

void Simulation::startRecording() {
    recording = std::make_unique<Recording>();
    recording->start = scene(true);
    recording->startPaused = paused;
    recordedStepCount = 0;
    lastRecordedAt = clock();
    recordingIsFull = false;
}

Recording Simulation::stopRecording() {
    Recording made;
    if (recording != nullptr) {
        made = std::move(*recording);
        recording.reset();
    }
    return made;
}

void Simulation::record(const Operation& op) {
    if (recording == nullptr || recordingIsFull) {
        return;
    }
    std::vector<Operation>& ops = recording->operations;
    // Room for this operation, a wait before it and a checkpoint after it.
    if (ops.size() + 3 > Recording::kMaxOperations ||
        (op.kind == OperationKind::Step && recordedStepCount >= Recording::kMaxTotalSteps)) {
        recordingIsFull = true;
        return;
    }
    const std::int64_t now = clock();
    const std::int64_t idle = now - lastRecordedAt;
    lastRecordedAt = now;
    if (idle > kWaitThresholdNs) {
        const std::int64_t ms = std::min<std::int64_t>(idle / 1000000, Recording::kMaxWaitMs);
        ops.push_back(Operation::of(OperationKind::Wait, static_cast<int>(ms)));
    }
    if (op.kind == OperationKind::Step && !ops.empty() && ops.back().kind == OperationKind::Step &&
        ops.back().count < Recording::kMaxStepsInOperation) {
        ++ops.back().count;
    } else if (op.kind == OperationKind::Step) {
        ops.push_back(Operation::of(OperationKind::Step, 1));
    } else {
        ops.push_back(op);
    }
}

void Simulation::recordCheckpointAfterStep() {
    if (recording == nullptr || recordingIsFull) {
        return;
    }
    if (++recordedStepCount % Recording::kCheckpointPeriod == 0) {
        Operation checkpoint = Operation::of(OperationKind::Checkpoint);
        checkpoint.digest = fieldDigest(solver->velocity);
        recording->operations.push_back(checkpoint);
    }
}

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "DyeField.h"
#include "FluidSolver.h"
#include "Recording.h"
#include "Scene.h"
#include "Vec2.h"

// The fluid that the view shows, apart from any window: the solver on a grid of 100, 200 or 400
// cells a side, the dye it carries, the pacing of the steps and their timing, pause and rest, the
// obstacles with their outlines, and the corners of the next one. Time comes from the clock
// passed in, so that a test can pace an hour of steps without waiting; nothing here draws.
class Simulation {
public:
    // Monotonic nanoseconds.
    using Clock = std::function<std::int64_t()>;

    static constexpr int kDefaultGridSize = 100;
    static constexpr int kGridSizes[] = {100, 200, 400};
    // Corners that one obstacle polygon can collect.
    static constexpr int kMaxCorners = SceneLimits::kMaxCorners;
    static constexpr float kTimeStep = 0.001f;
    // The settings a simulation starts with: a viscosity of 0.01 (the value is in hundredths),
    // 20 sweeps, and a fade that loses half the dye in 300 steps, five seconds at 60 a second.
    static constexpr float kInitialViscosityValue = FluidSettings{}.viscosityValue;
    static constexpr int kInitialIterations = FluidSettings{}.iterations;
    static constexpr float kInitialFade = FluidSettings{}.fade;
    // One step in kTimedStepPeriod + 1 is timed.
    static constexpr int kTimedStepPeriod = 20;
    static constexpr int kSettleCheckPeriod = 32;

    static bool isOfferedGridSize(int size);

    // Throws std::invalid_argument for a grid size that is not offered.
    explicit Simulation(Clock clock, int gridSize = kDefaultGridSize);

    // Steps once if the fluid runs, has not settled and the gate is open: at the default size
    // 16 ms after the end of the last frame (see endFrame), at the larger sizes 60 steps a
    // second, start to start. Returns whether it stepped.
    //
    // Settled: a step left the velocity, the solver's scratch field and the dye as they were, to
    // the bit. Every later step would then do the same, so none runs until something changes
    // the fluid (a stir, dye, an obstacle, a setting, rest or another grid). The check runs on
    // one step in kSettleCheckPeriod.
    bool advance();
    bool isSettled() const { return settled; }
    // The caller has shown the step: the default size's gate counts from now.
    void endFrame();
    // Nanoseconds until the gate opens; 0 when it is open. Settled, a frame's time.
    std::int64_t nanosUntilStep() const;
    // One step now, gate or not: the solver's, then the dye's along the new velocity.
    void step();

    // Whether advance times one step in 21 (the first one included), for a read-out.
    void setTiming(bool on) { timing = on; }
    // Whether the last step that advance took was timed, and how long it took.
    bool lastStepTimed() const { return timedLastStep; }
    std::int64_t lastStepNanos() const { return lastStepDuration; }
    int stepsSinceTimedStep() const { return stepCounter; }

    // Paused, advance does not step; stirs and obstacles still apply.
    void setPaused(bool value);
    bool isPaused() const { return paused; }
    // Every velocity to zero, and the dye cleared; the obstacles stay.
    void bringToRest();

    // A drag begins: the dye it pours takes the next colour.
    void beginDrag();
    // The (N/100) x (N/100) block of cells containing cell (i, j) takes the velocity, and the
    // field is projected once. A cell outside the grid is ignored.
    void stir(int i, int j, const Vec2& velocity);
    // Pours the current drag's dye along the segment between two grid positions, as round splats
    // 1.5 % of the grid wide, half a radius apart.
    void pourDye(const Vec2& from, const Vec2& to);

    // Collects a corner (a cell of the grid); false when the cell is outside the grid or
    // kMaxCorners are collected.
    bool addCorner(int i, int j);
    void removeLastCorner();
    void discardCorners();
    const std::vector<Vec2>& corners() const { return collected; }
    // Builds an obstacle from the corners collected (3 or more) and starts a new polygon.
    // Paused, the velocity is projected at once so that the obstacle shows. Returns whether the
    // solver took it.
    bool buildObstacle();
    void clearObstacles();
    // The corners of each obstacle, in the order added.
    const std::vector<std::vector<Vec2>>& obstacleOutlines() const { return outlines; }

    // The grid becomes size x size cells (an offered size; otherwise false and no change). The
    // fluid and the dye start at rest; the settings stay, and so do the obstacles, each corner
    // moved to the new cell that holds the old cell's centre.
    bool setGridSize(int size);
    int gridSize() const { return solver->velocity.width; }

    // value in hundredths: the solver's viscosity becomes value * 0.01.
    void setViscosityValue(float value);
    void setIterations(int count);
    void setViscosityEnabled(bool enabled);
    // Thousandths of the dye lost per step, 0 to 1000.
    void setFade(float perMille);
    float fade() const { return fadePerMille; }

    FluidSettings settings() const;

    // The scene as it is now: the grid, the settings, the obstacles and the corners collected;
    // with fields also the velocity, the scratch field, the dye and the drag count, to the bit,
    // so that opening it and stepping on gives what stepping on here would.
    Scene scene(bool withFields) const;
    // Opens a scene and returns an empty string; a scene without fields starts at rest. A scene
    // with a problem (sceneProblem) changes nothing, and its problem is returned. Pause and
    // timing stay as they are.
    std::string openScene(const Scene& scene);

    // From now on every operation on the fluid is kept, after the scene of this moment with its
    // fields, with a checkpoint digest of the velocity every Recording::kCheckpointPeriod steps
    // and the time that passed where nothing happened for a while. A recording that reaches the
    // limits of the format keeps what it has and takes no more (recordingFull).
    void startRecording();
    bool isRecording() const { return recording != nullptr; }
    bool recordingFull() const { return recordingIsFull; }
    long long recordedSteps() const { return recordedStepCount; }
    // The recording so far; recording stops. Empty (no operations, a default scene) if none ran.
    Recording stopRecording();

    // The kernels of the solver and the dye, and of the solvers of later grids: at construction
    // defaultSimdPath(). Returns false, and keeps the current one, for a path this processor
    // cannot run.
    bool useSimdPath(SimdPath path);

    const FluidSolver& fluidSolver() const { return *solver; }
    const DyeField& dye() const { return dyeField; }

private:
    std::unique_ptr<FluidSolver> makeSolver(int size) const;
    // Cells of the stir block along each side.
    int stirBlock() const { return gridSize() / kDefaultGridSize; }
    // The step of advance, with the check for a settled fluid on one step in kSettleCheckPeriod.
    void stepAndCheckSettled();
    // Something changed the fluid: steps run again.
    void changed() {
        settled = false;
        settleCounter = 0;
    }
    // Keeps an operation while recording: consecutive steps as one, a checkpoint after every
    // kCheckpointPeriod-th step, a wait before it where nothing happened for a while.
    void record(const Operation& operation);
    void recordCheckpointAfterStep();

    Clock clock;
    SimdPath simdPath = defaultSimdPath();
    // Settings, kept here so that a new grid takes them; before the solver, which is made with
    // them.
    float viscosityValue = kInitialViscosityValue;
    int iterations = kInitialIterations;
    bool viscosityEnabled = true;
    float fadePerMille = kInitialFade;
    std::unique_ptr<FluidSolver> solver;
    DyeField dyeField;

    bool paused = false;
    bool timing = false;
    bool timedLastStep = false;
    std::int64_t lastStepDuration = 0;
    int stepCounter = kTimedStepPeriod;
    // The default size's gate counts from the end of the last frame; the larger sizes' from the
    // start of the last step.
    std::int64_t frameEnd;
    std::int64_t stepStart;

    bool settled = false;
    int settleCounter = 0;
    // The state before the step that the settle check compares with.
    std::vector<Vec2> velocityBefore, scratchBefore;
    std::vector<float> dyeBefore[3];

    int dragCount = 0;
    std::vector<Vec2> collected;
    std::vector<std::vector<Vec2>> outlines;

    std::unique_ptr<Recording> recording;
    long long recordedStepCount = 0;
    std::int64_t lastRecordedAt = 0;
    bool recordingIsFull = false;
};

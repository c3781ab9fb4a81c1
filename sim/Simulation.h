#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "DyeField.h"
#include "FluidSolver.h"
#include "Operation.h"
#include "Recording.h"
#include "Scene.h"
#include "Vec2.h"

// The fluid that the view shows, apart from any window: the solver on a grid of 100, 200 or 400
// cells a side, the dye it carries, the pacing of the steps and their timing, pause and rest, the
// obstacles with their outlines, and the corners of the next one. Every change comes through
// apply, which records it while a recording runs. Time comes from the clock passed in, so that
// a test can pace an hour of steps without waiting; nothing here draws.
class Simulation {
public:
    // Monotonic nanoseconds.
    using Clock = std::function<std::int64_t()>;

    static constexpr float kTimeStep = 0.001f;
    // One step in kTimedStepPeriod + 1 is timed.
    static constexpr int kTimedStepPeriod = 20;
    static constexpr int kSettleCheckPeriod = 32;

    // Throws std::invalid_argument for a grid size that is not offered (SceneLimits).
    explicit Simulation(Clock clock, int gridSize = SceneLimits::kDefaultGridSize);

    // The one way the fluid changes: applies the operation and, while recording, keeps it.
    // Returns whether it did anything; one that does nothing (a stir or a corner outside the
    // grid, a corner past kMaxCorners, an obstacle from fewer than 3 corners, a grid that is not
    // offered, taking back corners that are not there, a pause while paused, a wait or a
    // checkpoint, which only recordings hold) changes nothing and is not kept.
    //   Step          count steps now, gate or not: the solver's, then the dye's
    //   Stir          the (N/100) x (N/100) block of cells containing cell (i, j) takes the
    //                 velocity a, and the field is projected once
    //   Push          the same block takes the velocity a, unprojected
    //   Project       the velocity is projected once, as a stir does: after pushes
    //   BeginDrag     a drag begins: the dye it pours takes the next colour
    //   PourDye       the current drag's dye along the segment from a to b (grid positions), as
    //                 round splats 1.5 % of the grid wide, half a radius apart
    //   AddCorner     a corner at cell (i, j) for the next obstacle
    //   BuildObstacle an obstacle from the corners placed (3 or more), which then start afresh;
    //                 paused, the velocity is projected at once so that the obstacle shows
    //   Rest          every velocity to zero, and the dye cleared; the obstacles stay
    //   GridSize      a grid of count cells a side: the fluid and the dye start at rest; the
    //                 settings stay, and so do the obstacles, each corner moved to the new cell
    //                 that holds the old cell's centre
    //   Viscosity     the solver's viscosity becomes value (hundredths) * 0.01
    //   Fade          thousandths of the dye lost per step, clamped to 0 to 1000
    //   Pause         paused, advance does not step; every other operation still applies
    bool apply(const Operation& op);
    // Why the last operation that apply refused did nothing, where the user should be told: an
    // obstacle, or a grid, that would take the obstacles past the solver's limit on outline
    // copies. Empty otherwise.
    const std::string& refusalText() const { return refusal; }

    // Steps once if the fluid runs, has not settled and the gate is open. Steps are due 60
    // times a second, start to start, a late one making up its lateness (up to a period) on the
    // next. At the default size a step also runs 16 ms after the end of the last frame (see
    // endFrame) when that comes sooner, and never runs sooner than 16 ms after the last one
    // started. Returns whether it stepped.
    //
    // Settled: a step left the velocity, the solver's scratch field and the dye as they were, to
    // the bit. Every later step would then do the same, so none runs until an operation changes
    // the fluid. The check runs on one step in kSettleCheckPeriod.
    bool advance();
    bool isSettled() const { return settled; }
    // Stops advance from stepping, as a settled fluid does, until an operation changes the fluid
    // or wake is called: for a fluid whose steps no longer change anything that shows.
    void holdStill() { settled = true; }
    // Steps run again, whether the fluid settled or was held still.
    void wake() { changed(); }
    // The caller has shown the step: the default size's gate counts from now.
    void endFrame();
    // Nanoseconds until the gate opens; 0 when it is open. Settled, a frame's time.
    std::int64_t nanosUntilStep() const;

    // Whether advance times one step in 21 (the first one included), for a read-out.
    void setTiming(bool on) { timing = on; }
    // Whether the last step that advance took was timed, and how long it took.
    bool lastStepTimed() const { return timedLastStep; }
    std::int64_t lastStepNanos() const { return lastStepDuration; }
    int stepsSinceTimedStep() const { return stepCounter; }

    bool isPaused() const { return paused; }
    // The corners placed for the next obstacle, cells of the grid.
    const std::vector<Vec2>& corners() const { return cornersPlaced; }
    // The corners of each obstacle, in the order added.
    const std::vector<std::vector<Vec2>>& obstacleOutlines() const { return outlines; }
    int gridSize() const { return solver->velocity.width; }
    FluidSettings settings() const { return fluidSettings; }

    // The scene as it is now: the grid, the settings, the obstacles and the corners placed;
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
    // What apply does for each kind; each returns whether it did anything.
    bool dispatch(const Operation& op);
    void step();
    bool setPaused(bool value);
    void bringToRest();
    // The stir block takes the velocity, and the field is projected if asked.
    bool stir(int i, int j, const Vec2& velocity, bool project);
    void pourDye(const Vec2& from, const Vec2& to);
    bool addCorner(int i, int j);
    bool buildObstacle();
    void clearObstacles();
    bool setGridSize(int size);
    void setFade(float perMille);

    std::unique_ptr<FluidSolver> makeSolver(int size, const FluidSettings& settings) const;
    // Builds the outlines, in order, into a new solver, leaving out those that cannot be built;
    // the outlines kept remain in corners. Returns -1, or the index of the first outline that
    // the solver's copy limit refuses (and then corners are as they were).
    static int buildObstacles(FluidSolver& made, std::vector<std::vector<Vec2>>& corners);
    // The end of a refusal's sentence: what an obstacle past the solver's limit would do.
    static std::string copiesText(const FluidSolver& made);
    // Cells of the stir block along each side.
    int stirBlock() const { return gridSize() / SceneLimits::kDefaultGridSize; }
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
    // Kept here so that a new grid takes them; before the solver, which is made with them.
    FluidSettings fluidSettings;
    std::unique_ptr<FluidSolver> solver;
    DyeField dyeField;

    bool paused = false;
    bool timing = false;
    bool timedLastStep = false;
    std::int64_t lastStepDuration = 0;
    int stepCounter = kTimedStepPeriod;
    std::int64_t frameEnd;
    std::int64_t stepStart;
    // When the next step is due on the 60-a-second cadence.
    std::int64_t stepDue;

    bool settled = false;
    int settleCounter = 0;
    // The state before the step that the settle check compares with.
    std::vector<Vec2> velocityBefore, scratchBefore;
    std::vector<float> dyeBefore[3];

    int dragCount = 0;
    std::vector<Vec2> cornersPlaced;
    std::vector<std::vector<Vec2>> outlines;

    std::string refusal;

    std::unique_ptr<Recording> recording;
    long long recordedStepCount = 0;
    std::int64_t lastRecordedAt = 0;
    bool recordingIsFull = false;
};

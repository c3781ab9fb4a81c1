#pragma once

#include <string>
#include <vector>

#include "Flow.h"
#include "Vec2.h"

// The settings of the fluid that the panel sets, as a simulation starts with them: a viscosity
// of 0.01, 20 sweeps, a fade that loses half the dye in 300 steps (five seconds at 60 a
// second), the closed box, and no swirl.
struct FluidSettings {
    float viscosityHundredths = 1.0f;  // the solver's viscosity is this times 0.01
    int iterations = 20;               // Gauss-Seidel sweeps per diffusion and per pressure solve
    bool viscosityEnabled = true;
    float fadePerMille = 2.3f;  // thousandths of the dye lost per step
    Flow flow = Flow::ClosedBox;
    // The wind tunnel's inflow or the cavity's lid, in domain lengths per unit of time.
    float flowSpeed = kTunnelInflowSpeed;
    // Epsilon of the vorticity confinement; 0 adds none.
    float swirl = 0.0f;

    bool operator==(const FluidSettings& o) const {
        return viscosityHundredths == o.viscosityHundredths && iterations == o.iterations &&
               viscosityEnabled == o.viscosityEnabled && fadePerMille == o.fadePerMille &&
               flow == o.flow && flowSpeed == o.flowSpeed && swirl == o.swirl;
    }
    bool operator!=(const FluidSettings& o) const { return !(*this == o); }
};

// The fields of a scene to the bit: every state that the next step reads.
struct SceneFields {
    // gridSize x gridSize each, cell (i, j) at i + j * gridSize.
    std::vector<Vec2> velocity;
    // The diffused velocity of the last step: the next diffusion starts its sweeps from it.
    std::vector<Vec2> scratchVelocity;
    int dyeSize = 0;
    // Red, green and blue amounts, dyeSize x dyeSize each, texel (a, b) at a + b * dyeSize.
    std::vector<float> dye[3];
    // Drags begun: the next drag pours colour number dragCount + 1.
    int dragCount = 0;
};

// What the window shows of the fluid, apart from the colouring: the grid, the obstacles, the
// settings and, optionally, the fields.
struct Scene {
    int gridSize = 100;
    FluidSettings settings;
    // Each obstacle's corners (cells of the grid), in the order the obstacles were added.
    std::vector<std::vector<Vec2>> obstacles;
    // The corners collected for the next obstacle.
    std::vector<Vec2> corners;
    bool hasFields = false;
    SceneFields fields;
};

// The grids a scene can have, the size of its dye, and limits that no scene made in the window
// reaches; a file past them is refused.
struct SceneLimits {
    static constexpr int kDefaultGridSize = 100;
    static constexpr int kGridSizes[] = {100, 200, 400};
    // Texels along each side of the dye, whatever the grid.
    static constexpr int kDyeSize = 400;
    static bool isOfferedGridSize(int size);
    static constexpr int kMaxObstacles = 1000;
    // Corners of one obstacle, and corners collected.
    static constexpr int kMaxCorners = 100;
    static constexpr float kMinViscosityValue = 0.01f;
    static constexpr float kMaxViscosityValue = 1000.0f;
    static constexpr int kMinIterations = 2;
    static constexpr int kMaxIterations = 50;
    static constexpr float kMaxFade = 100.0f;
    // The flows' speed, and the swirl.
    static constexpr float kMaxFlowSpeed = 4.0f;
    static constexpr float kMaxSwirl = 100.0f;
    // Largest velocity component that a field may hold: far past any stir.
    static constexpr float kMaxVelocity = 1e7f;
};

// A new scene of a flow, at rest, with the settings that show it: the closed box as a simulation
// starts; the wind tunnel on the grid of 200 with the cylinder, and the inflow, viscosity and
// sweeps under which it sheds a vortex street; the driven cavity at a Reynolds number of 100.
Scene newScene(Flow flow);

// The grid sizes on offer, as "100, 200 or 400".
std::string offeredSizesText();

// Empty when every setting is finite and within the panel's range; otherwise what is wrong, as a
// clause, such as "the viscosity value 0 is outside 0.01 to 1000".
std::string settingsProblem(const FluidSettings& settings);

// Empty when the scene can be opened as it is; otherwise what is wrong with it, in a sentence.
// Checks the grid size, every setting's range, the obstacles' count and corners (whole cells of
// the grid), and the fields' sizes and values (finite, velocities up to kMaxVelocity, dye
// amounts from 0 to 1).
std::string sceneProblem(const Scene& scene);

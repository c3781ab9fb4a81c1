#include "Scene.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

#include "ProblemText.h"

namespace {

// NaN fails both comparisons.
bool within(float value, float low, float high) {
    return value >= low && value <= high;
}

bool isWhole(float value) {
    return std::isfinite(value) && std::floor(value) == value;
}

// Empty when every corner is a whole cell of an n x n grid; otherwise a sentence that names the
// corner as "<owner> k", counting from 1.
std::string cornersProblem(const std::vector<Vec2>& corners, int n, const std::string& owner) {
    const float last = static_cast<float>(n - 1);
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const Vec2& c = corners[k];
        const std::string name = owner + " " + std::to_string(k + 1) + " " + pointText(c);
        if (!isWhole(c.x) || !isWhole(c.y)) {
            return name + " is not a cell: a corner's coordinates are whole numbers.";
        }
        if (!within(c.x, 0.0f, last) || !within(c.y, 0.0f, last)) {
            return name + " lies outside the " + gridText(n) + " grid.";
        }
    }
    return {};
}

std::string obstaclesProblem(const Scene& scene) {
    const std::size_t count = scene.obstacles.size();
    if (count > static_cast<std::size_t>(SceneLimits::kMaxObstacles)) {
        return "The scene holds " + std::to_string(count) + " obstacles, more than the " +
               std::to_string(SceneLimits::kMaxObstacles) + " it may hold.";
    }
    for (std::size_t k = 0; k < count; ++k) {
        const std::vector<Vec2>& corners = scene.obstacles[k];
        const std::string name = "Obstacle " + std::to_string(k + 1);
        if (corners.size() < 3 ||
            corners.size() > static_cast<std::size_t>(SceneLimits::kMaxCorners)) {
            return name + " has " + std::to_string(corners.size()) +
                   " corners: an obstacle has 3 to " + std::to_string(SceneLimits::kMaxCorners) +
                   ".";
        }
        const std::string problem = cornersProblem(corners, scene.gridSize, name + ", corner");
        if (!problem.empty()) {
            return problem;
        }
    }
    if (scene.corners.size() > static_cast<std::size_t>(SceneLimits::kMaxCorners)) {
        return std::to_string(scene.corners.size()) + " corners are collected, more than the " +
               std::to_string(SceneLimits::kMaxCorners) + " of an obstacle.";
    }
    return cornersProblem(scene.corners, scene.gridSize, "Collected corner");
}

bool isVelocity(const Vec2& v) {
    const float limit = SceneLimits::kMaxVelocity;
    return within(v.x, -limit, limit) && within(v.y, -limit, limit);
}

// Empty when the field holds n x n finite velocities up to kMaxVelocity a component.
std::string velocityProblem(const std::vector<Vec2>& field, int n, const std::string& name) {
    const std::size_t cells = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
    if (field.size() != cells) {
        return "The " + name + " holds " + std::to_string(field.size()) + " cells, not the " +
               std::to_string(cells) + " of the " + gridText(n) + " grid.";
    }
    for (std::size_t k = 0; k < cells; ++k) {
        if (!isVelocity(field[k])) {
            const int i = static_cast<int>(k % static_cast<std::size_t>(n));
            const int j = static_cast<int>(k / static_cast<std::size_t>(n));
            return "The " + name + " at cell " + cellText(i, j) + " is " + pointText(field[k]) +
                   ": each component is finite and at most " +
                   numberText(SceneLimits::kMaxVelocity) + " in size.";
        }
    }
    return {};
}

// Empty when the plane holds size x size amounts from 0 to 1.
std::string dyeProblem(const std::vector<float>& plane, int size, const std::string& name) {
    const std::size_t texels = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    if (plane.size() != texels) {
        return "The " + name + " dye holds " + std::to_string(plane.size()) + " amounts, not the " +
               std::to_string(texels) + " of a " + gridText(size) + " dye.";
    }
    for (std::size_t k = 0; k < texels; ++k) {
        if (!within(plane[k], 0.0f, 1.0f)) {
            const int a = static_cast<int>(k % static_cast<std::size_t>(size));
            const int b = static_cast<int>(k / static_cast<std::size_t>(size));
            return "The " + name + " dye at texel " + cellText(a, b) + " is " +
                   numberText(plane[k]) + ": an amount is from 0 to 1.";
        }
    }
    return {};
}

std::string fieldsProblem(const SceneFields& fields, int n) {
    std::string problem = velocityProblem(fields.velocity, n, "velocity");
    if (problem.empty()) {
        problem = velocityProblem(fields.scratchVelocity, n, "scratch velocity");
    }
    if (!problem.empty()) {
        return problem;
    }
    if (fields.dyeSize != SceneLimits::kDyeSize) {
        return "The dye is " + std::to_string(fields.dyeSize) + " texels a side, not " +
               std::to_string(SceneLimits::kDyeSize) + ".";
    }
    const char* const names[] = {"red", "green", "blue"};
    for (int c = 0; c < 3 && problem.empty(); ++c) {
        problem = dyeProblem(fields.dye[c], fields.dyeSize, names[c]);
    }
    if (problem.empty() && fields.dragCount < 0) {
        problem = "The number of drags, " + std::to_string(fields.dragCount) + ", is negative.";
    }
    return problem;
}

}  // namespace

constexpr int SceneLimits::kGridSizes[];

bool SceneLimits::isOfferedGridSize(int size) {
    return std::find(std::begin(kGridSizes), std::end(kGridSizes), size) != std::end(kGridSizes);
}

Scene newScene(Flow flow) {
    Scene made;
    made.settings.flow = flow;
    if (flow == Flow::WindTunnel) {
        made.gridSize = 200;
        made.settings.flowSpeed = kTunnelInflowSpeed;
        made.settings.viscosityHundredths = kTunnelViscosityHundredths;
        made.settings.iterations = SceneLimits::kMaxIterations;
        // Dye that fades slowly, so that the streaks show the street the whole way out.
        made.settings.fadePerMille = 0.5f;
        made.obstacles.push_back(cylinderPolygon(made.gridSize));
    } else if (flow == Flow::DrivenCavity) {
        // Re = U * L / viscosity = 1 * 1 / 0.01
        made.settings.flowSpeed = kCavityLidSpeed;
    }
    return made;
}

std::string offeredSizesText() {
    std::string text;
    const int count = static_cast<int>(std::size(SceneLimits::kGridSizes));
    for (int k = 0; k < count; ++k) {
        text += (k == 0           ? ""
                 : k + 1 == count ? " or "
                                  : ", ") +
                std::to_string(SceneLimits::kGridSizes[k]);
    }
    return text;
}

std::string settingsProblem(const FluidSettings& settings) {
    if (!within(settings.viscosityHundredths, SceneLimits::kMinViscosityValue,
                SceneLimits::kMaxViscosityValue)) {
        return "the viscosity value " + numberText(settings.viscosityHundredths) + " is outside " +
               numberText(SceneLimits::kMinViscosityValue) + " to " +
               numberText(SceneLimits::kMaxViscosityValue);
    }
    if (settings.iterations < SceneLimits::kMinIterations ||
        settings.iterations > SceneLimits::kMaxIterations) {
        return "the number of iterations, " + std::to_string(settings.iterations) +
               ", is outside " + std::to_string(SceneLimits::kMinIterations) + " to " +
               std::to_string(SceneLimits::kMaxIterations);
    }
    if (!within(settings.fadePerMille, 0.0f, SceneLimits::kMaxFade)) {
        return "the fade " + numberText(settings.fadePerMille) + " is outside 0 to " +
               numberText(SceneLimits::kMaxFade);
    }
    const int flow = static_cast<int>(settings.flow);
    if (flow < 0 || flow > static_cast<int>(Flow::DrivenCavity)) {
        return "the flow " + std::to_string(flow) +
               " is not a closed box (0), a wind tunnel (1) "
               "or a driven cavity (2)";
    }
    if (!within(settings.flowSpeed, 0.0f, SceneLimits::kMaxFlowSpeed)) {
        return "the flow's speed " + numberText(settings.flowSpeed) + " is outside 0 to " +
               numberText(SceneLimits::kMaxFlowSpeed);
    }
    if (!within(settings.swirl, 0.0f, SceneLimits::kMaxSwirl)) {
        return "the swirl " + numberText(settings.swirl) + " is outside 0 to " +
               numberText(SceneLimits::kMaxSwirl);
    }
    return {};
}

std::string sceneProblem(const Scene& scene) {
    if (!SceneLimits::isOfferedGridSize(scene.gridSize)) {
        return "The grid size " + std::to_string(scene.gridSize) + " is not offered: use " +
               offeredSizesText() + ".";
    }
    const std::string settings = settingsProblem(scene.settings);
    if (!settings.empty()) {
        return sentence(settings);
    }
    const std::string obstacles = obstaclesProblem(scene);
    if (!obstacles.empty() || !scene.hasFields) {
        return obstacles;
    }
    return fieldsProblem(scene.fields, scene.gridSize);
}

#include "Simulation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {

// At the default size a step runs once more than 15 whole milliseconds have passed since the
// end of the last frame: 16 ms or more.
constexpr std::int64_t kFrameGateNs = 16000000;
// At the larger sizes steps start 60 times a second.
constexpr std::int64_t kStepPeriodNs = 1000000000 / 60;
// The panel's viscosity value is in hundredths.
constexpr double kViscosityUnit = 0.01;
// A splat's radius, as a fraction of the grid's side.
constexpr float kSplatRadius = 0.015f;

}  // namespace

constexpr int Simulation::kGridSizes[];

bool Simulation::isOfferedGridSize(int size) {
    return std::find(std::begin(kGridSizes), std::end(kGridSizes), size) != std::end(kGridSizes);
}

Simulation::Simulation(Clock clock_, int gridSize)
    : clock(std::move(clock_)),
      solver(isOfferedGridSize(gridSize)
                 ? makeSolver(gridSize)
                 : throw std::invalid_argument("grid size must be 100, 200 or 400")),
      frameEnd(clock()),
      stepStart(frameEnd - kStepPeriodNs) {}

std::unique_ptr<FluidSolver> Simulation::makeSolver(int size) const {
    auto made = std::make_unique<FluidSolver>(
        size, size, kTimeStep, static_cast<float>(viscosityValue * kViscosityUnit), iterations);
    made->setViscosityEnabled(viscosityEnabled);
    return made;
}

std::int64_t Simulation::nanosUntilStep() const {
    const std::int64_t now = clock();
    if (settled) {
        // Nothing to step: look again a frame from now.
        return kFrameGateNs;
    }
    const std::int64_t opens =
        gridSize() == kDefaultGridSize ? frameEnd + kFrameGateNs : stepStart + kStepPeriodNs;
    return std::max<std::int64_t>(opens - now, 0);
}

bool Simulation::advance() {
    timedLastStep = false;
    if (paused || settled || nanosUntilStep() > 0) {
        return false;
    }
    stepStart = clock();
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
    solver->step();
    dyeField.step(*solver, 1.0f - fadePerMille / 1000.0f);
}

void Simulation::bringToRest() {
    changed();
    // The next diffusion starts its sweeps from the scratch field, so that is zeroed as well;
    // pressure and divergence are recomputed from zero by every projection.
    std::fill(solver->velocity.data.begin(), solver->velocity.data.end(), Vec2());
    std::fill(solver->scratchVelocity.data.begin(), solver->scratchVelocity.data.end(), Vec2());
    dyeField.clear();
}

void Simulation::stir(int i, int j, const Vec2& velocity) {
    VectorField& v = solver->velocity;
    if (!v.contains(i, j)) {
        return;
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
    solver->project(v);
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
    if (!solver->velocity.contains(i, j) || static_cast<int>(collected.size()) >= kMaxCorners) {
        return false;
    }
    collected.emplace_back(static_cast<float>(i), static_cast<float>(j));
    return true;
}

void Simulation::removeLastCorner() {
    if (!collected.empty()) {
        collected.pop_back();
    }
}

void Simulation::discardCorners() {
    collected.clear();
}

bool Simulation::buildObstacle() {
    const int before = solver->obstacles.size();
    if (collected.size() >= 3) {
        solver->addObstacle(collected.data(), static_cast<int>(collected.size()));
    }
    const bool added = solver->obstacles.size() > before;
    if (added) {
        changed();
        outlines.push_back(collected);
        if (paused) {
            // Running, the next step imposes the obstacle; paused, a projection does it now.
            solver->project(solver->velocity);
        }
    }
    collected.clear();
    return added;
}

void Simulation::clearObstacles() {
    changed();
    solver->clearObstacles();
    outlines.clear();
}

bool Simulation::setGridSize(int size) {
    if (!isOfferedGridSize(size)) {
        return false;
    }
    const int old = gridSize();
    if (size == old) {
        return true;
    }
    // The new cell holding the old cell's centre: floor((c + 0.5) * size / old). Whole cells
    // again, and 100 -> 400 -> 100 gives every corner back.
    const auto scaled = [old, size](Vec2 c) {
        return Vec2(std::floor((c.x + 0.5f) * static_cast<float>(size) / static_cast<float>(old)),
                    std::floor((c.y + 0.5f) * static_cast<float>(size) / static_cast<float>(old)));
    };
    changed();
    solver = makeSolver(size);
    dyeField.clear();
    std::vector<std::vector<Vec2>> kept;
    for (std::vector<Vec2>& outline : outlines) {
        std::transform(outline.begin(), outline.end(), outline.begin(), scaled);
        const int before = solver->obstacles.size();
        solver->addObstacle(outline.data(), static_cast<int>(outline.size()));
        if (solver->obstacles.size() > before) {
            kept.push_back(std::move(outline));
        }
    }
    outlines = std::move(kept);
    std::transform(collected.begin(), collected.end(), collected.begin(), scaled);
    return true;
}

void Simulation::setViscosityValue(float value) {
    changed();
    viscosityValue = value;
    solver->setViscosity(static_cast<float>(value * kViscosityUnit));
}

void Simulation::setIterations(int count) {
    changed();
    iterations = count;
    solver->setIterations(count);
}

void Simulation::setViscosityEnabled(bool enabled) {
    changed();
    viscosityEnabled = enabled;
    solver->setViscosityEnabled(enabled);
}

void Simulation::setFade(float perMille) {
    changed();
    fadePerMille = std::clamp(perMille, 0.0f, 1000.0f);
}

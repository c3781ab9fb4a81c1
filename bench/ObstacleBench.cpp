// Obstacles at scale on the 400 x 400 grid: building them into a solver, opening a scene of them
// (as a scene file without fields opens) and stepping around them, against the number of
// obstacles, with the step without obstacles beside them. The scenes are random 100-corner
// polygons with corners on whole cells anywhere on the grid, from fixed seeds: each one crosses
// itself many times and covers much of the grid. CPU time, because the machines these run on are
// often shared.
//
// Peak memory: run one benchmark alone under /usr/bin/time -v, for example
//   obstacle_bench --benchmark_filter='ObstacleOpen/obstacles:1000$'
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "FluidSolver.h"
#include "Scene.h"
#include "Simulation.h"

namespace {

constexpr int kGrid = 400;
constexpr int kCorners = 100;
const int kCounts[] = {10, 30, 100, 1000};

// count polygons of kCorners corners, each corner a uniformly random cell of the grid.
std::vector<std::vector<Vec2>> randomScene(int count) {
    std::mt19937 random(static_cast<unsigned>(1000 + count));
    std::uniform_int_distribution<int> cell(0, kGrid - 1);
    std::vector<std::vector<Vec2>> polygons(static_cast<std::size_t>(count));
    for (std::vector<Vec2>& polygon : polygons) {
        for (int k = 0; k < kCorners; ++k) {
            const int i = cell(random);
            const int j = cell(random);
            polygon.emplace_back(static_cast<float>(i), static_cast<float>(j));
        }
    }
    return polygons;
}

FluidSolver makeSolver() {
    return FluidSolver(kGrid, kGrid, 0.001f, 0.01f, 20);
}

void addAll(FluidSolver& solver, const std::vector<std::vector<Vec2>>& polygons) {
    for (const std::vector<Vec2>& polygon : polygons) {
        solver.addObstacle(polygon.data(), static_cast<int>(polygon.size()));
    }
}

// Adding every obstacle to a new solver, the solver's construction left out.
void benchBuild(benchmark::State& state, int count) {
    const std::vector<std::vector<Vec2>> polygons = randomScene(count);
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            FluidSolver solver = makeSolver();
            state.ResumeTiming();
            addAll(solver, polygons);
            added = solver.obstacles.size();
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.counters["added"] = added;
}

// Simulation::openScene of a scene without fields: a new solver and every outline built.
void benchOpen(benchmark::State& state, int count) {
    Scene scene;
    scene.gridSize = kGrid;
    scene.obstacles = randomScene(count);
    Simulation simulation([] { return std::int64_t{0}; }, kGrid);
    for (auto _ : state) {
        const std::string problem = simulation.openScene(scene);
        benchmark::DoNotOptimize(problem.data());
    }
    state.counters["added"] = static_cast<double>(simulation.obstacleOutlines().size());
}

// Lines across the grid on two rows in turn, each copying the row that the other wrote last:
// every copy stays read, so the pass grows with every line until the solver refuses one (or,
// where it would take them all, until there are kMostLines).
std::vector<std::vector<Vec2>> chainedLines(FluidSolver& solver) {
    constexpr int kMostLines = 2000;
    std::vector<std::vector<Vec2>> lines;
    for (int k = 0; k < kMostLines; ++k) {
        const float last = kGrid - 3;
        std::vector<Vec2> line = k % 2 == 0 ? std::vector<Vec2>{{last, 200}, {2, 200}, {100, 200}}
                                            : std::vector<Vec2>{{2, 201}, {last, 201}, {100, 201}};
        const int before = solver.obstacles.size();
        solver.addObstacle(line.data(), 3);
        if (solver.obstacles.size() == before) {
            break;
        }
        lines.push_back(line);
    }
    return lines;
}

// One solver step around the obstacles, in a stirred field that goes back to its stirred state
// every 64 steps so that the flow stays alive. A count of -1: lines that chain their copies up
// to the limit, the most that a pass can cost.
void benchStep(benchmark::State& state, int count) {
    FluidSolver solver = makeSolver();
    if (count < 0) {
        chainedLines(solver);
    } else {
        addAll(solver, randomScene(count));
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> cell(1, kGrid - 2);
    std::uniform_real_distribution<float> speed(-500.0f, 500.0f);
    for (int k = 0; k < 20; ++k) {
        const int i = cell(random);
        const int j = cell(random);
        solver.setVelocity(i, j, Vec2(speed(random), speed(random)));
    }
    const std::vector<Vec2> stirred = solver.velocity.data;
    int steps = 0;
    for (auto _ : state) {
        if (++steps % 64 == 0) {
            state.PauseTiming();
            solver.velocity.data = stirred;
            state.ResumeTiming();
        }
        solver.step();
        benchmark::DoNotOptimize(solver.velocity.data.data());
    }
    state.counters["added"] = solver.obstacles.size();
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RegisterBenchmark("ObstacleStep/obstacles:0", benchStep, 0)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ObstacleStep/chained-to-the-limit", benchStep, -1)
        ->Unit(benchmark::kMillisecond);
    for (int count : kCounts) {
        const std::string args = "/obstacles:" + std::to_string(count);
        benchmark::RegisterBenchmark(("ObstacleBuild" + args).c_str(), benchBuild, count)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ObstacleOpen" + args).c_str(), benchOpen, count)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ObstacleStep" + args).c_str(), benchStep, count)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

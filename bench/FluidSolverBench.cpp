#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "FluidSolver.h"

namespace {

constexpr int kSize = 100;

// Stirs the solver at a few random cells (fixed seed) so that the step works on a moving field.
void stir(FluidSolver& solver, bool withObstacles) {
    if (withObstacles) {
        const std::vector<Vec2> square{{20, 20}, {35, 20}, {35, 35}, {20, 35}};
        const std::vector<Vec2> triangle{{60, 50}, {85, 70}, {55, 80}};
        solver.addObstacle(square.data(), 4);
        solver.addObstacle(triangle.data(), 3);
    }
    std::mt19937 random(42);
    std::uniform_int_distribution<int> cell(1, kSize - 2);
    std::uniform_real_distribution<float> speed(-500.0f, 500.0f);
    for (int k = 0; k < 10; ++k) {
        solver.setVelocity(cell(random), cell(random), Vec2(speed(random), speed(random)));
    }
}

void BM_Step(benchmark::State& state) {
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, 20);
    stir(solver, state.range(0) != 0);
    for (auto _ : state) {
        solver.step();
        benchmark::DoNotOptimize(solver.velocity.data.data());
    }
}
BENCHMARK(BM_Step)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SetVelocity(benchmark::State& state) {
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, 20);
    stir(solver, false);
    for (auto _ : state) {
        solver.setVelocity(50, 50, Vec2(100.0f, 0.0f));
        benchmark::DoNotOptimize(solver.velocity.data.data());
    }
}
BENCHMARK(BM_SetVelocity)->Unit(benchmark::kMillisecond);

void BM_BuildObstacle(benchmark::State& state) {
    std::vector<Vec2> polygon;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, kSize - 1);
    for (int k = 0; k < 100; ++k) {
        polygon.emplace_back(coordinate(random), coordinate(random));
    }
    for (auto _ : state) {
        Obstacle obstacle(polygon.data(), static_cast<int>(polygon.size()), kSize, kSize);
        benchmark::DoNotOptimize(obstacle.interiorCount);
    }
}
BENCHMARK(BM_BuildObstacle)->Unit(benchmark::kMicrosecond);

}  // namespace

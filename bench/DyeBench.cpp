// The dye's step on the default 400 x 400 dye over flows of 100, 200 and 400 cells, every kernel
// path side by side, and the flow's own advection on the same flows for comparison. per_item is
// the CPU time per texel of the dye, or per interior cell of the advection; CPU time, because the
// machines these run on are often shared.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "DyeField.h"
#include "Scene.h"

namespace {

// A flow of n cells a side, stirred at fixed cells with drag-sized velocities; with obstacles, a
// square and a triangle.
void prepare(FluidSolver& solver, int n, bool obstacles) {
    const auto at = [n](float fraction) { return static_cast<int>(fraction * n); };
    if (obstacles) {
        const float m = static_cast<float>(n);
        const std::vector<Vec2> square{{0.2f * m, 0.2f * m},
                                       {0.35f * m, 0.2f * m},
                                       {0.35f * m, 0.35f * m},
                                       {0.2f * m, 0.35f * m}};
        const std::vector<Vec2> triangle{
            {0.6f * m, 0.5f * m}, {0.85f * m, 0.7f * m}, {0.55f * m, 0.8f * m}};
        solver.addObstacle(square.data(), 4);
        solver.addObstacle(triangle.data(), 3);
    }
    for (int k = 1; k <= 9; ++k) {
        solver.setVelocity(at(0.1f * k), at(0.05f + 0.1f * k), Vec2(400.0f - 90 * k, 50.0f * k));
    }
    for (int k = 0; k < 5; ++k) {
        solver.step();
    }
}

void benchDyeStep(benchmark::State& state, SimdPath path, int n, bool obstacles) {
    FluidSolver solver(n, n, 0.001f, 0.01f, 20);
    prepare(solver, n, obstacles);
    DyeField dye{SceneLimits::kDyeSize};
    dye.useSimdPath(path);
    for (int k = 0; k < 40; ++k) {
        const float x = static_cast<float>(n) * static_cast<float>(k % 7 + 1) / 8.0f;
        const float y = static_cast<float>(n) * static_cast<float>(k / 7 + 1) / 8.0f;
        dye.splat(Vec2(x, y), 0.1f * n, DyeField::pourColour(k), n);
    }
    for (auto _ : state) {
        dye.step(solver, 1.0f);
        benchmark::DoNotOptimize(dye.red().data());
    }
    state.counters["per_item"] = benchmark::Counter(
        static_cast<double>(dye.size()) * dye.size(),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void benchAdvect(benchmark::State& state, SimdPath path, int n) {
    FluidSolver solver(n, n, 0.001f, 0.01f, 20);
    solver.useSimdPath(path);
    prepare(solver, n, false);
    for (auto _ : state) {
        solver.advect(solver.scratchVelocity, solver.velocity);
        benchmark::DoNotOptimize(solver.velocity.data.data());
    }
    state.counters["per_item"] = benchmark::Counter(
        static_cast<double>(n - 2) * (n - 2),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    for (int n : {100, 200, 400}) {
        for (SimdPath path : {SimdPath::Avx2, SimdPath::Portable}) {
            if (!isSimdPathSupported(path)) {
                continue;
            }
            const std::string args = std::string(kernelName(path)) + "/flow:" + std::to_string(n);
            benchmark::RegisterBenchmark(("DyeStep/" + args).c_str(), benchDyeStep, path, n, false)
                ->Unit(benchmark::kMicrosecond);
            if (n == 100) {
                benchmark::RegisterBenchmark(("DyeStep/" + args + "/obstacles:2").c_str(),
                                             benchDyeStep, path, n, true)
                    ->Unit(benchmark::kMicrosecond);
            }
            benchmark::RegisterBenchmark(("Advect/" + args).c_str(), benchAdvect, path, n)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

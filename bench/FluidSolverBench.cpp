// The solver's step and stir, the step in each flow with and without vorticity confinement
// (FlowStep), the reference and every fast path side by side on the same inputs,
// the display's fill in each mode, and the step and fill at each grid size (GridStep, GridFill).
// After the runs a summary gives each operation's CPU time per solver and the reference's time
// divided by each path's: the median where repetitions are asked for (--benchmark_repetitions=5).
// CPU time, because the machines these run on are often shared: time spent waiting for a core is
// not the solver's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "DisplayField.h"
#include "FluidSolver.h"
#include "ReferenceSolver.h"

namespace {

constexpr int kSize = 100;
// The step benchmarks go back to the stirred field after this many steps, so that every solver
// times the same stretch of the flow whatever its iteration count.
constexpr int kStepsFromTheStir = 256;

struct Stir {
    int i;
    int j;
    Vec2 value;
};

// Drag-sized stirs at fixed-seed cells of the interior.
std::vector<Stir> makeStirs(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> cell(1, kSize - 2);
    std::uniform_real_distribution<float> speed(-500.0f, 500.0f);
    std::vector<Stir> stirs;
    for (int k = 0; k < count; ++k) {
        stirs.push_back(Stir{cell(random), cell(random), Vec2(speed(random), speed(random))});
    }
    return stirs;
}

template <typename Solver>
void addObstacles(Solver& solver) {
    const std::vector<Vec2> square{{20, 20}, {35, 20}, {35, 35}, {20, 35}};
    const std::vector<Vec2> triangle{{60, 50}, {85, 70}, {55, 80}};
    const std::vector<Vec2> alongTheWall{{0, 60}, {0, 90}, {10, 75}};
    solver.addObstacle(square.data(), 4);
    solver.addObstacle(triangle.data(), 3);
    solver.addObstacle(alongTheWall.data(), 3);
}

// The same stirs on any grid: each at the cell that covers the 100-grid cell's place.
template <typename Solver>
void stirUp(Solver& solver) {
    const int scale = solver.velocity.width / kSize;
    for (const Stir& s : makeStirs(10, 42)) {
        solver.setVelocity(s.i * scale, s.j * scale, s.value);
    }
}

// Fast solvers run on the given path; the reference has only one.
void choosePath(FluidSolver& solver, SimdPath path) {
    solver.useSimdPath(path);
}
void choosePath(ReferenceSolver&, SimdPath) {}

template <typename Solver>
void benchStep(benchmark::State& state, SimdPath path, int sweeps, bool withObstacles) {
    Solver solver(kSize, kSize, 0.001f, 0.01f, sweeps);
    choosePath(solver, path);
    if (withObstacles) {
        addObstacles(solver);
    }
    stirUp(solver);
    const std::vector<Vec2> stirred = solver.velocity.data;
    const std::vector<Vec2> stirredScratch = solver.scratchVelocity.data;
    int steps = 0;
    for (auto _ : state) {
        if (++steps == kStepsFromTheStir) {
            state.PauseTiming();
            solver.velocity.data = stirred;
            solver.scratchVelocity.data = stirredScratch;
            steps = 0;
            state.ResumeTiming();
        }
        solver.step();
        benchmark::DoNotOptimize(solver.velocity.data.data());
    }
}

// A step in a flow at its recommended speed (the tunnel round the cylinder), with or without
// vorticity confinement.
template <typename Solver>
void benchFlowStep(benchmark::State& state, SimdPath path, Flow flow, float swirl) {
    Solver solver(kSize, kSize, 0.001f, 0.01f, 20);
    choosePath(solver, path);
    solver.setFlow(flow, flow == Flow::DrivenCavity ? kCavityLidSpeed : kTunnelInflowSpeed);
    solver.setVorticityConfinement(swirl);
    if (flow == Flow::WindTunnel) {
        const std::vector<Vec2> cylinder = cylinderPolygon(kSize);
        solver.addObstacle(cylinder.data(), static_cast<int>(cylinder.size()));
    }
    stirUp(solver);
    for (auto _ : state) {
        solver.step();
        benchmark::DoNotOptimize(solver.velocity.data.data());
    }
}

template <typename Solver>
void benchStir(benchmark::State& state, SimdPath path, int sweeps) {
    Solver solver(kSize, kSize, 0.001f, 0.01f, sweeps);
    choosePath(solver, path);
    stirUp(solver);
    const std::vector<Stir> stirs = makeStirs(64, 7);
    std::size_t next = 0;
    for (auto _ : state) {
        const Stir& s = stirs[next];
        next = (next + 1) % stirs.size();
        solver.setVelocity(s.i, s.j, s.value);
        benchmark::DoNotOptimize(solver.velocity.data.data());
    }
}

class NoDrawing final : public DisplayField {
public:
    explicit NoDrawing(int size = kSize) : DisplayField(size, size, 0, size / kSize) {}
    void drawVectors() override {}
    void drawVortex() override {}
    void drawVelocity() override {}
    void drawDye() override {}
};

void benchFill(benchmark::State& state, DisplayMode mode) {
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, 20);
    stirUp(solver);
    solver.step();
    NoDrawing display;
    display.settings.mode = mode;
    for (auto _ : state) {
        display.fill(solver.velocity, 100.0f, 100.0f);
        benchmark::DoNotOptimize(display.colors.data());
        benchmark::DoNotOptimize(display.vertices.data());
    }
}

// The fast step, 20 sweeps, and the fill at a grid size: the work of one frame but the dye's.
void benchGridStep(benchmark::State& state, SimdPath path, int size) {
    FluidSolver solver(size, size, 0.001f, 0.01f, 20);
    solver.useSimdPath(path);
    stirUp(solver);
    for (auto _ : state) {
        solver.step();
        benchmark::DoNotOptimize(solver.velocity.data.data());
    }
    state.counters["ns/cell"] = benchmark::Counter(
        static_cast<double>(size) * size,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void benchGridFill(benchmark::State& state, DisplayMode mode, int size) {
    FluidSolver solver(size, size, 0.001f, 0.01f, 20);
    stirUp(solver);
    solver.step();
    NoDrawing display(size);
    display.settings.mode = mode;
    for (auto _ : state) {
        display.fill(solver.velocity, 100.0f, 100.0f);
        benchmark::DoNotOptimize(display.colors.data());
        benchmark::DoNotOptimize(display.vertices.data());
    }
}

void benchBuildObstacle(benchmark::State& state) {
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

constexpr const char* kReference = "reference";

// Names are operation/solver/arguments; the summary pairs runs that differ only in the solver.
void registerSolverBenchmarks(std::vector<std::string>& solvers) {
    std::vector<SimdPath> paths;
    solvers.push_back(kReference);
    for (SimdPath path : {SimdPath::Avx2, SimdPath::Portable}) {
        if (isSimdPathSupported(path)) {
            paths.push_back(path);
            solvers.push_back(simdPathName(path));
        }
    }
    const auto name = [](const char* operation, const std::string& solver,
                         const std::string& args) {
        return std::string(operation) + "/" + solver + "/" + args;
    };
    for (int sweeps : {20, 50}) {
        for (bool obstacles : {false, true}) {
            const std::string args =
                "sweeps:" + std::to_string(sweeps) + "/obstacles:" + (obstacles ? "3" : "0");
            benchmark::RegisterBenchmark(name("Step", kReference, args).c_str(),
                                         benchStep<ReferenceSolver>, SimdPath::Portable, sweeps,
                                         obstacles)
                ->Unit(benchmark::kMicrosecond);
            for (SimdPath path : paths) {
                benchmark::RegisterBenchmark(name("Step", simdPathName(path), args).c_str(),
                                             benchStep<FluidSolver>, path, sweeps, obstacles)
                    ->Unit(benchmark::kMicrosecond);
            }
        }
        const std::string args = "sweeps:" + std::to_string(sweeps);
        benchmark::RegisterBenchmark(name("Stir", kReference, args).c_str(),
                                     benchStir<ReferenceSolver>, SimdPath::Portable, sweeps)
            ->Unit(benchmark::kMicrosecond);
        for (SimdPath path : paths) {
            benchmark::RegisterBenchmark(name("Stir", simdPathName(path), args).c_str(),
                                         benchStir<FluidSolver>, path, sweeps)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    for (const Flow flow : {Flow::ClosedBox, Flow::WindTunnel, Flow::DrivenCavity}) {
        for (const float swirl : {0.0f, 30.0f}) {
            const std::string args = std::string("flow:") +
                                     (flow == Flow::ClosedBox    ? "box"
                                      : flow == Flow::WindTunnel ? "tunnel"
                                                                 : "cavity") +
                                     "/swirl:" + std::to_string(static_cast<int>(swirl));
            benchmark::RegisterBenchmark(name("FlowStep", kReference, args).c_str(),
                                         benchFlowStep<ReferenceSolver>, SimdPath::Portable, flow,
                                         swirl)
                ->Unit(benchmark::kMicrosecond);
            for (SimdPath path : paths) {
                benchmark::RegisterBenchmark(name("FlowStep", simdPathName(path), args).c_str(),
                                             benchFlowStep<FluidSolver>, path, flow, swirl)
                    ->Unit(benchmark::kMicrosecond);
            }
        }
    }
    for (const auto& [mode, label] :
         {std::pair{DisplayMode::Vectors, "Vectors"}, std::pair{DisplayMode::Velocity, "Velocity"},
          std::pair{DisplayMode::Vortex, "Vortex"}}) {
        benchmark::RegisterBenchmark((std::string("Fill/") + label).c_str(), benchFill, mode)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("BuildObstacle/100-vertices", benchBuildObstacle)
        ->Unit(benchmark::kMicrosecond);
    for (int size : {100, 200, 400}) {
        const std::string args = "/size:" + std::to_string(size);
        for (SimdPath path : paths) {
            benchmark::RegisterBenchmark(
                ("GridStep/" + std::string(simdPathName(path)) + args).c_str(), benchGridStep, path,
                size)
                ->Unit(benchmark::kMicrosecond);
        }
        for (const auto& [mode, label] : {std::pair{DisplayMode::Vectors, "Vectors"},
                                          std::pair{DisplayMode::Vortex, "Vortex"}}) {
            benchmark::RegisterBenchmark((std::string("GridFill/") + label + args).c_str(),
                                         benchGridFill, mode, size)
                ->Unit(benchmark::kMicrosecond);
        }
    }
}

// Passes every report on to the console and keeps, per benchmark, the time the summary uses:
// the median when there are repetitions, otherwise the single run.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                times[name] = {run.GetAdjustedCPUTime(), true};
            } else if (run.run_type == Run::RT_Iteration && !times[name].median) {
                times[name] = {run.GetAdjustedCPUTime(), false};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printSummary(const std::vector<std::string>& solvers) const {
        std::printf("\nCPU time per operation in microseconds, and reference / path:\n%-32s", "");
        for (const std::string& solver : solvers) {
            std::printf("%12s%s", solver.c_str(), solver == kReference ? "" : "        ");
        }
        std::printf("\n");
        for (const auto& [name, time] : times) {
            const std::size_t slash = name.find('/');
            const std::size_t second = name.find('/', slash + 1);
            if (slash == std::string::npos || second == std::string::npos ||
                name.compare(slash + 1, second - slash - 1, kReference) != 0) {
                continue;
            }
            const std::string operation = name.substr(0, slash);
            const std::string args = name.substr(second + 1);
            std::printf("%-32s%12.1f", (operation + "/" + args).c_str(), time.value);
            for (const std::string& solver : solvers) {
                if (solver == kReference) {
                    continue;
                }
                const auto fast = times.find(operation + "/" + solver + "/" + args);
                if (fast == times.end()) {
                    std::printf("%20s", "-");
                } else {
                    std::printf("%12.1f %6.1fx", fast->second.value,
                                time.value / fast->second.value);
                }
            }
            std::printf("\n");
        }
    }

private:
    struct Time {
        double value = 0.0;
        bool median = false;
    };
    std::map<std::string, Time> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::vector<std::string> solvers;
    registerSolverBenchmarks(solvers);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary(solvers);
    benchmark::Shutdown();
    return 0;
}

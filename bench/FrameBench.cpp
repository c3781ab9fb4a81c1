// One 641 x 641 frame rendered off screen and read back, at grids of 100, 200 and 400, in the
// Vortex and the Dye pictures, with the overlay of a triangle. Real time, since the rendering
// (llvmpipe without a GPU) runs on threads of its own.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cstdint>
#include <string>

#include "DisplayMode.h"
#include "DisplaySettings.h"
#include "FrameRenderer.h"
#include "Simulation.h"

namespace {

// A fluid of n cells a side, stirred and dyed along its middle row past a triangle.
void prepare(Simulation& sim, int n) {
    const auto cell = [n](int hundredths) { return hundredths * n / 100; };
    sim.apply(Operation::corner(cell(20), cell(20)));
    sim.apply(Operation::corner(cell(70), cell(20)));
    sim.apply(Operation::corner(cell(45), cell(70)));
    sim.apply(Operation::buildObstacle());
    sim.apply(Operation::beginDrag());
    const float y = static_cast<float>(cell(50));
    for (int x = 10; x < 90; x += 5) {
        sim.apply(Operation::stir(cell(x), cell(50), Vec2(2500.0f, 0.0f)));
        sim.apply(Operation::pourDye(Vec2(static_cast<float>(cell(x)), y),
                                     Vec2(static_cast<float>(cell(x + 5)), y)));
        sim.apply(Operation::step());
    }
}

void benchFrame(benchmark::State& state, int n, DisplayMode mode) {
    Simulation sim([] { return std::int64_t{0}; }, n);
    prepare(sim, n);
    FrameRenderer renderer;
    if (!renderer.isValid()) {
        state.SkipWithError(renderer.errorString().toStdString().c_str());
        return;
    }
    DisplaySettings settings;
    settings.mode = mode;
    for (auto _ : state) {
        const QImage frame = renderer.render(sim, settings, true);
        benchmark::DoNotOptimize(frame.constBits());
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    for (int n : SceneLimits::kGridSizes) {
        for (DisplayMode mode : {DisplayMode::Vortex, DisplayMode::Dye}) {
            const std::string name = std::string("Frame/") +
                                     (mode == DisplayMode::Dye ? "dye" : "vortex") +
                                     "/grid:" + std::to_string(n);
            benchmark::RegisterBenchmark(name.c_str(), benchFrame, n, mode)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// A stream of solver operations on grids of many sizes: stirs of any cell with any value, steps,
// sweep counts, viscosities and the viscosity switch, obstacles added and cleared, flows at any
// speed and vorticity confinement of any strength. Each goes to
// the fast solver, on every vector path this processor runs, and to the straightforward
// reference, and they must agree to the bit after every operation (NaN payloads aside, as the fast
// path may commute the operands of an addition).
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "FluidSolver.h"
#include "FluidTestSupport.h"
#include "FuzzInput.h"
#include "ReferenceSolver.h"

namespace {

using fluidtest::sameField;

constexpr int kMaxOperations = 48;
constexpr int kMaxSteps = 6;
constexpr int kMaxSweeps = 50;
// The largest velocity per axis that a drag gives: 50 times the 640 pixels of the view.
constexpr float kDragSpeed = 32000.0f;
// The strongest vorticity confinement under which a tame field must stay finite for kMaxSteps.
constexpr float kTameSwirl = 1000.0f;

// Mostly inside the grid, sometimes just outside it, sometimes any int.
int anyCell(FuzzInput& in, int size) {
    switch (in.below(4)) {
        case 0:
            return static_cast<int>(in.word());
        case 1:
            return in.below(2) == 0 ? -1 - in.below(3) : size + in.below(3);
        default:
            return in.below(size);
    }
}

bool allFinite(const VectorField& v) {
    return std::all_of(v.data.begin(), v.data.end(),
                       [](const Vec2& c) { return std::isfinite(c.x) && std::isfinite(c.y); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const int width = in.below(8) == 0 ? 100 : 3 + in.below(22);
    const int height = in.below(8) == 0 ? 100 : 3 + in.below(22);
    ReferenceSolver reference(width, height, 0.001f, 0.01f, 20);
    std::vector<std::unique_ptr<FluidSolver>> fast;
    for (const SimdPath path : {SimdPath::Portable, SimdPath::Avx2}) {
        if (isSimdPathSupported(path)) {
            fast.push_back(std::make_unique<FluidSolver>(width, height, 0.001f, 0.01f, 20));
            FUZZ_CHECK(fast.back()->useSimdPath(path));
        }
    }
    // Applies one operation to every solver.
    const auto each = [&](const auto& operation) {
        operation(reference);
        for (const std::unique_ptr<FluidSolver>& solver : fast) {
            operation(*solver);
        }
    };

    // Tame: every velocity given (stirs, inflow and lid speeds) was finite and no larger than a
    // drag's, and the vorticity confinement no stronger than kTameSwirl. Any viscosity is
    // allowed, positive or not: a tame field must stay finite whatever it is.
    bool tame = true;
    int steps = 0;
    for (int op = 0; op < kMaxOperations && !in.exhausted(); ++op) {
        switch (in.below(9)) {
            case 0:
            case 1: {
                const int i = anyCell(in, width);
                const int j = anyCell(in, height);
                const Vec2 value = in.below(2) == 0
                                       ? Vec2(in.anyFloat(), in.anyFloat())
                                       : Vec2(static_cast<float>(in.word() % 64001) - kDragSpeed,
                                              static_cast<float>(in.word() % 64001) - kDragSpeed);
                const bool inside = i >= 0 && i < width && j >= 0 && j < height;
                VectorField before(width, height);
                before.copyFrom(reference.velocity);
                each([&](auto& solver) { solver.setVelocity(i, j, value); });
                if (!inside) {
                    FUZZ_CHECK(sameField(before, reference.velocity));  // refused: untouched
                } else {
                    tame = tame && std::fabs(value.x) <= kDragSpeed &&
                           std::fabs(value.y) <= kDragSpeed;
                }
                break;
            }
            case 2:
                if (steps++ < kMaxSteps) {
                    each([](auto& solver) { solver.step(); });
                }
                break;
            case 3: {
                const int sweeps = in.below(kMaxSweeps + 4) - 2;
                each([sweeps](auto& solver) { solver.setIterations(sweeps); });
                break;
            }
            case 4: {
                // Any float, or one of the panel's values, 0.0001 to 10.
                const float viscosity = in.below(2) == 0
                                            ? in.anyFloat()
                                            : 1e-4f * static_cast<float>(1 + in.word() % 100000);
                each([viscosity](auto& solver) { solver.setViscosity(viscosity); });
                break;
            }
            case 5: {
                const bool enabled = in.below(2) == 0;
                each([enabled](auto& solver) { solver.setViscosityEnabled(enabled); });
                break;
            }
            case 6: {
                const Flow flow = static_cast<Flow>(in.below(3));
                const float speed = in.below(2) == 0
                                        ? in.anyFloat()
                                        : static_cast<float>(in.word() % 64001) - kDragSpeed;
                each([&](auto& solver) { solver.setFlow(flow, speed); });
                tame = tame && std::fabs(reference.flowSpeed()) <= kDragSpeed;
                break;
            }
            case 7: {
                const float swirl =
                    in.below(2) == 0 ? in.anyFloat() : static_cast<float>(in.below(256)) * 4.0f;
                each([swirl](auto& solver) { solver.setVorticityConfinement(swirl); });
                tame = tame && reference.vorticityConfinement <= kTameSwirl;
                break;
            }
            default:
                if (in.below(4) == 0) {
                    each([](auto& solver) { solver.clearObstacles(); });
                } else {
                    std::vector<Vec2> polygon(3 + in.below(3));
                    for (Vec2& v : polygon) {
                        v = Vec2(static_cast<float>(in.below(width)),
                                 static_cast<float>(in.below(height)));
                    }
                    each([&polygon](auto& solver) {
                        solver.addObstacle(polygon.data(), static_cast<int>(polygon.size()));
                    });
                }
                break;
        }
        FUZZ_CHECK(!tame || allFinite(reference.velocity));
        for (const std::unique_ptr<FluidSolver>& solver : fast) {
            FUZZ_CHECK(sameField(solver->velocity, reference.velocity));
            FUZZ_CHECK(sameField(solver->scratchVelocity, reference.scratchVelocity));
            FUZZ_CHECK(sameField(solver->pressure, reference.pressure));
            FUZZ_CHECK(sameField(solver->divergence, reference.divergence));
        }
    }
    return 0;
}

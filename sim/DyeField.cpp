#include "DyeField.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>

#include "SolverKernels.h"

namespace {

// v clamped to [0, 1], NaN to 0.
float unit(float v) {
    return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f;
}

float distance(float a, float b) {
    return a < b ? b - a : a - b;
}

// A texel centre's coordinate in flow positions: (a + 0.5) * s - 0.5.
float texelCentre(int a, float s) {
    return (static_cast<float>(a) + 0.5f) * s - 0.5f;
}

// The texel whose centre is nearest the flow position p, clamped into the dye; for bounds only.
int nearestTexel(double p, float s, int size) {
    const double a = std::floor((p + 0.5) / s);
    return static_cast<int>(std::min(std::max(a, 0.0), static_cast<double>(size - 1)));
}

}  // namespace

DyeField::DyeField(int size)
    : dyeSize(std::max(size, 1)),
      path(defaultSimdPath()),
      kernels(&solverKernels(path)),
      masked(static_cast<std::size_t>(dyeSize) * dyeSize, 0),
      flowCellOf(dyeSize, 0) {
    const std::size_t texels = static_cast<std::size_t>(dyeSize) * dyeSize;
    for (int c = 0; c < 3; ++c) {
        channels[c].assign(texels, 0.0f);
        previous[c].assign(texels, 0.0f);
    }
}

void DyeField::clear() {
    for (std::vector<float>& channel : channels) {
        std::fill(channel.begin(), channel.end(), 0.0f);
    }
    isEmpty = true;
}

void DyeField::load(const std::vector<float>& red, const std::vector<float>& green,
                    const std::vector<float>& blue) {
    const std::vector<float>* const from[] = {&red, &green, &blue};
    isEmpty = true;
    for (int c = 0; c < 3; ++c) {
        assert(from[c]->size() == channels[c].size());
        std::copy(from[c]->begin(), from[c]->end(), channels[c].begin());
        // A dye of +0 everywhere steps to +0 everywhere, which an empty one keeps without stepping.
        isEmpty = isEmpty && std::all_of(channels[c].begin(), channels[c].end(),
                                         [](float v) { return v == 0.0f && !std::signbit(v); });
    }
}

void DyeField::splat(Vec2 centre, float radius, DyeColour colour, int flowSize) {
    if (!(radius > 0.0f) || !std::isfinite(radius) || !std::isfinite(centre.x) ||
        !std::isfinite(centre.y) || flowSize < 1) {
        return;
    }
    const float amount[3] = {unit(colour.red), unit(colour.green), unit(colour.blue)};
    const float s = static_cast<float>(flowSize) / static_cast<float>(dyeSize);
    const float r2 = radius * radius;
    // The texels that can lie within the radius, a texel wider on each side; the test below
    // decides.
    const int firstA = nearestTexel(static_cast<double>(centre.x) - radius, s, dyeSize) - 1;
    const int lastA = nearestTexel(static_cast<double>(centre.x) + radius, s, dyeSize) + 1;
    const int firstB = nearestTexel(static_cast<double>(centre.y) - radius, s, dyeSize) - 1;
    const int lastB = nearestTexel(static_cast<double>(centre.y) + radius, s, dyeSize) + 1;
    for (int b = std::max(firstB, 0); b <= std::min(lastB, dyeSize - 1); ++b) {
        const float dy = texelCentre(b, s) - centre.y;
        for (int a = std::max(firstA, 0); a <= std::min(lastA, dyeSize - 1); ++a) {
            const float dx = texelCentre(a, s) - centre.x;
            // d2 = dx^2 + dy^2
            const float d2 = dx * dx + dy * dy;
            if (!(d2 < r2)) {
                continue;
            }
            // w = (1 - d2 / r2)^2, dye = min(1, dye + w * colour)
            const float t = 1.0f - d2 / r2;
            const float w = t * t;
            const std::size_t k =
                static_cast<std::size_t>(a) + static_cast<std::size_t>(b) * dyeSize;
            for (int c = 0; c < 3; ++c) {
                const float sum = channels[c][k] + w * amount[c];
                channels[c][k] = sum < 1.0f ? sum : 1.0f;
            }
            isEmpty = false;
        }
    }
}

void DyeField::step(const FluidSolver& solver, float keep) {
    const bool inflow = solver.flow() == Flow::WindTunnel;
    if (isEmpty && !inflow) {
        return;
    }
    const VectorField& velocity = solver.velocity;
    const bool square = velocity.width == velocity.height;
    assert(square && "the dye follows a square flow");
    if (!square) {
        return;
    }
    const int n = velocity.width;
    followObstacles(solver.obstacles, n);
    for (int c = 0; c < 3; ++c) {
        previous[c].swap(channels[c]);
    }
    const float* from[3] = {previous[0].data(), previous[1].data(), previous[2].data()};
    float* to[3] = {channels[0].data(), channels[1].data(), channels[2].data()};
    kernels->advectDye(n, solver.timeStep / velocity.spacing, &velocity.data.data()->x, dyeSize,
                       unit(keep), from, to);
    // dye = 0 over the obstacles; a select rather than a branch, which the compiler vectorises
    for (int c = 0; c < 3; ++c) {
        for (std::size_t k = maskedFirst; k < maskedEnd; ++k) {
            to[c][k] = masked[k] != 0 ? 0.0f : to[c][k];
        }
    }
    if (inflow) {
        streakInflow(n);
    }
    // Faded or masked, the amounts below kFaintestDye are +0; the other amounts are not 0.
    isEmpty =
        std::all_of(std::begin(channels), std::end(channels), [](const std::vector<float>& c) {
            return std::all_of(c.begin(), c.end(), [](float v) { return v == 0.0f; });
        });
}

void DyeField::streakInflow(int flowSize) {
    const float s = static_cast<float>(flowSize) / static_cast<float>(dyeSize);
    for (int b = 0; b < dyeSize; ++b) {
        // Stripe (2 * kInflowStreaks) * (b + 0.5) / D of the height: the odd ones are dyed.
        const int stripe = static_cast<int>(2 * kInflowStreaks * (b + 0.5) / dyeSize);
        const DyeColour colour = stripe % 2 == 1 ? pourColour(stripe / 2) : DyeColour{0, 0, 0};
        const float amount[3] = {colour.red, colour.green, colour.blue};
        // The texels whose centres lie in the inflow's column of cells, x < 0.5.
        for (int a = 0; a < dyeSize && texelCentre(a, s) < 0.5f; ++a) {
            const std::size_t k =
                static_cast<std::size_t>(a) + static_cast<std::size_t>(b) * dyeSize;
            for (int c = 0; c < 3; ++c) {
                channels[c][k] = amount[c];
            }
        }
    }
}

void DyeField::followObstacles(const FoldedObstacles& obstacles, int flowSize) {
    if (flowSize == maskFlowSize && obstacles.revision() == maskRevision) {
        return;
    }
    maskFlowSize = flowSize;
    maskRevision = obstacles.revision();
    // floor((a + 0.5) * s), which never decreases with a.
    const float s = static_cast<float>(flowSize) / static_cast<float>(dyeSize);
    for (int a = 0; a < dyeSize; ++a) {
        flowCellOf[a] =
            std::min(static_cast<int>((static_cast<float>(a) + 0.5f) * s), flowSize - 1);
    }
    // Each texel through the flow's mask of interior cells: in proportion to the texels,
    // however many obstacles.
    const std::vector<unsigned char>& interior = obstacles.interiorMask();
    maskedFirst = masked.size();
    maskedEnd = 0;
    for (int b = 0; b < dyeSize; ++b) {
        const std::size_t flowRow = static_cast<std::size_t>(flowCellOf[b]) * flowSize;
        const std::size_t row = static_cast<std::size_t>(b) * dyeSize;
        for (int a = 0; a < dyeSize; ++a) {
            const std::size_t k = row + static_cast<std::size_t>(a);
            masked[k] = interior[flowRow + static_cast<std::size_t>(flowCellOf[a])];
            if (masked[k] != 0) {
                maskedFirst = std::min(maskedFirst, k);
                maskedEnd = k + 1;
            }
        }
    }
}

bool DyeField::useSimdPath(SimdPath wanted) {
    if (!isSimdPathSupported(wanted)) {
        return false;
    }
    path = wanted;
    kernels = &solverKernels(path);
    return true;
}

DyeColour DyeField::pourColour(int drag) {
    const int hue = (drag % kPourHues + kPourHues) % kPourHues;
    // h in sixths of a turn: red at 0, green at 2, blue at 4; each channel is a ramp of the
    // distance from its own hue, full within one sixth and none beyond two.
    const float h = static_cast<float>(hue) * (6.0f / kPourHues);
    return DyeColour{unit(distance(h, 3.0f) - 1.0f), unit(2.0f - distance(h, 2.0f)),
                     unit(2.0f - distance(h, 4.0f))};
}

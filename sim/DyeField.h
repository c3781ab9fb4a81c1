#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FluidSolver.h"
#include "SimdPath.h"
#include "Vec2.h"

struct SolverKernels;

// Amounts of red, green and blue, each from 0 to 1.
struct DyeColour {
    float red;
    float green;
    float blue;
};

// A coloured dye carried by a flow: red, green and blue amounts from 0 to 1 on a D x D grid of
// its own, whatever the flow's size N. The channels are planar D * D float arrays, texel (a, b)
// at index a + b * D. Positions are in flow cell units, flow cell i's centre at position i, and
// s = N / D (a float) is the width of a texel in flow cells.
//
// A step computes every texel from the previous dye, in float, in this order:
//  1. Its centre in flow positions: x = (a + 0.5) * s - 0.5, y = (b + 0.5) * s - 0.5.
//  2. The velocity u there, bilinear from the flow at (x, y) clamped to [0, N - 1] on each axis:
//     i0 = truncation, i1 = min(i0 + 1, N - 1), weights w00 = (i0 + 1 - x) * (j0 + 1 - y),
//     w10 = (x - i0) * (j0 + 1 - y), w01 = (i0 + 1 - x) * (y - j0), w11 = (x - i0) * (y - j0),
//     u = ((u00 * w00 + u10 * w10) + u01 * w01) + u11 * w11, as in the flow's advection.
//  3. The back-trace p = (x, y) - f * u, f = timeStep / spacing of the flow, each coordinate
//     clamped to [0.5, (N - 2) + 0.5] as the flow's advection does (NaN to 0.5).
//  4. In dye coordinates q = (p + 0.5) / s - 0.5, clamped to [0, D - 1]; each channel sampled
//     bilinearly at q from the previous dye as in 2, the neighbour index clamped to D - 1.
//  5. The sample times keep, the factor by which the dye fades in one step.
//  6. +0 where that is below 1/512 (kFaintestDye): the display packs an amount a to the byte
//     (unsigned)(min(a, 1) * 255 + 0.5), and every amount below 1/512 packs to 0, so a dye
//     that no display could show any more is gone, and stops stepping.
//  7. Zero where the flow cell that contains the texel's centre, (floor((a + 0.5) * s),
//     floor((b + 0.5) * s)), is an interior cell of an obstacle.
// Every kernel path gives the same bits. Storage is allocated at construction; nothing
// allocates in a step or a splat.
class DyeField {
public:
    // A clear dye of size x size texels (at least 1).
    explicit DyeField(int size);

    int size() const { return dyeSize; }
    // The channels, D * D each. A step swaps each for a second buffer: take data() afresh.
    const std::vector<float>& red() const { return channels[0]; }
    const std::vector<float>& green() const { return channels[1]; }
    const std::vector<float>& blue() const { return channels[2]; }

    // Every texel is +0: nothing poured since construction or clear(), or a step left none.
    bool empty() const { return isEmpty; }
    // Every texel 0, and empty.
    void clear();
    // Takes size() x size() amounts for each channel, as they are; empty when every one is 0.
    void load(const std::vector<float>& red, const std::vector<float>& green,
              const std::vector<float>& blue);

    // Pours a colour (each channel clamped to [0, 1]) around a flow position, for a flow of
    // flowSize cells a side: every texel whose centre (x, y) lies within radius flow cells of
    // the centre c gains w = (1 - d2 / radius^2)^2 times it, d2 = (x - cx)^2 + (y - cy)^2, each
    // channel capped at 1. A radius that is not positive and finite pours nothing.
    void splat(Vec2 centre, float radius, DyeColour colour, int flowSize);

    // One step along the solver's velocity (its size N, f = timeStep / spacing, its obstacles),
    // fading by keep (clamped to [0, 1]; 1 never fades); in a wind tunnel the inflow then brings
    // in its streaks (streakInflow). Does nothing while the dye is empty, but in a wind tunnel;
    // after a step that leaves every texel 0, the dye is empty. The flow must be square.
    void step(const FluidSolver& solver, float keep);

    // Streaks of dye that a wind tunnel brings in: kInflowStreaks bands, evenly spaced down the
    // inflow with a gap at each wall, each a colour of pourColour's in turn.
    static constexpr int kInflowStreaks = 11;

    // The instruction set of the step: at construction defaultSimdPath(). Returns false, and
    // keeps the current one, for a path this processor cannot run.
    bool useSimdPath(SimdPath path);
    SimdPath simdPath() const { return path; }

    // Evenly spaced hues, fully saturated at full value, cycling through kPourHues with the
    // drag number (any int).
    static constexpr int kPourHues = 8;
    static DyeColour pourColour(int drag);

private:
    // Sets the texels whose centres lie in the inflow's column of flow cells (x < 0.5) to the
    // streaks' colours, and those between them to 0.
    void streakInflow(int flowSize);
    // Rebuilds the obstacle mask for a flow of flowSize cells if it or the obstacles changed.
    void followObstacles(const FoldedObstacles& obstacles, int flowSize);

    int dyeSize;
    std::vector<float> channels[3];
    std::vector<float> previous[3];  // the step's source
    bool isEmpty = true;
    SimdPath path;
    const SolverKernels* kernels;
    // Texels inside an obstacle, 1 there, for the flow size and obstacles they were made for.
    std::vector<unsigned char> masked;
    std::size_t maskedFirst = 0;  // the masked texels lie from here to maskedEnd
    std::size_t maskedEnd = 0;
    std::vector<int> flowCellOf;  // texel column or row to the flow's
    int maskFlowSize = 0;
    std::uint64_t maskRevision = 0;
};

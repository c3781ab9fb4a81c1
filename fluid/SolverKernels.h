#pragma once

#include "DiagonalLayout.h"
#include "SimdPath.h"

// The solver's inner loops on float arrays, compiled once per instruction set. Natural arrays
// hold cell (i, j) at i + j * width; diagonal arrays are in a DiagonalLayout. Each kernel
// performs, cell by cell, exactly the operations of the straightforward loops, in the same
// order, so that every path gives the same bits.
struct SolverKernels {
    // Cells per vector; the sweeps take the layout's chunks for this many lanes.
    int lanes;
    // One Gauss-Seidel diffusion sweep, in place on both components (diagonal arrays):
    // d = (dW + dE + dN + dS + au) * beta, au = alpha * u computed beforehand.
    void (*diffusionSweep)(const SweepChunk* chunks, int count, float* x, float* y, const float* ax,
                           const float* ay, float beta);
    // One Gauss-Seidel pressure sweep, in place (diagonal arrays):
    // p = 0.25 * (pW - D + pE + pN + pS).
    void (*pressureSweep)(const SweepChunk* chunks, int count, float* p, const float* D);
    // Interior cells of (x, y) = u(position - factor * u), sampled bilinearly; u is a field's
    // cells as interleaved floats (x, y, x, y, ...), x and y are natural arrays.
    void (*advect)(int width, int height, float factor, const float* u, float* x, float* y);
    // Interior cells of q = 0.5 * (xE - xW + yS - yN) (natural arrays).
    void (*divergence)(int width, int height, const float* x, const float* y, float* q);
    // (x, y) = (x, y) + (-0.5 * (pE - pW), -0.5 * (pS - pN)) on the cells from (1, 1) to
    // (width - 2, height - 2) in storage order, which includes the side walls between them:
    // the caller's boundary pass rewrites those (natural arrays).
    void (*subtractGradient)(int width, int height, const float* p, float* x, float* y);
    // n interleaved cells (x, y, x, y, ...) to two component arrays, and back.
    void (*split)(const float* v, int n, float* x, float* y);
    void (*join)(const float* x, const float* y, int n, float* v);
    // One step of a dye: three planar channels on a size x size grid of their own, from[c] to
    // to[c], carried by the velocity u (interleaved) of a flowSize x flowSize flow, factor =
    // timeStep / spacing of the flow, and faded by keep. Every texel (a, b) is written:
    //   s = flowSize / size; x = (a + 0.5) * s - 0.5, y likewise (the centre, in flow positions);
    //   v = u bilinear at (x, y) clamped to [0, flowSize - 1], the far neighbour clamped too;
    //   p = (x, y) - factor * v clamped to [0.5, (flowSize - 2) + 0.5], NaN to 0.5;
    //   q = (p + 0.5) / s - 0.5 clamped to [0, size - 1];
    //   to = (from bilinear at q, the far neighbour clamped to size - 1) * keep;
    //   to = +0 where it is below kFaintestDye (which no display shows).
    // Both samples have the weights and the term order of the advection.
    void (*advectDye)(int flowSize, float factor, const float* u, int size, float keep,
                      const float* const* from, float* const* to);
};

// The faintest amount of dye that a step keeps: every amount below it packs to the display's
// byte 0, (unsigned)(a * 255 + 0.5), and a step makes it +0.
constexpr float kFaintestDye = 1.0f / 512.0f;

// The kernels of a path; the path must be supported.
const SolverKernels& solverKernels(SimdPath path);

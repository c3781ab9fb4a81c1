#pragma once

#include <cstdint>
#include <vector>

#include "BoundaryPass.h"
#include "DiagonalLayout.h"
#include "FoldedObstacles.h"
#include "SimdPath.h"
#include "SolverKernels.h"

// The fast solver's working state, allocated once with the solver: a diagonal-major layout for
// the Gauss-Seidel sweeps, the boundary pass worked out for it and for the natural order (kept in
// step with the obstacles' writes), and the component arrays that the kernels read and write. Every
// operation starts from the public fields and ends by writing them back; nothing here carries
// state from one operation to the next except the index tables.
struct SolverWorkspace {
    // Room for copyCapacity outline copies in each pass.
    SolverWorkspace(int width, int height, int copyCapacity);

    // Rebuilds both passes' obstacle tables when the obstacles have changed since they were
    // built: in proportion to the grid and the copies, however many obstacles.
    void followObstacles(const FoldedObstacles& obstacles);
    // Takes the kernels of a supported path and the sweep chunks for their vector width.
    void usePath(SimdPath path);

    DiagonalLayout diagonal;
    BoundaryPass naturalPass;
    BoundaryPass diagonalPass;
    std::uint64_t obstaclesRevision;
    SimdPath path;
    const SolverKernels* kernels;
    std::vector<SweepChunk> chunks;  // one sweep, for the kernels' vector width
    // Diagonal-major, with room for the lanes that a sweep reaches past the last cell: the
    // diffusion target (x, y), alpha times its source, the pressure, the divergence.
    std::vector<float> dx, dy, ax, ay, pressure, divergence;
    // Natural order: the velocity that advection and projection work on.
    std::vector<float> vx, vy;
};

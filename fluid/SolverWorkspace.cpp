#include "SolverWorkspace.h"

#include <cstddef>
#include <numeric>

namespace {

std::vector<int> naturalIndices(int width, int height) {
    std::vector<int> indices(static_cast<std::size_t>(width) * height);
    std::iota(indices.begin(), indices.end(), 0);
    return indices;
}

std::vector<int> diagonalIndices(const DiagonalLayout& layout) {
    std::vector<int> indices(static_cast<std::size_t>(layout.width()) * layout.height());
    for (int j = 0; j < layout.height(); ++j) {
        for (int i = 0; i < layout.width(); ++i) {
            indices[i + j * layout.width()] = layout.index(i, j);
        }
    }
    return indices;
}

}  // namespace

SolverWorkspace::SolverWorkspace(int width, int height, int copyCapacity)
    : diagonal(width, height),
      naturalPass(width, height, naturalIndices(width, height), copyCapacity),
      diagonalPass(width, height, diagonalIndices(diagonal), copyCapacity),
      obstaclesRevision(0),  // the revision of every empty list of obstacles
      path(SimdPath::Portable),
      kernels(nullptr) {
    const std::size_t cells = static_cast<std::size_t>(width) * height;
    for (std::vector<float>* v : {&vx, &vy}) {
        v->assign(cells, 0.0f);
    }
    usePath(defaultSimdPath());
}

void SolverWorkspace::usePath(SimdPath path_) {
    path = path_;
    kernels = &solverKernels(path);
    chunks = diagonal.sweepChunks(kernels->lanes);
    const std::size_t extent = static_cast<std::size_t>(diagonal.sweepExtent(kernels->lanes));
    for (std::vector<float>* v : {&dx, &dy, &ax, &ay, &pressure, &divergence}) {
        if (v->size() < extent) {
            v->resize(extent, 0.0f);
        }
    }
}

void SolverWorkspace::followObstacles(const FoldedObstacles& obstacles) {
    if (obstacles.revision() == obstaclesRevision) {
        return;
    }
    naturalPass.setObstacles(obstacles.writes());
    diagonalPass.setObstacles(obstacles.writes());
    obstaclesRevision = obstacles.revision();
}

#include "BoundaryPass.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace {

// Components of a field split into two arrays.
struct SplitCells {
    float* xs;
    float* ys;
    float& x(int k) const { return xs[k]; }
    float& y(int k) const { return ys[k]; }
};

// Components of a field of Vec2 cells.
struct PackedCells {
    Vec2* cells;
    float& x(int k) const { return cells[k].x; }
    float& y(int k) const { return cells[k].y; }
};

}  // namespace

BoundaryPass::BoundaryPass(int width_, int height_, std::vector<int> storageIndex_,
                           int copyCapacity)
    : width(width_),
      height(height_),
      storageIndex(std::move(storageIndex_)),
      naturalIndex(storageIndex.size()),
      walls(width, height, storageIndex) {
    for (std::size_t k = 0; k < storageIndex.size(); ++k) {
        naturalIndex[static_cast<std::size_t>(storageIndex[k])] = static_cast<int>(k);
    }
    // At most one run for every other cell, and one constant for every cell.
    records.reserve(static_cast<std::size_t>(copyCapacity));
    constantRuns.reserve(storageIndex.size() / 2 + 1);
    constants.reserve(storageIndex.size());
}

void BoundaryPass::setObstacles(const ObstacleWrites& writes) {
    records.clear();
    constantRuns.clear();
    constants.clear();
    writes.forEachCopy([this](const ObstacleWrites::Copy& c) {
        records.push_back(
            Record{storageIndex[c.cell], storageIndex[c.neighbour], c.tangent.x, c.tangent.y});
    });
    // The constants in storage order, where neighbouring cells form runs.
    for (int k = 0; k < static_cast<int>(naturalIndex.size()); ++k) {
        const int cell = naturalIndex[k];
        if (!writes.endsConstant(cell)) {
            continue;
        }
        if (!constantRuns.empty() && constantRuns.back().first + constantRuns.back().count == k) {
            ++constantRuns.back().count;
        } else {
            constantRuns.push_back(Run{k, 1});
        }
        const Vec2 v = writes.constantAt(cell);
        if (!(v.x == 0.0f && !std::signbit(v.x) && v.y == 0.0f && !std::signbit(v.y))) {
            constants.push_back(Constant{k, v.x, v.y});
        }
    }
}

template <typename Cells>
void BoundaryPass::applyVectorTo(Cells v) const {
    walls.applyVector(v);
    // The live copies in order; a copy may read a cell that an earlier copy wrote.
    for (const Record& r : records) {
        // Keep the neighbour's component along the outline: t * dot(t, u).
        const float s = r.tx * v.x(r.neighbour) + r.ty * v.y(r.neighbour);
        v.x(r.cell) = s * r.tx;
        v.y(r.cell) = s * r.ty;
    }
    // Then the cells that end at a constant, which nothing read while the pass ran.
    for (const Run& run : constantRuns) {
        for (int k = run.first; k < run.first + run.count; ++k) {
            v.x(k) = 0.0f;
            v.y(k) = 0.0f;
        }
    }
    for (const Constant& c : constants) {
        v.x(c.cell) = c.x;
        v.y(c.cell) = c.y;
    }
}

void BoundaryPass::applyVector(float* x, float* y) const {
    applyVectorTo(SplitCells{x, y});
}

void BoundaryPass::applyVector(Vec2* cells) const {
    applyVectorTo(PackedCells{cells});
}

void BoundaryPass::applyScalar(float* s) const {
    walls.applyScalar(s);
    for (const Record& r : records) {
        s[r.cell] = s[r.neighbour];
    }
    // A scalar copy of a constant is the same constant: they are all +0.
    for (const Run& run : constantRuns) {
        std::fill_n(s + run.first, run.count, 0.0f);
    }
}

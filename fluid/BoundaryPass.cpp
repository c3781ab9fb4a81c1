#include "BoundaryPass.h"

#include <algorithm>
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

BoundaryPass::BoundaryPass(int width_, int height_, std::vector<int> storageIndex_)
    : width(width_),
      height(height_),
      storageIndex(std::move(storageIndex_)),
      walls(width, height, storageIndex) {}

void BoundaryPass::setObstacles(const ObstacleList& obstacles) {
    records.clear();
    interiors.clear();
    ranges.clear();
    // A cell held in a Vec2 addresses the field through its components truncated toward zero.
    const auto indexOf = [this](const Vec2& c, int& index) {
        const float i = c.x;
        const float j = c.y;
        if (!(i > -1.0f && i < static_cast<float>(width) && j > -1.0f &&
              j < static_cast<float>(height))) {
            return false;
        }
        index = storageIndex[static_cast<int>(i) + static_cast<int>(j) * width];
        return true;
    };
    for (const Obstacle& obstacle : obstacles) {
        for (const BoundaryCell& r : obstacle.boundaryCells) {
            Record record{0, 0, r.tangent.x, r.tangent.y};
            if (indexOf(r.cell, record.cell) && indexOf(r.neighbour, record.neighbour)) {
                records.push_back(record);
            }
        }
        // The interior cells are all set to zero, so their order does not matter: sorted, they
        // fall into runs of neighbouring storage, one per row or diagonal that crosses them.
        std::vector<int> cells;
        for (const Vec2& c : obstacle.interiorCells) {
            int index = 0;
            if (indexOf(c, index)) {
                cells.push_back(index);
            }
        }
        std::sort(cells.begin(), cells.end());
        cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
        for (std::size_t k = 0; k < cells.size(); ++k) {
            if (k > 0 && cells[k] == cells[k - 1] + 1) {
                ++interiors.back().count;
            } else {
                interiors.push_back(Run{cells[k], 1});
            }
        }
        ranges.push_back(
            Range{static_cast<int>(records.size()), static_cast<int>(interiors.size())});
    }
}

template <typename Cells>
void BoundaryPass::applyVectorTo(Cells v) const {
    walls.applyVector(v);
    // Obstacles in order; a record may read a cell that an earlier record or obstacle wrote.
    int record = 0;
    int interior = 0;
    for (const Range& range : ranges) {
        for (; record < range.recordsEnd; ++record) {
            // Keep the neighbour's component along the outline: t * dot(t, u).
            const Record& r = records[record];
            const float s = r.tx * v.x(r.neighbour) + r.ty * v.y(r.neighbour);
            v.x(r.cell) = s * r.tx;
            v.y(r.cell) = s * r.ty;
        }
        for (; interior < range.interiorEnd; ++interior) {
            const Run run = interiors[interior];
            for (int k = run.first; k < run.first + run.count; ++k) {
                v.x(k) = 0.0f;
                v.y(k) = 0.0f;
            }
        }
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
    int record = 0;
    int interior = 0;
    for (const Range& range : ranges) {
        for (; record < range.recordsEnd; ++record) {
            s[records[record].cell] = s[records[record].neighbour];
        }
        for (; interior < range.interiorEnd; ++interior) {
            std::fill_n(s + interiors[interior].first, interiors[interior].count, 0.0f);
        }
    }
}

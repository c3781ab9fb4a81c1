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
    : width(width_), height(height_), storageIndex(std::move(storageIndex_)) {
    const auto at = [this](int i, int j) { return storageIndex[i + j * width]; };
    const int W = width;
    const int H = height;
    for (int j = 1; j <= H - 2; ++j) {
        sideWalls.push_back(Copy{at(0, j), at(1, j)});
        sideWalls.push_back(Copy{at(W - 1, j), at(W - 2, j)});
    }
    for (int i = 1; i <= W - 2; ++i) {
        endWalls.push_back(Copy{at(i, 0), at(i, 1)});
        endWalls.push_back(Copy{at(i, H - 1), at(i, H - 2)});
    }
    // Each corner from its two edge neighbours, in the order in which the two passes add them.
    vectorCorners[0] = Mean{at(0, 0), at(1, 0), at(0, 1)};
    vectorCorners[1] = Mean{at(W - 1, H - 1), at(W - 2, H - 1), at(W - 1, H - 2)};
    vectorCorners[2] = Mean{at(W - 1, 0), at(W - 1, 1), at(W - 2, 0)};
    vectorCorners[3] = Mean{at(0, H - 1), at(1, H - 1), at(0, H - 2)};
    scalarCorners[0] = Mean{at(0, 0), at(0, 1), at(1, 0)};
    scalarCorners[1] = Mean{at(W - 1, 0), at(W - 1, 1), at(W - 2, 0)};
    scalarCorners[2] = Mean{at(0, H - 1), at(0, H - 2), at(1, H - 1)};
    scalarCorners[3] = Mean{at(W - 1, H - 1), at(W - 1, H - 2), at(W - 2, H - 1)};
}

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
    // The walls read only interior cells, the corners only wall cells written just before.
    for (const Copy& c : sideWalls) {
        v.x(c.target) = 0.0f;
        v.y(c.target) = v.y(c.source);
    }
    for (const Copy& c : endWalls) {
        v.x(c.target) = v.x(c.source);
        v.y(c.target) = 0.0f;
    }
    for (const Mean& m : vectorCorners) {
        v.x(m.target) = 0.5f * (v.x(m.first) + v.x(m.second));
        v.y(m.target) = 0.5f * (v.y(m.first) + v.y(m.second));
    }
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
    for (const Copy& c : endWalls) {
        s[c.target] = s[c.source];
    }
    for (const Copy& c : sideWalls) {
        s[c.target] = s[c.source];
    }
    for (const Mean& m : scalarCorners) {
        s[m.target] = 0.5f * (s[m.first] + s[m.second]);
    }
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

#include "FoldedObstacles.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace {

std::uint64_t nextStamp() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

}  // namespace

FoldedObstacles::FoldedObstacles(int gridWidth, int gridHeight)
    : width(gridWidth),
      height(gridHeight),
      limit(std::max(kCopiesPerCell * gridWidth * gridHeight, kLeastCopyLimit)),
      folded(gridWidth * gridHeight),
      interior(static_cast<std::size_t>(gridWidth) * gridHeight, 0),
      stamp(0) {}  // every empty list holds the same obstacles: none

Obstacle FoldedObstacles::operator[](int k) const {
    const Entry& e = entries[static_cast<std::size_t>(k)];
    if (e.kept != nullptr) {
        return *e.kept;
    }
    return Obstacle(e.polygon.data(), static_cast<int>(e.polygon.size()), width, height);
}

ObstacleRefusal FoldedObstacles::add(const Vec2* polygon, int count) {
    if (!Obstacle::isBuildable(polygon, count, width, height)) {
        return ObstacleRefusal::Unbuildable;
    }
    const Obstacle obstacle(polygon, count, width, height);
    // Each record adds at most one live copy: below that bound no undo can be needed.
    const bool mayPassLimit =
        static_cast<long long>(folded.liveCopies()) + obstacle.boundaryCount > limit;
    fold(obstacle, mayPassLimit);
    if (folded.liveCopies() > limit) {
        folded.undo();
        return ObstacleRefusal::TooManyCopies;
    }
    folded.commit();
    markInterior(obstacle);
    entries.push_back(Entry{std::vector<Vec2>(polygon, polygon + count), nullptr});
    changed();
    return ObstacleRefusal::None;
}

void FoldedObstacles::append(Obstacle obstacle) {
    fold(obstacle, false);
    folded.commit();
    markInterior(obstacle);
    entries.push_back(Entry{{}, std::make_unique<const Obstacle>(std::move(obstacle))});
    changed();
}

void FoldedObstacles::clear() {
    entries.clear();
    folded.clear();
    std::fill(interior.begin(), interior.end(), 0);
    changed();
}

FoldedObstacles& FoldedObstacles::operator=(const ObstacleList& list) {
    clear();
    for (const Obstacle& obstacle : list) {
        append(obstacle);
    }
    return *this;
}

void FoldedObstacles::fold(const Obstacle& obstacle, bool undoable) {
    folded.begin(undoable);
    // Records with a cell or a neighbour outside the grid are left out: no pass touches them.
    for (const BoundaryCell& r : obstacle.boundaryCells) {
        int cell = 0;
        int neighbour = 0;
        if (indexOf(r.cell, cell) && indexOf(r.neighbour, neighbour)) {
            folded.copy(cell, neighbour, r.tangent);
        }
    }
    for (const Vec2& c : obstacle.interiorCells) {
        int cell = 0;
        if (indexOf(c, cell)) {
            folded.zero(cell);
        }
    }
}

void FoldedObstacles::markInterior(const Obstacle& obstacle) {
    for (const Vec2& c : obstacle.interiorCells) {
        int cell = 0;
        if (indexOf(c, cell)) {
            interior[static_cast<std::size_t>(cell)] = 1;
        }
    }
}

bool FoldedObstacles::indexOf(const Vec2& c, int& index) const {
    const float i = c.x;
    const float j = c.y;
    if (!(i > -1.0f && i < static_cast<float>(width) && j > -1.0f &&
          j < static_cast<float>(height))) {
        return false;
    }
    index = static_cast<int>(i) + static_cast<int>(j) * width;
    return true;
}

void FoldedObstacles::changed() {
    stamp = nextStamp();
}

#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "Obstacle.h"
#include "ObstacleList.h"
#include "ObstacleWrites.h"
#include "Vec2.h"

// Why FoldedObstacles::add, or FluidSolver::tryAddObstacle, did not append a polygon.
enum class ObstacleRefusal {
    None,           // appended
    Unbuildable,    // fewer than 3 vertices, or a vertex not finite or far outside the grid
    TooManyCopies,  // with it, every boundary pass would make more outline copies than allowed
};

// A solver's obstacles, in the order added, folded into the boundary pass's writes as they
// arrive (see ObstacleWrites), with the union of their interior cells as a per-cell mask.
// An obstacle built from a polygon keeps only the polygon; looking at it builds it again, the
// same. One appended as an Obstacle is kept as it is.
class FoldedObstacles {
public:
    // The limit on the boundary pass: with its obstacles, every pass makes at most as many
    // outline copies as the grid has cells (kCopiesPerCell of them per cell), and at least
    // kLeastCopyLimit on small grids, so that a pass costs at most a few sweeps of the grid.
    // Copies that chain through many obstacles (an outline reading cells that another outline
    // wrote, before a third writes them again) are what can reach it; a scene of a thousand
    // random polygons that cover the 400 grid makes some two thousand.
    static constexpr int kCopiesPerCell = 1;
    static constexpr int kLeastCopyLimit = 4096;

    FoldedObstacles(int gridWidth, int gridHeight);

    // kCopiesPerCell * width * height, at least kLeastCopyLimit: 10000, 40000 and 160000 on
    // the grids of 100, 200 and 400.
    int copyLimit() const { return limit; }
    // The outline copies that every boundary pass makes now.
    int copies() const { return folded.liveCopies(); }

    bool empty() const { return entries.empty(); }
    int size() const { return static_cast<int>(entries.size()); }
    // Obstacle k (0 <= k < size()), built again from its polygon.
    Obstacle operator[](int k) const;

    // Visits the obstacles in order, each built again as it is reached.
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Obstacle;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Obstacle;

        const_iterator(const FoldedObstacles* list_, int k_) : list(list_), k(k_) {}
        Obstacle operator*() const { return (*list)[k]; }
        const_iterator& operator++() {
            ++k;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return list == o.list && k == o.k; }
        bool operator!=(const const_iterator& o) const { return !(*this == o); }

    private:
        const FoldedObstacles* list;
        int k;
    };
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

    // Builds an obstacle from the polygon and appends it, unless it is not buildable or every
    // boundary pass would then make more than copyLimit() outline copies; then nothing changes.
    // Costs in proportion to the obstacle's cells.
    ObstacleRefusal add(const Vec2* polygon, int count);
    // Appends an obstacle as it is, whatever the copies.
    void append(Obstacle obstacle);
    void clear();
    // The list's obstacles, in its order, whatever the copies.
    FoldedObstacles& operator=(const ObstacleList& list);

    // Changes whenever the contents change. Stamps are unique in the process.
    std::uint64_t revision() const { return stamp; }
    // The writes that a boundary pass makes after the walls, in natural storage indices.
    const ObstacleWrites& writes() const { return folded; }
    // Cell i + j * width is 1 where it is an interior cell of some obstacle, otherwise 0.
    const std::vector<unsigned char>& interiorMask() const { return interior; }

private:
    struct Entry {
        std::vector<Vec2> polygon;
        std::unique_ptr<const Obstacle> kept;  // an obstacle appended as it was; else null
    };

    // Folds the obstacle's records and interior cells into the writes.
    void fold(const Obstacle& obstacle, bool undoable);
    void markInterior(const Obstacle& obstacle);
    // The storage index of a cell held in a Vec2, truncated toward zero; false outside the grid.
    bool indexOf(const Vec2& cell, int& index) const;
    void changed();

    int width;
    int height;
    int limit;
    std::vector<Entry> entries;
    ObstacleWrites folded;
    std::vector<unsigned char> interior;
    std::uint64_t stamp;
};

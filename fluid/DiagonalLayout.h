#pragma once

#include <vector>

#include "Vec2.h"

// A stretch of one anti-diagonal's interior cells, as many as a vector holds or fewer, that a
// Gauss-Seidel sweep updates together: the storage index of its first cell (the one with the
// smallest column), and those of that cell's north and south neighbours. In the diagonal-major
// layout its west neighbour is north - 1 and its east neighbour south + 1, and lane l of each
// neighbour is that index + l. Lanes from `lanes` on are not the diagonal's interior: a sweep
// keeps what they hold.
struct SweepChunk {
    int first;
    int north;
    int south;
    int lanes;
};

// A copy of a width x height grid stored anti-diagonal after anti-diagonal: cell (i, j) lies on
// diagonal s = i + j, at position offset(s) + i. Within a Gauss-Seidel sweep the cells of one
// diagonal are independent (each reads its west and north neighbours on diagonal s - 1, already
// updated, and its east and south neighbours on diagonal s + 1, not yet), and in this layout a
// run of cells and each of its four neighbour runs are contiguous, so one diagonal is one vector
// loop. The storage holds exactly width * height cells.
class DiagonalLayout {
public:
    DiagonalLayout(int width, int height);

    int width() const { return w; }
    int height() const { return h; }
    int index(int i, int j) const { return offset[i + j] + i; }

    // One sweep over the interior cells, in chunks of vectorLanes cells, diagonal after diagonal
    // from diagonal 2 on. A diagonal with at least vectorLanes interior cells is cut into full
    // chunks, the last one moved back to end with the diagonal, so that it repeats some cells:
    // that is harmless, since no cell of a diagonal reads another of the same diagonal. A shorter
    // diagonal is one chunk with fewer lanes.
    std::vector<SweepChunk> sweepChunks(int vectorLanes) const;
    // The storage that sweeps in chunks of vectorLanes read and write: past the last cell, where
    // the lanes of a short chunk reach beyond the grid.
    int sweepExtent(int vectorLanes) const;

    // natural: cells in the fields' order i + j * width; diagonal: this layout.
    void gather(const float* natural, float* diagonal) const;
    void scatter(const float* diagonal, float* natural) const;
    // Splits a field into its components, each multiplied by scale.
    void gatherScaled(const Vec2* natural, float scale, float* x, float* y) const;
    void gather(const Vec2* natural, float* x, float* y) const;
    void scatter(const float* x, const float* y, Vec2* natural) const;

private:
    // Calls visit(diagonalIndex, naturalIndex) for every cell, in storage order.
    template <typename Visit>
    void forEachCell(Visit visit) const;

    // The interior cells of one diagonal.
    struct Run {
        int first;  // storage index of the cell with the smallest column
        int north;  // of that cell's north neighbour
        int south;  // of its south neighbour
        int count;
    };

    int w;
    int h;
    std::vector<int> offset;  // per diagonal: storage index of its cell (0, s), real or not
    std::vector<Run> runs;    // the diagonals with interior cells, in sweep order
};

#pragma once

#include <cassert>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <vector>

// A rectangular grid of cells stored row after row: cell (i, j) is element i + j * width.
// The outer ring of cells is the boundary layer; 1 <= i <= width - 2, 1 <= j <= height - 2 is
// the interior. Callers keep to the grid: builds without NDEBUG (the sanitizer build among them)
// assert it, since a cell such as (-1, j) lands inside the same storage, where no memory checker
// can see it.
template <typename T>
class GridField {
public:
    int width;
    int height;
    std::vector<T> data;
    // Width of one cell when the interior spans the unit square:
    // 1 / (N - 2), N = (width + height) / 2.
    float spacing;

    GridField(int width_, int height_)
        : width(requireGrid(width_, height_)),
          height(height_),
          data(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)),
          spacing(static_cast<float>(1.0 / (meanSize(width_, height_) - 2))) {}

    GridField(const GridField&) = delete;
    GridField& operator=(const GridField&) = delete;

    int index(int i, int j) const { return i + j * width; }
    const T& at(int i, int j) const {
        assert(contains(i, j));
        return data[index(i, j)];
    }
    void set(int i, int j, const T& value) {
        assert(contains(i, j));
        data[index(i, j)] = value;
    }
    bool contains(int i, int j) const { return i >= 0 && i < width && j >= 0 && j < height; }

private:
    static int meanSize(int w, int h) { return (w + h) / 2; }

    // A grid needs an interior (3 x 3 at least, which also makes N > 2 and the spacing finite and
    // positive) and a cell count that an int index can address. Returns the width.
    static int requireGrid(int w, int h) {
        if (w < 3 || h < 3) {
            throw std::invalid_argument("grid field needs at least 3 x 3 cells");
        }
        if (static_cast<long long>(w) * h > std::numeric_limits<int>::max()) {
            throw std::invalid_argument("grid field has more cells than an int can index");
        }
        return w;
    }
};

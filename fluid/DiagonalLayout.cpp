#include "DiagonalLayout.h"

#include <algorithm>

DiagonalLayout::DiagonalLayout(int width, int height)
    : w(width), h(height), offset(static_cast<std::size_t>(width + height - 1)) {
    // Diagonal s holds the cells i = max(0, s - (h - 1)) .. min(w - 1, s), stored in order.
    int start = 0;
    for (int s = 0; s < w + h - 1; ++s) {
        const int lo = std::max(0, s - (h - 1));
        const int hi = std::min(w - 1, s);
        offset[s] = start - lo;
        start += hi - lo + 1;
    }
    // Interior cells of diagonal s: i = max(1, s - (h - 2)) .. min(w - 2, s - 1).
    for (int s = 2; s <= w + h - 4; ++s) {
        const int lo = std::max(1, s - (h - 2));
        const int hi = std::min(w - 2, s - 1);
        if (hi < lo) {
            continue;
        }
        runs.push_back(Run{offset[s] + lo, offset[s - 1] + lo, offset[s + 1] + lo, hi - lo + 1});
    }
}

std::vector<SweepChunk> DiagonalLayout::sweepChunks(int vectorLanes) const {
    std::vector<SweepChunk> chunks;
    for (const Run& run : runs) {
        const auto chunk = [&](int t, int lanes) {
            chunks.push_back(SweepChunk{run.first + t, run.north + t, run.south + t, lanes});
        };
        if (run.count < vectorLanes) {
            chunk(0, run.count);
            continue;
        }
        int t = 0;
        for (; t + vectorLanes <= run.count; t += vectorLanes) {
            chunk(t, vectorLanes);
        }
        if (t < run.count) {
            chunk(run.count - vectorLanes, vectorLanes);
        }
    }
    return chunks;
}

int DiagonalLayout::sweepExtent(int vectorLanes) const {
    // A chunk reads from north - 1 and up to south + 1, a whole vector from each.
    int extent = w * h;
    for (const SweepChunk& c : sweepChunks(vectorLanes)) {
        extent = std::max(extent, std::max({c.first, c.north, c.south + 1}) + vectorLanes);
    }
    return extent;
}

template <typename Visit>
void DiagonalLayout::forEachCell(Visit visit) const {
    int m = 0;
    for (int s = 0; s < w + h - 1; ++s) {
        const int lo = std::max(0, s - (h - 1));
        const int hi = std::min(w - 1, s);
        // Along a diagonal, i rises by one and j falls by one: the natural index falls by w - 1.
        int k = lo + (s - lo) * w;
        for (int i = lo; i <= hi; ++i, ++m, k -= w - 1) {
            visit(m, k);
        }
    }
}

void DiagonalLayout::gather(const float* natural, float* diagonal) const {
    forEachCell([=](int m, int k) { diagonal[m] = natural[k]; });
}

void DiagonalLayout::scatter(const float* diagonal, float* natural) const {
    forEachCell([=](int m, int k) { natural[k] = diagonal[m]; });
}

void DiagonalLayout::gatherScaled(const Vec2* natural, float scale, float* x, float* y) const {
    // The same product as the cell-by-cell u * scale: (scale * u.x, scale * u.y).
    forEachCell([=](int m, int k) {
        x[m] = scale * natural[k].x;
        y[m] = scale * natural[k].y;
    });
}

void DiagonalLayout::gather(const Vec2* natural, float* x, float* y) const {
    forEachCell([=](int m, int k) {
        x[m] = natural[k].x;
        y[m] = natural[k].y;
    });
}

void DiagonalLayout::scatter(const float* x, const float* y, Vec2* natural) const {
    forEachCell([=](int m, int k) { natural[k] = Vec2(x[m], y[m]); });
}

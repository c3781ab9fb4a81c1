#include "InteriorScan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

int truncated(float v) {
    return static_cast<int>(v);
}

// NaN fails both comparisons, infinities the second.
bool inScanRange(const Vec2& v) {
    return std::fabs(v.x) <= kScanRange && std::fabs(v.y) <= kScanRange;
}

// Edge order: by column, then by inverse slope dx / dy (compared exactly by cross products,
// both dy being positive). Used with a stable sort, so ties keep their order.
bool comesBefore(const ScanEdge& a, const ScanEdge& b) {
    if (a.x != b.x) {
        return a.x < b.x;
    }
    return static_cast<std::int64_t>(a.dx) * b.dy < static_cast<std::int64_t>(b.dx) * a.dy;
}

void restoreOrder(std::vector<ScanEdge>& edges) {
    std::stable_sort(edges.begin(), edges.end(), comesBefore);
}

// Runs the scan over the rows ymin .. ymax - 1 and hands every interior cell to emit(column, row).
template <typename Emit>
void scanRows(const std::vector<std::vector<ScanEdge>>& table, int ymin, Emit emit) {
    std::vector<ScanEdge> active;
    const int rows = static_cast<int>(table.size());
    for (int r = 0; r < rows; ++r) {
        const int y = ymin + r;
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [y](const ScanEdge& e) { return e.yEnd == y; }),
                     active.end());
        // An edge's stepping remainder depends on whether it joins at an even or odd position:
        // even ones step to the ceiling of the true crossing, odd ones one column less.
        for (ScanEdge edge : table[r]) {
            const bool even = active.size() % 2 == 0;
            if (even) {
                edge.error = edge.dx > 0 ? edge.dy - 1 : 0;
            } else {
                edge.error = edge.dx > 0 ? -1 : -edge.dy;
            }
            active.push_back(edge);
        }
        if (!table[r].empty()) {
            restoreOrder(active);
        }
        // Spans between the first and second edge, the third and fourth, ...; right end exclusive.
        for (std::size_t k = 0; k + 1 < active.size(); k += 2) {
            for (int c = active[k].x; c < active[k + 1].x; ++c) {
                emit(c, y);
            }
        }
        // x += (dx + error) / dy, the remainder carried to the next row.
        for (ScanEdge& edge : active) {
            const int w = edge.dx + edge.error;
            const int q = w / edge.dy;
            edge.x += q;
            edge.error = w - q * edge.dy;
        }
        restoreOrder(active);
    }
}

}  // namespace

std::vector<Vec2> scanInterior(const Vec2* polygon, int count) {
    std::vector<Vec2> cells;
    if (polygon == nullptr || count < 1 || !std::all_of(polygon, polygon + count, inScanRange)) {
        return cells;
    }
    int ymin = truncated(polygon[0].y);
    int ymax = ymin;
    for (int k = 1; k < count; ++k) {
        ymin = std::min(ymin, truncated(polygon[k].y));
        ymax = std::max(ymax, truncated(polygon[k].y));
    }
    if (ymin == ymax) {
        return cells;
    }

    // Edge table: the edges that start on each row, horizontal edges dropped.
    std::vector<std::vector<ScanEdge>> table(static_cast<std::size_t>(ymax - ymin));
    for (int k = 0; k < count; ++k) {
        const Vec2& p = polygon[k];
        const Vec2& q = polygon[(k + 1) % count];
        const Vec2& start = q.y < p.y ? q : p;
        const Vec2& end = q.y < p.y ? p : q;
        ScanEdge edge;
        edge.yEnd = truncated(end.y);
        edge.x = truncated(start.x);
        edge.dx = truncated(end.x) - truncated(start.x);
        edge.dy = truncated(end.y) - truncated(start.y);
        if (edge.dy == 0) {
            continue;
        }
        std::vector<ScanEdge>& row = table[truncated(start.y) - ymin];
        row.push_back(edge);
        restoreOrder(row);
    }

    // Count first, then store into an array of exactly that size.
    std::size_t total = 0;
    scanRows(table, ymin, [&total](int, int) { ++total; });
    cells.reserve(total);
    scanRows(table, ymin, [&cells](int c, int y) {
        cells.emplace_back(static_cast<float>(c), static_cast<float>(y));
    });
    return cells;
}

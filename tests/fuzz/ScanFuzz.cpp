// The interior scan of any polygon: refused, or cells within the polygon's bounding box, each
// once, rows upward and columns upward within a row, as many as the polygon's area to within what
// the stepping of its edges can add or lose.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "FuzzInput.h"
#include "InteriorScan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    std::vector<Vec2> polygon(in.below(4) == 0 ? in.below(101) : in.below(9));
    for (Vec2& v : polygon) {
        v.x = in.coordinate();
        v.y = in.coordinate();
    }
    const int count = static_cast<int>(polygon.size());
    const std::vector<Vec2> cells = scanInterior(polygon.data(), count);

    const bool workable = std::all_of(polygon.begin(), polygon.end(), [](const Vec2& v) {
        return std::fabs(v.x) <= kScanRange && std::fabs(v.y) <= kScanRange;
    });
    if (!workable) {
        FUZZ_CHECK(cells.empty());
        return 0;
    }
    // Vertices as the scan takes them: truncated toward zero.
    std::vector<int> xs(count);
    std::vector<int> ys(count);
    for (int k = 0; k < count; ++k) {
        xs[k] = static_cast<int>(polygon[k].x);
        ys[k] = static_cast<int>(polygon[k].y);
    }
    // Rows from the smallest vertex row to one less than the largest; columns from one left of
    // the leftmost vertex to one left of the rightmost.
    const int xmin = count == 0 ? 0 : *std::min_element(xs.begin(), xs.end());
    const int xmax = count == 0 ? 0 : *std::max_element(xs.begin(), xs.end());
    const int ymin = count == 0 ? 0 : *std::min_element(ys.begin(), ys.end());
    const int ymax = count == 0 ? 0 : *std::max_element(ys.begin(), ys.end());
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const Vec2& c = cells[k];
        FUZZ_CHECK(c.x == std::floor(c.x) && c.y == std::floor(c.y));
        FUZZ_CHECK(c.y >= ymin && c.y <= ymax - 1);
        FUZZ_CHECK(c.x >= xmin - 1 && c.x <= xmax - 1);
        // After the cell before it: a later row, or the same row further right. No cell twice.
        FUZZ_CHECK(k == 0 || c.y > cells[k - 1].y ||
                   (c.y == cells[k - 1].y && c.x > cells[k - 1].x));
    }

    // The area inside the polygon by the even-odd rule, measured along the middle line
    // y = r + 0.5 of each row r: the sum of every other gap between the line's crossings with the
    // edges. In row r the scan ends a span within 1 + |dx / dy| / 2 columns of an edge's crossing,
    // and moving one crossing by d changes the even-odd length by d at most, so over its dy rows an
    // edge accounts for dy + |dx| / 2 cells of difference at most.
    double area = 0.0;
    double slack = 1e-6;
    std::vector<double> crossings;
    for (int r = ymin; r < ymax; ++r) {
        crossings.clear();
        for (int k = 0; k < count; ++k) {
            const int next = (k + 1) % count;
            if ((ys[k] <= r) != (ys[next] <= r)) {
                const double t = (r + 0.5 - ys[k]) / (ys[next] - ys[k]);
                crossings.push_back(xs[k] + t * (xs[next] - xs[k]));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
            area += crossings[k + 1] - crossings[k];
        }
    }
    for (int k = 0; k < count; ++k) {
        const int next = (k + 1) % count;
        if (ys[k] != ys[next]) {
            slack += std::abs(ys[next] - ys[k]) + 0.5 * std::abs(xs[next] - xs[k]);
        }
    }
    FUZZ_CHECK(std::fabs(static_cast<double>(cells.size()) - area) <= slack);
    return 0;
}

// The interior scan of any polygon: refused, or every cell within the polygon's bounding box.
#include <algorithm>
#include <cmath>
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
    // Rows from the smallest vertex row to one less than the largest; columns from one left of
    // the leftmost vertex to one left of the rightmost (vertices truncated toward zero).
    int xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    for (int k = 0; k < count; ++k) {
        const int x = static_cast<int>(polygon[k].x);
        const int y = static_cast<int>(polygon[k].y);
        xmin = k == 0 ? x : std::min(xmin, x);
        xmax = k == 0 ? x : std::max(xmax, x);
        ymin = k == 0 ? y : std::min(ymin, y);
        ymax = k == 0 ? y : std::max(ymax, y);
    }
    float lastRow = -1e9f;
    for (const Vec2& c : cells) {
        FUZZ_CHECK(c.x == std::floor(c.x) && c.y == std::floor(c.y));
        FUZZ_CHECK(c.y >= ymin && c.y <= ymax - 1);
        FUZZ_CHECK(c.x >= xmin - 1 && c.x <= xmax - 1);
        FUZZ_CHECK(c.y >= lastRow);  // rows in order
        lastRow = c.y;
    }
    return 0;
}

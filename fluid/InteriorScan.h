#pragma once

#include <vector>

#include "Vec2.h"

// One non-horizontal polygon edge in the scan: from its start (the end with the smaller row) it
// covers the rows Y(start) .. yEnd - 1, its column x stepping by dx / dy per row.
struct ScanEdge {
    int yEnd = 0;
    int x = 0;
    int dx = 0;
    int dy = 0;
    int error = 0;
};

// The cells inside the closed polygon, by an even-odd scan-line fill with integer edge stepping:
// rows upward, spans left to right, columns upward within a span. Vertices are truncated to
// integers. Cells are not clipped to any grid (a polygon on column 0 can give column -1).
// The scan keeps one list per row between the smallest and the largest row and emits every cell
// of the area, so it works only on finite vertices with |x| and |y| at most kScanRange (a few
// million cells at most); for any other polygon it returns no cells.
constexpr float kScanRange = 1024.0f;
std::vector<Vec2> scanInterior(const Vec2* polygon, int count);

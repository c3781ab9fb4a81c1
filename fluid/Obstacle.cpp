#include "Obstacle.h"

#include <algorithm>
#include <cmath>

#include "InteriorScan.h"

namespace {

// Vertices may lie at most this many grid sizes outside the grid: the walk and the scan cost
// time and memory in proportion to the polygon's extent.
constexpr float kVertexMargin = 1.0f;

// A position coordinate to a cell coordinate: v + 0.5, truncated toward zero, in double precision.
// Callers pass a sum formed in double too: rounding it to a float first can carry a coordinate
// a few millionths short of a half (64.4999978) up to the half (64.5), and so to the next cell.
int cellOf(double v) {
    return static_cast<int>(v + 0.5);
}

// The neighbour of an outline cell: one step along the outline's perpendicular, which points a
// quarter turn from the direction of travel towards increasing rows.
Vec2 neighbourOf(const Vec2& cell, const Vec2& tangent) {
    const Vec2 m = tangent.perpendicular();
    const int x = cellOf(static_cast<double>(cell.x) + static_cast<double>(m.x));
    const int y = cellOf(static_cast<double>(cell.y) + static_cast<double>(m.y));
    return Vec2(static_cast<float>(x), static_cast<float>(y));
}

// Turns a corner record into the mean of its incoming and outgoing directions.
void makeCorner(BoundaryCell& corner, const Vec2& otherTangent) {
    corner.tangent = (otherTangent * 0.5f + corner.tangent * 0.5f).normalized();
    corner.neighbour = neighbourOf(corner.cell, corner.tangent);
}

// Walks the closed outline in unit steps along each edge. Each edge ends on a record on its end
// vertex, which the next edge turns into a corner.
std::vector<BoundaryCell> walkOutline(const Vec2* polygon, int count) {
    std::vector<BoundaryCell> records;
    for (int k = 0; k < count; ++k) {
        const Vec2 p = polygon[k];
        const Vec2 q = polygon[(k + 1) % count];
        const Vec2 t = (q - p).normalized();
        if (k > 0) {
            makeCorner(records.back(), t);
        }
        // With whole-number vertices the walk reaches q after round(length) steps; the bound
        // only matters for vertices that are not whole numbers.
        const double length =
            std::hypot(static_cast<double>(q.x) - p.x, static_cast<double>(q.y) - p.y);
        const int maxSteps = static_cast<int>(std::ceil(length)) + 1;
        Vec2 w = p;
        for (int steps = 0; steps < maxSteps; ++steps) {
            w = w + t;  // accumulated in single precision
            const int X = cellOf(w.x);
            const int Y = cellOf(w.y);
            const Vec2 cell(static_cast<float>(X), static_cast<float>(Y));
            records.push_back(BoundaryCell{cell, t, neighbourOf(cell, t)});
            if (X == q.x && Y == q.y) {
                break;
            }
        }
    }
    makeCorner(records.back(), records.front().tangent);
    return records;
}

}  // namespace

bool Obstacle::isBuildable(const Vec2* polygon, int count, int gridWidth, int gridHeight) {
    if (polygon == nullptr || count < 3) {
        return false;
    }
    const float mx = kVertexMargin * gridWidth;
    const float my = kVertexMargin * gridHeight;
    return std::all_of(polygon, polygon + count, [mx, my, gridWidth, gridHeight](const Vec2& v) {
        return std::isfinite(v.x) && std::isfinite(v.y) && v.x >= -mx && v.x <= gridWidth + mx &&
               v.y >= -my && v.y <= gridHeight + my;
    });
}

Obstacle::Obstacle(const Vec2* polygon, int count, int gridWidth, int gridHeight) {
    if (!isBuildable(polygon, count, gridWidth, gridHeight)) {
        return;
    }
    const auto outside = [gridWidth, gridHeight](const Vec2& c) {
        return c.x < 0 || c.x >= gridWidth || c.y < 0 || c.y >= gridHeight;
    };

    boundaryCells = walkOutline(polygon, count);
    boundaryCells.erase(
        std::remove_if(boundaryCells.begin(), boundaryCells.end(),
                       [&outside](const BoundaryCell& r) { return outside(r.cell); }),
        boundaryCells.end());
    for (BoundaryCell& r : boundaryCells) {
        r.neighbour.x = std::clamp(r.neighbour.x, 0.0f, static_cast<float>(gridWidth - 1));
        r.neighbour.y = std::clamp(r.neighbour.y, 0.0f, static_cast<float>(gridHeight - 1));
    }
    boundaryCells.shrink_to_fit();
    boundaryCount = static_cast<int>(boundaryCells.size());

    interiorCells = scanInterior(polygon, count);
    interiorCells.erase(std::remove_if(interiorCells.begin(), interiorCells.end(), outside),
                        interiorCells.end());
    interiorCells.shrink_to_fit();
    interiorCount = static_cast<int>(interiorCells.size());
}

void Obstacle::applyToVectorField(VectorField& v) const {
    for (const BoundaryCell& r : boundaryCells) {
        // Keep only the neighbour's component along the outline: t * dot(t, u).
        const Vec2 u = v.at(static_cast<int>(r.neighbour.x), static_cast<int>(r.neighbour.y));
        const float s = dot(r.tangent, u);
        v.set(static_cast<int>(r.cell.x), static_cast<int>(r.cell.y), r.tangent * s);
    }
    for (const Vec2& c : interiorCells) {
        v.set(static_cast<int>(c.x), static_cast<int>(c.y), Vec2());
    }
}

void Obstacle::applyToScalarField(ScalarField& s) const {
    for (const BoundaryCell& r : boundaryCells) {
        s.set(static_cast<int>(r.cell.x), static_cast<int>(r.cell.y),
              s.at(static_cast<int>(r.neighbour.x), static_cast<int>(r.neighbour.y)));
    }
    for (const Vec2& c : interiorCells) {
        s.set(static_cast<int>(c.x), static_cast<int>(c.y), 0.0f);
    }
}

#pragma once

#include <vector>

#include "Flow.h"
#include "ObstacleList.h"
#include "Vec2.h"
#include "WallPass.h"

// The boundary pass of the solver (the flow's walls, then every obstacle in the order added),
// worked out once for one storage layout: every cell it writes and every cell it reads is a
// storage index in a table, so that a pass is a walk over prepared arrays with no geometry and no
// float-to-int conversion. It writes exactly what setVectorBoundary and setScalarBoundary write,
// in the same order, with the same arithmetic.
class BoundaryPass {
public:
    // storageIndex[i + j * width] is the storage index of cell (i, j) in the layout.
    BoundaryPass(int width, int height, std::vector<int> storageIndex);

    // Takes over the obstacles' outline records and interior cells as storage indices. Records
    // with a cell or a neighbour outside the grid are left out: the passes never touch them.
    void setObstacles(const ObstacleList& obstacles);
    // The walls of the flow (WallPass); the closed box until set.
    void setFlow(Flow flow, float speed) { walls.setFlow(flow, speed); }

    // Velocity walls, then the obstacles; on components, or on a field in natural order.
    void applyVector(float* x, float* y) const;
    void applyVector(Vec2* cells) const;
    // Scalar walls, then the obstacles.
    void applyScalar(float* s) const;

private:
    struct Record {  // cell = tangent * dot(tangent, neighbour)
        int cell;
        int neighbour;
        float tx;
        float ty;
    };
    struct Run {  // cells first .. first + count - 1 of the storage
        int first;
        int count;
    };
    struct Range {  // one obstacle: its records, then the runs of its interior cells
        int recordsEnd;
        int interiorEnd;
    };

    template <typename Cells>
    void applyVectorTo(Cells cells) const;

    int width;
    int height;
    std::vector<int> storageIndex;
    WallPass walls;
    std::vector<Record> records;
    std::vector<Run> interiors;
    std::vector<Range> ranges;
};

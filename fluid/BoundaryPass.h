#pragma once

#include <vector>

#include "Flow.h"
#include "ObstacleWrites.h"
#include "Vec2.h"
#include "WallPass.h"

// The boundary pass of the solver (the flow's walls, then every obstacle in the order added),
// worked out once for one storage layout: every cell it writes and every cell it reads is a storage index in
// a table, so that a pass is a walk over prepared arrays with no geometry and no float-to-int
// conversion. It leaves exactly what setVectorBoundary and setScalarBoundary leave, to the bit:
// the walls, then the obstacles' live copies in their order, then the cells whose last write is
// a constant (ObstacleWrites), with the same arithmetic.
class BoundaryPass {
public:
    // storageIndex[i + j * width] is the storage index of cell (i, j) in the layout. Room is
    // made at once for copyCapacity copies, so that taking over obstacles within it allocates
    // nothing.
    BoundaryPass(int width, int height, std::vector<int> storageIndex, int copyCapacity);

    // Takes over the obstacles' writes as storage indices: in proportion to the copies and the
    // grid's cells, whatever the obstacles.
    void setObstacles(const ObstacleWrites& writes);
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
    struct Constant {  // a velocity other than (+0, +0) that a cell ends at
        int cell;
        float x;
        float y;
    };

    template <typename Cells>
    void applyVectorTo(Cells cells) const;

    int width;
    int height;
    std::vector<int> storageIndex;
    std::vector<int> naturalIndex;  // the inverse: storage index to i + j * width
    WallPass walls;
    std::vector<Record> records;      // the live copies, in pass order
    std::vector<Run> constantRuns;    // the cells that end at a constant, zeroed
    std::vector<Constant> constants;  // then, in the vector pass, those not (+0, +0)
};

#pragma once

#include <vector>

#include "BoundaryCell.h"
#include "ScalarField.h"
#include "Vec2.h"
#include "VectorField.h"

// A solid polygon imposed on the fluid: its outline cells take the value of a neighbouring cell
// (for velocities only the component along the outline), and its interior cells are zero.
// All geometry is done once, at construction.
class Obstacle {
public:
    std::vector<BoundaryCell> boundaryCells;  // the outline, in walk order
    int boundaryCount = 0;
    std::vector<Vec2> interiorCells;  // in scan order
    int interiorCount = 0;

    // Walks the closed polygon's outline and scans its interior for a grid of gridWidth x
    // gridHeight cells. Outline and interior cells outside the grid are dropped and neighbours
    // are clamped into it, so that the passes never touch a cell outside the field. The walk of
    // an edge is bounded by its length, so vertices that are not whole numbers cannot hang it.
    // A polygon that is not buildable gives an obstacle with no cells.
    Obstacle(const Vec2* polygon, int count, int gridWidth, int gridHeight);

    // At least 3 vertices, all finite and no further than one grid size outside the grid.
    static bool isBuildable(const Vec2* polygon, int count, int gridWidth, int gridHeight);

    // Outline cells keep the neighbour's velocity along the tangent; interior cells become 0.
    void applyToVectorField(VectorField& v) const;
    // Outline cells copy the neighbour's value; interior cells become 0.
    void applyToScalarField(ScalarField& s) const;
};

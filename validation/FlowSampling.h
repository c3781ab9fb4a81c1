#pragma once

#include <vector>

#include "Vec2.h"
#include "VectorField.h"

// A velocity in double precision, for measurements.
struct Velocity {
    double x;
    double y;
};

// A velocity field read at points of the unit square that its interior cells span: cell (i, j)
// has its centre at ((i - 0.5) * h, (j - 0.5) * h), h the field's spacing, with y growing
// downward from the top wall's face, so the walls' faces lie at 0 and 1.
class UnitSquare {
public:
    explicit UnitSquare(const VectorField& field) : v(field) {}

    double spacing() const { return v.spacing; }
    // Bilinear between the four cell centres around (x, y), clamped into the grid.
    Velocity sample(double x, double y) const;

private:
    const VectorField& v;
};

// The largest difference of any velocity component between the cells and the field.
double largestChange(const std::vector<Vec2>& before, const VectorField& after);

#pragma once

#include "GridField.h"
#include "Vec2.h"

// A grid of velocities; every cell starts at (0, 0).
class VectorField : public GridField<Vec2> {
public:
    VectorField(int width_, int height_) : GridField<Vec2>(width_, height_) {}

    // Copies every cell of a field of the same size; does nothing if either size differs.
    void copyFrom(const VectorField& other);
};

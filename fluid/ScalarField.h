#pragma once

#include "GridField.h"

// A grid of single-precision scalars (pressure, divergence); cells start at 0.
class ScalarField : public GridField<float> {
public:
    ScalarField(int width_, int height_) : GridField<float>(width_, height_) {}

    // Sets every cell, the boundary layer included, to 0.
    void clear();
};

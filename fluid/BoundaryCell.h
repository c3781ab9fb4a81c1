#pragma once

#include "Vec2.h"

// One outline cell of an obstacle: the cell it writes, the outline's unit direction there (the
// way the outline is walked; (0, 0) where it has none) and the cell whose value it takes.
struct BoundaryCell {
    Vec2 cell;
    Vec2 tangent;
    Vec2 neighbour;
};

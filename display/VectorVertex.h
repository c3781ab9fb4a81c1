#pragma once

#include "ColorRGB.h"
#include "Vec2.h"

// One end of a drawn line: a position in view units and a colour (stored, not drawn).
struct VectorVertex {
    Vec2 position;
    ColorRGB color;
};

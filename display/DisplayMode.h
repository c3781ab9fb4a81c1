#pragma once

#include <cstdint>

// What the display computes and draws; the values are the display combo box's item indices.
// Dye shows the colours of the dye that the flow carries, on a grid of its own. Any other value
// stored by setDisplayMode computes and draws as Vectors.
enum class DisplayMode : std::int32_t { Vectors = 0, Velocity = 1, Vortex = 2, Dye = 3 };

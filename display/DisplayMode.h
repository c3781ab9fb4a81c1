#pragma once

#include <cstdint>

// What the display computes and draws; the values are the display combo box's item indices.
// Any other value stored by setDisplayMode computes and draws as Vectors.
enum class DisplayMode : std::int32_t { Vectors = 0, Velocity = 1, Vortex = 2 };

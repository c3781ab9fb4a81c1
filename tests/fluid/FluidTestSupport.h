#pragma once

// Checks on the fluid library's fields, shared by its tests, the fuzz targets and the tests of the
// libraries built on it. Free of any test framework, so that a fuzz target can use them too.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "GridField.h"
#include "VectorField.h"

namespace fluidtest {

// Every cell of the field is (0, 0), either sign of zero.
inline bool atRest(const VectorField& field) {
    return std::all_of(field.data.begin(), field.data.end(),
                       [](const Vec2& v) { return v.x == 0.0f && v.y == 0.0f; });
}

// Two floats agree when their bits are equal, or when both are NaN: a compiler may commute the
// operands of an addition, and which of two NaN operands an addition returns depends on their
// order, so NaN payloads may legitimately differ. Every other value, signed zeros and infinities
// included, must match exactly.
inline bool agree(float a, float b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

// The floats of each cell: 2 for a vector field, 1 for a scalar field.
template <typename T>
constexpr int kFloatsPerCell = sizeof(T) / sizeof(float);

// Float k of a field, counting the components of each cell in storage order (x, y, x, y, ...
// for a vector field).
template <typename T>
float floatAt(const GridField<T>& field, long k) {
    static_assert(sizeof(T) % sizeof(float) == 0, "cells are made of floats");
    float value;
    const auto* bytes = reinterpret_cast<const unsigned char*>(field.data.data());
    std::memcpy(&value, bytes + k * sizeof(float), sizeof value);
    return value;
}

// The first float, counted as floatAt counts, at which two fields of the same size disagree; -1
// where they agree throughout.
template <typename T>
long firstDisagreement(const GridField<T>& a, const GridField<T>& b) {
    const long count = static_cast<long>(a.data.size()) * kFloatsPerCell<T>;
    for (long k = 0; k < count; ++k) {
        if (!agree(floatAt(a, k), floatAt(b, k))) {
            return k;
        }
    }
    return -1;
}

template <typename T>
bool sameField(const GridField<T>& a, const GridField<T>& b) {
    return a.data.size() == b.data.size() && firstDisagreement(a, b) < 0;
}

}  // namespace fluidtest

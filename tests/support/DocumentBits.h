#pragma once

// Documents compared bit for bit, for the file tests and the fuzz targets.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "RecordingDocument.h"
#include "SceneDocument.h"

namespace documenttest {

inline std::uint32_t bits(float v) {
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

inline bool same(const Vec2& a, const Vec2& b) {
    return bits(a.x) == bits(b.x) && bits(a.y) == bits(b.y);
}

// Floats or vectors of floats, to the bit.
template <typename T>
bool same(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

inline bool same(const std::vector<std::vector<Vec2>>& a, const std::vector<std::vector<Vec2>>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](auto& x, auto& y) { return same(x, y); });
}

// The name of the first part in which the two differ; empty when they are the same to the bit.
inline std::string difference(const DisplaySettings& a, const DisplaySettings& b) {
    const bool equal = a == b && bits(a.coeffLin) == bits(b.coeffLin);
    return equal ? std::string() : "display";
}

inline std::string difference(const Scene& a, const Scene& b) {
    const FluidSettings& s = a.settings;
    const FluidSettings& t = b.settings;
    const SceneFields& f = a.fields;
    const SceneFields& g = b.fields;
    const std::pair<bool, const char*> parts[] = {
        {a.gridSize == b.gridSize, "grid"},
        {bits(s.viscosityHundredths) == bits(t.viscosityHundredths) &&
             s.iterations == t.iterations && s.viscosityEnabled == t.viscosityEnabled &&
             bits(s.fadePerMille) == bits(t.fadePerMille),
         "settings"},
        {same(a.obstacles, b.obstacles), "obstacles"},
        {same(a.corners, b.corners), "corners"},
        {a.hasFields == b.hasFields, "hasFields"},
        {same(f.velocity, g.velocity), "velocity"},
        {same(f.scratchVelocity, g.scratchVelocity), "scratchVelocity"},
        {f.dyeSize == g.dyeSize && same(f.dye[0], g.dye[0]) && same(f.dye[1], g.dye[1]) &&
             same(f.dye[2], g.dye[2]),
         "dye"},
        {f.dragCount == g.dragCount, "dragCount"},
    };
    for (const auto& [equal, name] : parts) {
        if (!equal) {
            return name;
        }
    }
    return {};
}

inline bool same(const Operation& a, const Operation& b) {
    return a.kind == b.kind && a.i == b.i && a.j == b.j && a.count == b.count &&
           bits(a.value) == bits(b.value) && same(a.a, b.a) && same(a.b, b.b) &&
           a.digest == b.digest;
}

inline std::string difference(const SceneDocument& a, const SceneDocument& b) {
    const std::string display = difference(a.display, b.display);
    return display.empty() ? difference(a.scene, b.scene) : display;
}

inline std::string difference(const RecordingDocument& a, const RecordingDocument& b) {
    const Recording& r = a.recording;
    const Recording& s = b.recording;
    std::string d = difference(a.display, b.display);
    if (d.empty()) {
        d = difference(r.start, s.start);
    }
    if (d.empty() && r.startPaused != s.startPaused) {
        d = "startPaused";
    }
    if (d.empty() && r.operations.size() != s.operations.size()) {
        d = "operation count";
    }
    for (std::size_t k = 0; d.empty() && k < r.operations.size(); ++k) {
        if (!same(r.operations[k], s.operations[k])) {
            d = "operation " + std::to_string(k + 1);
        }
    }
    return d;
}

}  // namespace documenttest

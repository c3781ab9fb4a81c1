#include "FieldDigest.h"

#include <cstring>

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

// h = (h ^ byte) * prime, for the four bytes of the float's bits, lowest first.
std::uint64_t mix(std::uint64_t h, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int b = 0; b < 4; ++b) {
        h = (h ^ ((bits >> (8 * b)) & 0xffu)) * kFnvPrime;
    }
    return h;
}

}  // namespace

std::uint64_t fieldDigest(const VectorField& field) {
    std::uint64_t h = kFnvOffset;
    for (const Vec2& cell : field.data) {
        h = mix(mix(h, cell.x), cell.y);
    }
    return h;
}

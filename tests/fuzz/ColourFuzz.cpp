// The display's fill in every mode, any setting, over fields holding any values.
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <vector>

#include "DisplayTestSupport.h"
#include "FluidTestSupport.h"
#include "FuzzInput.h"

namespace {

using fluidtest::agree;

float anyValue(FuzzInput& in) {
    return in.below(2) == 0
               ? in.anyFloat()
               : static_cast<float>(static_cast<int>(in.word() % 20001) - 10000) / 10.0f;
}

std::uint32_t bits(float v) {
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// Cell i of n across an extent starts at i * extent / n, to within the two roundings of the cell
// size and the product: 2^-22 of the value, or a few of the smallest subnormals. An infinite
// extent puts cell 0 at 0 * infinity, NaN, and the others at infinity; a NaN one every cell at NaN.
bool isCellStart(float position, int i, int n, float extent) {
    const double exact = static_cast<double>(i) * static_cast<double>(extent) / n;
    if (std::isnan(exact)) {
        return std::isnan(position);
    }
    return position == exact ||
           std::fabs(position - exact) <= std::ldexp(std::fabs(exact), -22) + std::ldexp(1.0, -140);
}

// Remembers the word given to each key; false when a key comes back with another word.
template <typename Key>
bool sameWordAsBefore(std::map<Key, std::uint32_t>& seen, const Key& key, std::uint32_t word) {
    const auto [it, first] = seen.emplace(key, word);
    return first || it->second == word;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const int width = 3 + in.below(14);
    const int height = 3 + in.below(14);
    displaytest::HeadlessDisplay display(width, height);
    VectorField field(width, height);
    for (Vec2& v : field.data) {
        v = Vec2(anyValue(in), anyValue(in));
    }
    const int modes[] = {0, 1, 2, 3, -1, 7};
    display.settings.mode = static_cast<DisplayMode>(in.below(4) == 0 ? static_cast<int>(in.word())
                                                                      : modes[in.below(6)]);
    display.settings.hueA = in.byte();
    display.settings.hueB = in.byte();
    display.settings.saturation = in.byte();
    display.settings.coeffLin =
        in.below(2) == 0 ? in.anyFloat() : static_cast<float>(in.below(1001)) / 100.0f;
    display.settings.limitLight = in.byte();
    display.settings.limitOver = in.byte();
    display.settings.isOver = in.below(2) == 0;
    display.settings.isPositive = in.below(2) == 0;
    const float extentY = in.below(2) == 0 ? in.anyFloat() : 100.0f;
    const float extentX = in.below(2) == 0 ? in.anyFloat() : 100.0f;

    // A NaN colours as 0 does, through the second hue.
    const ColorRGB zero = display.valueToColor(0.0f);
    const ColorRGB nan = display.valueToColor(std::numeric_limits<float>::quiet_NaN());
    FUZZ_CHECK(std::memcmp(&zero, &nan, sizeof zero) == 0);

    const std::vector<std::uint32_t> colorsBefore = display.colors;
    const std::vector<VectorVertex> verticesBefore = display.vertices;
    VectorField otherSize(width + 1, height);
    display.fill(otherSize, extentY, extentX);  // the wrong size changes nothing
    FUZZ_CHECK(display.colors == colorsBefore);

    display.fill(field, extentY, extentX);
    const bool picture = display.settings.mode == DisplayMode::Velocity ||
                         display.settings.mode == DisplayMode::Vortex;
    if (display.settings.mode == DisplayMode::Dye) {
        // The dye's picture comes from fillDye: a fill of the velocity changes neither array.
        FUZZ_CHECK(display.colors == colorsBefore);
        FUZZ_CHECK(std::memcmp(display.vertices.data(), verticesBefore.data(),
                               verticesBefore.size() * sizeof(VectorVertex)) == 0);
    } else if (picture) {
        FUZZ_CHECK(std::memcmp(display.vertices.data(), verticesBefore.data(),
                               verticesBefore.size() * sizeof(VectorVertex)) == 0);
        // A cell's word depends only on its speed (in Velocity mode: the speed does not change
        // with the signs of the components) or on the four neighbour components of its curl (in
        // Vortex mode): cells with equal ones have equal words.
        std::map<std::array<std::uint32_t, 4>, std::uint32_t> seen;
        for (int i = 0; i < width; ++i) {
            for (int j = 0; j < height; ++j) {
                const std::uint32_t word = display.colors[i * height + j];
                FUZZ_CHECK(word >> 24 == 0);  // both hues carry alpha 0
                const bool ring = i == 0 || j == 0 || i == width - 1 || j == height - 1;
                std::array<std::uint32_t, 4> key{};
                if (display.settings.mode == DisplayMode::Velocity) {
                    const Vec2 v = field.at(i, j);
                    key = {bits(std::fabs(v.x)), bits(std::fabs(v.y)), 0, 0};
                } else if (ring) {
                    FUZZ_CHECK(word == 0);
                    continue;
                } else {
                    key = {bits(field.at(i + 1, j).y), bits(field.at(i - 1, j).y),
                           bits(field.at(i, j + 1).x), bits(field.at(i, j - 1).x)};
                }
                FUZZ_CHECK(sameWordAsBefore(seen, key, word));
            }
        }
    } else {
        FUZZ_CHECK(display.colors == colorsBefore);
        // Each segment from its cell's corner, i * cell width across and j * cell height down,
        // along the cell's velocity, unscaled; both ends opaque black.
        for (int i = 0; i < width; ++i) {
            for (int j = 0; j < height; ++j) {
                const VectorVertex& start = display.vertices[2 * (i * height + j)];
                const VectorVertex& end = display.vertices[2 * (i * height + j) + 1];
                FUZZ_CHECK(isCellStart(start.position.x, i, width, extentX));
                FUZZ_CHECK(isCellStart(start.position.y, j, height, extentY));
                FUZZ_CHECK(agree(end.position.x, start.position.x + field.at(i, j).x));
                FUZZ_CHECK(agree(end.position.y, start.position.y + field.at(i, j).y));
                for (const VectorVertex* vertex : {&start, &end}) {
                    FUZZ_CHECK(pack(vertex->color) == pack(ColorRGB{255, 0, 0, 0}));
                }
            }
        }
    }
    return 0;
}

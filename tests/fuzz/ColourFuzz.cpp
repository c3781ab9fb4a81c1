// The display's fill in every mode, any setting, over fields holding any values.
#include <cstring>
#include <limits>
#include <vector>

#include "DisplayTestSupport.h"
#include "FuzzInput.h"

namespace {

float anyValue(FuzzInput& in) {
    return in.below(2) == 0
               ? in.anyFloat()
               : static_cast<float>(static_cast<int>(in.word() % 20001) - 10000) / 10.0f;
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
    display.setDisplayMode(in.below(4) == 0 ? static_cast<int>(in.word()) : modes[in.below(6)]);
    display.setHueColorA(in.byte());
    display.setHueColorB(in.byte());
    display.setColorSaturation(in.byte());
    display.setCoeffLin(in.below(2) == 0 ? in.anyFloat()
                                         : static_cast<float>(in.below(1001)) / 100.0f);
    display.setLimitLight(in.byte());
    display.setLimitOver(in.byte());
    display.setIsOver(in.below(2) == 0);
    display.setIsPositive(in.below(2) == 0);
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
    const bool picture =
        display.mode == DisplayMode::Velocity || display.mode == DisplayMode::Vortex;
    if (picture) {
        FUZZ_CHECK(std::memcmp(display.vertices.data(), verticesBefore.data(),
                               verticesBefore.size() * sizeof(VectorVertex)) == 0);
        for (int i = 0; i < width; ++i) {
            for (int j = 0; j < height; ++j) {
                const std::uint32_t word = display.colors[i * height + j];
                FUZZ_CHECK(word >> 24 == 0);  // both hues carry alpha 0
                const bool ring = i == 0 || j == 0 || i == width - 1 || j == height - 1;
                FUZZ_CHECK(!(ring && display.mode == DisplayMode::Vortex) || word == 0);
            }
        }
    } else {
        FUZZ_CHECK(display.colors == colorsBefore);
        const float cw = extentX / static_cast<float>(width);
        const float ch = extentY / static_cast<float>(height);
        for (int i = 0; i < width; ++i) {
            for (int j = 0; j < height; ++j) {
                const VectorVertex& start = display.vertices[2 * (i * height + j)];
                const float x = static_cast<float>(i) * cw;
                const float y = static_cast<float>(j) * ch;
                FUZZ_CHECK(std::memcmp(&start.position.x, &x, sizeof x) == 0);
                FUZZ_CHECK(std::memcmp(&start.position.y, &y, sizeof y) == 0);
                FUZZ_CHECK(start.color.alpha == 255 && start.color.red == 0);
            }
        }
    }
    return 0;
}

#include "DisplayField.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

static_assert(sizeof(bool) == 1, "display flags are single bytes");
static_assert(sizeof(ColorHSL) == 4 && sizeof(ColorRGB) == 4, "colour records are four bytes");

namespace {

// valueToColor never needs a level above limitLight + limitOver <= 510; capping there keeps the
// truncation to int defined for huge and infinite values without changing any colour.
constexpr float kLevelCap = 512.0f;
// Levels 0 to kLevelCap, each side.
constexpr std::int32_t kLevels = static_cast<std::int32_t>(kLevelCap) + 1;

std::size_t cellCount(std::int32_t width, std::int32_t height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

// Cells 0, stride, 2 * stride, ... below size.
std::int32_t strided(std::int32_t size, std::int32_t stride) {
    return (size + stride - 1) / stride;
}

// An amount from 0 to 1 to the nearest byte; NaN and amounts below 0 give 0.
std::uint32_t dyeLevel(float amount) {
    const float level = std::min(amount, 1.0f) * 255.0f + 0.5f;
    return level > 0.0f ? static_cast<std::uint32_t>(level) : 0u;
}

}  // namespace

DisplayField::DisplayField(std::int32_t width_, std::int32_t height_, std::int32_t dyeSize_,
                           std::int32_t vectorStride_)
    : colors(cellCount(width_, height_), 0u),
      width(width_),
      height(height_),
      vertices(2 * cellCount(strided(width_, std::max(vectorStride_, 1)),
                             strided(height_, std::max(vectorStride_, 1)))),
      vertexCount(static_cast<std::int32_t>(vertices.size())),
      vectorStride(std::max(vectorStride_, 1)),
      dyeColors(cellCount(dyeSize_, dyeSize_), 0u),
      dyeSize(dyeSize_),
      levelWords(2 * static_cast<std::size_t>(kLevels), 0u) {}

bool DisplayField::fill(const VectorField& field, float extentY_, float extentX_) {
    if (field.width != width || field.height != height) {
        return false;
    }
    extentY = extentY_;
    extentX = extentX_;
    bool changed = false;
    switch (settings.mode) {
        case DisplayMode::Velocity:
            makeLevelWords();
            changed = fillVelocity(field);
            break;
        case DisplayMode::Vortex:
            makeLevelWords();
            changed = fillVortex(field);
            break;
        case DisplayMode::Dye:
            break;  // fillDye fills the dye's picture
        case DisplayMode::Vectors:
        default:
            return fillVectors(field);
    }
    colorsChanged = colorsChanged || changed;
    return changed;
}

bool DisplayField::fillDye(const float* red, const float* green, const float* blue) {
    bool changed = false;
    for (std::size_t k = 0; k < dyeColors.size(); ++k) {
        // alpha << 24 | blue << 16 | green << 8 | red, as pack lays out a colour
        const std::uint32_t word =
            0xff000000u | dyeLevel(blue[k]) << 16 | dyeLevel(green[k]) << 8 | dyeLevel(red[k]);
        changed = changed || dyeColors[k] != word;
        dyeColors[k] = word;
    }
    dyeChanged = dyeChanged || changed;
    return changed;
}

void DisplayField::draw() {
    switch (settings.mode) {
        case DisplayMode::Velocity:
            drawVelocity();
            break;
        case DisplayMode::Vortex:
            drawVortex();
            break;
        case DisplayMode::Dye:
            drawDye();
            break;
        case DisplayMode::Vectors:
        default:
            drawVectors();
            break;
    }
}

void DisplayField::levelOf(float value, int& side, std::int32_t& n) const {
    side = value > 0.0f ? 0 : 1;
    if (side == 1) {
        value = -value;
    }
    // n = value * coeffLin truncated toward zero. A level that is not above 0 (NaN, or a negative
    // coefficient) is taken as 0, and huge levels are capped where no colour can tell them apart.
    const float level = std::min(value * settings.coeffLin, kLevelCap);
    n = level > 0.0f ? static_cast<std::int32_t>(level) : 0;
}

ColorRGB DisplayField::colorAt(int side, std::int32_t n) const {
    const DisplaySettings& s = settings;
    // The rule's colours have alpha 0; it puts its own lightness in place of theirs.
    ColorHSL color{0, side == 0 ? s.hueA : s.hueB, s.saturation, 0};
    const std::int32_t limit = s.limitLight;
    if (n < limit) {
        color.lightness = static_cast<std::uint8_t>(n);
    } else {
        color.lightness = s.limitLight;
        if (s.isOver) {
            // Past the limit the hue turns one step per level, at most limitOver steps, mod 256.
            const auto shift =
                static_cast<std::uint8_t>(std::min<std::int32_t>(n - limit, s.limitOver));
            color.hue = s.isPositive ? static_cast<std::uint8_t>(color.hue + shift)
                                     : static_cast<std::uint8_t>(color.hue - shift);
        }
    }
    return toRGB(color);
}

ColorRGB DisplayField::valueToColor(float value) const {
    int side = 0;
    std::int32_t n = 0;
    levelOf(value, side, n);
    return colorAt(side, n);
}

void DisplayField::makeLevelWords() {
    for (int side = 0; side < 2; ++side) {
        for (std::int32_t n = 0; n < kLevels; ++n) {
            levelWords[static_cast<std::size_t>(side * kLevels + n)] = pack(colorAt(side, n));
        }
    }
}

template <typename CellWord>
bool DisplayField::fillColors(const VectorField& field, CellWord word) {
    bool changed = false;
    std::size_t k = 0;
    for (int i = 0; i < field.width; ++i) {
        for (int j = 0; j < field.height; ++j) {
            changed = store(k, word(i, j)) || changed;
            ++k;
        }
    }
    return changed;
}

bool DisplayField::fillVelocity(const VectorField& field) {
    return fillColors(field, [this, &field](int i, int j) {
        int side = 0;
        std::int32_t n = 0;
        levelOf(field.at(i, j).length(), side, n);
        return levelWords[static_cast<std::size_t>(side * kLevels + n)];
    });
}

bool DisplayField::fillVortex(const VectorField& field) {
    const float spacing = field.spacing;
    const int lastI = field.width - 1;
    const int lastJ = field.height - 1;
    return fillColors(field, [&](int i, int j) {
        if (i == 0 || i == lastI || j == 0 || j == lastJ) {
            return 0u;
        }
        // Curl over two cells, no factor 1/2: w = (vE.y - vW.y) / h - (vS.x - vN.x) / h
        const float curl = (field.at(i + 1, j).y - field.at(i - 1, j).y) / spacing -
                           (field.at(i, j + 1).x - field.at(i, j - 1).x) / spacing;
        int side = 0;
        std::int32_t n = 0;
        levelOf(curl, side, n);
        return levelWords[static_cast<std::size_t>(side * kLevels + n)];
    });
}

bool DisplayField::fillVectors(const VectorField& field) {
    const float cellWidth = extentX / static_cast<float>(field.width);
    const float cellHeight = extentY / static_cast<float>(field.height);
    const ColorRGB opaqueBlack{255, 0, 0, 0};
    bool changed = false;
    std::size_t k = 0;
    for (int i = 0; i < field.width; i += vectorStride) {
        for (int j = 0; j < field.height; j += vectorStride) {
            const Vec2 start(static_cast<float>(i) * cellWidth, static_cast<float>(j) * cellHeight);
            const Vec2 end = start + field.at(i, j);
            // Compared by their bits, so that a NaN that stays a NaN is no change.
            changed = changed ||
                      std::memcmp(&vertices[2 * k + 1].position, &end, sizeof end) != 0 ||
                      std::memcmp(&vertices[2 * k].position, &start, sizeof start) != 0;
            vertices[2 * k] = VectorVertex{start, opaqueBlack};
            vertices[2 * k + 1] = VectorVertex{end, opaqueBlack};
            ++k;
        }
    }
    return changed;
}

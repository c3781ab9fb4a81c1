#pragma once

#include <cstdint>
#include <vector>

#include "ColorHSL.h"
#include "ColorRGB.h"
#include "DisplaySettings.h"
#include "VectorField.h"
#include "VectorVertex.h"

// Turns a velocity field into per-cell packed colours (the speed in Velocity mode, the curl in
// Vortex mode, through the two-hue colour rule of valueToColor) or per-cell line segments
// (Vectors mode), and holds every display setting. The drawing is left to a subclass; nothing
// here touches OpenGL.
//
// colors is in x-major order: cell (i, j) is element k = i * height + j, the transpose of the
// fields' own order; vertices 2k and 2k + 1 are the start and end of the same cell's segment.
// A display made with a vectorStride above 1 draws a segment from every vectorStride-th cell
// along each axis only, so that the lines of a fine grid stay apart. dyeColors holds the dye's
// packed colours, in the dye's own order (texel (a, b) at a + b * dyeSize).
class DisplayField {
public:
    std::vector<std::uint32_t> colors;
    std::int32_t width;
    std::int32_t height;
    std::vector<VectorVertex> vertices;
    std::int32_t vertexCount;
    std::int32_t vectorStride;
    std::vector<std::uint32_t> dyeColors;
    std::int32_t dyeSize;
    // Size of the drawing area in view units.
    float extentX = 100.0f;
    float extentY = 100.0f;
    // Every setting of the colouring; a change shows from the next fill (colours, vertices) or
    // the next draw (the choice of picture).
    DisplaySettings settings;
    // Whether colors, and dyeColors, changed since a drawing last took them: set by the fills,
    // cleared by the drawing that uploads them.
    bool colorsChanged = true;
    bool dyeChanged = true;

    // Allocates the arrays for a grid of width x height cells, segments from every
    // vectorStride-th cell and a dye of dyeSize x dyeSize texels; colours 0 and vertices at
    // (0, 0).
    DisplayField(std::int32_t width_, std::int32_t height_, std::int32_t dyeSize_ = 0,
                 std::int32_t vectorStride_ = 1);
    DisplayField(const DisplayField&) = delete;
    DisplayField& operator=(const DisplayField&) = delete;

    // Stores the two extents (vertical first), then rewrites the array of the current mode from
    // the field; the other array is left as it was. Allocates nothing. A field whose size differs
    // from the display's changes nothing. Returns whether the array changed.
    bool fill(const VectorField& field, float extentY_, float extentX_);

    // Packs the dye's three planes of dyeSize x dyeSize amounts from 0 to 1 into dyeColors, each
    // amount to the nearest of 256 levels, opaque. Allocates nothing. Returns whether any colour
    // changed.
    bool fillDye(const float* red, const float* green, const float* blue);

    // Draws the picture of the current mode.
    void draw();

    // The two-hue colour rule: the hue of hueA for values above 0 and of hueB otherwise (NaN
    // included), lightness value * coeffLin up to limitLight, and past it the optional hue shift.
    ColorRGB valueToColor(float value) const;

    // Draws the line segments of vertices.
    virtual void drawVectors() = 0;
    // Draws colors as a picture.
    virtual void drawVortex() = 0;
    // Draws colors as a picture.
    virtual void drawVelocity() = 0;
    // Draws dyeColors as a picture.
    virtual void drawDye() = 0;

protected:
    // Not virtual: the owner holds and deletes the concrete display.
    ~DisplayField() = default;

private:
    // The rule's colour for the side (0 above zero, 1 at or below) at level n.
    ColorRGB colorAt(int side, std::int32_t n) const;
    // The side and level of a value under the rule.
    void levelOf(float value, int& side, std::int32_t& n) const;
    // levelWords from the settings: the packed colour of every side and level.
    void makeLevelWords();
    // colors[k] = word; true if that changed it.
    bool store(std::size_t k, std::uint32_t word) {
        const bool changed = colors[k] != word;
        colors[k] = word;
        return changed;
    }
    // colors[i * height + j] = word(i, j) for every cell; true if any changed.
    template <typename CellWord>
    bool fillColors(const VectorField& field, CellWord word);
    // Packed colour of each cell's speed.
    bool fillVelocity(const VectorField& field);
    // Packed colour of each cell's curl; the outer ring, where the curl is not defined, is black.
    bool fillVortex(const VectorField& field);
    // From the corner of every vectorStride-th cell in view units to the corner plus its velocity.
    bool fillVectors(const VectorField& field);

    // The packed colour of every level of both sides, made afresh by each fill: a fill looks its
    // colours up rather than converting every cell's.
    std::vector<std::uint32_t> levelWords;
};

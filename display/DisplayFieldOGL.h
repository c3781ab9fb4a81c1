#pragma once

#include <cstdint>

#include "DisplayField.h"

// Draws a DisplayField with OpenGL 1.x and GLU: the colours as one textured quad over the drawing
// area (Velocity, Vortex), or one white line per cell (Vectors). Every drawing operation, and
// createTexture, needs the caller's OpenGL context current, with a projection of extentX x extentY
// view units and y growing downward.
//
// The texture name is made in the context that is current at createTexture or at the first
// picture, never at construction, which may run before any context exists. The owner makes that
// same context current before destroying the display, which then deletes the name.
class DisplayFieldOGL final : public DisplayField {
public:
    // The texture into which colors (or dyeColors) is uploaded for a picture, when it changed
    // since it last went up; 0 until it is created.
    std::uint32_t texture = 0;

    DisplayFieldOGL(std::int32_t width_, std::int32_t height_, std::int32_t dyeSize_ = 0,
                    std::int32_t vectorStride_ = 1)
        : DisplayField(width_, height_, dyeSize_, vectorStride_) {}
    ~DisplayFieldOGL();

    // Creates the texture name if there is none yet.
    void createTexture();
    // Deletes the texture name, if any, in the current context; the next picture makes another.
    void deleteTexture();

    void drawVectors() override;
    void drawVortex() override { drawTexture(); }
    void drawVelocity() override { drawTexture(); }
    // Uploads dyeColors and draws it over the drawing area, filtered linearly.
    void drawDye() override;

    // Uploads colors and draws it over the drawing area; cell (i, j) covers x from i to i + 1
    // and y from j to j + 1 in cells of the drawing area. A 100 x 100 grid goes through GLU's
    // mipmap builder, which rescales it to 128 x 128 on the processor; finer grids, whose
    // rescaling would cost a frame's time, are uploaded as they are (OpenGL 2.0 and later take
    // any size).
    void drawTexture();

private:
    // What the texture holds now.
    enum class Holds { Nothing, Colors, Dye };
    Holds holds = Holds::Nothing;
    // The side of the texture's base level when it was uploaded as it is; 0 otherwise.
    std::int32_t side = 0;
};

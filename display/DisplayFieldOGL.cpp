#include "DisplayFieldOGL.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <type_traits>

static_assert(std::is_same<GLuint, std::uint32_t>::value, "texture names are 32-bit unsigned");

DisplayFieldOGL::~DisplayFieldOGL() {
    deleteTexture();
}

void DisplayFieldOGL::deleteTexture() {
    if (texture != 0) {
        glDeleteTextures(1, &texture);
        texture = 0;
    }
    holds = Holds::Nothing;
    side = 0;
}

void DisplayFieldOGL::createTexture() {
    if (texture == 0) {
        glGenTextures(1, &texture);
    }
}

void DisplayFieldOGL::drawVectors() {
    if (glIsEnabled(GL_TEXTURE_2D)) {
        glDisable(GL_TEXTURE_2D);
    }
    glBegin(GL_LINES);
    glColor3f(1.0f, 1.0f, 1.0f);
    // Pairs (2k, 2k + 1) are the segments; the vertices' own colours are not used.
    for (int v = 0; v < vertexCount; ++v) {
        glVertex2f(vertices[v].position.x, vertices[v].position.y);
    }
    glEnd();
}

namespace {

// Binds the texture, with texturing on, and sets the linear filters, which sample the base level
// only: cells smoothed between their centres.
void bindTexture(std::uint32_t texture) {
    if (!glIsEnabled(GL_TEXTURE_2D)) {
        glEnable(GL_TEXTURE_2D);
    }
    glBindTexture(GL_TEXTURE_2D, texture);
}

void useLinearFilters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

// Pixels of a size x size RGBA texture as they are, one level: into the storage the texture
// has when it has that size (side), into new storage otherwise.
void uploadLevel(std::int32_t size, const std::uint32_t* pixels, std::int32_t& side) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (side == size) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        return;
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    side = size;
}

// The texture over the drawing area: s along the screen's x and t along its y, or, transposed,
// the other way round.
void drawQuad(float extentX, float extentY, bool transposed) {
    const auto corner = [transposed](int s, int t) {
        if (transposed) {
            glTexCoord2i(t, s);
        } else {
            glTexCoord2i(s, t);
        }
    };
    glBegin(GL_QUADS);
    corner(0, 0);
    glVertex2f(0.0f, 0.0f);
    corner(1, 0);
    glVertex2f(extentX, 0.0f);
    corner(1, 1);
    glVertex2f(extentX, extentY);
    corner(0, 1);
    glVertex2f(0.0f, extentY);
    glEnd();
}

}  // namespace

void DisplayFieldOGL::drawTexture() {
    createTexture();
    bindTexture(texture);
    // The texture already holds these colours when no fill changed them since they went up.
    if (holds != Holds::Colors || colorsChanged) {
        if (width == 100 && height == 100) {
            // The packed words already have GL_RGBA byte order. GLU rescales the non-power-of-two
            // grid.
            gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                              colors.data());
            side = 0;  // levels of GLU's own sizes
        } else {
            uploadLevel(width, colors.data(), side);
        }
        holds = Holds::Colors;
        colorsChanged = false;
    }
    useLinearFilters();
    // Texture t runs along the screen's x and s along its y. colors is x-major (element
    // i * height + j is cell (i, j)), which GL reads as texel column j of row i, so swapping the
    // coordinates puts cell (i, j) at column i, row j; exact because the grid is square.
    drawQuad(extentX, extentY, true);
}

void DisplayFieldOGL::drawDye() {
    createTexture();
    bindTexture(texture);
    // Texel (a, b) is column a of row b: s along the screen's x, t along its y.
    if (holds != Holds::Dye || dyeChanged) {
        uploadLevel(dyeSize, dyeColors.data(), side);
        holds = Holds::Dye;
        dyeChanged = false;
    }
    useLinearFilters();
    drawQuad(extentX, extentY, false);
}

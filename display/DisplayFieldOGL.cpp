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

void DisplayFieldOGL::drawTexture() {
    createTexture();
    if (!glIsEnabled(GL_TEXTURE_2D)) {
        glEnable(GL_TEXTURE_2D);
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    // The packed words already have GL_RGBA byte order. GLU rescales the non-power-of-two grid.
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE, colors.data());
    // A linear minifying filter samples only the base level: cells smoothed between their centres.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    // Texture t runs along the screen's x and s along its y. colors is x-major (element
    // i * height + j is cell (i, j)), which GL reads as texel column j of row i, so swapping the
    // coordinates puts cell (i, j) at column i, row j; exact because the grid is square.
    glBegin(GL_QUADS);
    glTexCoord2i(0, 0);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2i(0, 1);
    glVertex2f(extentX, 0.0f);
    glTexCoord2i(1, 1);
    glVertex2f(extentX, extentY);
    glTexCoord2i(1, 0);
    glVertex2f(0.0f, extentY);
    glEnd();
}

#include "ViewPainter.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "DisplayFieldOGL.h"
#include "Simulation.h"

namespace {

// The overlay is drawn twice, a dark halo and then a bright cyan core, so that it stands out on
// black, on every hue of the colour rule and on the white lines of the Vectors picture. Widths
// and sizes are in device pixels at a device pixel ratio of 1.
struct OverlayPass {
    GLubyte red, green, blue;
    GLfloat lineWidth;
    GLfloat pointSize;
};
constexpr OverlayPass kOverlayPasses[] = {{0, 0, 0, 4.0f, 9.0f}, {0, 255, 255, 2.0f, 5.0f}};

// Corners are cells; the lines run through the cells' centres, scale view units to a cell.
void drawCorners(GLenum mode, const std::vector<Vec2>& corners, float scale) {
    glBegin(mode);
    for (const Vec2& c : corners) {
        glVertex2f((c.x + 0.5f) * scale, (c.y + 0.5f) * scale);
    }
    glEnd();
}

}  // namespace

QRect ViewPainter::square(int width, int height) {
    const int side = std::min(width, height);
    return QRect((width - side) / 2, (height - side) / 2, side, side);
}

int ViewPainter::cellAt(int pixel, int squareOrigin, int squareSide, int gridSize) {
    // In 64 bits, so that no position an event can carry overflows: at the opening 641 pixels,
    // pixel * 100 / 640, and pixels -6 to -1 still give cell 0.
    const std::int64_t size = std::max(squareSide - 1, 1);
    return static_cast<int>((static_cast<std::int64_t>(pixel) - squareOrigin) * gridSize / size);
}

Vec2 ViewPainter::positionAt(QPoint pixel, const QRect& square, int gridSize) {
    // Cell c covers pixels c * size / N to (c + 1) * size / N and has its centre at position c.
    const double scale = static_cast<double>(gridSize) / std::max(square.width() - 1, 1);
    return Vec2(static_cast<float>((pixel.x() - square.x() + 0.5) * scale - 0.5),
                static_cast<float>((pixel.y() - square.y() + 0.5) * scale - 0.5));
}

std::unique_ptr<DisplayFieldOGL> ViewPainter::makeDisplay(const Simulation& sim,
                                                          const DisplayFieldOGL* previous) {
    const int size = sim.gridSize();
    auto made = std::make_unique<DisplayFieldOGL>(size, size, sim.dye().size(),
                                                  size / SceneLimits::kDefaultGridSize);
    if (previous != nullptr) {
        made->settings = previous->settings;
    }
    return made;
}

bool ViewPainter::fill(DisplayFieldOGL& display, const Simulation& sim) {
    const bool changed = display.fill(sim.fluidSolver().velocityField(), kViewExtent, kViewExtent);
    if (display.settings.mode != DisplayMode::Dye) {
        return changed;
    }
    const DyeField& dye = sim.dye();
    return display.fillDye(dye.red().data(), dye.green().data(), dye.blue().data());
}

void ViewPainter::initialize(DisplayFieldOGL& display) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    display.createTexture();
}

void ViewPainter::setProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, kViewExtent, kViewExtent, 0.0, 0.0, 0.01);
    glMatrixMode(GL_MODELVIEW);
}

void ViewPainter::paint(DisplayFieldOGL& display, const Simulation& sim, int width, int height,
                        float ratio, bool overlay) {
    const QRect drawn = square(width, height);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(drawn.x(), drawn.y(), drawn.width(), drawn.height());
    glLoadIdentity();
    display.draw();
    if (overlay) {
        drawOverlay(sim, ratio);
    }
}

void ViewPainter::drawOverlay(const Simulation& sim, float ratio) {
    const float scale = kViewExtent / static_cast<float>(sim.gridSize());
    const std::vector<Vec2>& corners = sim.corners();
    // Restores the texturing and the current colour, which the colour picture is modulated by.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_LINE_BIT | GL_POINT_BIT);
    glDisable(GL_TEXTURE_2D);
    for (const OverlayPass& pass : kOverlayPasses) {
        glColor3ub(pass.red, pass.green, pass.blue);
        glLineWidth(pass.lineWidth * ratio);
        for (const std::vector<Vec2>& outline : sim.obstacleOutlines()) {
            drawCorners(GL_LINE_LOOP, outline, scale);
        }
        drawCorners(GL_LINE_STRIP, corners, scale);
        glPointSize(pass.pointSize * ratio);
        drawCorners(GL_POINTS, corners, scale);
    }
    glPopAttrib();
}

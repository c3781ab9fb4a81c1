#pragma once

#include <QPoint>
#include <QRect>
#include <memory>

#include "Vec2.h"

class DisplayFieldOGL;
class Simulation;

// How the view turns a simulation into a picture, for the widget and for frames rendered off
// screen alike, so that the two give the same pixels: the display made for the simulation's
// grid, its fill, and one frame painted with OpenGL 1.x (the field's picture over a square of
// 100 x 100 view units, y growing downward, centred in the framebuffer, then the overlay of
// obstacle outlines and collected corners). The OpenGL functions need a compatibility-profile
// (or legacy 2.1) context current, with the framebuffer to paint into bound.
class ViewPainter {
public:
    // View units along each side of the drawing area.
    static constexpr float kViewExtent = 100.0f;
    // Pixels along each side of the view as the window opens, and of the frames rendered off
    // screen; the mouse maps pixel p of a view of side s to cell p * N / (s - 1).
    static constexpr int kViewPixels = 641;

    // The square that the drawing area fills in a view of width x height pixels: the shorter
    // side, centred.
    static QRect square(int width, int height);
    // The cell of an N-cell grid under pixel p along one axis of the square: p * N / (side - 1)
    // from its origin, truncated toward zero; outside the grid below 0 or from N on.
    static int cellAt(int pixel, int squareOrigin, int squareSide, int gridSize);
    // The grid position under a pixel's centre, in cells: cell c has its centre at c.
    static Vec2 positionAt(QPoint pixel, const QRect& square, int gridSize);

    // A display for the simulation's grid and dye, with a segment from every (N / 100)-th cell,
    // so one per hundredth of the view; it takes the settings of previous, when there is one.
    static std::unique_ptr<DisplayFieldOGL> makeDisplay(const Simulation& sim,
                                                        const DisplayFieldOGL* previous);
    // Fills the display from the simulation's velocity, and from its dye when the dye is shown.
    // Returns whether that changed the picture.
    static bool fill(DisplayFieldOGL& display, const Simulation& sim);

    // Once per context: black as the clear colour, texturing on, the display's texture name.
    static void initialize(DisplayFieldOGL& display);
    // The projection: 100 x 100 view units over the viewport, x to the right and y downward.
    static void setProjection();
    // One frame into a framebuffer of width x height device pixels: black all over, then the
    // display's picture in the centred square, then the overlay when asked for, its lines
    // ratio device pixels per logical pixel wide. Paints what the last fill left.
    static void paint(DisplayFieldOGL& display, const Simulation& sim, int width, int height,
                      float ratio, bool overlay);

private:
    static void drawOverlay(const Simulation& sim, float ratio);
};

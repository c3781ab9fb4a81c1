#pragma once

#include <QOpenGLWidget>
#include <QRect>
#include <cstdint>
#include <memory>

#include "DisplaySettings.h"
#include "Vec2.h"

class DisplayFieldOGL;
class QImage;
class QMouseEvent;
class Simulation;
class SimulationController;

// The OpenGL view of the fluid: it paints the controller's simulation (the field or the dye over
// a square drawing area of 100 x 100 view units, y growing downward, centred in the widget, and
// the outlines over it), refills its picture when the fluid changes and repaints only when that
// changed the picture, and turns mouse drags and clicks into operations on the fluid.
//
// It draws with OpenGL 1.x (immediate mode, one texture, GLU) into the framebuffer that
// QOpenGLWidget composites, so it needs a compatibility-profile context (or a legacy 2.1 one):
// setDefaultSurfaceFormat asks for that, before the application object exists.
class GLWidget : public QOpenGLWidget {
    Q_OBJECT

public:
    // Makes every OpenGL context of the application a compatibility-profile one, in which the
    // fixed-function drawing works. Call before constructing the QApplication.
    static void setDefaultSurfaceFormat();

    // The controller outlives the view.
    GLWidget(QWidget* parent, SimulationController& controller);
    ~GLWidget() override;

    // The colouring shows from the next step's fill (at once while paused); another kind of
    // picture shows at once.
    void setDisplaySettings(const DisplaySettings& settings);
    const DisplaySettings& displaySettings() const;
    // The outlines of the obstacles and the corners placed so far, drawn over the field in a
    // colour that stands out on every picture. On at start.
    void setOverlayVisible(bool visible);
    bool isOverlayVisible() const { return overlayVisible; }

    // The picture as it is painted now, rendered afresh and read back from the framebuffer.
    QImage picture();
    // The square, in widget pixels, that the drawing area fills: the widget's shorter side,
    // centred.
    QRect viewSquare() const;
    // The display's arrays as the last fill left them.
    const DisplayFieldOGL& displayField() const { return *display; }

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    // A press sets the reference position, so that a drag's first move measures from it, and
    // starts a new drag, with a dye colour of its own.
    void mousePressEvent(QMouseEvent* event) override;
    // A drag with any button: the block of cells under the pointer takes 50 times the pointer's
    // movement, dye is poured along the way, and the fluid steps if its gate is open. On the
    // finer grids, between steps, the move pushes the block and the next step projects it.
    void mouseMoveEvent(QMouseEvent* event) override;
    // Right button: place an obstacle corner. Middle button: build the obstacle from 3 or more.
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Fills the display from the velocity field (and the dye, when shown), in a display made
    // afresh when the grid changed; repaints if that changed the picture.
    void refill();
    // A display for the current grid, with the colouring of the one before, if any.
    void makeDisplay();
    // Deletes the display's texture while the context that made it is still current.
    void releaseGL();
    // The cell under a widget pixel across (x) or down (y) the view's square; outside the grid
    // below 0 or from N on.
    int cellAt(int pixel, bool across) const;

    SimulationController& controller;
    const Simulation& sim;
    std::unique_ptr<DisplayFieldOGL> display;
    // The widget pixel of the last press, handled move or release.
    std::int32_t lastMouseX = 0;
    std::int32_t lastMouseY = 0;
    bool overlayVisible = true;
};

#pragma once

#include <QElapsedTimer>
#include <QOpenGLWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "Vec2.h"
#include "VectorVertex.h"

class DisplayFieldOGL;
class FluidSolver;
class QImage;
class QLCDNumber;
class QMouseEvent;
class QTimer;

// The OpenGL view of the fluid. It owns the solver and the display, advances the fluid at most
// once every 16 ms from a timer that wakes when that gate opens, shows how long one step in 21
// takes, draws the field over a drawing area of 100 x 100 view units (one per cell, y growing
// downward), passes the panel's settings on, and turns mouse drags and clicks into velocity and
// obstacles. It repaints only when the picture changes.
//
// It draws with OpenGL 1.x (immediate mode, one texture, GLU) into the framebuffer that
// QOpenGLWidget composites, so it needs a compatibility-profile context (or a legacy 2.1 one):
// setDefaultSurfaceFormat asks for that, before the application object exists.
class GLWidget : public QOpenGLWidget {
    Q_OBJECT

public:
    // Cells along each side of the grid, and view units along each side of the drawing area.
    static constexpr int kGridSize = 100;
    // Widget pixels along each side that the mouse rule assumes.
    static constexpr int kViewPixels = 640;
    // Corners that one obstacle polygon can collect.
    static constexpr int kMaxObstaclePoints = 100;

    // Makes every OpenGL context of the application a compatibility-profile one, in which the
    // fixed-function drawing works. Call before constructing the QApplication.
    static void setDefaultSurfaceFormat();

    // computeTimeDisplay may be null: the fluid then steps without being timed.
    GLWidget(QWidget* parent, QLCDNumber* computeTimeDisplay);
    ~GLWidget() override;

    // Settings from the panel. They only store: colours show from the next step's fill (at once
    // while paused); a new display mode is painted at once.
    void clearObstacles();
    // value is in hundredths: the solver's viscosity becomes value * 0.01.
    void setViscosityValue(float value);
    void setNumberIteration(int value);
    void setViscosityEnabled(bool value);
    // 0 Vectors, 1 Velocity, 2 Vortex.
    void setDisplayMode(int value);
    void setHueColorA(int value);
    void setHueColorB(int value);
    void setColorSaturation(int value);
    void setCoeffLin(float value);
    void setCoeffLog(float value);
    void setLimitLight(int value);
    void setLimitOver(int value);
    void setIsLog(bool value);
    void setIsOver(bool value);
    void setIsPositive(bool value);

    // Paused, the fluid does not step; stirs, obstacles and display settings still apply and
    // show at once.
    void setPaused(bool value);
    bool isPaused() const { return paused; }
    // Sets every velocity to zero; the obstacles stay.
    void bringToRest();

    // The outlines of the obstacles and the corners collected so far, drawn over the field in a
    // colour that stands out on every picture. On at start.
    void setOverlayVisible(bool visible);
    bool isOverlayVisible() const { return overlayVisible; }
    // Take back the last collected corner, or all of them.
    void removeLastCorner();
    void discardCorners();

    // The picture as it is painted now, rendered afresh and read back from the framebuffer.
    QImage picture();

    // Read-only views of the state, for inspection.
    const FluidSolver& fluidSolver() const { return *solver; }
    const DisplayFieldOGL& displayField() const { return *fieldDisplay; }
    const Vec2* collectedPoints() const { return obstaclePoints; }
    int collectedPointCount() const { return obstaclePointCount; }
    int stepsSinceTimedStep() const { return stepCounter; }

signals:
    // A line for the status bar: what the user just did and what they can do next.
    void statusMessage(const QString& text);

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    // A press sets the reference position, so that a drag's first move measures from it.
    void mousePressEvent(QMouseEvent* event) override;
    // A drag with any button: the cell under the pointer takes 50 times the pointer's movement.
    void mouseMoveEvent(QMouseEvent* event) override;
    // Right button: collect an obstacle corner. Middle button: build the obstacle from 3 or more.
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    // One timer tick: step, time and refill if more than 15 ms have passed since the last step
    // and fill, then set the timer for the moment the gate opens.
    void Advance();

private:
    void wakeAtGate();
    // Deletes the display's texture while the context that made it is still current.
    void releaseGL();
    // Fills the display from the velocity field; repaints if that changed the picture.
    void refill();
    void settingChanged();
    void drawOverlay();
    void cornersChanged();
    // Hands the collected corners to the solver and starts a new polygon.
    void buildObstacle();

    std::unique_ptr<FluidSolver> solver;
    std::int32_t lastMouseX = 0;
    std::int32_t lastMouseY = 0;
    QTimer* timer;
    // Monotonic, so that a change of the wall clock cannot stall or rush the steps.
    QElapsedTimer clock;
    std::int16_t stepCounter = 20;
    QLCDNumber* computeTimeDisplay;
    std::unique_ptr<DisplayFieldOGL> fieldDisplay;
    // The display's arrays as the last fill left them, to tell whether a fill changed the picture.
    std::vector<std::uint32_t> filledColors;
    std::vector<VectorVertex> filledVertices;
    Vec2 obstaclePoints[kMaxObstaclePoints];
    std::int32_t obstaclePointCount = 0;
    // The corners of each obstacle handed to the solver, in the same order, for the overlay.
    std::vector<std::vector<Vec2>> obstacleOutlines;
    bool overlayVisible = true;
    bool paused = false;
};

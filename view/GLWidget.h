#pragma once

#include <QElapsedTimer>
#include <QOpenGLWidget>
#include <QRect>
#include <cstdint>
#include <memory>
#include <vector>

#include "Replay.h"
#include "Simulation.h"
#include "Vec2.h"
#include "VectorVertex.h"

class DisplayFieldOGL;
class QImage;
class QLCDNumber;
class QMouseEvent;
class QTimer;

// The OpenGL view of the fluid. It drives a Simulation from a timer that wakes when the
// simulation's step gate opens, shows how long one step in 21 takes, draws the field (or the dye)
// over a square drawing area of 100 x 100 view units (y growing downward) centred in the widget,
// passes the panel's settings on, and turns mouse drags and clicks into velocity, dye and
// obstacles. It repaints only when the picture changes.
//
// It draws with OpenGL 1.x (immediate mode, one texture, GLU) into the framebuffer that
// QOpenGLWidget composites, so it needs a compatibility-profile context (or a legacy 2.1 one):
// setDefaultSurfaceFormat asks for that, before the application object exists.
class GLWidget : public QOpenGLWidget {
    Q_OBJECT

public:
    // View units along each side of the drawing area, and cells along each side of the default
    // grid.
    static constexpr int kGridSize = Simulation::kDefaultGridSize;
    // Pixels along the side of the default 641-pixel view that the mouse rule divides by: a
    // square of side s maps pixel p to cell p * N / (s - 1).
    static constexpr int kViewPixels = 640;
    // Corners that one obstacle polygon can collect.
    static constexpr int kMaxObstaclePoints = Simulation::kMaxCorners;

    // Makes every OpenGL context of the application a compatibility-profile one, in which the
    // fixed-function drawing works. Call before constructing the QApplication.
    static void setDefaultSurfaceFormat();

    // computeTimeDisplay may be null: the fluid then steps without being timed. gridSize is one
    // that Simulation offers.
    GLWidget(QWidget* parent, QLCDNumber* computeTimeDisplay,
             int gridSize = Simulation::kDefaultGridSize);
    ~GLWidget() override;

    // Settings from the panel. They only store: colours show from the next step's fill (at once
    // while paused); a new display mode is painted at once.
    void clearObstacles();
    // value is in hundredths: the solver's viscosity becomes value * 0.01.
    void setViscosityValue(float value);
    void setNumberIteration(int value);
    void setViscosityEnabled(bool value);
    // 0 Vectors, 1 Velocity, 2 Vortex, 3 Dye.
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
    // Thousandths of the dye lost per step.
    void setFade(double perMille);
    // A grid of size x size cells (100, 200 or 400): the fluid and the dye start at rest, the
    // settings and the obstacles stay.
    void setGridSize(int size);
    int gridSize() const { return sim.gridSize(); }

    // Paused, the fluid does not step; stirs, obstacles and display settings still apply and
    // show at once. During a replay, pauses and resumes the replay.
    void setPaused(bool value);
    bool isPaused() const { return replay != nullptr ? replayPaused : sim.isPaused(); }
    // Sets every velocity to zero and clears the dye; the obstacles stay.
    void bringToRest();

    // The outlines of the obstacles and the corners collected so far, drawn over the field in a
    // colour that stands out on every picture. On at start.
    void setOverlayVisible(bool visible);
    bool isOverlayVisible() const { return overlayVisible; }
    // Take back the last collected corner, or all of them.
    void removeLastCorner();
    void discardCorners();

    // The scene of the moment, with or without its fields.
    Scene scene(bool withFields) const { return sim.scene(withFields); }
    // Opens a scene (see Simulation::openScene): an empty string, or what is wrong with it and
    // nothing changed. Ends a replay.
    QString openScene(const Scene& scene);

    // Every operation on the fluid from now on is recorded, until stopRecording.
    void startRecording();
    bool isRecording() const { return sim.isRecording(); }
    Recording stopRecording();

    // Plays a recording (one without a recordingProblem) at the pace it was recorded, from its
    // start scene; the mouse and the fluid's settings are ignored meanwhile. replayProgress
    // reports each step, replayFinished the verdict at the end.
    void startReplay(Recording recording);
    bool isReplaying() const { return replay != nullptr; }
    // Ends a replay where it is; the fluid stays as it is and responds again.
    void stopReplay();

    // The picture as it is painted now, rendered afresh and read back from the framebuffer.
    QImage picture();
    // The square, in widget pixels, that the drawing area fills: the widget's shorter side,
    // centred.
    QRect viewSquare() const;

    // Read-only views of the state, for inspection.
    const Simulation& simulation() const { return sim; }
    const FluidSolver& fluidSolver() const { return sim.fluidSolver(); }
    const DisplayFieldOGL& displayField() const { return *fieldDisplay; }
    const Vec2* collectedPoints() const { return sim.corners().data(); }
    int collectedPointCount() const { return static_cast<int>(sim.corners().size()); }
    int stepsSinceTimedStep() const { return sim.stepsSinceTimedStep(); }

signals:
    // A line for the status bar: what the user just did and what they can do next.
    void statusMessage(const QString& text);
    // The recording reached the most that a recording file holds: it takes no more.
    void recordingFilled();
    // A replay stepped: step of count.
    void replayProgress(long long step, long long count);
    // A replay ended: the verdict on its checkpoints, or that it was stopped.
    void replayFinished(const QString& verdict);
    // A replay changed the grid or a setting of the fluid: the panel shows settings() again.
    void fluidSettingsChanged();

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    // A press sets the reference position, so that a drag's first move measures from it, and
    // starts a new drag, with a dye colour of its own.
    void mousePressEvent(QMouseEvent* event) override;
    // A drag with any button: the block of cells under the pointer takes 50 times the pointer's
    // movement, and dye is poured along the way.
    void mouseMoveEvent(QMouseEvent* event) override;
    // Right button: collect an obstacle corner. Middle button: build the obstacle from 3 or more.
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    // One timer tick: step, time and refill if the simulation's gate is open, then set the timer
    // for the moment it opens next.
    void Advance();

private:
    void wakeAtGate();
    // One tick of a replay: its next step once the gate and any recorded wait allow.
    void advanceReplay();
    // After an operation that may have changed the grid: a display of the new size.
    void followGridSize();
    // Deletes the display's texture while the context that made it is still current.
    void releaseGL();
    // A display for the current grid, with the settings of the one before, if any.
    void makeDisplay();
    // Fills the display from the velocity field (and the dye, when shown); repaints if that
    // changed the picture.
    void refill();
    void settingChanged();
    void cornersChanged();
    void buildObstacle();
    // The cell under a widget pixel along one axis, for the view's square; outside the grid
    // below 0 or from N on.
    int pixelToCell(int pixel, int squareOrigin) const;
    // The grid position under a widget pixel's centre, in cells.
    Vec2 pixelToPosition(QPoint pixel) const;

    // Monotonic, so that a change of the wall clock cannot stall or rush the steps. Started
    // before the simulation, which reads it from its construction on.
    QElapsedTimer clock;
    Simulation sim;
    std::int32_t lastMouseX = 0;
    std::int32_t lastMouseY = 0;
    QTimer* timer;
    QLCDNumber* computeTimeDisplay;
    std::unique_ptr<DisplayFieldOGL> fieldDisplay;
    // The display's arrays as the last fill left them, to tell whether a fill changed the picture.
    std::vector<std::uint32_t> filledColors;
    std::vector<VectorVertex> filledVertices;
    std::vector<std::uint32_t> filledDye;
    bool overlayVisible = true;

    std::unique_ptr<Replay> replay;
    bool replayPaused = false;
    bool recordingFillNoticed = false;
    // A recorded wait under way ends at this clock time.
    qint64 replayWaitEnd = 0;
};

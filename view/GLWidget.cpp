#include "GLWidget.h"

#include <GL/gl.h>

#include <QImage>
#include <QLCDNumber>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "DisplayFieldOGL.h"
#include "FluidSolver.h"

namespace {

constexpr float kTimeStep = 0.001f;
constexpr float kInitialViscosity = 0.01f;
constexpr int kInitialIterations = 20;
// The panel's viscosity value is in hundredths.
constexpr double kViscosityUnit = 0.01;

// A step runs only once the clock shows more than this, so at most once every 16 ms.
constexpr qint64 kStepGateMs = 15;
// The gate opens this long after the end of the last step and fill.
constexpr qint64 kStepPeriodNs = (kStepGateMs + 1) * 1000000;
// One step in kTimedStepPeriod + 1 is timed.
constexpr int kTimedStepPeriod = 20;

// Velocity given to a cell per pixel of pointer movement.
constexpr std::int64_t kStirGain = 50;

constexpr float kViewExtent = static_cast<float>(GLWidget::kGridSize);

// cell = pixel * 100 / 640, truncated toward zero: pixels -6 to -1 still give cell 0. Taken in
// 64 bits so that no position an event can carry overflows.
int pixelToCell(int pixel) {
    return static_cast<int>(static_cast<std::int64_t>(pixel) * GLWidget::kGridSize /
                            GLWidget::kViewPixels);
}

// Inside means 0..99; the unsigned comparison also rejects negative cells.
bool isInsideGrid(int cell) {
    return static_cast<unsigned>(cell) <= static_cast<unsigned>(GLWidget::kGridSize - 1);
}

// The overlay is drawn twice, a dark halo and then a bright cyan core, so that it stands out on
// black, on every hue of the colour rule and on the white lines of the Vectors picture. Widths
// and sizes are in device pixels at a device pixel ratio of 1.
struct OverlayPass {
    GLubyte red, green, blue;
    GLfloat lineWidth;
    GLfloat pointSize;
};
constexpr OverlayPass kOverlayPasses[] = {{0, 0, 0, 4.0f, 9.0f}, {0, 255, 255, 2.0f, 5.0f}};

// Corners are cells; the lines run through the cells' centres.
void drawCorners(GLenum mode, const Vec2* corners, int count) {
    glBegin(mode);
    for (int k = 0; k < count; ++k) {
        glVertex2f(corners[k].x + 0.5f, corners[k].y + 0.5f);
    }
    glEnd();
}

// A step takes a fraction of a millisecond: shown to a hundredth, so that the read-out says
// more than 0. Five digits hold up to 99.99 this way, and whole milliseconds above.
QString stepTimeText(qint64 nanoseconds) {
    const double ms = static_cast<double>(nanoseconds) / 1e6;
    return QString::number(ms, 'f', ms < 100.0 ? 2 : 0);
}

QString cornersMessage(int count) {
    const QString edit = GLWidget::tr("Ctrl+Z to remove the last, Esc to discard");
    if (count == 0) {
        return GLWidget::tr("No corners: right-click over the fluid to place one");
    }
    if (count == 1) {
        return GLWidget::tr("1 corner: right-click at least 2 more, %1").arg(edit);
    }
    if (count == 2) {
        return GLWidget::tr("2 corners: right-click at least 1 more, %1").arg(edit);
    }
    if (count == GLWidget::kMaxObstaclePoints) {
        return GLWidget::tr("%1 corners, the most: middle-click to close, %2").arg(count).arg(edit);
    }
    return GLWidget::tr("%1 corners: middle-click to close, %2").arg(count).arg(edit);
}

// The pointer's position in whole widget pixels, rounded from the event's position under both
// toolkits.
QPoint eventPixel(const QMouseEvent* event) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->position().toPoint();
#else
    return event->pos();
#endif
}

// Whether two vertex arrays of the same size hold the same bits, and so draw the same lines.
bool sameVertices(const std::vector<VectorVertex>& a, const std::vector<VectorVertex>& b) {
    static_assert(sizeof(VectorVertex) == sizeof(Vec2) + sizeof(ColorRGB), "no padding bytes");
    return std::memcmp(a.data(), b.data(), a.size() * sizeof(VectorVertex)) == 0;
}

}  // namespace

void GLWidget::setDefaultSurfaceFormat() {
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    QSurfaceFormat::setDefaultFormat(format);
}

GLWidget::GLWidget(QWidget* parent, QLCDNumber* computeTimeDisplay_)
    : QOpenGLWidget(parent),
      solver(std::make_unique<FluidSolver>(kGridSize, kGridSize, kTimeStep, kInitialViscosity,
                                           kInitialIterations)),
      timer(new QTimer(this)),
      computeTimeDisplay(computeTimeDisplay_),
      fieldDisplay(std::make_unique<DisplayFieldOGL>(kGridSize, kGridSize)),
      filledColors(fieldDisplay->colors),
      filledVertices(fieldDisplay->vertices) {
    // The timer wakes Advance once, when the step gate opens; Advance sets it again.
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, &GLWidget::Advance);
    clock.start();
    wakeAtGate();
}

// In this order: the solver, the timer (the clock is a plain value), then the display, which
// deletes its texture name in this widget's context.
GLWidget::~GLWidget() {
    solver.reset();
    delete timer;
    timer = nullptr;
    releaseGL();
    fieldDisplay.reset();
}

void GLWidget::releaseGL() {
    if (fieldDisplay == nullptr || fieldDisplay->texture == 0 || context() == nullptr) {
        return;
    }
    makeCurrent();
    fieldDisplay->deleteTexture();
    doneCurrent();
}

void GLWidget::clearObstacles() {
    solver->clearObstacles();
    obstacleOutlines.clear();
    update();
}

void GLWidget::setPaused(bool value) {
    paused = value;
    if (paused) {
        timer->stop();
        emit statusMessage(tr("Paused: P resumes; stirring and obstacles still work"));
    } else {
        emit statusMessage(tr("Running: P pauses"));
        Advance();
    }
}

void GLWidget::bringToRest() {
    // The next diffusion starts its sweeps from the scratch field, so that is zeroed as well;
    // pressure and divergence are recomputed from zero by every projection.
    std::fill(solver->velocity.data.begin(), solver->velocity.data.end(), Vec2());
    std::fill(solver->scratchVelocity.data.begin(), solver->scratchVelocity.data.end(), Vec2());
    refill();
    emit statusMessage(tr("The fluid is at rest; obstacles stay"));
}

void GLWidget::setOverlayVisible(bool visible) {
    overlayVisible = visible;
    update();
    emit statusMessage(visible ? tr("Outlines shown: O hides them")
                               : tr("Outlines hidden: O shows them"));
}

void GLWidget::removeLastCorner() {
    if (obstaclePointCount > 0) {
        --obstaclePointCount;
        cornersChanged();
    }
}

void GLWidget::discardCorners() {
    if (obstaclePointCount > 0) {
        obstaclePointCount = 0;
        update();
        emit statusMessage(tr("Corners discarded"));
    }
}

void GLWidget::cornersChanged() {
    update();
    emit statusMessage(cornersMessage(obstaclePointCount));
}

QImage GLWidget::picture() {
    // grabFramebuffer paints this frame into the widget's framebuffer and reads it back.
    return grabFramebuffer();
}

void GLWidget::setViscosityValue(float value) {
    solver->setViscosity(static_cast<float>(value * kViscosityUnit));
}

void GLWidget::setNumberIteration(int value) {
    solver->setIterations(value);
}

void GLWidget::setViscosityEnabled(bool value) {
    solver->setViscosityEnabled(value);
}

void GLWidget::setDisplayMode(int value) {
    fieldDisplay->setDisplayMode(value);
    // The other kind of picture shows at once, drawn from what the last fill in that mode left
    // (or, while paused, from a fill of its own).
    update();
    settingChanged();
}

void GLWidget::setHueColorA(int value) {
    fieldDisplay->setHueColorA(static_cast<std::uint8_t>(value));
    settingChanged();
}

void GLWidget::setHueColorB(int value) {
    fieldDisplay->setHueColorB(static_cast<std::uint8_t>(value));
    settingChanged();
}

void GLWidget::setColorSaturation(int value) {
    fieldDisplay->setColorSaturation(static_cast<std::uint8_t>(value));
    settingChanged();
}

void GLWidget::setCoeffLin(float value) {
    fieldDisplay->setCoeffLin(value);
    settingChanged();
}

void GLWidget::setCoeffLog(float value) {
    fieldDisplay->setCoeffLog(value);
    settingChanged();
}

void GLWidget::setLimitLight(int value) {
    fieldDisplay->setLimitLight(static_cast<std::uint8_t>(value));
    settingChanged();
}

void GLWidget::setLimitOver(int value) {
    fieldDisplay->setLimitOver(static_cast<std::uint8_t>(value));
    settingChanged();
}

void GLWidget::setIsLog(bool value) {
    fieldDisplay->setIsLog(value);
    settingChanged();
}

void GLWidget::setIsOver(bool value) {
    fieldDisplay->setIsOver(value);
    settingChanged();
}

void GLWidget::setIsPositive(bool value) {
    fieldDisplay->setIsPositive(value);
    settingChanged();
}

void GLWidget::settingChanged() {
    // Running, the next step's fill shows the setting; paused, a fill of its own does.
    if (paused) {
        refill();
    }
}

void GLWidget::Advance() {
    if (paused) {
        return;
    }
    if (clock.elapsed() > kStepGateMs) {
        // stepCounter counts only when there is somewhere to show the time. Starting at 20, the
        // first step is a timed one; the time covers the solver step alone, not the fill.
        if (computeTimeDisplay != nullptr && ++stepCounter > kTimedStepPeriod) {
            clock.restart();
            solver->step();
            computeTimeDisplay->display(stepTimeText(clock.nsecsElapsed()));
            stepCounter = 0;
        } else {
            solver->step();
        }
        refill();
        // The next gate is measured from the end of this step and fill.
        clock.restart();
    }
    wakeAtGate();
}

void GLWidget::wakeAtGate() {
    // Rounded up to whole milliseconds, so that the timer never fires before the gate opens.
    const qint64 remainingNs = kStepPeriodNs - clock.nsecsElapsed();
    const qint64 remainingMs = (std::max<qint64>(remainingNs, 0) + 999999) / 1000000;
    timer->start(static_cast<int>(remainingMs));
}

void GLWidget::refill() {
    fieldDisplay->fill(solver->velocityField(), kViewExtent, kViewExtent);
    // A fluid at rest, or one whose changes are too small to move a colour byte, fills the same
    // picture again: no repaint for it.
    if (fieldDisplay->colors != filledColors ||
        !sameVertices(fieldDisplay->vertices, filledVertices)) {
        filledColors = fieldDisplay->colors;
        filledVertices = fieldDisplay->vertices;
        update();
    }
}

void GLWidget::initializeGL() {
    // Moved to another window, the widget gets a new context: the texture goes with the old one
    // and is made again in the new one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GLWidget::releaseGL,
            Qt::UniqueConnection);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    fieldDisplay->createTexture();
}

void GLWidget::resizeGL(int, int) {
    // The framebuffer has the widget's logical size times the device pixel ratio. Qt passes a
    // size here whose scaling has varied between versions, so the viewport is taken from the
    // widget itself and always covers the whole framebuffer.
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, qRound(width() * ratio), qRound(height() * ratio));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // 100 x 100 view units over the whole widget, x to the right and y downward; a widget that
    // is not square stretches the picture.
    glOrtho(0.0, kGridSize, kGridSize, 0.0, 0.0, 0.01);
    glMatrixMode(GL_MODELVIEW);
}

void GLWidget::paintGL() {
    // Draws what the last fill left; painting never steps or refills.
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    fieldDisplay->draw();
    if (overlayVisible) {
        drawOverlay();
    }
}

void GLWidget::drawOverlay() {
    const GLfloat ratio = static_cast<GLfloat>(devicePixelRatioF());
    // Restores the texturing and the current colour, which the colour picture is modulated by.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_LINE_BIT | GL_POINT_BIT);
    glDisable(GL_TEXTURE_2D);
    for (const OverlayPass& pass : kOverlayPasses) {
        glColor3ub(pass.red, pass.green, pass.blue);
        glLineWidth(pass.lineWidth * ratio);
        for (const std::vector<Vec2>& outline : obstacleOutlines) {
            drawCorners(GL_LINE_LOOP, outline.data(), static_cast<int>(outline.size()));
        }
        drawCorners(GL_LINE_STRIP, obstaclePoints, obstaclePointCount);
        glPointSize(pass.pointSize * ratio);
        drawCorners(GL_POINTS, obstaclePoints, obstaclePointCount);
    }
    glPopAttrib();
}

void GLWidget::mousePressEvent(QMouseEvent* event) {
    // Without this, the first move of a new drag would measure from wherever the previous drag
    // or click ended and give that one cell a burst of speed.
    lastMouseX = eventPixel(event).x();
    lastMouseY = eventPixel(event).y();
}

void GLWidget::mouseMoveEvent(QMouseEvent* event) {
    const int x = eventPixel(event).x();
    const int y = eventPixel(event).y();
    const int cellX = pixelToCell(x);
    const int cellY = pixelToCell(y);
    if (!isInsideGrid(cellX) || !isInsideGrid(cellY)) {
        return;
    }
    // 50 times the pixels moved since the last handled event.
    const Vec2 stir(static_cast<float>((x - static_cast<std::int64_t>(lastMouseX)) * kStirGain),
                    static_cast<float>((y - static_cast<std::int64_t>(lastMouseY)) * kStirGain));
    solver->setVelocity(cellX, cellY, stir);
    lastMouseX = x;
    lastMouseY = y;
    if (paused) {
        refill();  // the stir shows without a step
    }
    Advance();
}

void GLWidget::buildObstacle() {
    const int before = solver->obstacles.size();
    solver->addObstacle(obstaclePoints, obstaclePointCount);
    if (solver->obstacles.size() > before) {
        obstacleOutlines.emplace_back(obstaclePoints, obstaclePoints + obstaclePointCount);
        if (paused) {
            // Running, the next step imposes the obstacle; paused, a projection does it now.
            solver->project(solver->velocity);
            refill();
        }
    }
    obstaclePointCount = 0;
    update();
    emit statusMessage(tr("Obstacle added, %1 in all: Clear Obstacles removes them")
                           .arg(solver->obstacles.size()));
}

void GLWidget::mouseReleaseEvent(QMouseEvent* event) {
    const int x = eventPixel(event).x();
    const int y = eventPixel(event).y();
    if (event->button() == Qt::RightButton) {
        const int cellX = pixelToCell(x);
        const int cellY = pixelToCell(y);
        if (isInsideGrid(cellX) && isInsideGrid(cellY) && obstaclePointCount < kMaxObstaclePoints) {
            obstaclePoints[obstaclePointCount] =
                Vec2(static_cast<float>(cellX), static_cast<float>(cellY));
            ++obstaclePointCount;
            cornersChanged();
        }
    } else if (event->button() == Qt::MiddleButton) {
        if (obstaclePointCount >= 3) {
            buildObstacle();
        } else if (obstaclePointCount > 0) {
            // The points stay for further right clicks.
            emit statusMessage(cornersMessage(obstaclePointCount));
        }
    }
    lastMouseX = x;
    lastMouseY = y;
}

#include "GLWidget.h"

#include <QImage>
#include <QLCDNumber>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "DisplayFieldOGL.h"
#include "ViewPainter.h"

namespace {

// Velocity given to a cell per pixel of pointer movement.
constexpr std::int64_t kStirGain = 50;

// Inside means 0..N - 1; the unsigned comparison also rejects negative cells.
bool isInsideGrid(int cell, int size) {
    return static_cast<unsigned>(cell) < static_cast<unsigned>(size);
}

// The simulation's clock: the widget's monotonic timer, started here.
Simulation::Clock startClock(QElapsedTimer& clock) {
    clock.start();
    return [&clock] { return clock.nsecsElapsed(); };
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

GLWidget::GLWidget(QWidget* parent, QLCDNumber* computeTimeDisplay_, int gridSize)
    : QOpenGLWidget(parent),
      sim(startClock(clock), gridSize),
      timer(new QTimer(this)),
      computeTimeDisplay(computeTimeDisplay_) {
    makeDisplay();
    sim.setTiming(computeTimeDisplay != nullptr);
    // The timer wakes Advance once, when the step gate opens; Advance sets it again.
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, &GLWidget::Advance);
    wakeAtGate();
}

// In this order: the timer, then the display, which deletes its texture name in this widget's
// context; the simulation goes with the members.
GLWidget::~GLWidget() {
    delete timer;
    timer = nullptr;
    // The base class destroys the context after this body: by then nothing of this class may run.
    if (context() != nullptr) {
        disconnect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GLWidget::releaseGL);
    }
    releaseGL();
    fieldDisplay.reset();
}

void GLWidget::makeDisplay() {
    std::unique_ptr<DisplayFieldOGL> made = ViewPainter::makeDisplay(sim, fieldDisplay.get());
    releaseGL();
    fieldDisplay = std::move(made);
    filledColors = fieldDisplay->colors;
    filledVertices = fieldDisplay->vertices;
    filledDye = fieldDisplay->dyeColors;
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
    if (isReplaying()) {
        return;
    }
    sim.clearObstacles();
    update();
}

void GLWidget::followGridSize() {
    if (fieldDisplay->width == sim.gridSize()) {
        return;
    }
    makeCurrent();
    makeDisplay();
    doneCurrent();
    refill();
    update();
}

QString GLWidget::openScene(const Scene& scene) {
    const QString problem = QString::fromStdString(sim.openScene(scene));
    if (problem.isEmpty()) {
        stopReplay();
        followGridSize();
        refill();
        update();
        Advance();
    }
    return problem;
}

void GLWidget::startRecording() {
    recordingFillNoticed = false;
    sim.startRecording();
}

Recording GLWidget::stopRecording() {
    return sim.stopRecording();
}

void GLWidget::startReplay(Recording recording) {
    replay = std::make_unique<Replay>(std::move(recording));
    replay->begin(sim);
    replayPaused = false;
    replayWaitEnd = 0;
    followGridSize();
    refill();
    update();
    emit fluidSettingsChanged();
    emit replayProgress(0, replay->stepCount());
    Advance();
}

void GLWidget::stopReplay() {
    if (replay != nullptr) {
        replay.reset();
        emit replayFinished(tr("Replay stopped"));
        Advance();
    }
}

void GLWidget::advanceReplay() {
    const qint64 now = clock.nsecsElapsed();
    if (now < replayWaitEnd) {
        timer->start(static_cast<int>((replayWaitEnd - now + 999999) / 1000000));
        return;
    }
    if (sim.nanosUntilStep() > 0) {
        wakeAtGate();
        return;
    }
    const FluidSettings before = sim.settings();
    const int gridBefore = sim.gridSize();
    const bool more = replay->advance(sim);
    followGridSize();
    refill();
    update();  // the overlay may have changed without the field
    sim.endFrame();
    if (gridBefore != sim.gridSize() || before != sim.settings()) {
        emit fluidSettingsChanged();
    }
    emit replayProgress(replay->stepsDone(), replay->stepCount());
    if (!more) {
        const QString verdict = QString::fromStdString(replay->verdict());
        replay.reset();
        emit replayFinished(verdict);
        wakeAtGate();
        return;
    }
    replayWaitEnd = clock.nsecsElapsed() + replay->waitNanos();
    if (replay->waitNanos() > 0) {
        timer->start(static_cast<int>((replay->waitNanos() + 999999) / 1000000));
    } else {
        wakeAtGate();
    }
}

void GLWidget::setPaused(bool value) {
    if (isReplaying()) {
        replayPaused = value;
        if (value) {
            timer->stop();
            emit statusMessage(tr("Replay paused: P resumes"));
        } else {
            Advance();
        }
        return;
    }
    sim.setPaused(value);
    if (value) {
        timer->stop();
        emit statusMessage(tr("Paused: P resumes; stirring and obstacles still work"));
    } else {
        emit statusMessage(tr("Running: P pauses"));
        Advance();
    }
}

void GLWidget::bringToRest() {
    if (isReplaying()) {
        return;
    }
    sim.bringToRest();
    refill();
    emit statusMessage(tr("The fluid is at rest and the dye cleared; obstacles stay"));
}

void GLWidget::setGridSize(int size) {
    if (isReplaying() || size == sim.gridSize() || !sim.setGridSize(size)) {
        return;
    }
    followGridSize();
    emit statusMessage(
        tr("Grid of %1 x %1 cells: the fluid starts at rest; obstacles stay").arg(size));
}

void GLWidget::setFade(double perMille) {
    if (isReplaying()) {
        return;
    }
    sim.setFade(static_cast<float>(perMille));
}

void GLWidget::setOverlayVisible(bool visible) {
    overlayVisible = visible;
    update();
    emit statusMessage(visible ? tr("Outlines shown: O hides them")
                               : tr("Outlines hidden: O shows them"));
}

void GLWidget::removeLastCorner() {
    if (isReplaying()) {
        return;
    }
    if (collectedPointCount() > 0) {
        sim.removeLastCorner();
        cornersChanged();
    }
}

void GLWidget::discardCorners() {
    if (isReplaying()) {
        return;
    }
    if (collectedPointCount() > 0) {
        sim.discardCorners();
        update();
        emit statusMessage(tr("Corners discarded"));
    }
}

void GLWidget::cornersChanged() {
    update();
    emit statusMessage(cornersMessage(collectedPointCount()));
}

QImage GLWidget::picture() {
    // grabFramebuffer paints this frame into the widget's framebuffer and reads it back.
    return grabFramebuffer();
}

void GLWidget::setViscosityValue(float value) {
    if (isReplaying()) {
        return;
    }
    sim.setViscosityValue(value);
}

void GLWidget::setNumberIteration(int value) {
    if (isReplaying()) {
        return;
    }
    sim.setIterations(value);
}

void GLWidget::setViscosityEnabled(bool value) {
    if (isReplaying()) {
        return;
    }
    sim.setViscosityEnabled(value);
}

void GLWidget::setDisplayMode(int value) {
    fieldDisplay->setDisplayMode(value);
    // The other kind of picture shows at once, drawn from what the last fill in that mode left
    // (or, while paused, from a fill of its own). The dye is packed only while it is shown, so
    // its picture is filled now.
    update();
    if (fieldDisplay->mode == DisplayMode::Dye && !isPaused()) {
        refill();
    }
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
    if (isPaused()) {
        refill();
    }
}

void GLWidget::Advance() {
    if (isReplaying()) {
        if (!replayPaused) {
            advanceReplay();
        }
        return;
    }
    if (sim.isPaused()) {
        return;
    }
    if (sim.advance()) {
        // The time covers the step alone, not the fill.
        if (sim.lastStepTimed()) {
            computeTimeDisplay->display(stepTimeText(sim.lastStepNanos()));
        }
        refill();
        sim.endFrame();
        if (sim.recordingFull() && sim.isRecording() && !recordingFillNoticed) {
            recordingFillNoticed = true;
            emit recordingFilled();
        }
    }
    wakeAtGate();
}

void GLWidget::wakeAtGate() {
    // Rounded up to whole milliseconds, so that the timer never fires before the gate opens.
    const qint64 remainingMs = (sim.nanosUntilStep() + 999999) / 1000000;
    timer->start(static_cast<int>(remainingMs));
}

void GLWidget::refill() {
    ViewPainter::fill(*fieldDisplay, sim);
    const bool dyeShown = fieldDisplay->mode == DisplayMode::Dye;
    // A fluid at rest, or one whose changes are too small to move a colour byte, fills the same
    // picture again: no repaint for it.
    bool changed = false;
    if (fieldDisplay->colors != filledColors ||
        !sameVertices(fieldDisplay->vertices, filledVertices)) {
        filledColors = fieldDisplay->colors;
        filledVertices = fieldDisplay->vertices;
        changed = true;
    }
    if (dyeShown && fieldDisplay->dyeColors != filledDye) {
        filledDye = fieldDisplay->dyeColors;
        changed = true;
    }
    if (changed) {
        update();
    }
}

QRect GLWidget::viewSquare() const {
    const int side = std::min(width(), height());
    return QRect((width() - side) / 2, (height() - side) / 2, side, side);
}

int GLWidget::pixelToCell(int pixel, int squareOrigin) const {
    // cell = pixel * N / (side - 1), truncated toward zero, in 64 bits so that no position an
    // event can carry overflows: at the default 641 pixels, pixel * 100 / 640, and pixels -6 to
    // -1 still give cell 0.
    const std::int64_t size = std::max(viewSquare().width() - 1, 1);
    return static_cast<int>((static_cast<std::int64_t>(pixel) - squareOrigin) * sim.gridSize() /
                            size);
}

Vec2 GLWidget::pixelToPosition(QPoint pixel) const {
    // Cell c covers pixels c * size / N to (c + 1) * size / N and has its centre at position c.
    const QRect square = viewSquare();
    const double scale = static_cast<double>(sim.gridSize()) / std::max(square.width() - 1, 1);
    return Vec2(static_cast<float>((pixel.x() - square.x() + 0.5) * scale - 0.5),
                static_cast<float>((pixel.y() - square.y() + 0.5) * scale - 0.5));
}

void GLWidget::initializeGL() {
    // Moved to another window, the widget gets a new context: the texture goes with the old one
    // and is made again in the new one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GLWidget::releaseGL,
            Qt::UniqueConnection);
    ViewPainter::initialize(*fieldDisplay);
}

void GLWidget::resizeGL(int, int) {
    ViewPainter::setProjection();
}

void GLWidget::paintGL() {
    // Draws what the last fill left; painting never steps or refills. The framebuffer has the
    // widget's logical size times the device pixel ratio.
    const qreal ratio = devicePixelRatioF();
    ViewPainter::paint(*fieldDisplay, sim, qRound(width() * ratio), qRound(height() * ratio),
                       static_cast<float>(ratio), overlayVisible);
}

void GLWidget::mousePressEvent(QMouseEvent* event) {
    if (isReplaying()) {
        return;
    }
    // Without this, the first move of a new drag would measure from wherever the previous drag
    // or click ended and give that one cell a burst of speed.
    lastMouseX = eventPixel(event).x();
    lastMouseY = eventPixel(event).y();
    sim.beginDrag();
}

void GLWidget::mouseMoveEvent(QMouseEvent* event) {
    if (isReplaying()) {
        return;
    }
    const QPoint pixel = eventPixel(event);
    const QRect square = viewSquare();
    const int cellX = pixelToCell(pixel.x(), square.x());
    const int cellY = pixelToCell(pixel.y(), square.y());
    if (!isInsideGrid(cellX, sim.gridSize()) || !isInsideGrid(cellY, sim.gridSize())) {
        return;
    }
    // 50 times the pixels moved since the last handled event.
    const Vec2 stir(
        static_cast<float>((pixel.x() - static_cast<std::int64_t>(lastMouseX)) * kStirGain),
        static_cast<float>((pixel.y() - static_cast<std::int64_t>(lastMouseY)) * kStirGain));
    sim.stir(cellX, cellY, stir);
    sim.pourDye(pixelToPosition(QPoint(lastMouseX, lastMouseY)), pixelToPosition(pixel));
    lastMouseX = pixel.x();
    lastMouseY = pixel.y();
    if (sim.isPaused()) {
        refill();  // the stir shows without a step
    }
    Advance();
}

void GLWidget::buildObstacle() {
    const bool added = sim.buildObstacle();
    if (added && sim.isPaused()) {
        refill();
    }
    update();
    emit statusMessage(tr("Obstacle added, %1 in all: Clear Obstacles removes them")
                           .arg(sim.fluidSolver().obstacles.size()));
}

void GLWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (isReplaying()) {
        return;
    }
    const QPoint pixel = eventPixel(event);
    if (event->button() == Qt::RightButton) {
        const QRect square = viewSquare();
        if (sim.addCorner(pixelToCell(pixel.x(), square.x()), pixelToCell(pixel.y(), square.y()))) {
            cornersChanged();
        }
    } else if (event->button() == Qt::MiddleButton) {
        if (collectedPointCount() >= 3) {
            buildObstacle();
        } else if (collectedPointCount() > 0) {
            // The points stay for further right clicks.
            emit statusMessage(cornersMessage(collectedPointCount()));
        }
    }
    lastMouseX = pixel.x();
    lastMouseY = pixel.y();
}

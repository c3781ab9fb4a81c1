#include "GLWidget.h"

#include <QImage>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <algorithm>

#include "DisplayFieldOGL.h"
#include "SimulationController.h"
#include "ViewPainter.h"

namespace {

// Velocity given to a cell per pixel of pointer movement.
constexpr std::int64_t kStirGain = 50;

// Inside means 0..N - 1; the unsigned comparison also rejects negative cells.
bool isInsideGrid(int cell, int size) {
    return static_cast<unsigned>(cell) < static_cast<unsigned>(size);
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

}  // namespace

void GLWidget::setDefaultSurfaceFormat() {
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    QSurfaceFormat::setDefaultFormat(format);
}

GLWidget::GLWidget(QWidget* parent, SimulationController& controller_)
    : QOpenGLWidget(parent), controller(controller_), sim(controller_.simulation()) {
    makeDisplay();
    connect(&controller, &SimulationController::fluidChanged, this, &GLWidget::refill);
    connect(&controller, &SimulationController::overlayChanged, this, [this] { update(); });
}

GLWidget::~GLWidget() {
    // The base class destroys the context after this body: by then nothing of this class may run.
    if (context() != nullptr) {
        disconnect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GLWidget::releaseGL);
    }
    releaseGL();
}

void GLWidget::makeDisplay() {
    std::unique_ptr<DisplayFieldOGL> made = ViewPainter::makeDisplay(sim, display.get());
    // The new display makes its texture name at its first picture.
    releaseGL();
    display = std::move(made);
}

void GLWidget::releaseGL() {
    if (display == nullptr || display->texture == 0 || context() == nullptr) {
        return;
    }
    makeCurrent();
    display->deleteTexture();
    doneCurrent();
}

void GLWidget::setDisplaySettings(const DisplaySettings& settings) {
    const DisplayMode before = display->settings.mode;
    display->settings = settings;
    controller.pictureSettingsChanged();
    // Paused, a fill of its own shows the colouring; running, the next step's does. The dye is
    // packed only while it is shown, so its picture is filled as soon as it is chosen.
    if (controller.isPaused() || (settings.mode == DisplayMode::Dye && before != settings.mode)) {
        refill();
    }
    // Another kind of picture shows at once, drawn from what the last fill in that mode left.
    if (before != settings.mode) {
        update();
    }
}

const DisplaySettings& GLWidget::displaySettings() const {
    return display->settings;
}

void GLWidget::setOverlayVisible(bool visible) {
    overlayVisible = visible;
    update();
}

QImage GLWidget::picture() {
    // grabFramebuffer paints this frame into the widget's framebuffer and reads it back.
    return grabFramebuffer();
}

void GLWidget::refill() {
    if (display->width != sim.gridSize()) {
        makeDisplay();
        update();
    }
    // A fluid at rest, or one whose changes are too small to move a colour byte, fills the same
    // picture again: no repaint for it.
    const bool changed = ViewPainter::fill(*display, sim);
    if (changed) {
        update();
    }
    controller.frameFilled(changed);
}

QRect GLWidget::viewSquare() const {
    return ViewPainter::square(width(), height());
}

int GLWidget::cellAt(int pixel, bool across) const {
    const QRect square = viewSquare();
    return ViewPainter::cellAt(pixel, across ? square.x() : square.y(), square.width(),
                               sim.gridSize());
}

void GLWidget::initializeGL() {
    // Moved to another window, the widget gets a new context: the texture goes with the old one
    // and is made again in the new one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GLWidget::releaseGL,
            Qt::UniqueConnection);
    ViewPainter::initialize(*display);
}

void GLWidget::resizeGL(int, int) {
    ViewPainter::setProjection();
}

void GLWidget::paintGL() {
    // Draws what the last fill left; painting never steps or refills. The framebuffer has the
    // widget's logical size times the device pixel ratio.
    const qreal ratio = devicePixelRatioF();
    ViewPainter::paint(*display, sim, qRound(width() * ratio), qRound(height() * ratio),
                       static_cast<float>(ratio), overlayVisible);
}

void GLWidget::mousePressEvent(QMouseEvent* event) {
    // Without this, the first move of a new drag would measure from wherever the previous drag
    // or click ended and give that one cell a burst of speed.
    lastMouseX = eventPixel(event).x();
    lastMouseY = eventPixel(event).y();
    controller.apply(Operation::beginDrag());
}

void GLWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pixel = eventPixel(event);
    const int cellX = cellAt(pixel.x(), true);
    const int cellY = cellAt(pixel.y(), false);
    if (!isInsideGrid(cellX, sim.gridSize()) || !isInsideGrid(cellY, sim.gridSize())) {
        return;
    }
    // 50 times the pixels moved since the last handled event.
    const Vec2 velocity(
        static_cast<float>((pixel.x() - static_cast<std::int64_t>(lastMouseX)) * kStirGain),
        static_cast<float>((pixel.y() - static_cast<std::int64_t>(lastMouseY)) * kStirGain));
    // On the finer grids, between steps, the next step projects the push.
    const bool push = controller.pushesWaitForStep();
    if (!controller.apply(push ? Operation::push(cellX, cellY, velocity)
                               : Operation::stir(cellX, cellY, velocity))) {
        return;  // a replay runs
    }
    const QRect square = viewSquare();
    controller.apply(Operation::pourDye(
        ViewPainter::positionAt(QPoint(lastMouseX, lastMouseY), square, sim.gridSize()),
        ViewPainter::positionAt(pixel, square, sim.gridSize())));
    lastMouseX = pixel.x();
    lastMouseY = pixel.y();
    if (!push) {
        // A drag may make a step come sooner, never more often than the gate lets it.
        controller.tick();
    }
}

void GLWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pixel = eventPixel(event);
    if (event->button() == Qt::RightButton) {
        controller.apply(Operation::corner(cellAt(pixel.x(), true), cellAt(pixel.y(), false)));
    } else if (event->button() == Qt::MiddleButton) {
        controller.apply(Operation::buildObstacle());
    }
    lastMouseX = pixel.x();
    lastMouseY = pixel.y();
}

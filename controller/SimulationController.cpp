#include "SimulationController.h"

#include <QElapsedTimer>
#include <QTimer>
#include <utility>

namespace {

constexpr std::int64_t kNanosPerMs = 1000000;

// Nanoseconds on a monotonic timer started now.
Simulation::Clock monotonicClock() {
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    return [elapsed] { return elapsed->nsecsElapsed(); };
}

QString cornersMessage(int count) {
    const QString edit = SimulationController::tr("Ctrl+Z to remove the last, Esc to discard");
    if (count == 0) {
        return SimulationController::tr("No corners: right-click over the fluid to place one");
    }
    if (count == 1) {
        return SimulationController::tr("1 corner: right-click at least 2 more, %1").arg(edit);
    }
    if (count == 2) {
        return SimulationController::tr("2 corners: right-click at least 1 more, %1").arg(edit);
    }
    if (count == SceneLimits::kMaxCorners) {
        return SimulationController::tr("%1 corners, the most: middle-click to close, %2")
            .arg(count)
            .arg(edit);
    }
    return SimulationController::tr("%1 corners: middle-click to close, %2").arg(count).arg(edit);
}

}  // namespace

SimulationController::SimulationController(int gridSize, QObject* parent)
    : SimulationController(monotonicClock(), gridSize, parent) {}

SimulationController::SimulationController(Simulation::Clock clock_, int gridSize, QObject* parent)
    : QObject(parent), clock(std::move(clock_)), sim(clock, gridSize), timer(new QTimer(this)) {
    sim.setTiming(true);
    // The timer wakes tick once, when the step gate opens; tick sets it again.
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, &SimulationController::tick);
    wakeAtGate();
}

SimulationController::~SimulationController() = default;

bool SimulationController::apply(const Operation& op) {
    if (replay != nullptr) {
        return false;
    }
    if (op.kind == OperationKind::Pause) {
        setPaused(op.count != 0);
        return true;
    }
    if (!sim.apply(op)) {
        tellNotApplied(op);
        return false;
    }
    // A stir, a projection, rest and a new grid leave no push unprojected.
    const bool projects = op.kind == OperationKind::Stir || op.kind == OperationKind::Project ||
                          op.kind == OperationKind::Rest || op.kind == OperationKind::GridSize;
    pushed = op.kind == OperationKind::Push || (pushed && !projects);
    tellApplied(op);
    switch (op.kind) {
        case OperationKind::AddCorner:
        case OperationKind::RemoveLastCorner:
        case OperationKind::DiscardCorners:
        case OperationKind::ClearObstacles:
            emit overlayChanged();
            break;
        case OperationKind::BuildObstacle:
            if (!sim.isPaused()) {
                emit overlayChanged();
                break;
            }
            // Paused, the obstacle's projection shows now.
            emit fluidChanged();
            break;
        case OperationKind::Stir:
        case OperationKind::Push:
        case OperationKind::PourDye:
            // Running, the next step shows it; paused, it shows now.
            if (sim.isPaused()) {
                emit fluidChanged();
            }
            break;
        case OperationKind::Step:
        case OperationKind::Rest:
        case OperationKind::GridSize:
            emit fluidChanged();
            break;
        default:
            break;
    }
    if (sim.recordingFull() && sim.isRecording() && !recordingFillNoticed) {
        recordingFillNoticed = true;
        emit recordingFilled();
    }
    return true;
}

void SimulationController::tellApplied(const Operation& op) {
    switch (op.kind) {
        case OperationKind::AddCorner:
        case OperationKind::RemoveLastCorner:
            emit statusMessage(cornersMessage(static_cast<int>(sim.corners().size())));
            break;
        case OperationKind::DiscardCorners:
            emit statusMessage(tr("Corners discarded"));
            break;
        case OperationKind::BuildObstacle:
            emit statusMessage(tr("Obstacle added, %1 in all: Clear Obstacles removes them")
                                   .arg(sim.obstacleOutlines().size()));
            break;
        case OperationKind::Rest:
            emit statusMessage(tr("The fluid is at rest and the dye cleared; obstacles stay"));
            break;
        case OperationKind::GridSize:
            emit statusMessage(tr("Grid of %1 x %1 cells: the fluid starts at rest; obstacles stay")
                                   .arg(op.count));
            break;
        default:
            break;
    }
}

void SimulationController::tellNotApplied(const Operation& op) {
    if (!sim.refusalText().empty()) {
        emit statusMessage(QString::fromStdString(sim.refusalText()));
    } else if (op.kind == OperationKind::BuildObstacle && !sim.corners().empty()) {
        // Too few corners for an obstacle: they stay for further right clicks.
        emit statusMessage(cornersMessage(static_cast<int>(sim.corners().size())));
    }
    // A grid refused: the panel shows the grid there is.
    if (op.kind == OperationKind::GridSize) {
        emit fluidSettingsChanged();
    }
}

void SimulationController::setPaused(bool paused) {
    if (replay != nullptr) {
        replayPaused = paused;
        if (paused) {
            timer->stop();
            emit statusMessage(tr("Replay paused: P resumes"));
        } else {
            tick();
        }
        return;
    }
    if (paused) {
        projectPushes();
    }
    sim.apply(Operation::pause(paused));
    if (paused) {
        timer->stop();
        emit statusMessage(tr("Paused: P resumes; stirring and obstacles still work"));
    } else {
        emit statusMessage(tr("Running: P pauses"));
        tick();
    }
}

bool SimulationController::placeCylinder() {
    if (replay != nullptr) {
        return false;
    }
    sim.apply(Operation::discardCorners());
    for (const Vec2& c : cylinderPolygon(sim.gridSize())) {
        sim.apply(Operation::corner(static_cast<int>(c.x), static_cast<int>(c.y)));
    }
    return apply(Operation::buildObstacle());
}

QString SimulationController::openScene(const Scene& scene) {
    const QString problem = QString::fromStdString(sim.openScene(scene));
    if (problem.isEmpty()) {
        stopReplay();
        emit fluidChanged();
        emit fluidSettingsChanged();
        tick();
    }
    return problem;
}

void SimulationController::startRecording() {
    recordingFillNoticed = false;
    sim.startRecording();
}

Recording SimulationController::stopRecording() {
    return sim.stopRecording();
}

QString SimulationController::startReplay(Recording recording) {
    auto made = std::make_unique<Replay>(std::move(recording));
    const QString problem = QString::fromStdString(made->begin(sim));
    if (!problem.isEmpty()) {
        return problem;
    }
    replay = std::move(made);
    replayPaused = false;
    replayWaitEnd = 0;
    emit fluidChanged();
    emit fluidSettingsChanged();
    emit replayProgress(0, replay->stepCount());
    tick();
    return QString();
}

void SimulationController::stopReplay() {
    if (replay != nullptr) {
        replay.reset();
        emit replayFinished(tr("Replay stopped"));
        tick();
    }
}

void SimulationController::frameFilled(bool pictureChanged) {
    quietFrames = pictureChanged ? 0 : quietFrames + 1;
    if (quietFrames >= kQuietFrames && replay == nullptr &&
        sim.gridSize() > SceneLimits::kDefaultGridSize && sim.dye().empty()) {
        sim.holdStill();
    }
}

void SimulationController::pictureSettingsChanged() {
    quietFrames = 0;
    if (replay == nullptr && !sim.isPaused()) {
        sim.wake();
        wakeAtGate();
    }
}

void SimulationController::projectPushes() {
    if (pushed) {
        apply(Operation::project());
    }
}

bool SimulationController::pushesWaitForStep() const {
    return sim.gridSize() > SceneLimits::kDefaultGridSize && replay == nullptr && !sim.isPaused() &&
           !sim.isSettled() && sim.nanosUntilStep() > 0;
}

void SimulationController::tick() {
    if (replay != nullptr) {
        if (!replayPaused) {
            advanceReplay();
        }
        return;
    }
    if (sim.isPaused()) {
        return;
    }
    if (!sim.isSettled() && sim.nanosUntilStep() == 0) {
        projectPushes();
    }
    if (sim.advance()) {
        // The time covers the step alone, not the fill.
        if (sim.lastStepTimed()) {
            emit stepTimed(sim.lastStepNanos());
        }
        emit fluidChanged();
        sim.endFrame();
        if (sim.recordingFull() && sim.isRecording() && !recordingFillNoticed) {
            recordingFillNoticed = true;
            emit recordingFilled();
        }
    }
    wakeAtGate();
}

void SimulationController::advanceReplay() {
    const std::int64_t now = clock();
    if (now < replayWaitEnd) {
        wakeIn(replayWaitEnd - now);
        return;
    }
    if (sim.nanosUntilStep() > 0) {
        wakeAtGate();
        return;
    }
    const FluidSettings before = sim.settings();
    const int gridBefore = sim.gridSize();
    const bool more = replay->advance(sim);
    emit fluidChanged();
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
    replayWaitEnd = clock() + replay->waitNanos();
    if (replay->waitNanos() > 0) {
        wakeIn(replay->waitNanos());
    } else {
        wakeAtGate();
    }
}

void SimulationController::wakeAtGate() {
    wakeIn(sim.nanosUntilStep());
}

void SimulationController::wakeIn(std::int64_t nanoseconds) {
    // Rounded up to whole milliseconds, so that the timer never fires before the gate opens.
    timer->start(static_cast<int>((nanoseconds + kNanosPerMs - 1) / kNanosPerMs));
}

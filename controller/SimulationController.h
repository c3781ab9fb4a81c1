#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

#include "Replay.h"
#include "Simulation.h"

class QTimer;

// Between the window and the simulation: owns the Simulation, the clock it is paced by, the timer
// that wakes when its step gate opens, and the recording and the replay. Every change the window
// makes to the fluid comes here as an Operation; during a replay none is taken, and the replay's
// own operations reach the simulation instead, at their recorded pace. Nothing here draws: the
// view reads simulation() and refills when told.
class SimulationController : public QObject {
    Q_OBJECT

public:
    // On a monotonic clock of its own (so that a change of the wall clock cannot stall or rush
    // the steps), stepping as the gate opens.
    explicit SimulationController(int gridSize = SceneLimits::kDefaultGridSize,
                                  QObject* parent = nullptr);
    // On the caller's clock, for tests: the timer is set as usual, and the caller ticks.
    SimulationController(Simulation::Clock clock, int gridSize, QObject* parent = nullptr);
    ~SimulationController() override;

    const Simulation& simulation() const { return sim; }

    // Applies an operation of the window's (the mouse, the menus, the panel) and says what it
    // did on the status bar. Returns whether it was applied: not during a replay, nor when the
    // simulation finds nothing to do.
    bool apply(const Operation& op);
    // Paused, the fluid does not step; every operation still applies and shows at once. During a
    // replay, pauses and resumes the replay.
    void setPaused(bool paused);
    bool isPaused() const { return replay != nullptr ? replayPaused : sim.isPaused(); }
    // The view filled its picture after a step, or for a setting: whether that changed it. On
    // the grids finer than the default, a fluid whose dye has faded and whose picture has not
    // changed for kQuietFrames frames is held still, as nothing more it does can show, until an
    // operation changes it or the picture's settings change.
    void frameFilled(bool pictureChanged);
    // The picture's settings changed: a fluid held still steps again, so that what it now shows
    // moves on.
    void pictureSettingsChanged();
    static constexpr int kQuietFrames = 60;

    // Whether a drag's moves may push the fluid (Operation::push) and leave their projection to
    // come once, before the next step: on the grids finer than the default, while the fluid runs
    // and the gate is closed. A stir's projection of a large field costs nearly a step; the
    // pushes of a frame cost one. The default grid projects every stir, as it comes.
    bool pushesWaitForStep() const;
    // The pushes so far, projected now, if any are: before a step, a pause or a scene taken.
    void projectPushes();

    // Places the cylinder of the wind tunnel (cylinderPolygon) as an obstacle, through the
    // operations of its corners; corners placed before are discarded first.
    bool placeCylinder();

    // Opens a scene (see Simulation::openScene): an empty string, or what is wrong with it and
    // nothing changed. Ends a replay.
    QString openScene(const Scene& scene);

    // Every operation on the fluid from now on is recorded, until stopRecording.
    void startRecording();
    bool isRecording() const { return sim.isRecording(); }
    Recording stopRecording();

    // Plays a recording (one without a recordingProblem) at the pace it was recorded, from its
    // start scene. Returns an empty string, or why the start scene cannot be opened; then
    // nothing changed.
    QString startReplay(Recording recording);
    bool isReplaying() const { return replay != nullptr; }
    // Ends a replay where it is; the fluid stays as it is and takes operations again.
    void stopReplay();

public slots:
    // One turn of the loop: step if the gate is open (or the replay's next step, once the gate
    // and any recorded wait allow), then set the timer for the moment the gate opens next.
    void tick();

signals:
    // The fluid changed: the view refills its picture, and repaints if that changed it. A view
    // that handles this at once makes the default grid's gate count from the end of its fill.
    void fluidChanged();
    // Only the obstacles' outlines or the corners changed: the view repaints.
    void overlayChanged();
    // A timed step (one in 21) took this long.
    void stepTimed(qint64 nanoseconds);
    // A line for the status bar: what the user just did and what they can do next.
    void statusMessage(const QString& text);
    // The recording reached the most that a recording file holds: it takes no more.
    void recordingFilled();
    // A replay stepped: step of count.
    void replayProgress(long long step, long long count);
    // A replay ended: the verdict on its checkpoints, or that it was stopped.
    void replayFinished(const QString& verdict);
    // A replay or a scene changed the grid or a setting of the fluid: the panel shows them.
    void fluidSettingsChanged();

private:
    void wakeAtGate();
    void wakeIn(std::int64_t nanoseconds);
    void advanceReplay();
    // The status line for an operation that was applied, or that did nothing.
    void tellApplied(const Operation& op);
    void tellNotApplied(const Operation& op);

    Simulation::Clock clock;
    Simulation sim;
    QTimer* timer;
    std::unique_ptr<Replay> replay;
    bool replayPaused = false;
    // A recorded wait under way ends at this clock time.
    std::int64_t replayWaitEnd = 0;
    bool recordingFillNoticed = false;
    // Frames in a row whose picture did not change.
    int quietFrames = 0;
    // Pushes applied since the field was last projected.
    bool pushed = false;
};

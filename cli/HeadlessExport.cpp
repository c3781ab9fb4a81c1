#include "HeadlessExport.h"

#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <cstdio>
#include <memory>

#include "AtomicFile.h"
#include "CommandLine.h"
#include "FrameRenderer.h"
#include "RecordingFile.h"
#include "Replay.h"
#include "SceneFile.h"
#include "Simulation.h"
#include "VelocityExport.h"

namespace {

int fail(const QString& message, int code = kBadInputExitCode) {
    std::fprintf(stderr, "fluidsim: %s\n", qPrintable(message));
    return code;
}

// "frame 12 of 300, 4 %, about 1 min 5 s left" (or "step ..." when only the field is written),
// on one line that rewrites itself on a terminal, and as a line a second elsewhere.
class Progress {
public:
    Progress(const char* unit_, long long total_)
        : unit(unit_), total(total_), terminal(isatty(2) != 0) {
        clock.start();
    }

    void show(long long done) {
        const qint64 elapsed = clock.elapsed();
        if (done < total && elapsed - lastShown < (terminal ? 100 : 1000)) {
            return;
        }
        lastShown = elapsed;
        const long long percent = total > 0 ? done * 100 / total : 100;
        // time left = elapsed * (total - done) / done
        const long long leftSeconds = done > 0 ? elapsed * (total - done) / done / 1000 : 0;
        std::fprintf(stderr, "%s%s %lld of %lld, %lld %%, about %s left%s", terminal ? "\r" : "",
                     unit, done, total, percent, qPrintable(duration(leftSeconds)),
                     terminal ? "\033[K" : "\n");
        if (terminal && done == total) {
            std::fprintf(stderr, "\n");
        }
        std::fflush(stderr);
    }

private:
    static QString duration(long long seconds) {
        return seconds >= 60 ? QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60)
                             : QStringLiteral("%1 s").arg(seconds);
    }

    const char* unit;
    long long total;
    bool terminal;
    QElapsedTimer clock;
    qint64 lastShown = -1000000;
};

bool writeFrame(const QImage& frame, const QString& path, QString& error) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!frame.save(&buffer, "PNG")) {
        error = QStringLiteral("Could not encode the frame %1 as PNG.").arg(path);
        return false;
    }
    return AtomicFile::write(path, png, error);
}

// The velocity field of the simulation to path, as its suffix says.
int exportField(const Simulation& sim, const QString& path) {
    QString error;
    const VectorField& v = sim.fluidSolver().velocity;
    if (!VelocityExport::write(path, v.data, v.width, v.height, error)) {
        return fail(error);
    }
    std::fprintf(stderr, "velocity field written to %s\n", qPrintable(path));
    return 0;
}

std::int64_t noClock() {
    return 0;
}

int exportScene(const CommandLineOptions& options) {
    SceneDocument document;
    QString error;
    if (!SceneFile::read(options.sceneFile, document, error)) {
        return fail(options.sceneFile + ": " + error);
    }
    Simulation sim(noClock, document.scene.gridSize);
    const std::string problem = sim.openScene(document.scene);
    if (!problem.empty()) {
        return fail(QString::fromStdString(problem));
    }
    return exportField(sim, options.fieldFile);
}

}  // namespace

int HeadlessExport::run(const CommandLineOptions& options) {
    if (options.replayFile.isEmpty()) {
        return exportScene(options);
    }
    RecordingDocument document;
    QString error;
    if (!RecordingFile::read(options.replayFile, document, error)) {
        return fail(options.replayFile + ": " + error);
    }
    const bool frames = !options.framesFolder.isEmpty();
    QDir folder(options.framesFolder);
    if (frames && !QDir().mkpath(options.framesFolder)) {
        return fail(QStringLiteral("Could not make the folder %1.").arg(options.framesFolder));
    }
    std::unique_ptr<FrameRenderer> renderer;
    DisplaySettings display = document.display;
    if (options.mode >= 0) {
        display.mode = static_cast<DisplayMode>(options.mode);
    }
    if (frames) {
        renderer = std::make_unique<FrameRenderer>();
        if (!renderer->isValid()) {
            return fail(renderer->errorString(), 1);
        }
    }

    // Steps run as fast as they go; the recorded waits only pace a replay in the window.
    Simulation sim(noClock, document.recording.start.gridSize);
    Replay replay(std::move(document.recording));
    const std::string problem = replay.begin(sim);
    if (!problem.empty()) {
        return fail(options.replayFile + ": " + QString::fromStdString(problem));
    }
    const long long frameCount = frames ? replay.stepCount() / options.every : 0;
    // Frames are counted as they are written; a field alone has the replay's steps to count.
    Progress progress(frames ? "frame" : "step", frames ? frameCount : replay.stepCount());
    long long written = 0;
    bool more = !replay.finished();
    while (more) {
        more = replay.advance(sim);
        if (!frames) {
            progress.show(replay.stepsDone());
            continue;
        }
        if (replay.stepsDone() != (written + 1) * options.every) {
            continue;
        }
        const QImage frame = renderer->render(sim, display, true);
        const QString path =
            folder.filePath(QStringLiteral("frame-%1.png").arg(written + 1, 6, 10, QChar('0')));
        if (frame.isNull()) {
            return fail(renderer->errorString(), 1);
        }
        if (!writeFrame(frame, path, error)) {
            return fail(error);
        }
        progress.show(++written);
    }
    if (frames && frameCount == 0) {
        std::fprintf(stderr, "no frames: the recording has %lld steps, fewer than --every %d\n",
                     replay.stepCount(), options.every);
    }
    std::fprintf(stderr, "%s\n", replay.verdict().c_str());
    if (!options.fieldFile.isEmpty()) {
        const int code = exportField(sim, options.fieldFile);
        if (code != 0) {
            return code;
        }
    }
    return replay.firstDifference() < 0 ? 0 : 1;
}

// The exports without a window, run as a user runs them: the program with no display, on a
// recording made here. Frames come out the same bytes every run, the field loads in NumPy, and
// bad input ends with exit code 2 and the reason.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "RecordingFile.h"
#include "Simulation.h"

namespace {

struct Outcome {
    int exitCode;
    QString output;  // stderr and stdout together
};

Outcome runProgram(const QStringList& arguments, const QString& simd = QString()) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!simd.isEmpty()) {
        environment.insert("FLUID_SIMD", simd);
    }
    // The frames open an OpenGL context, and Mesa's driver leaks a little at exit, out of reach
    // of suppressions: the sanitizer build's leak check is off for the program, as for GL tests.
    const QString asan = environment.value("ASAN_OPTIONS");
    environment.insert("ASAN_OPTIONS", asan + (asan.isEmpty() ? "" : ":") + "detect_leaks=0");
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(FLUIDSIM_PATH), arguments);
    program.waitForFinished(120000);
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromLocal8Bit(program.readAll())};
}

// Every file of a folder, by name, with a digest of its bytes.
QStringList folderDigest(const QString& path) {
    QStringList listing;
    const QDir folder(path);
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        file.open(QIODevice::ReadOnly);
        listing << name + " " +
                       QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
    }
    return listing;
}

class HeadlessExportTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(dir->isValid());
        // 130 steps of stirring with dye round an obstacle: two checkpoints.
        std::int64_t now = 0;
        Simulation sim([&now] { return now; });
        sim.startRecording();
        for (const Vec2& c : {Vec2(40, 40), Vec2(60, 40), Vec2(50, 60)}) {
            sim.apply(Operation::corner(static_cast<int>(c.x), static_cast<int>(c.y)));
        }
        sim.apply(Operation::buildObstacle());
        sim.apply(Operation::beginDrag());
        for (int k = 0; k < 130; ++k) {
            if (k < 30) {
                sim.apply(Operation::stir(20 + k, 30, Vec2(300.0f, 50.0f)));
                sim.apply(Operation::pourDye(Vec2(19.0f + k, 30.0f), Vec2(20.0f + k, 30.0f)));
            }
            now += 16000000;
            sim.apply(Operation::step());
        }
        QString error;
        ASSERT_TRUE(RecordingFile::write(path("session.fluidrec"),
                                         RecordingDocument{sim.stopRecording(), DisplaySettings()},
                                         error))
            << error.toStdString();
    }
    static QString path(const QString& name) { return QDir(dir->path()).filePath(name); }
    static inline std::unique_ptr<QTemporaryDir> dir = std::make_unique<QTemporaryDir>();
};

}  // namespace

// The second run takes the portable kernels: the recording was made on the fastest.
TEST_F(HeadlessExportTest, FramesAreTheSameBytesEveryRunOnEveryKernelPath) {
    QStringList first;
    for (const QString& run : {QStringLiteral("a"), QStringLiteral("b")}) {
        const Outcome done = runProgram({"--replay", path("session.fluidrec"), "--export-frames",
                                         path(run), "--every", "20", "--mode", "Dye"},
                                        run == "b" ? QStringLiteral("portable") : QString());
        ASSERT_EQ(done.exitCode, 0) << done.output.toStdString();
        EXPECT_TRUE(done.output.contains("frame 6 of 6, 100 %")) << done.output.toStdString();
        EXPECT_TRUE(done.output.contains("replay verified: 2 of 2 checkpoints"));
        const QStringList frames = folderDigest(path(run));
        ASSERT_EQ(frames.size(), 6);
        EXPECT_TRUE(frames.first().startsWith("frame-000001.png"));
        if (first.isEmpty()) {
            first = frames;
        } else {
            EXPECT_EQ(frames, first);
        }
    }
}

TEST_F(HeadlessExportTest, TheFieldAtTheEndLoadsInNumPyWithItsShape) {
    const Outcome done =
        runProgram({"--replay", path("session.fluidrec"), "--export-field", path("end.npy")});
    ASSERT_EQ(done.exitCode, 0) << done.output.toStdString();
    // The replay's progress, as frames have theirs, up to its last step.
    EXPECT_TRUE(QRegularExpression("step (\\d+) of \\1, 100 %").match(done.output).hasMatch())
        << done.output.toStdString();
    // The first Python on the path may lack NumPy where the system's has it.
    for (const char* interpreter : {"python3", "/usr/bin/python3"}) {
        QProcess python;
        python.start(interpreter, {"-c",
                                   "import numpy, sys; a = numpy.load(sys.argv[1]); "
                                   "print(a.shape, a.dtype, bool(abs(a).max() > 0))",
                                   path("end.npy")});
        if (python.waitForFinished(60000) && python.exitCode() == 0) {
            EXPECT_EQ(QString::fromLocal8Bit(python.readAllStandardOutput()).trimmed(),
                      "(100, 100, 2) float32 True");
            return;
        }
    }
    GTEST_SKIP() << "python3 with numpy is not available";
}

TEST_F(HeadlessExportTest, BadInputEndsWithExitCodeTwoAndTheReason) {
    QFile broken(path("broken.fluidrec"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("{\"format\": \"fluidsim-recording\", \"version\": 1, \"start\":");
    broken.close();
    QFile(path("blocker")).open(QIODevice::WriteOnly);
    const struct {
        QStringList arguments;
        const char* reason;
    } cases[] = {
        {{"--replay", path("broken.fluidrec"), "--export-frames", path("c")}, "broken.fluidrec"},
        {{"--replay", path("missing"), "--export-field", path("x.npy")}, "no such file"},
        {{"--replay", path("session.fluidrec"), "--export-field", path("x.txt")}, ".txt"},
        {{"--replay", path("session.fluidrec"), "--export-frames", path("blocker")}, "blocker"},
        {{"--replay", path("session.fluidrec"), "--export-frames", path("d"), "--every", "0"},
         "--every"},
        {{"--export-frames", path("e")}, "--replay"},
    };
    for (const auto& c : cases) {
        const Outcome done = runProgram(c.arguments);
        EXPECT_EQ(done.exitCode, 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(done.output.contains(c.reason)) << done.output.toStdString();
    }
}

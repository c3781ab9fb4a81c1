#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "Scene.h"
#include "SimdPath.h"

namespace {

bool hasArgument(int argc, char** argv, std::initializer_list<const char*> options) {
    for (int k = 1; k < argc; ++k) {
        for (const char* option : options) {
            const std::size_t n = std::strlen(option);
            // --option, or --option=value
            if (std::strncmp(argv[k], option, n) == 0 &&
                (argv[k][n] == '\0' || argv[k][n] == '=')) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool asksForInformationOnly(int argc, char** argv) {
    return hasArgument(argc, argv, {"-h", "--help", "-?", "--help-all", "-v", "--version"});
}

bool asksForExportOnly(int argc, char** argv) {
    return hasArgument(argc, argv, {"--export-frames", "--export-field"});
}

bool asksForValidation(int argc, char** argv) {
    return hasArgument(argc, argv, {"--validate"});
}

namespace {

// "100, 200 or 400"
QString offeredGridSizes() {
    QStringList sizes;
    for (int size : SceneLimits::kGridSizes) {
        sizes << QString::number(size);
    }
    const QString last = sizes.takeLast();
    return QCoreApplication::translate("main", "%1 or %2")
        .arg(sizes.join(QStringLiteral(", ")), last);
}

[[noreturn]] void refuse(const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::fprintf(
        stderr, "%s\n",
        qPrintable(QCoreApplication::translate("main", "Try 'fluidsim --help' for the options.")));
    std::exit(kBadInputExitCode);
}

// The display mode named, as the display combo box numbers them; -1 for no mode.
int displayModeNamed(const QString& name) {
    const QStringList modes = {QStringLiteral("vectors"), QStringLiteral("velocity"),
                               QStringLiteral("vortex"), QStringLiteral("dye")};
    return static_cast<int>(modes.indexOf(name.toLower()));
}

}  // namespace

CommandLineOptions processCommandLine(QCoreApplication& app) {
    QCoreApplication::setApplicationName(QStringLiteral("fluidsim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FLUID_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main",
        "An interactive two-dimensional fluid simulation: drag over the fluid to stir it,\n"
        "right-click corners and middle-click to build an obstacle."));
    parser.addHelpOption();
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("main", "Displays version information."));
    parser.addOption(version);
    const QCommandLineOption grid(
        QStringLiteral("grid"),
        QCoreApplication::translate("main", "Cells along each side of the fluid: %1 (default 100).")
            .arg(offeredGridSizes()),
        QStringLiteral("N"));
    parser.addOption(grid);
    const QCommandLineOption record(
        QStringLiteral("record"),
        QCoreApplication::translate("main",
                                    "Records everything done to the fluid until the "
                                    "window closes, then saves it to FILE."),
        QStringLiteral("FILE"));
    const QCommandLineOption replay(
        QStringLiteral("replay"),
        QCoreApplication::translate("main", "Plays the recording FILE back and checks it."),
        QStringLiteral("FILE"));
    const QCommandLineOption frames(
        QStringLiteral("export-frames"),
        QCoreApplication::translate("main",
                                    "With --replay: writes the frames of the replay to "
                                    "DIR as frame-000001.png, ..., with no window."),
        QStringLiteral("DIR"));
    const QCommandLineOption every(
        QStringLiteral("every"),
        QCoreApplication::translate("main",
                                    "With --export-frames: a frame every K steps "
                                    "(default 1)."),
        QStringLiteral("K"));
    const QCommandLineOption mode(
        QStringLiteral("mode"),
        QCoreApplication::translate("main",
                                    "With --export-frames: Vectors, Velocity, Vortex or "
                                    "Dye (default: the recording's)."),
        QStringLiteral("NAME"));
    const QCommandLineOption field(
        QStringLiteral("export-field"),
        QCoreApplication::translate("main",
                                    "Writes the velocity field at the end of the replay, "
                                    "or of the scene FILE, as .npy or .csv, with no "
                                    "window."),
        QStringLiteral("FILE"));
    const QCommandLineOption validate(
        QStringLiteral("validate"),
        QCoreApplication::translate("main", "Runs the solver against published results (the "
                                            "driven cavity of Ghia, Ghia & Shin, the vortex "
                                            "street of Roshko) with no window, prints the tables "
                                            "and draws the plots; minutes of computing."));
    const QCommandLineOption plot(
        QStringLiteral("plot"),
        QCoreApplication::translate("main", "With --validate: the PNG to draw the plots in "
                                            "(default validation.png)."),
        QStringLiteral("FILE"));
    for (const QCommandLineOption* option :
         {&record, &replay, &frames, &every, &mode, &field, &validate, &plot}) {
        parser.addOption(*option);
    }
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QCoreApplication::translate("main", "A scene to open at start."),
                                 QStringLiteral("[FILE]"));
    if (!parser.parse(app.arguments())) {
        refuse(parser.errorText());
    }
    if (parser.optionNames().contains(QStringLiteral("help")) ||
        parser.optionNames().contains(QStringLiteral("h")) ||
        parser.optionNames().contains(QStringLiteral("?")) ||
        parser.optionNames().contains(QStringLiteral("help-all"))) {
        parser.showHelp(EXIT_SUCCESS);
    }

    if (parser.isSet(version)) {
        // The first line as every program has it; the second for bug reports.
        std::printf("fluidsim %s\nQt %s, %s kernels\n", FLUID_VERSION, qVersion(),
                    kernelName(defaultSimdPath()));
        std::exit(EXIT_SUCCESS);
    }

    CommandLineOptions options;
    if (parser.isSet(grid)) {
        bool number = false;
        options.gridSize = parser.value(grid).toInt(&number);
        if (!number || !SceneLimits::isOfferedGridSize(options.gridSize)) {
            refuse(QCoreApplication::translate("main", "Grid size '%1' is not offered: use %2.")
                       .arg(parser.value(grid), offeredGridSizes()));
        }
    }
    const QStringList extra = parser.positionalArguments();
    if (extra.size() > 1) {
        refuse(QCoreApplication::translate("main", "Unexpected argument '%1'.").arg(extra.at(1)));
    }
    options.sceneFile = extra.value(0);
    options.recordFile = parser.value(record);
    options.replayFile = parser.value(replay);
    options.framesFolder = parser.value(frames);
    options.fieldFile = parser.value(field);
    options.validate = parser.isSet(validate);
    if (parser.isSet(plot)) {
        options.plotFile = parser.value(plot);
    }
    if (parser.isSet(every)) {
        bool number = false;
        options.every = parser.value(every).toInt(&number);
        if (!number || options.every < 1) {
            refuse(QCoreApplication::translate("main",
                                               "--every takes a whole number of steps "
                                               "from 1, not '%1'.")
                       .arg(parser.value(every)));
        }
    }
    if (parser.isSet(mode)) {
        options.mode = displayModeNamed(parser.value(mode));
        if (options.mode < 0) {
            refuse(QCoreApplication::translate("main",
                                               "Display mode '%1' is not offered: use "
                                               "Vectors, Velocity, Vortex or Dye.")
                       .arg(parser.value(mode)));
        }
    }
    // Files to read are there before any window opens.
    for (const QString& file : {options.sceneFile, options.replayFile}) {
        if (!file.isEmpty() && !(QFileInfo(file).isFile() && QFileInfo(file).isReadable())) {
            refuse(QCoreApplication::translate("main", "Cannot open '%1': %2.")
                       .arg(file, QFileInfo::exists(file)
                                      ? QCoreApplication::translate("main", "not a readable file")
                                      : QCoreApplication::translate("main", "no such file")));
        }
    }
    const auto conflict = [](const char* text) {
        refuse(QCoreApplication::translate("main", text));
    };
    if (!options.sceneFile.isEmpty() && !options.replayFile.isEmpty()) {
        conflict("Open a scene or replay a recording, not both.");
    }
    if (parser.isSet(grid) && (!options.sceneFile.isEmpty() || !options.replayFile.isEmpty())) {
        conflict("--grid cannot be used with a file: the file sets the grid.");
    }
    if (!options.framesFolder.isEmpty() && options.replayFile.isEmpty()) {
        conflict("--export-frames needs a recording to play: add --replay FILE.");
    }
    if ((parser.isSet(every) || parser.isSet(mode)) && options.framesFolder.isEmpty()) {
        conflict("--every and --mode go with --export-frames.");
    }
    if (!options.fieldFile.isEmpty() && options.replayFile.isEmpty() &&
        options.sceneFile.isEmpty()) {
        conflict("--export-field needs a recording (--replay FILE) or a scene.");
    }
    if (parser.isSet(plot) && !options.validate) {
        conflict("--plot goes with --validate.");
    }
    if (options.validate &&
        (options.headless() || !options.recordFile.isEmpty() || !options.replayFile.isEmpty() ||
         !options.sceneFile.isEmpty() || parser.isSet(grid))) {
        conflict("--validate runs on its own: it takes no file, grid, recording or export.");
    }
    if (options.headless() && !options.recordFile.isEmpty()) {
        conflict("--record needs the window: it cannot go with an export.");
    }
    if (!options.recordFile.isEmpty() && !options.replayFile.isEmpty()) {
        conflict("--record and --replay cannot go together.");
    }
    return options;
}

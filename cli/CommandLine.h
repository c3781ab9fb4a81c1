#pragma once

#include <QString>

class QCoreApplication;

// What the command line chose.
struct CommandLineOptions {
    int gridSize = 100;    // --grid N: cells along each side of the fluid
    QString sceneFile;     // FILE: a scene to open at start
    QString recordFile;    // --record FILE: record until the window closes
    QString replayFile;    // --replay FILE: a recording to play back
    QString framesFolder;  // --export-frames DIR
    int every = 1;         // --every K: a frame every K steps
    int mode = -1;         // --mode NAME: the display mode of the frames; -1 the recording's
    QString fieldFile;     // --export-field FILE.npy|FILE.csv
    bool validate = false;  // --validate: the solver against published results
    QString plotFile = QStringLiteral("validation.png");  // --plot FILE: where its plots go
    // Exporting needs no window: frames and fields are written and the program ends.
    bool headless() const { return !framesFolder.isEmpty() || !fieldFile.isEmpty(); }
};

// Exit code for bad input: an option or argument that cannot be taken, a file that cannot be
// read, or a write that failed.
constexpr int kBadInputExitCode = 2;

// Whether the arguments ask for --help or --version, which need no display.
bool asksForInformationOnly(int argc, char** argv);
// Whether the arguments ask to export frames or a field, which need no display either.
bool asksForExportOnly(int argc, char** argv);
// Whether the arguments ask for the validation, which draws its plots without a display.
bool asksForValidation(int argc, char** argv);

// Names the application, then handles --help and --version (printing and exiting with 0; the
// version's second line names the toolkit and the solver's kernels) and any unknown option,
// stray argument, grid size not offered or combination that does not go together (a message on
// stderr and exit code 2). The toolkit's own options have been taken out of the arguments by
// then.
CommandLineOptions processCommandLine(QCoreApplication& app);

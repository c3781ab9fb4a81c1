#pragma once

class QCoreApplication;

// What the command line chose.
struct CommandLineOptions {
    int gridSize = 100;  // --grid N: cells along each side of the fluid
};

// Whether the arguments ask for --help or --version, which need no display.
bool asksForInformationOnly(int argc, char** argv);

// Names the application, then handles --help and --version (printing and exiting with 0; the
// version's second line names the toolkit and the solver's kernels) and
// any unknown option, stray argument or grid size not offered (a message on stderr and exit code
// 1). The toolkit's own options have been taken out of the arguments by then.
CommandLineOptions processCommandLine(QCoreApplication& app);

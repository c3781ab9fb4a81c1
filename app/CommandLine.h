#pragma once

class QCoreApplication;

// Whether the arguments ask for --help or --version, which need no display.
bool asksForInformationOnly(int argc, char** argv);

// Names the application, then handles --help and --version (printing and exiting with 0; the
// version's second line names the toolkit and the solver's kernels) and
// any unknown option or stray argument (a message on stderr and exit code 1). The toolkit's own
// options have been taken out of the arguments by then.
void processCommandLine(QCoreApplication& app);

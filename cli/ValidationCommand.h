#pragma once

struct CommandLineOptions;

// fluidsim --validate: the validation of the solver (the driven cavity against Ghia, Ghia & Shin
// at each grid size, the cylinder's Strouhal number against Roshko), with no window. Prints a
// line on stderr as each case begins, the tables on stdout, and draws the plots in a PNG.
class ValidationCommand {
public:
    // 0 done, kBadInputExitCode when the plot cannot be written.
    static int run(const CommandLineOptions& options);
};

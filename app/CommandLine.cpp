#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SimdPath.h"

bool asksForInformationOnly(int argc, char** argv) {
    for (int k = 1; k < argc; ++k) {
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[k], option) == 0) {
                return true;
            }
        }
    }
    return false;
}

void processCommandLine(QCoreApplication& app) {
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
    parser.process(app);  // exits after --help, and on an unknown option

    if (parser.isSet(version)) {
        // The first line as every program has it; the second for bug reports.
        std::printf("fluidsim %s\nQt %s, %s kernels\n", FLUID_VERSION, qVersion(),
                    kernelName(defaultSimdPath()));
        std::exit(EXIT_SUCCESS);
    }

    const QStringList extra = parser.positionalArguments();
    if (!extra.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate("main", "Unexpected argument '%1'.")
                                    .arg(extra.first())));
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate(
                         "main", "Try 'fluidsim --help' for the options.")));
        std::exit(EXIT_FAILURE);
    }
}

#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SimdPath.h"
#include "Simulation.h"

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

namespace {

// "100, 200 or 400"
QString offeredGridSizes() {
    QStringList sizes;
    for (int size : Simulation::kGridSizes) {
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
    std::exit(EXIT_FAILURE);
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
    parser.process(app);  // exits after --help, and on an unknown option

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
        if (!number || !Simulation::isOfferedGridSize(options.gridSize)) {
            refuse(QCoreApplication::translate("main", "Grid size '%1' is not offered: use %2.")
                       .arg(parser.value(grid), offeredGridSizes()));
        }
    }
    const QStringList extra = parser.positionalArguments();
    if (!extra.isEmpty()) {
        refuse(QCoreApplication::translate("main", "Unexpected argument '%1'.").arg(extra.first()));
    }
    return options;
}

#include "ValidationCommand.h"

#include <QBuffer>
#include <QImage>
#include <cstdio>

#include "AtomicFile.h"
#include "CommandLine.h"
#include "Validation.h"
#include "ValidationPlot.h"

int ValidationCommand::run(const CommandLineOptions& options) {
    const ValidationSettings settings;
    const ValidationReport report = runValidation(settings, [](const std::string& line) {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    });
    std::printf("%s", validationText(report, settings).c_str());
    std::fflush(stdout);

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!validationPlot(report).save(&buffer, "PNG") ||
        !AtomicFile::write(options.plotFile, png, error)) {
        std::fprintf(stderr, "fluidsim: %s\n",
                     qPrintable(error.isEmpty() ? QStringLiteral("Could not draw the plots.")
                                                : error));
        return kBadInputExitCode;
    }
    std::fprintf(stderr, "plots written to %s\n", qPrintable(options.plotFile));
    return 0;
}

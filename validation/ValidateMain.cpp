// Runs the validation and prints its tables; with a file name, also draws its plots there (PNG).
//   fluid_validation_plot [plot.png]
#include <QGuiApplication>
#include <cstdio>

#include "Validation.h"
#include "ValidationPlot.h"

int main(int argc, char** argv) {
    // Fonts and images need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    const ValidationSettings settings;
    const ValidationReport report = runValidation(
        settings, [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    std::printf("%s", validationText(report, settings).c_str());
    if (argc > 1 && !validationPlot(report).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <cstdio>

#include "CommandLine.h"
#include "GLWidget.h"
#include "HeadlessExport.h"
#include "MainWindowStart.h"
#include "QTMain.h"
#include "ValidationCommand.h"

int main(int argc, char** argv) {
    // The validation draws its plots with fonts but needs no display.
    if (asksForValidation(argc, argv) && !asksForInformationOnly(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        QGuiApplication app(argc, argv);
        const CommandLineOptions options = processCommandLine(app);
        return ValidationCommand::run(options);
    }
    // Exports need no display at all; they run without a GUI application.
    if (asksForExportOnly(argc, argv) && !asksForInformationOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        return HeadlessExport::run(processCommandLine(app));
    }
    // --help and --version need no display: the minimal platform answers them anywhere. A
    // platform named on the command line still takes precedence.
    if (asksForInformationOnly(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "minimal");
    }
    GLWidget::setDefaultSurfaceFormat();
    QApplication app(argc, argv);
    const CommandLineOptions options = processCommandLine(app);
    QGuiApplication::setDesktopFileName(QStringLiteral(FLUID_DESKTOP_ID));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/fluidsim-48.png"));
    icon.addFile(QStringLiteral(":/icons/fluidsim-256.png"));
    QApplication::setWindowIcon(icon);

    if (!options.recordFile.isEmpty()) {
        const QFileInfo folder(QFileInfo(options.recordFile).absolutePath());
        if (!folder.isDir() || !folder.isWritable()) {
            std::fprintf(stderr, "fluidsim: cannot record to %s: its folder is not writable\n",
                         qPrintable(options.recordFile));
            return kBadInputExitCode;
        }
    }
    QTMain window(options.gridSize);
    showMainWindow(app, window);
    // A file that cannot be opened is reported in a dialog, and on stderr for the shell.
    const QString error = !options.sceneFile.isEmpty()    ? window.openFile(options.sceneFile)
                          : !options.replayFile.isEmpty() ? window.replayFile(options.replayFile)
                                                          : QString();
    if (!error.isEmpty()) {
        std::fprintf(stderr, "fluidsim: %s\n", qPrintable(error));
    }
    if (!options.recordFile.isEmpty()) {
        window.recordUntilClosed(options.recordFile);
    }
    return app.exec();
}

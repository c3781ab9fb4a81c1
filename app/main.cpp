#include <QApplication>
#include <QIcon>

#include "CommandLine.h"
#include "GLWidget.h"
#include "MainWindowStart.h"
#include "QTMain.h"

int main(int argc, char** argv) {
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

    QTMain window(options.gridSize);
    showMainWindow(app, window);
    return app.exec();
}

#include <QApplication>
#include <QIcon>

#include "CommandLine.h"
#include "MainWindowStart.h"
#include "QTMain.h"

int main(int argc, char** argv) {
    // --help and --version need no display: the minimal platform answers them anywhere. A
    // platform named on the command line still takes precedence.
    if (asksForInformationOnly(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "minimal");
    }
    QApplication app(argc, argv);
    processCommandLine(app);
    QGuiApplication::setDesktopFileName(QStringLiteral(FLUID_DESKTOP_ID));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/fluidsim-48.png"));
    icon.addFile(QStringLiteral(":/icons/fluidsim-256.png"));
    QApplication::setWindowIcon(icon);

    QTMain window;
    showMainWindow(app, window);
    return app.exec();
}

#include "MainWindowStart.h"

#include <QApplication>

#include "QTMain.h"

void showMainWindow(QApplication& app, QTMain& window) {
    window.show();
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
}

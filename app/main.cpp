#include <QApplication>

#include "QTMain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTMain window;
    window.show();
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    return app.exec();
}

#pragma once

// Helpers of the window's tests: dialogs answered as they open, and a home folder of the test's
// own, so that the proposals of the save dialogs land where the test looks.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace apptest {

// Runs handle on the first modal dialog that opens, polling while a nested event loop runs.
inline void whenModalDialogOpens(std::function<void(QWidget*)> handle) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, handle] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            handle(dialog);
        }
    });
    poll->start(20);
}

// HOME points at a new folder with Documents and Pictures while this lives.
class TestHome {
public:
    TestHome() : oldHome(qgetenv("HOME")), oldConfig(qgetenv("XDG_CONFIG_HOME")) {
        QDir(home.path()).mkdir("Pictures");
        QDir(home.path()).mkdir("Documents");
        qputenv("HOME", home.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~TestHome() {
        qputenv("HOME", oldHome);
        if (!oldConfig.isEmpty()) {
            qputenv("XDG_CONFIG_HOME", oldConfig);
        }
    }
    QString folder(const QString& name) const { return QDir(home.path()).filePath(name); }

private:
    QTemporaryDir home;
    QByteArray oldHome;
    QByteArray oldConfig;
};

}  // namespace apptest

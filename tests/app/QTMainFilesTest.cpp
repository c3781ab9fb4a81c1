// Scenes and recordings through the window as a user works with them: the menus and their keys,
// a scene saved and opened back to the bit by dropping it, a bad file refused with a message and
// nothing changed, a recording made with Ctrl+R replayed verified.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QStatusBar>
#include <QUrl>
#include <QtTest/QtTest>
#include <cstring>

#include "AppTestSupport.h"
#include "GLWidget.h"
#include "QTMain.h"
#include "SimulationController.h"

namespace {

using apptest::whenModalDialogOpens;

bool sameScene(const Scene& a, const Scene& b) {
    const auto same = [](const auto& x, const auto& y) {
        return x.size() == y.size() &&
               std::memcmp(x.data(), y.data(), x.size() * sizeof(x[0])) == 0;
    };
    return a.gridSize == b.gridSize && a.obstacles.size() == b.obstacles.size() &&
           same(a.fields.velocity, b.fields.velocity) &&
           same(a.fields.scratchVelocity, b.fields.scratchVelocity) &&
           same(a.fields.dye[0], b.fields.dye[0]) && a.settings == b.settings;
}

class QTMainFilesTest : public testing::Test {
protected:
    apptest::TestHome home;
    QTMain window;
    GLWidget* view = window.findChild<GLWidget*>();
    SimulationController* controller = window.findChild<SimulationController*>();

    void SetUp() override {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QString status() const { return window.statusBar()->currentMessage(); }
    QAction* action(const char* name) const { return window.findChild<QAction*>(name); }
    QComboBox* box(const char* name) const { return window.findChild<QComboBox*>(name); }

    // A drag across the view, with dye.
    void stir(int y) {
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(200, y));
        for (int x = 210; x <= 400; x += 10) {
            QMouseEvent move(QEvent::MouseMove, QPoint(x, y), view->mapToGlobal(QPoint(x, y)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view, &move);
        }
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(400, y));
    }
    void buildTriangle() {
        for (const QPoint& p : {QPoint(64, 64), QPoint(448, 64), QPoint(256, 448)}) {
            QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, p);
        }
        QTest::mouseClick(view, Qt::MiddleButton, Qt::NoModifier, QPoint(300, 300));
    }
    // Answers the save dialog that key opens with the name it proposes (or rename), under the
    // filter given (the first when null); returns the path saved to.
    QString saveWith(int key, const char* filter = nullptr, const char* rename = nullptr) {
        QString folder, name;
        whenModalDialogOpens([&](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            if (files == nullptr) {
                ADD_FAILURE() << dialog->metaObject()->className() << ": "
                              << qobject_cast<QMessageBox*>(dialog)->text().toStdString();
                dialog->close();
                return;
            }
            if (filter != nullptr) {
                for (const QString& f : files->nameFilters()) {
                    if (f.startsWith(filter)) {
                        files->selectNameFilter(f);
                    }
                }
            }
            folder = files->directory().absolutePath();
            auto* edit = files->findChild<QLineEdit*>("fileNameEdit");
            if (rename != nullptr) {
                edit->setText(rename);
            }
            name = edit->text();
            QTest::keyClick(edit, Qt::Key_Return);
        });
        // Keys reach the window once it is active again after any dialog before.
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(view, key, Qt::ControlModifier);
        return QDir(folder).filePath(name);
    }
    void drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &dropped);
    }
};

}  // namespace

TEST_F(QTMainFilesTest, EveryKeyIsInAMenuAndTheChoicesFollowTheirBoxes) {
    QStringList keys;
    for (QAction* a : window.findChildren<QAction*>()) {
        keys << a->shortcut().toString();
    }
    for (const char* key : {"Ctrl+O", "Ctrl+S", "Ctrl+E", "Ctrl+R", "Ctrl+Q", "P", "R", "O",
                            "Ctrl+Z", "Esc", "F11"}) {
        EXPECT_TRUE(keys.contains(key)) << key;
    }
    QStringList menus;
    for (QAction* a : window.menuBar()->actions()) {
        menus << a->text();
    }
    EXPECT_EQ(menus, (QStringList{"&File", "&Simulation", "&View"}));

    for (QAction* a : window.findChildren<QAction*>()) {
        if (a->text() == "200 x 200") {
            a->trigger();
        }
    }
    EXPECT_EQ(controller->simulation().gridSize(), 200);
    EXPECT_EQ(box("Grid")->currentData().toInt(), 200);
    box("ComboBoxDisplay")->setCurrentIndex(0);
    for (QAction* a : window.findChildren<QAction*>()) {
        if (a->text() == "Vectors") {
            EXPECT_TRUE(a->isChecked());
        }
    }
}

TEST_F(QTMainFilesTest, ASavedSceneOpensBackToTheBitAndABadOneChangesNothing) {
    QTest::keyClick(view, Qt::Key_P);  // nothing moves between the save and the comparison
    buildTriangle();
    stir(320);
    box("ComboBoxDisplay")->setCurrentIndex(3);
    const QString path = saveWith(Qt::Key_S);
    EXPECT_EQ(status(), "Scene saved to " + path);
    const Scene saved = controller->simulation().scene(true);

    action("actionClearObstacles")->trigger();
    QTest::keyClick(view, Qt::Key_R);
    box("ComboBoxDisplay")->setCurrentIndex(1);
    drop(path);
    EXPECT_TRUE(sameScene(controller->simulation().scene(true), saved));
    EXPECT_EQ(box("ComboBoxDisplay")->currentIndex(), 3);

    // Cut short, the file is refused in a dialog that says why, and nothing changes.
    QFile whole(path);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    whole.close();
    QFile cut(path + ".cut");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2));
    cut.close();
    QString message;
    whenModalDialogOpens([&](QWidget* dialog) {
        message = qobject_cast<QMessageBox*>(dialog)->text();
        dialog->close();
    });
    drop(path + ".cut");
    EXPECT_TRUE(message.contains("not JSON")) << message.toStdString();
    EXPECT_TRUE(sameScene(controller->simulation().scene(true), saved));

    // Saved without its fields, a scene opens at rest with its obstacles.
    const QString still = saveWith(Qt::Key_S, "Scene of obstacles", "still.fluidscene");
    ASSERT_TRUE(window.openFile(still).isEmpty());
    EXPECT_EQ(controller->simulation().scene(false).obstacles.size(), 1u);
    EXPECT_TRUE(controller->simulation().dye().empty());
}

TEST_F(QTMainFilesTest, ARecordingMadeWithCtrlRReplaysVerifiedWithTheFluidControlsHeldOff) {
    QTest::keyClick(view, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(status().startsWith("Recording")) << status().toStdString();
    QLabel* mark = nullptr;
    for (QLabel* label : window.statusBar()->findChildren<QLabel*>()) {
        mark = label->text() == "Recording" ? label : mark;
    }
    ASSERT_NE(mark, nullptr);
    EXPECT_TRUE(mark->isVisible());
    buildTriangle();
    stir(320);
    // Past the first checkpoint, 60 steps in.
    QTRY_VERIFY_WITH_TIMEOUT(controller->simulation().recordedSteps() > 70, 20000);
    const QString path = saveWith(Qt::Key_R);
    EXPECT_TRUE(status().startsWith("Recording of")) << status().toStdString();
    EXPECT_FALSE(mark->isVisible());

    QSignalSpy finished(controller, &SimulationController::replayFinished);
    ASSERT_TRUE(window.openFile(path).isEmpty());
    EXPECT_TRUE(controller->isReplaying());
    EXPECT_FALSE(box("Grid")->isEnabled());
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(finished.at(0).at(0).toString().startsWith("replay verified: "));
    EXPECT_FALSE(finished.at(0).at(0).toString().startsWith("replay verified: 0 of"));
    EXPECT_EQ(status(), finished.at(0).at(0).toString());
    EXPECT_TRUE(box("Grid")->isEnabled());
}

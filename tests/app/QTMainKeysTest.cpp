// The window-wide keys, pressed as a user would, with the focus on the view or on a control that
// uses keys of its own; and exporting the picture through the save dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QtTest>
#include <functional>

#include "AppTestSupport.h"
#include "FluidSolver.h"
#include "FluidTestSupport.h"
#include "GLWidget.h"
#include "QTMain.h"
#include "SimulationController.h"

namespace {

using apptest::whenModalDialogOpens;

class QTMainKeysTest : public testing::Test {
protected:
    QTMain window;
    GLWidget* view = window.findChild<GLWidget*>();
    SimulationController* controller = window.findChild<SimulationController*>();

    void SetUp() override {
        ASSERT_NE(view, nullptr);
        window.show();
        window.activateWindow();
        // Window-wide keys only reach the active window.
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QString status() const { return window.statusBar()->currentMessage(); }

    void rightClickView(QPoint pos) {
        QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, pos);
    }

    void stir() {
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 320));
        QMouseEvent move(QEvent::MouseMove, QPoint(340, 320), view->mapToGlobal(QPoint(340, 320)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(340, 320));
    }
};

}  // namespace

TEST_F(QTMainKeysTest, KeysFromTheStartPauseRestToggleTheOutlinesAndTakeBackCorners) {
    // The keys go to the view from the start, and the status bar names them.
    EXPECT_EQ(QApplication::focusWidget(), view);
    for (const char* key :
         {"Drag to stir", "P pause", "R rest", "O outlines", "Ctrl+Z/Esc", "menus"}) {
        EXPECT_TRUE(status().contains(key)) << key;
    }

    QTest::keyClick(view, Qt::Key_P);
    EXPECT_TRUE(controller->isPaused());
    EXPECT_TRUE(status().startsWith("Paused")) << status().toStdString();
    QTest::keyClick(view, Qt::Key_P);
    EXPECT_FALSE(controller->isPaused());

    stir();
    ASSERT_FALSE(fluidtest::atRest(controller->simulation().fluidSolver().velocityField()));
    QTest::keyClick(view, Qt::Key_R);
    EXPECT_TRUE(fluidtest::atRest(controller->simulation().fluidSolver().velocityField()));

    QTest::keyClick(view, Qt::Key_O);
    EXPECT_FALSE(view->isOverlayVisible());
    QTest::keyClick(view, Qt::Key_O);
    EXPECT_TRUE(view->isOverlayVisible());

    for (const QPoint& p : {QPoint(64, 64), QPoint(192, 64), QPoint(128, 192)}) {
        rightClickView(p);
    }
    EXPECT_EQ(status(),
              "3 corners: middle-click to close, Ctrl+Z to remove the last, Esc to discard");
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(static_cast<int>(controller->simulation().corners().size()), 2);
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_EQ(static_cast<int>(controller->simulation().corners().size()), 0);
}

TEST_F(QTMainKeysTest, AFocusedControlKeepsTheKeysItUses) {
    rightClickView(QPoint(64, 64));
    auto* sweeps = window.findChild<QSpinBox*>("NumberIteration");
    sweeps->setFocus();
    sweeps->selectAll();
    QTest::keyClicks(sweeps, "35");
    QTest::keyClick(sweeps, Qt::Key_Return);
    EXPECT_EQ(sweeps->value(), 35);
    EXPECT_EQ(controller->simulation().fluidSolver().iterations, 35);
    // Letters go to the spin box, which refuses them; none of them reaches the view.
    QTest::keyClick(sweeps, Qt::Key_P);
    QTest::keyClick(sweeps, Qt::Key_O);
    EXPECT_FALSE(controller->isPaused());
    EXPECT_TRUE(view->isOverlayVisible());
    // Ctrl+Z is the spin box's own undo.
    QTest::keyClick(sweeps, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(static_cast<int>(controller->simulation().corners().size()), 1);
    // Esc means nothing to a spin box, so it still discards the corners.
    QTest::keyClick(sweeps, Qt::Key_Escape);
    EXPECT_EQ(static_cast<int>(controller->simulation().corners().size()), 0);

    // Space toggles a focused check box; letters still reach the view from there.
    auto* over = window.findChild<QCheckBox*>("IsOver");
    over->setFocus();
    QTest::keyClick(over, Qt::Key_Space);
    EXPECT_TRUE(over->isChecked());
    QTest::keyClick(over, Qt::Key_P);
    EXPECT_TRUE(controller->isPaused());

    // A click on the view takes the keys back.
    sweeps->setFocus();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(320, 320));
    EXPECT_EQ(QApplication::focusWidget(), view);
}

TEST_F(QTMainKeysTest, CtrlESavesThePictureUnderATimeStampedNameInPictures) {
    const apptest::TestHome home;
    const QString pictures = home.folder("Pictures");

    for (const QPoint& p : {QPoint(64, 64), QPoint(448, 64), QPoint(256, 448)}) {
        rightClickView(p);
    }
    QTest::mouseClick(view, Qt::MiddleButton, Qt::NoModifier, QPoint(300, 300));

    QString proposedFolder;
    QString proposedName;
    whenModalDialogOpens([&](QWidget* dialog) {
        auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(fileDialog, nullptr);
        proposedFolder = fileDialog->directory().absolutePath();
        auto* name = fileDialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        proposedName = name->text();
        QTest::keyClick(name, Qt::Key_Return);  // take the proposal
    });
    QTest::keyClick(view, Qt::Key_E, Qt::ControlModifier);

    EXPECT_EQ(proposedFolder, pictures);
    EXPECT_TRUE(QRegularExpression("^fluid-\\d{4}-\\d\\d-\\d\\d-\\d{6}\\.png$")
                    .match(proposedName)
                    .hasMatch())
        << proposedName.toStdString();
    const QString saved = QDir(pictures).filePath(proposedName);
    EXPECT_EQ(status(), "Picture saved to " + saved);
    const QImage image(saved);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), view->size() * view->devicePixelRatioF());
    // The outline of the triangle is in the picture: its top edge runs along cell row 10.
    EXPECT_EQ(image.pixel(200, static_cast<int>(10.5 * 6.41)), qRgb(0, 255, 255));

    // Esc in the dialog cancels it, and belongs to the dialog, not to the corners.
    rightClickView(QPoint(64, 64));
    whenModalDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    QTest::keyClick(view, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(status(), "Picture not saved");
    EXPECT_EQ(QDir(pictures).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(static_cast<int>(controller->simulation().corners().size()), 1);
}

// The main window: start-up state, what each control does to the view, and shut-down.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLCDNumber>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QtTest/QtTest>
#include <functional>

#include "DisplayFieldOGL.h"
#include "FluidSolver.h"
#include "GLWidget.h"
#include "QTMain.h"

namespace {

class QTMainTest : public testing::Test {
public:
    QTMain window;
    GLWidget* view = window.findChild<GLWidget*>();

    template <typename T>
    T* control(const char* name) {
        T* c = window.findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    const FluidSolver& solver() const { return view->fluidSolver(); }
    const DisplayFieldOGL& display() const { return view->displayField(); }
};

// Clicks a check box as a user would.
void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

TEST_F(QTMainTest, StartsWithTheViewInVortexModeAndTheReadOutAt9999) {
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(window.windowTitle(), "Fluid Simulation");
    EXPECT_EQ(window.size(), QSize(1032, 728).expandedTo(window.minimumSizeHint()));

    auto* combo = control<QComboBox>("ComboBoxDisplay");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "Vectors");
    EXPECT_EQ(combo->itemText(1), "Velocity");
    EXPECT_EQ(combo->itemText(2), "Vortex");
    EXPECT_EQ(combo->currentText(), "Vortex");
    EXPECT_EQ(display().mode, DisplayMode::Vortex);

    // No event has been processed, so no step has been timed yet.
    EXPECT_EQ(control<QLCDNumber>("ComputeTime")->intValue(), 9999);

    // The view sits in the 641 x 641 area, whose layout sizes it once shown.
    EXPECT_EQ(view->parentWidget(), control<QWidget>("horizontalLayout"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(view->size(), QSize(641, 641));

    for (const char* name : {"CoeffLog", "IsLog", "IsPositive", "LimitOver"}) {
        EXPECT_FALSE(control<QWidget>(name)->isEnabled()) << name;
    }
    for (const char* name :
         {"viscosity", "ViscosityValue", "NumberIteration", "CoeffLin", "ComboBoxDisplay",
          "HueColorA", "HueColorB", "ColorSaturation", "IsOver", "LimitLight", "ClrObs"}) {
        EXPECT_TRUE(control<QWidget>(name)->isEnabled()) << name;
    }
}

TEST_F(QTMainTest, StartValuesOfTheViewMatchThePanelDefaults) {
    EXPECT_TRUE(solver().viscosityEnabled);
    EXPECT_FLOAT_EQ(solver().kinematicViscosity, 0.01f);
    EXPECT_EQ(solver().iterations, 20);
    EXPECT_EQ(display().colorA.hue, 0);
    EXPECT_EQ(display().colorB.hue, 43);
    EXPECT_EQ(display().colorA.saturation, 255);
    EXPECT_EQ(display().colorB.saturation, 255);
    EXPECT_FLOAT_EQ(display().coeffLin, 1.0f);
    EXPECT_EQ(display().limitLight, 128);
    EXPECT_EQ(display().limitOver, 9);
    EXPECT_FALSE(display().isOver);
    EXPECT_FALSE(display().isPositive);
}

TEST_F(QTMainTest, ViscosityBoxHoldsHundredths) {
    auto* box = control<QDoubleSpinBox>("ViscosityValue");
    box->setValue(0.5);
    EXPECT_FLOAT_EQ(solver().kinematicViscosity, 0.005f);
    box->setValue(1000.0);
    EXPECT_FLOAT_EQ(solver().kinematicViscosity, 10.0f);
    box->setValue(1.0);
    EXPECT_FLOAT_EQ(solver().kinematicViscosity, 0.01f);
}

TEST_F(QTMainTest, CoefficientSlidersHoldHundredths) {
    auto* lin = control<QSlider>("CoeffLin");
    lin->setValue(250);
    EXPECT_FLOAT_EQ(display().coeffLin, 2.5f);
    lin->setValue(0);
    EXPECT_EQ(display().coeffLin, 0.0f);
    lin->setValue(1000);
    EXPECT_FLOAT_EQ(display().coeffLin, 10.0f);

    // Disabled in the panel, but its slot still converts whatever reaches it.
    control<QSlider>("CoeffLog")->setValue(37);
    EXPECT_FLOAT_EQ(display().coeffLog, 0.37f);
}

TEST_F(QTMainTest, SlidersSpinBoxAndComboReachTheirSetting) {
    struct Row {
        const char* name;
        int value;
        std::function<int(const QTMainTest&)> setting;
    };
    const Row rows[] = {
        {"HueColorA", 200, [](const QTMainTest& t) { return t.display().colorA.hue; }},
        {"HueColorB", 255, [](const QTMainTest& t) { return t.display().colorB.hue; }},
        {"ColorSaturation", 77, [](const QTMainTest& t) { return t.display().colorA.saturation; }},
        {"ColorSaturation", 0, [](const QTMainTest& t) { return t.display().colorB.saturation; }},
        {"LimitLight", 255, [](const QTMainTest& t) { return t.display().limitLight; }},
        {"LimitOver", 100, [](const QTMainTest& t) { return t.display().limitOver; }},
        {"NumberIteration", 2, [](const QTMainTest& t) { return t.solver().iterations; }},
        {"NumberIteration", 50, [](const QTMainTest& t) { return t.solver().iterations; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        window.findChild<QObject*>(row.name)->setProperty("value", row.value);
        EXPECT_EQ(row.setting(*this), row.value);
    }

    auto* combo = control<QComboBox>("ComboBoxDisplay");
    combo->setCurrentIndex(0);
    EXPECT_EQ(display().mode, DisplayMode::Vectors);
    combo->setCurrentIndex(1);
    EXPECT_EQ(display().mode, DisplayMode::Velocity);
}

TEST_F(QTMainTest, ViscositySwitchGreysTheValueAndKeepsIt) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* check = control<QCheckBox>("viscosity");
    auto* box = control<QDoubleSpinBox>("ViscosityValue");
    box->setValue(0.5);

    click(check);
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(solver().viscosityEnabled);
    EXPECT_FLOAT_EQ(solver().kinematicViscosity, 0.005f);

    click(check);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(solver().viscosityEnabled);
    EXPECT_FLOAT_EQ(solver().kinematicViscosity, 0.005f);
    EXPECT_DOUBLE_EQ(box->value(), 0.5);
}

TEST_F(QTMainTest, OverEnablesItsTwoControlsAndUncheckingKeepsTheirState) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* over = control<QCheckBox>("IsOver");
    auto* positive = control<QCheckBox>("IsPositive");
    auto* limitOver = control<QSlider>("LimitOver");

    // Disabled controls ignore the mouse.
    click(positive);
    EXPECT_FALSE(positive->isChecked());

    click(over);
    EXPECT_TRUE(display().isOver);
    EXPECT_TRUE(limitOver->isEnabled());
    EXPECT_TRUE(positive->isEnabled());

    click(positive);
    EXPECT_TRUE(display().isPositive);
    limitOver->setValue(30);
    EXPECT_EQ(display().limitOver, 30);

    click(over);
    EXPECT_FALSE(display().isOver);
    EXPECT_FALSE(limitOver->isEnabled());
    EXPECT_FALSE(positive->isEnabled());
    EXPECT_TRUE(positive->isChecked());
    EXPECT_TRUE(display().isPositive);
    EXPECT_EQ(limitOver->value(), 30);
    EXPECT_EQ(display().limitOver, 30);
}

TEST_F(QTMainTest, ClearObstaclesRemovesThemAndIsHarmlessWithNone) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* button = control<QPushButton>("ClrObs");

    click(button);
    EXPECT_TRUE(solver().obstacles.empty());

    // A triangle from three right clicks and a middle click on the view.
    for (const QPoint& p : {QPoint(64, 64), QPoint(192, 64), QPoint(128, 192)}) {
        QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, p);
    }
    QTest::mouseClick(view, Qt::MiddleButton, Qt::NoModifier, QPoint(128, 128));
    ASSERT_EQ(solver().obstacles.size(), 1);

    click(button);
    EXPECT_TRUE(solver().obstacles.empty());
}

// The same wiring as main: closing the last window ends the event loop, which returns 0.
TEST(QTMainShutDownTest, ClosingTheWindowEndsTheEventLoopWithExitCodeZero) {
    QTMain window;
    window.show();
    QObject::connect(qApp, &QApplication::lastWindowClosed, qApp, &QApplication::quit);
    // Let the fluid run for a while first, so that steps, fills and paints have happened.
    QTimer::singleShot(300, &window, &QWidget::close);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(window.isVisible());
}

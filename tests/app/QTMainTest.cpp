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
#include <cmath>

#include "DisplayFieldOGL.h"
#include "FluidSolver.h"
#include "GLWidget.h"
#include "MainWindowStart.h"
#include "QTMain.h"
#include "SimulationController.h"

namespace {

class QTMainTest : public testing::Test {
public:
    QTMain window;
    GLWidget* view = window.findChild<GLWidget*>();
    SimulationController* controller = window.findChild<SimulationController*>();

    template <typename T>
    T* control(const char* name) {
        T* c = window.findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    const FluidSolver& solver() const { return controller->simulation().fluidSolver(); }
    const DisplaySettings& display() const { return view->displaySettings(); }
};

// Clicks a check box as a user would.
void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// A control's state as a number: checked or not, the item index, or the value.
double stateOf(QObject* control) {
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        return box->isChecked();
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        return combo->currentIndex();
    }
    return control->property("value").toDouble();
}

void setState(QObject* control, double state) {
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        box->setChecked(state != 0.0);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setCurrentIndex(static_cast<int>(std::lround(state)));
    } else {
        control->setProperty("value", state);
    }
}

// Each control of the panel and the view setting that it feeds, which is its state divided by
// scale: the viscosity box and the coefficient sliders hold hundredths.
struct Feed {
    const char* control;
    double scale;
    double (*setting)(const QTMainTest&);
};

const Feed kFeeds[] = {
    {"viscosity", 1, [](const QTMainTest& t) -> double { return t.solver().viscosityEnabled; }},
    {"ViscosityValue", 100,
     [](const QTMainTest& t) -> double { return t.solver().kinematicViscosity; }},
    {"NumberIteration", 1, [](const QTMainTest& t) -> double { return t.solver().iterations; }},
    {"ComboBoxDisplay", 1,
     [](const QTMainTest& t) -> double { return static_cast<int>(t.display().mode); }},
    {"HueColorA", 1, [](const QTMainTest& t) -> double { return t.display().hueA; }},
    {"HueColorB", 1, [](const QTMainTest& t) -> double { return t.display().hueB; }},
    {"ColorSaturation", 1, [](const QTMainTest& t) -> double { return t.display().saturation; }},
    {"CoeffLin", 100, [](const QTMainTest& t) -> double { return t.display().coeffLin; }},
    {"LimitLight", 1, [](const QTMainTest& t) -> double { return t.display().limitLight; }},
    {"LimitOver", 1, [](const QTMainTest& t) -> double { return t.display().limitOver; }},
    {"IsOver", 1, [](const QTMainTest& t) -> double { return t.display().isOver; }},
    {"IsPositive", 1, [](const QTMainTest& t) -> double { return t.display().isPositive; }},
};

// The setting equals the control's state in the setting's units, to within the rounding of the
// division to single precision.
::testing::AssertionResult feedsItsSetting(const QTMainTest& t, const Feed& feed,
                                           QObject* control) {
    const double expected = stateOf(control) / feed.scale;
    const double setting = feed.setting(t);
    if (std::fabs(setting - expected) <= 1e-6 * std::fabs(expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << feed.control << " at " << stateOf(control)
                                         << " gives the view " << setting << ", not " << expected;
}

}  // namespace

TEST_F(QTMainTest, StartsWithTheViewInVortexModeAndTheReadOutAt9999) {
    ASSERT_NE(view, nullptr);
    auto* combo = control<QComboBox>("ComboBoxDisplay");
    ASSERT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->itemText(0), "Vectors");
    EXPECT_EQ(combo->itemText(1), "Velocity");
    EXPECT_EQ(combo->itemText(2), "Vortex");
    EXPECT_EQ(combo->itemText(3), "Dye");
    EXPECT_EQ(combo->currentText(), "Vortex");
    EXPECT_EQ(display().mode, DisplayMode::Vortex);

    // No event has been processed, so no step has been timed yet.
    auto* readOut = control<QLCDNumber>("ComputeTime");
    EXPECT_EQ(readOut->intValue(), 9999);
    // The logarithmic controls are there, and held off for good.
    EXPECT_FALSE(control<QWidget>("CoeffLog")->isEnabled());
    EXPECT_FALSE(control<QWidget>("IsLog")->isEnabled());

    // The view sits in the 641 x 641 area, whose layout sizes it once shown.
    EXPECT_EQ(view->parentWidget(), control<QWidget>("horizontalLayout"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(view->size(), QSize(641, 641));

    // The first step is a timed one; its milliseconds are shown to a hundredth, more than 0.00
    // and less than 100.
    QTRY_VERIFY_WITH_TIMEOUT(readOut->intValue() != 9999, 5000);
    EXPECT_GT(readOut->value(), 0.0);
    EXPECT_LT(readOut->value(), 100.0);
    EXPECT_DOUBLE_EQ(readOut->value() * 100.0, std::round(readOut->value() * 100.0));
    EXPECT_FALSE(readOut->checkOverflow(readOut->value()));
}

// At start and after every change, each control's state is what the view uses: each is set to
// its first and last state and one between them, and back.
TEST_F(QTMainTest, EveryControlFeedsItsSettingFromTheStart) {
    for (const Feed& feed : kFeeds) {
        QObject* c = control<QObject>(feed.control);
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(feedsItsSetting(*this, feed, c)) << "at start";
        const double start = stateOf(c);
        double first = 0.0;
        double last = 1.0;
        if (auto* combo = qobject_cast<QComboBox*>(c)) {
            last = combo->count() - 1;
        } else if (qobject_cast<QCheckBox*>(c) == nullptr) {
            first = c->property("minimum").toDouble();
            last = c->property("maximum").toDouble();
        }
        for (const double state : {first, last, first + 0.37 * (last - first), start}) {
            setState(c, state);
            EXPECT_TRUE(feedsItsSetting(*this, feed, c));
        }
    }
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

// What main does with the window once built, then a close as the user's: the event loop ends
// with 0. A loop that outlives the close is ended with 1 (a timer that goes with the window).
TEST(QTMainShutDownTest, ClosingTheWindowEndsTheEventLoopWithExitCodeZero) {
    QTMain window;
    showMainWindow(*qApp, window);
    EXPECT_TRUE(window.isVisible());
    // Let the fluid run for a while first, so that steps, fills and paints have happened.
    QTimer::singleShot(300, &window, &QWidget::close);
    QTimer::singleShot(10000, &window, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(window.isVisible());
}

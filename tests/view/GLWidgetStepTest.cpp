// The timer-driven step of the view: the 15-ms gate, the timer that wakes when it opens, the
// timing of one step in 21, the refill after each step and the repaint when the picture changes.
#include <QElapsedTimer>
#include <QLCDNumber>
#include <cmath>
#include <vector>

#include "DisplayFieldOGL.h"
#include "ViewTestSupport.h"

using namespace viewtest;

namespace {

QTimer* timerOf(GLWidget& view) {
    return view.findChild<QTimer*>();
}

void showAndSettle(GLWidget& view) {
    view.resize(200, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTest::qWait(30);  // the first paints of the new window
}

// Shown for the duration of the 'unseen' marker: the read-out has not been written since.
constexpr int kUnseen = -1;

}  // namespace

TEST(GLWidgetStepTest, TicksInsideTheGateDoNothingAndTheFirstStepIsTimed) {
    QLCDNumber lcd;
    lcd.display(kUnseen);
    QElapsedTimer sinceConstruction;
    sinceConstruction.start();
    GLWidget view(nullptr, &lcd);
    muteTimer(view);

    advance(view);
    // Only conclusive while the test's own clock, started before the view's, is itself still
    // inside the gate; the simulation's test holds the gate to the nanosecond on a clock of its
    // own.
    if (sinceConstruction.elapsed() > 15) {
        GTEST_SKIP() << "the view took " << sinceConstruction.elapsed()
                     << " ms to construct: no tick inside the gate to try";
    }
    EXPECT_EQ(view.stepsSinceTimedStep(), 20);
    EXPECT_EQ(lcd.intValue(), kUnseen);

    waitPastGate();
    advance(view);
    EXPECT_EQ(view.stepsSinceTimedStep(), 0);
    // Shown in milliseconds to a hundredth: a step takes more than 0.00 and less than 100.
    EXPECT_GT(lcd.value(), 0.0);
    EXPECT_LT(lcd.value(), 100.0);
    EXPECT_DOUBLE_EQ(lcd.value() * 100.0, std::round(lcd.value() * 100.0));
    EXPECT_FALSE(lcd.checkOverflow(lcd.value()));
}

TEST(GLWidgetStepTest, TheTimerWakesOnceWhenTheGateOpensNeverBefore) {
    GLWidget view(nullptr, nullptr);
    QTimer* timer = timerOf(view);
    ASSERT_NE(timer, nullptr);
    muteTimer(view);

    // Every tick sets the timer for the moment the gate opens, rounded up to a millisecond: right
    // after a step, and 5 ms later for the rest.
    const auto expectWakeAtGate = [&] {
        const auto gateMs =
            static_cast<int>((view.simulation().nanosUntilStep() + 999999) / 1000000);
        EXPECT_TRUE(timer->isActive());
        EXPECT_LE(timer->remainingTime(), gateMs + 1);
        EXPECT_GE(timer->remainingTime(), gateMs - 1);
    };
    waitPastGate();
    advance(view);
    expectWakeAtGate();
    QThread::msleep(5);
    advance(view);
    expectWakeAtGate();
    waitPastGate();
    advance(view);
    expectWakeAtGate();
}

TEST(GLWidgetStepTest, AtRestTheLoopWakesOncePerStepAndPaintsNothing) {
    QLCDNumber lcd;
    GLWidget view(nullptr, &lcd);
    showAndSettle(view);
    EventCounter wakes(QEvent::Timer);
    EventCounter paints(QEvent::Paint);
    // Other tests' windows on the same display may cover and uncover this one.
    EventCounter exposes(QEvent::Expose);
    timerOf(view)->installEventFilter(&wakes);
    view.installEventFilter(&paints);
    view.windowHandle()->installEventFilter(&exposes);
    lcd.display(kUnseen);
    const int counterBefore = view.stepsSinceTimedStep();

    constexpr int kRunMs = 500;
    QTest::qWait(kRunMs);
    // A timer that fired whenever the loop is idle would wake thousands of times.
    EXPECT_LE(wakes.count, kRunMs / 16 + 3);
    EXPECT_GE(wakes.count, 3);
    // It stepped, however slowly (a sanitizer build on a loaded machine makes few steps): the
    // counter moved, or it came round to a timed step, which wrote the read-out.
    EXPECT_TRUE(view.stepsSinceTimedStep() != counterBefore || lcd.intValue() != kUnseen);
    EXPECT_LE(paints.count, exposes.count);
}

TEST(GLWidgetStepTest, OnlyAStepThatChangesThePictureOrAModeChangeRepaints) {
    GLWidget view(nullptr, nullptr);
    showAndSettle(view);
    muteTimer(view);
    // The repaints that the view asks for: update() posts one update request, which the toolkit
    // delivers here, at once, so that the ticks that follow stay inside the gate. Other windows
    // uncovering this one bring exposes, not requests.
    EventCounter requests(QEvent::UpdateRequest);
    view.installEventFilter(&requests);
    view.windowHandle()->installEventFilter(&requests);
    auto requested = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QCoreApplication::processEvents();
        return requests.count;
    };

    for (int tick = 0; tick < 3; ++tick) {
        waitPastGate();
        advance(view);
    }
    EXPECT_LE(requested(), 0);  // a fluid at rest fills the same black picture

    waitPastGate();
    dragTo(view, QPoint(110, 100));  // a stir, then a step
    const int afterStir = requested();
    EXPECT_GE(afterStir, 1);

    advance(view);  // inside the gate: no step
    EXPECT_LE(requested(), afterStir);
    view.setDisplayMode(0);
    EXPECT_GT(requested(), afterStir);
}

TEST(GLWidgetStepTest, ExactlyOneStepIn21UpdatesTheReadOut) {
    QLCDNumber lcd;
    GLWidget view(nullptr, &lcd);
    view.resize(641, 641);
    muteTimer(view);
    // A stir and the first step, a timed one; the fluid then moves and never settles, so every
    // tick past the gate steps.
    lcd.display(kUnseen);
    waitPastGate();
    dragTo(view, QPoint(330, 320));
    EXPECT_EQ(view.stepsSinceTimedStep(), 0);
    int shown = lcd.intValue() != kUnseen ? 1 : 0;
    for (int step = 1; step < 42; ++step) {
        SCOPED_TRACE(step);
        lcd.display(kUnseen);
        waitPastGate();
        advance(view);
        const bool timed = step % 21 == 0;
        EXPECT_EQ(view.stepsSinceTimedStep(), step % 21);
        EXPECT_EQ(lcd.intValue() != kUnseen, timed);
        shown += lcd.intValue() != kUnseen ? 1 : 0;
    }
    EXPECT_EQ(shown, 2);
}

TEST(GLWidgetStepTest, WithoutAReadOutTheFluidStillSteps) {
    GLWidget view(nullptr, nullptr);
    view.resize(641, 641);
    muteTimer(view);
    FluidSolver expected = referenceSolver();

    // One stir, then two ticks past the gate: each is one solver step.
    waitPastGate();
    dragTo(view, QPoint(330, 320));
    expected.setVelocity(51, 50, Vec2(330 * 50, 320 * 50));
    expected.step();
    for (int tick = 0; tick < 2; ++tick) {
        waitPastGate();
        advance(view);
        expected.step();
    }
    EXPECT_TRUE(sameVelocity(view.fluidSolver(), expected));
    EXPECT_FALSE(atRest(view.fluidSolver()));
    EXPECT_EQ(view.stepsSinceTimedStep(), 20);
}

TEST(GLWidgetStepTest, PaintingNeverRefillsAColourChangeShowsFromTheNextStep) {
    GLWidget view(nullptr, nullptr);
    view.resize(200, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    muteTimer(view);
    waitPastGate();
    dragTo(view, QPoint(110, 100));
    const std::vector<std::uint32_t> before = view.displayField().colors;

    view.setHueColorA(128);
    view.setCoeffLin(3.0f);
    view.picture();
    EXPECT_EQ(view.displayField().colors, before);

    // The next step's fill is the new settings' picture of the new velocity, not the old ones'.
    waitPastGate();
    advance(view);
    DisplayFieldOGL oldSettings(GLWidget::kGridSize, GLWidget::kGridSize);
    oldSettings.setDisplayMode(static_cast<int>(view.displayField().mode));
    DisplayFieldOGL newSettings(GLWidget::kGridSize, GLWidget::kGridSize);
    newSettings.setDisplayMode(static_cast<int>(view.displayField().mode));
    newSettings.setHueColorA(128);
    newSettings.setCoeffLin(3.0f);
    for (DisplayFieldOGL* display : {&oldSettings, &newSettings}) {
        display->fill(view.fluidSolver().velocityField(), GLWidget::kGridSize, GLWidget::kGridSize);
    }
    EXPECT_EQ(view.displayField().colors, newSettings.colors);
    EXPECT_NE(view.displayField().colors, oldSettings.colors);
}

TEST(GLWidgetStepTest, ViscosityValueIsInHundredths) {
    GLWidget view(nullptr, nullptr);
    view.setViscosityValue(1.0f);
    EXPECT_FLOAT_EQ(view.fluidSolver().kinematicViscosity, 0.01f);
    view.setViscosityValue(1000.0f);
    EXPECT_FLOAT_EQ(view.fluidSolver().kinematicViscosity, 10.0f);
}

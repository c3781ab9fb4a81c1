// The timer-driven step of the view: the 15-ms gate, the timing of one step in 21, the refill
// after each step and the repaint on every tick.
#include <QElapsedTimer>
#include <QLCDNumber>

#include <vector>

#include "DisplayFieldOGL.h"
#include "ViewTestSupport.h"

using namespace viewtest;

namespace {

// Counts the paint events that reach a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

// Shown for the duration of the 'unseen' marker: the read-out has not been written since.
constexpr int kUnseen = -1;

}  // namespace

TEST(GLWidgetStepTest, TicksInsideTheGateOnlyRepaintAndTheFirstStepIsTimed) {
    QLCDNumber lcd;
    lcd.display(kUnseen);
    QElapsedTimer sinceConstruction;
    sinceConstruction.start();
    GLWidget view(nullptr, &lcd);
    stopTimer(view);

    advance(view);
    // The check is only conclusive while the test's own clock, started before the view's, is
    // itself still inside the gate.
    if (sinceConstruction.elapsed() <= 15) {
        EXPECT_EQ(view.stepsSinceTimedStep(), 20);
        EXPECT_EQ(lcd.intValue(), kUnseen);
    }

    waitPastGate();
    advance(view);
    EXPECT_EQ(view.stepsSinceTimedStep(), 0);
    EXPECT_GE(lcd.intValue(), 0);

    // A tick just after a step asks for a paint without stepping.
    view.resize(200, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    PaintCounter counter;
    view.installEventFilter(&counter);
    waitPastGate();
    QElapsedTimer sinceStep;
    sinceStep.start();
    advance(view);
    ASSERT_EQ(view.stepsSinceTimedStep(), 1);
    QCoreApplication::processEvents();
    const int paintsAfterStep = counter.paints;
    EXPECT_GE(paintsAfterStep, 1);
    advance(view);
    if (sinceStep.elapsed() <= 15) {
        EXPECT_EQ(view.stepsSinceTimedStep(), 1);
    }
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, paintsAfterStep);
}

TEST(GLWidgetStepTest, ExactlyOneStepIn21UpdatesTheReadOut) {
    QLCDNumber lcd;
    GLWidget view(nullptr, &lcd);
    stopTimer(view);

    int shown = 0;
    for (int step = 0; step < 42; ++step) {
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
    stopTimer(view);
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
    stopTimer(view);
    waitPastGate();
    dragTo(view, QPoint(330, 320));
    const std::vector<std::uint32_t> before = view.displayField().colors;

    view.setHueColorA(128);
    view.setCoeffLin(3.0f);
    view.updateGL();
    EXPECT_EQ(view.displayField().colors, before);

    waitPastGate();
    advance(view);
    EXPECT_NE(view.displayField().colors, before);
}

TEST(GLWidgetStepTest, ViscosityValueIsInHundredths) {
    GLWidget view(nullptr, nullptr);
    view.setViscosityValue(1.0f);
    EXPECT_FLOAT_EQ(view.fluidSolver().kinematicViscosity, 0.01f);
    view.setViscosityValue(1000.0f);
    EXPECT_FLOAT_EQ(view.fluidSolver().kinematicViscosity, 10.0f);
}

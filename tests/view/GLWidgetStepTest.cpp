// The view in the running loop: it wakes once per step at rest and paints nothing, repaints only
// when a step changed its picture or the picture changes kind, and shows a colour change from the
// next step's fill. The gate, the timer and the timing are the controller's (controller tests).
#include <cstdint>
#include <vector>

#include "DisplayFieldOGL.h"
#include "ViewTestSupport.h"

using namespace viewtest;

namespace {

// The view of a controller on the test's clock, which decides when the gate opens.
class GLWidgetStepTest : public testing::Test {
protected:
    std::int64_t now = 1000000000;
    SimulationController controller{[this] { return now; }, 100};
    GLWidget view{nullptr, controller};

    void pastGate() { now += 17000000; }

    void SetUp() override {
        view.resize(200, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QTest::qWait(30);  // the first paints of the new window
    }
};

}  // namespace

TEST(GLWidgetLoopTest, AtRestTheLoopWakesOncePerStepAndPaintsNothing) {
    SimulationController controller;
    GLWidget view(nullptr, controller);
    view.resize(200, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTest::qWait(30);  // the first paints of the new window
    EventCounter wakes(QEvent::Timer);
    EventCounter paints(QEvent::Paint);
    // Other tests' windows on the same display may cover and uncover this one.
    EventCounter exposes(QEvent::Expose);
    controller.findChild<QTimer*>()->installEventFilter(&wakes);
    view.installEventFilter(&paints);
    view.windowHandle()->installEventFilter(&exposes);
    int steps = 0;
    QObject::connect(&controller, &SimulationController::fluidChanged, [&steps] { ++steps; });

    constexpr int kRunMs = 500;
    QTest::qWait(kRunMs);
    // A timer that fired whenever the loop is idle would wake thousands of times.
    EXPECT_LE(wakes.count, kRunMs / 16 + 3);
    EXPECT_GE(wakes.count, 3);
    // It stepped, however slowly (a sanitizer build on a loaded machine makes few steps).
    EXPECT_GE(steps, 1);
    EXPECT_LE(paints.count, exposes.count);
}

TEST_F(GLWidgetStepTest, OnlyAStepThatChangesThePictureOrAModeChangeRepaints) {
    muteTimer(controller);
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
        pastGate();
        controller.tick();
    }
    EXPECT_LE(requested(), 0);  // a fluid at rest fills the same black picture

    pastGate();
    dragTo(view, QPoint(110, 100));  // a stir, then a step
    const int afterStir = requested();
    EXPECT_GE(afterStir, 1);

    controller.tick();  // inside the gate: no step
    EXPECT_LE(requested(), afterStir);
    DisplaySettings vectors = view.displaySettings();
    vectors.mode = DisplayMode::Vectors;
    view.setDisplaySettings(vectors);
    EXPECT_GT(requested(), afterStir);
}

TEST_F(GLWidgetStepTest, PaintingNeverRefillsAColourChangeShowsFromTheNextStep) {
    muteTimer(controller);
    pastGate();
    dragTo(view, QPoint(110, 100));
    const std::vector<std::uint32_t> before = view.displayField().colors;

    DisplaySettings changed = view.displaySettings();
    changed.hueA = 128;
    changed.coeffLin = 3.0f;
    view.setDisplaySettings(changed);
    view.picture();
    EXPECT_EQ(view.displayField().colors, before);

    // The next step's fill is the new settings' picture of the new velocity, not the old ones'.
    pastGate();
    controller.tick();
    constexpr int kGrid = SceneLimits::kDefaultGridSize;
    DisplayFieldOGL oldSettings(kGrid, kGrid);
    oldSettings.settings.mode = changed.mode;
    DisplayFieldOGL newSettings(kGrid, kGrid);
    newSettings.settings = changed;
    for (DisplayFieldOGL* display : {&oldSettings, &newSettings}) {
        display->fill(controller.simulation().fluidSolver().velocityField(), 100.0f, 100.0f);
    }
    EXPECT_EQ(view.displayField().colors, newSettings.colors);
    EXPECT_NE(view.displayField().colors, oldSettings.colors);
}

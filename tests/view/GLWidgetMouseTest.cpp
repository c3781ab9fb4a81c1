// Mouse interaction with the view: stirring by dragging, and obstacles from right and middle
// clicks. Every move is preceded by a wait past the step gate, so that each handled move is
// followed by exactly one step, which a reference solver replays.
#include <cmath>

#include "Obstacle.h"
#include "ViewTestSupport.h"

using namespace viewtest;

namespace {

class GLWidgetMouseTest : public ShownViewTest {
protected:
    FluidSolver expected = referenceSolver();

    void SetUp() override {
        ShownViewTest::SetUp();
        // The ticks so far stepped a fluid at rest, which stays at rest.
        ASSERT_TRUE(atRest(solver()));
    }

    void move(QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton) {
        waitPastGate();
        dragTo(view, pos, buttons);
    }

    // What a handled move should have done: stir one cell, then step.
    void expectStir(int i, int j, Vec2 velocity) {
        expected.setVelocity(i, j, velocity);
        expected.step();
    }

    void rightClickCell(int i, int j) { viewtest::rightClickCell(view, i, j); }
    void middleClick() { viewtest::middleClick(view); }
};

}  // namespace

TEST_F(GLWidgetMouseTest, DragSetsTheCellUnderThePointerTo50TimesTheMovement) {
    release(view, Qt::LeftButton, QPoint(320, 320));
    move(QPoint(330, 320));
    // 330 * 100 / 640 = 51.56 truncates to 51.
    expectStir(51, 50, Vec2(500.0f, 0.0f));
    EXPECT_TRUE(sameVelocity(solver(), expected));

    move(QPoint(330, 300));
    expectStir(51, 46, Vec2(0.0f, -1000.0f));
    EXPECT_TRUE(sameVelocity(solver(), expected));
}

TEST_F(GLWidgetMouseTest, ANewDragMeasuresItsFirstMoveFromThePress) {
    // The previous drag ended far to the left.
    release(view, Qt::LeftButton, QPoint(20, 320));
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(320, 320));
    move(QPoint(330, 320));
    expectStir(51, 50, Vec2(500.0f, 0.0f));
    EXPECT_TRUE(sameVelocity(solver(), expected));
}

TEST_F(GLWidgetMouseTest, MovesOnTheLastPixelRowOrColumnAreIgnored) {
    release(view, Qt::LeftButton, QPoint(320, 320));
    move(QPoint(330, 320));
    expectStir(51, 50, Vec2(500.0f, 0.0f));

    move(QPoint(640, 320));
    move(QPoint(330, 640));
    move(QPoint(5000, -5000));
    EXPECT_TRUE(sameVelocity(solver(), expected));

    // Measured from the last accepted position, (330, 320).
    move(QPoint(335, 320));
    expectStir(52, 50, Vec2(250.0f, 0.0f));
    EXPECT_TRUE(sameVelocity(solver(), expected));
}

TEST_F(GLWidgetMouseTest, PixelsJustLeftOfTheViewBelongToColumnZero) {
    release(view, Qt::LeftButton, QPoint(10, 320));
    move(QPoint(-3, 320));
    expectStir(0, 50, Vec2(-650.0f, 0.0f));
    EXPECT_TRUE(sameVelocity(solver(), expected));

    // -7 * 100 / 640 is -1: outside.
    move(QPoint(-7, 320));
    EXPECT_TRUE(sameVelocity(solver(), expected));
}

TEST_F(GLWidgetMouseTest, ClicksMoveOnlyTheReferencePosition) {
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    // A right click outside the grid collects nothing but still moves the reference.
    QTest::mouseClick(&view, Qt::RightButton, Qt::NoModifier, QPoint(120, 640));
    EXPECT_TRUE(atRest(solver()));
    EXPECT_EQ(cornerCount(), 0);

    move(QPoint(130, 600));
    expectStir(20, 93, Vec2(500.0f, -2000.0f));
    EXPECT_TRUE(sameVelocity(solver(), expected));
}

TEST_F(GLWidgetMouseTest, MiddleButtonDragStirsLikeALeftDrag) {
    release(view, Qt::MiddleButton, QPoint(320, 320));
    move(QPoint(330, 320), Qt::MiddleButton);
    expectStir(51, 50, Vec2(500.0f, 0.0f));
    EXPECT_TRUE(sameVelocity(solver(), expected));
    // Its release with no corners collected creates nothing.
    release(view, Qt::MiddleButton, QPoint(330, 320));
    EXPECT_TRUE(solver().obstacles.empty());
}

TEST_F(GLWidgetMouseTest, ThreeRightClicksAndAMiddleClickMakeATriangle) {
    rightClickCell(10, 10);
    rightClickCell(30, 10);
    rightClickCell(20, 30);
    ASSERT_EQ(cornerCount(), 3);
    const Vec2 triangle[] = {Vec2(10, 10), Vec2(30, 10), Vec2(20, 30)};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(controller.simulation().corners()[k].x, triangle[k].x);
        EXPECT_EQ(controller.simulation().corners()[k].y, triangle[k].y);
    }

    middleClick();
    ASSERT_EQ(solver().obstacles.size(), 1);
    EXPECT_EQ(cornerCount(), 0);
    const Obstacle& made = solver().obstacles[0];
    EXPECT_TRUE(sameObstacle(made, Obstacle(triangle, 3, 100, 100)));
    EXPECT_GT(made.interiorCount, 0);

    // A fourth click starts the next polygon.
    rightClickCell(50, 50);
    EXPECT_EQ(cornerCount(), 1);
    EXPECT_EQ(controller.simulation().corners()[0].x, 50.0f);
}

TEST_F(GLWidgetMouseTest, TooFewCornersWaitForMore) {
    rightClickCell(10, 10);
    rightClickCell(30, 10);
    middleClick();
    EXPECT_TRUE(solver().obstacles.empty());
    EXPECT_EQ(cornerCount(), 2);

    rightClickCell(20, 30);
    middleClick();
    EXPECT_EQ(solver().obstacles.size(), 1);
    EXPECT_EQ(cornerCount(), 0);
}

TEST_F(GLWidgetMouseTest, The101stCornerIsIgnored) {
    // Corners round a circle of radius 40 cells about the centre.
    auto corner = [](int k) {
        const double angle = 2.0 * M_PI * k / 101.0;
        return QPoint(320 + static_cast<int>(256.0 * std::cos(angle)),
                      320 + static_cast<int>(256.0 * std::sin(angle)));
    };
    for (int k = 0; k < 101; ++k) {
        QTest::mouseClick(&view, Qt::RightButton, Qt::NoModifier, corner(k));
    }
    ASSERT_EQ(cornerCount(), 100);
    const QPoint hundredth = corner(99);
    EXPECT_EQ(controller.simulation().corners()[99].x,
              static_cast<float>(hundredth.x() * 100 / 640));
    EXPECT_EQ(controller.simulation().corners()[99].y,
              static_cast<float>(hundredth.y() * 100 / 640));

    middleClick();
    EXPECT_EQ(solver().obstacles.size(), 1);
    EXPECT_EQ(cornerCount(), 0);
}

TEST_F(GLWidgetMouseTest, ClearingObstaclesKeepsTheCollectedCorners) {
    rightClickCell(10, 10);
    rightClickCell(30, 10);
    rightClickCell(20, 30);
    middleClick();
    rightClickCell(60, 60);
    controller.apply(Operation::clearObstacles());
    EXPECT_TRUE(solver().obstacles.empty());
    EXPECT_EQ(cornerCount(), 1);
}

// On a finer grid the moves of a drag that come while the gate is closed push the fluid at once
// and are projected together, once, before the next step.
TEST(GLWidgetMovesTest, OnAFinerGridMovesBetweenStepsPushAndAreProjectedOnceBeforeTheStep) {
    std::int64_t now = 1000000000;
    SimulationController controller([&now] { return now; }, 400);
    GLWidget view(nullptr, controller);
    muteTimer(controller);
    view.resize(641, 641);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    controller.tick();  // the first step, at once: the gate is then closed for 1/60 s
    controller.startRecording();

    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 320));
    dragTo(view, QPoint(310, 320));
    dragTo(view, QPoint(330, 324));
    // 330 * 400 / 640 = 206.25, 324 * 400 / 640 = 202.5: the block from (204, 200), unprojected.
    EXPECT_EQ(controller.simulation().fluidSolver().velocity.at(206, 202).x, 1000.0f);
    now += 17000000;
    controller.tick();
    const Recording recording = controller.stopRecording();
    std::vector<OperationKind> kinds;
    for (const Operation& op : recording.operations) {
        kinds.push_back(op.kind);
    }
    using K = OperationKind;
    EXPECT_EQ(kinds, (std::vector<OperationKind>{K::BeginDrag, K::Push, K::PourDye, K::Push,
                                                 K::PourDye, K::Project, K::Step}));
}

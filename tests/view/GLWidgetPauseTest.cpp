// Pausing and bringing the fluid to rest, through the view's mouse: while paused a stir, an
// obstacle and a colour setting still act and show in the picture at once; after rest the
// picture is black but for the outlines. A reference solver replays what should have happened.
#include <QImage>

#include "DisplayFieldOGL.h"
#include "ViewTestSupport.h"

using namespace viewtest;

namespace {

class GLWidgetPauseTest : public ShownViewTest {
protected:
    FluidSolver expected = referenceSolver();

    void SetUp() override {
        ShownViewTest::SetUp();
        ASSERT_TRUE(atRest(solver()));
    }

    // A move of 10 pixels to the right from (x - 10, 320).
    void stirAt(int x) {
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(x - 10, 320));
        waitPastGate();
        dragTo(view, QPoint(x, 320));
        release(view, Qt::LeftButton, QPoint(x, 320));
        expected.setVelocity(x * 100 / 640, 50, Vec2(500.0f, 0.0f));
    }

    const std::vector<std::uint32_t>& colors() const { return view.displayField().colors; }
};

}  // namespace

TEST_F(GLWidgetPauseTest, PausedTheFluidStandsStillButStirsObstaclesAndColoursApplyAtOnce) {
    stirAt(330);
    expected.step();
    controller.setPaused(true);

    waitPastGate();
    advance();
    EXPECT_TRUE(sameVelocity(solver(), expected));

    // A stir applies, without a step, and is in the picture at once.
    const std::vector<std::uint32_t> before = colors();
    stirAt(400);
    EXPECT_TRUE(sameVelocity(solver(), expected));
    EXPECT_NE(colors(), before);

    // An obstacle across the stirred row is imposed by a projection straight away.
    for (const QPoint cell : {QPoint(55, 40), QPoint(70, 40), QPoint(62, 60)}) {
        rightClickCell(view, cell.x(), cell.y());
    }
    middleClick(view);
    const Vec2 triangle[] = {Vec2(55, 40), Vec2(70, 40), Vec2(62, 60)};
    expected.addObstacle(triangle, 3);
    expected.project(expected.velocity);
    EXPECT_TRUE(sameVelocity(solver(), expected));

    // A colour setting shows without a step.
    const std::vector<std::uint32_t> red = colors();
    changeSettings([](DisplaySettings& s) { s.hueA = 85; });
    EXPECT_NE(colors(), red);

    // Resumed, the gate has long been open: the fluid steps at once.
    controller.setPaused(false);
    expected.step();
    EXPECT_TRUE(sameVelocity(solver(), expected));
}

TEST_F(GLWidgetPauseTest, RestStopsEveryCellKeepsTheObstaclesAndStaysAtRest) {
    for (const QPoint cell : {QPoint(20, 20), QPoint(40, 20), QPoint(30, 40)}) {
        rightClickCell(view, cell.x(), cell.y());
    }
    middleClick(view);
    stirAt(330);
    for (int tick = 0; tick < 3; ++tick) {
        waitPastGate();
        advance();
    }
    ASSERT_FALSE(atRest(solver()));

    controller.apply(Operation::rest());
    EXPECT_TRUE(atRest(solver()));
    EXPECT_EQ(solver().obstacles.size(), 1);
    // The diffusion starts from the scratch field: left as it was, it would stir the fluid again.
    for (int tick = 0; tick < 3; ++tick) {
        waitPastGate();
        advance();
    }
    EXPECT_TRUE(atRest(solver()));

    // The picture is black but for the outline.
    const QImage image = view.picture().convertToFormat(QImage::Format_RGB32);
    int other = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const bool black = p == qRgb(0, 0, 0);
            const bool cyan = p == qRgb(0, 255, 255);
            other += black || cyan ? 0 : 1;
        }
    }
    EXPECT_EQ(other, 0);
}

// The overlay over the fluid: obstacle outlines and the corners being collected, read back from
// the framebuffer on every kind of picture; taking corners back; what the status bar is told.
#include <QImage>
#include <QSignalSpy>

#include "Obstacle.h"
#include "ViewTestSupport.h"

using namespace viewtest;

namespace {

constexpr float kPixelsPerCell = 641.0f / 100.0f;

// The pixel under the centre of a cell, where the overlay's lines run.
QPoint centreOf(float i, float j) {
    return QPoint(static_cast<int>((i + 0.5f) * kPixelsPerCell),
                  static_cast<int>((j + 0.5f) * kPixelsPerCell));
}

bool isCyan(QRgb p) {
    return qRed(p) == 0 && qGreen(p) == 255 && qBlue(p) == 255;
}

bool cyanNear(const QImage& image, QPoint centre) {
    constexpr int kRadius = 2;
    for (int y = centre.y() - kRadius; y <= centre.y() + kRadius; ++y) {
        for (int x = centre.x() - kRadius; x <= centre.x() + kRadius; ++x) {
            if (image.valid(x, y) && isCyan(image.pixel(x, y))) {
                return true;
            }
        }
    }
    return false;
}

bool anyCyan(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isCyan(image.pixel(x, y))) {
                return true;
            }
        }
    }
    return false;
}

class GLWidgetOverlayTest : public ShownViewTest {
protected:
    QImage picture() { return view.picture().convertToFormat(QImage::Format_RGB32); }

    // The triangle (20, 20), (70, 20), (45, 70), from three right clicks and a middle click.
    void buildTriangle() {
        rightClickCell(view, 20, 20);
        rightClickCell(view, 70, 20);
        rightClickCell(view, 45, 70);
        middleClick(view);
        ASSERT_EQ(solver().obstacles.size(), 1);
    }
};

}  // namespace

TEST_F(GLWidgetOverlayTest, OutlineStandsOutOnEveryPictureUntilHiddenOrCleared) {
    stir();
    buildTriangle();
    // The triangle's pixels, with room for the halo.
    const QRect triangle = QRect(centreOf(20, 20), centreOf(70, 70)).adjusted(-5, -5, 5, 5);
    const QPoint topEdge = centreOf(45, 20);
    const QPoint leftEdge = centreOf(32.5f, 45);

    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(mode);
        setMode(static_cast<DisplayMode>(mode));
        waitPastGate();
        advance();
        const QImage with = picture();
        EXPECT_TRUE(cyanNear(with, topEdge));
        EXPECT_TRUE(cyanNear(with, leftEdge));
        EXPECT_FALSE(cyanNear(with, centreOf(45, 35)));  // inside the triangle

        view.setOverlayVisible(false);
        const QImage without = picture();
        view.setOverlayVisible(true);
        EXPECT_FALSE(anyCyan(without));
        // Painted after an overlay, the picture must be what it would have been without one
        // everywhere else: the overlay restores the colour that textures are modulated by.
        int changedOutside = 0;
        for (int y = 0; y < with.height(); ++y) {
            for (int x = 0; x < with.width(); ++x) {
                if (!triangle.contains(x, y) && with.pixel(x, y) != without.pixel(x, y)) {
                    ++changedOutside;
                }
            }
        }
        EXPECT_EQ(changedOutside, 0);
    }
    controller.apply(Operation::clearObstacles());
    EXPECT_FALSE(anyCyan(picture()));
}

TEST_F(GLWidgetOverlayTest, CollectedCornersShowJoinedByALineUntilTakenBack) {
    // The fluid is at rest, so nothing but the overlay asks for a repaint.
    QCoreApplication::processEvents();
    EventCounter paints(QEvent::Paint);
    view.installEventFilter(&paints);
    rightClickCell(view, 20, 80);
    rightClickCell(view, 60, 80);
    QCoreApplication::processEvents();
    EXPECT_GE(paints.count, 1);

    QImage image = picture();
    EXPECT_TRUE(cyanNear(image, centreOf(20, 80)));
    EXPECT_TRUE(cyanNear(image, centreOf(40, 80)));  // on the line between them
    EXPECT_TRUE(cyanNear(image, centreOf(60, 80)));

    controller.apply(Operation::removeLastCorner());
    image = picture();
    EXPECT_TRUE(cyanNear(image, centreOf(20, 80)));
    EXPECT_FALSE(cyanNear(image, centreOf(40, 80)));
    EXPECT_FALSE(cyanNear(image, centreOf(60, 80)));

    controller.apply(Operation::discardCorners());
    EXPECT_EQ(cornerCount(), 0);
    EXPECT_FALSE(anyCyan(picture()));
}

TEST_F(GLWidgetOverlayTest, TakingBackCornersAndWhatTheStatusBarIsTold) {
    QSignalSpy messages(&controller, &SimulationController::statusMessage);
    auto last = [&] { return messages.last().at(0).toString(); };

    rightClickCell(view, 10, 10);
    EXPECT_EQ(last(),
              "1 corner: right-click at least 2 more, Ctrl+Z to remove the last, "
              "Esc to discard");
    rightClickCell(view, 30, 10);
    rightClickCell(view, 20, 30);
    EXPECT_EQ(last(),
              "3 corners: middle-click to close, Ctrl+Z to remove the last, "
              "Esc to discard");

    // A fourth corner taken back: the obstacle is the triangle of the first three.
    rightClickCell(view, 5, 40);
    controller.apply(Operation::removeLastCorner());
    EXPECT_EQ(cornerCount(), 3);
    EXPECT_TRUE(last().startsWith("3 corners: "));
    middleClick(view);
    ASSERT_EQ(solver().obstacles.size(), 1);
    const Vec2 triangle[] = {Vec2(10, 10), Vec2(30, 10), Vec2(20, 30)};
    EXPECT_TRUE(sameObstacle(solver().obstacles[0], Obstacle(triangle, 3, 100, 100)));
    EXPECT_TRUE(last().startsWith("Obstacle added, 1 in all"));

    // Nothing to take back: nothing happens and nothing is said.
    const int said = messages.count();
    controller.apply(Operation::removeLastCorner());
    controller.apply(Operation::discardCorners());
    EXPECT_EQ(messages.count(), said);
}

// Frames rendered off screen against the widget's own picture of the same state, read back from
// a 641 x 641 view: every display mode, with the overlay and without, pixel for pixel.
#include <QImage>

#include "DisplayFieldOGL.h"
#include "FrameRenderer.h"
#include "ViewTestSupport.h"

using namespace viewtest;

namespace {

// The first pixel where two frames differ, and how many do.
testing::AssertionResult samePixels(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size() || actual.format() != expected.format()) {
        return testing::AssertionFailure()
               << "frame " << actual.width() << " x " << actual.height() << " in format "
               << actual.format() << ", picture " << expected.width() << " x " << expected.height()
               << " in format " << expected.format();
    }
    int differing = 0;
    QPoint first;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y) && differing++ == 0) {
                first = QPoint(x, y);
            }
        }
    }
    if (differing == 0) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << differing << " pixels differ, the first at (" << first.x() << ", " << first.y()
           << "): " << QString::number(actual.pixel(first), 16).toStdString() << " against "
           << QString::number(expected.pixel(first), 16).toStdString();
}

}  // namespace

TEST_F(ShownViewTest, FramesEqualTheViewsPictureInEveryModeWithAndWithoutTheOverlay) {
    rightClickCell(view, 20, 20);
    rightClickCell(view, 70, 20);
    rightClickCell(view, 45, 70);
    middleClick(view);
    stir();
    rightClickCell(view, 15, 85);
    rightClickCell(view, 60, 90);
    // Paused, every setting refills the view's display from the state as it is.
    controller.setPaused(true);
    changeSettings([](DisplaySettings& s) {
        s.hueA = 150;
        s.saturation = 200;
        s.coeffLin = 3.0f;
        s.isOver = true;
    });

    FrameRenderer renderer;
    ASSERT_TRUE(renderer.isValid()) << renderer.errorString().toStdString();
    for (int mode = 0; mode < 4; ++mode) {
        for (bool overlay : {true, false}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", overlay " << overlay);
            setMode(static_cast<DisplayMode>(mode));
            view.setOverlayVisible(overlay);
            // The widget's context stays current after the grab: the renderer puts it back.
            const QImage picture = view.picture();
            const QImage frame =
                renderer.render(controller.simulation(), view.displaySettings(), overlay);
            ASSERT_FALSE(frame.isNull()) << renderer.errorString().toStdString();
            EXPECT_TRUE(samePixels(frame, picture));
        }
    }
}

// The view on a screen with two device pixels per logical pixel: the viewport must cover the
// whole framebuffer, not a quarter of it.
#include <GL/gl.h>

#include <vector>

#include "ViewTestSupport.h"

namespace {

// The scale factor must be in place before the test's QApplication is created in main.
const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

// The viewport that the last paint drew the picture in: x, y, width, height in device pixels.
std::vector<GLint> paintedViewport(GLWidget& view) {
    view.picture();
    view.makeCurrent();
    std::vector<GLint> viewport(4, -1);
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    return viewport;
}

}  // namespace

TEST(HighDpiTest, ViewportIsTheCentredSquareOfTheWholeFramebuffer) {
    ASSERT_TRUE(kScaled);
    SimulationController controller;
    GLWidget view(nullptr, controller);
    view.resize(300, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_DOUBLE_EQ(view.devicePixelRatioF(), 2.0);

    // 600 x 400 device pixels: a 400-pixel square, 100 pixels in from the left.
    EXPECT_EQ(paintedViewport(view), (std::vector<GLint>{100, 0, 400, 400}));
}

TEST(HighDpiTest, ViewportOfAViewInsideAWindowCoversItsFramebuffer) {
    ASSERT_TRUE(kScaled);
    SimulationController controller;
    QWidget window;
    window.resize(400, 400);
    auto* view = new GLWidget(&window, controller);
    view->setGeometry(10, 10, 320, 320);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(paintedViewport(*view), (std::vector<GLint>{0, 0, 640, 640}));
}

// The view on a screen with two device pixels per logical pixel: the viewport must cover the
// whole framebuffer, not a quarter of it.
#include <GL/gl.h>

#include "ViewTestSupport.h"

namespace {

// The scale factor must be in place before the test's QApplication is created in main.
const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

// Whether the viewport starts at the origin; its size goes to size[0], size[1].
bool viewportWidthAndHeight(GLWidget& view, GLint* size) {
    view.picture();
    view.makeCurrent();
    GLint viewport[4] = {-1, -1, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    size[0] = viewport[2];
    size[1] = viewport[3];
    return viewport[0] == 0 && viewport[1] == 0;
}

}  // namespace

TEST(HighDpiTest, ViewportCoversTheWholeFramebuffer) {
    ASSERT_TRUE(kScaled);
    GLWidget view(nullptr, nullptr);
    view.resize(300, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_DOUBLE_EQ(view.devicePixelRatioF(), 2.0);

    GLint size[2];
    EXPECT_TRUE(viewportWidthAndHeight(view, size));
    EXPECT_EQ(size[0], 600);
    EXPECT_EQ(size[1], 400);
}

TEST(HighDpiTest, ViewportOfAViewInsideAWindowCoversItsFramebuffer) {
    ASSERT_TRUE(kScaled);
    QWidget window;
    window.resize(400, 400);
    auto* view = new GLWidget(&window, nullptr);
    view->setGeometry(10, 10, 320, 320);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    GLint size[2];
    EXPECT_TRUE(viewportWidthAndHeight(*view, size));
    EXPECT_EQ(size[0], 640);
    EXPECT_EQ(size[1], 640);
}

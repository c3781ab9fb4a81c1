// DisplayFieldOGL drawing into a real OpenGL context, read back pixel by pixel. The set-up is the
// view's: a 641 x 641 viewport, 100 x 100 view units with y growing downward, cleared to black.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "DisplayFieldOGL.h"
#include "VectorField.h"

namespace {

constexpr int kPixels = 641;
constexpr double kPixelsPerCell = kPixels / 100.0;  // 6.41

struct Pixel {
    int red;
    int green;
    int blue;
    bool black() const { return red == 0 && green == 0 && blue == 0; }
    bool white() const { return red == 255 && green == 255 && blue == 255; }
};

// The colour buffer, addressed from the top left as the screen shows it.
class Picture {
public:
    explicit Picture(std::vector<unsigned char> rgb) : rgb_(std::move(rgb)) {}
    Pixel at(int x, int y) const {
        const std::size_t p = 3 * (static_cast<std::size_t>(kPixels - 1 - y) * kPixels + x);
        return Pixel{rgb_[p], rgb_[p + 1], rgb_[p + 2]};
    }

private:
    std::vector<unsigned char> rgb_;
};

class OpenGLDrawing : public ::testing::Test {
protected:
    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<QOpenGLFramebufferObject> framebuffer;
    VectorField field{100, 100};

    void SetUp() override {
        surface.create();
        ASSERT_TRUE(surface.isValid());
        ASSERT_TRUE(context.create());
        makeCurrent();
        framebuffer = std::make_unique<QOpenGLFramebufferObject>(kPixels, kPixels);
        ASSERT_TRUE(framebuffer->bind());
        glViewport(0, 0, kPixels, kPixels);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 100, 100, 0, 0, 0.01);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    }

    void TearDown() override {
        makeCurrent();
        framebuffer.reset();
        context.doneCurrent();
    }

    void makeCurrent() { ASSERT_TRUE(context.makeCurrent(&surface)); }

    // Fills and draws as the view does after a step, then reads the picture back.
    Picture paint(DisplayFieldOGL& display) {
        display.fill(field, 100.0f, 100.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        display.draw();
        glFinish();
        std::vector<unsigned char> rgb(3 * kPixels * kPixels);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kPixels, kPixels, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return Picture(std::move(rgb));
    }
};

// Pixel centre of cell (i, j): the middle of the cell in view units, scaled to pixels.
int pixelOf(int cell) {
    return static_cast<int>((cell + 0.5) * kPixelsPerCell);
}

}  // namespace

TEST_F(OpenGLDrawing, TextureNameIsMadeInTheContextAndDeletedWithTheDisplay) {
    context.doneCurrent();
    auto display = std::make_unique<DisplayFieldOGL>(100, 100);  // no context current
    EXPECT_EQ(display->texture, 0u);

    makeCurrent();
    ASSERT_TRUE(framebuffer->bind());
    display->settings.mode = DisplayMode::Velocity;
    paint(*display);
    const GLuint name = display->texture;
    ASSERT_NE(name, 0u);
    EXPECT_TRUE(glIsTexture(name));
    display->createTexture();
    EXPECT_EQ(display->texture, name) << "a second name was made";

    display.reset();
    EXPECT_FALSE(glIsTexture(name));
}

// GLU scales the 100 x 100 texels to 128 x 128 before the upload and the linear filter smooths
// them, so a lone cell shows as a soft spot; where the spot lies is exact to well under a cell.
TEST_F(OpenGLDrawing, CellShowsAtItsColumnAndRowFromTheTopLeft) {
    // One bright cell well inside, away from the diagonal; the rest is at rest and black.
    field.set(30, 70, Vec2(200.0f, 0.0f));  // (255, 1, 1)
    DisplayFieldOGL display(100, 100);
    display.settings.mode = DisplayMode::Velocity;
    const Picture picture = paint(display);

    const double centreX = 30.5 * kPixelsPerCell;
    const double centreY = 70.5 * kPixelsPerCell;
    double sumX = 0.0, sumY = 0.0, weight = 0.0;
    int brightest = 0, brightestX = -1, brightestY = -1;
    for (int y = 0; y < kPixels; ++y) {
        for (int x = 0; x < kPixels; ++x) {
            const Pixel p = picture.at(x, y);
            ASSERT_LE(std::max(p.green, p.blue), 2) << "not red at " << x << ", " << y;
            if (p.red == 0) {
                continue;
            }
            ASSERT_LT(std::abs(x + 0.5 - centreX), 1.5 * kPixelsPerCell)
                << "lit at " << x << ", " << y;
            ASSERT_LT(std::abs(y + 0.5 - centreY), 1.5 * kPixelsPerCell)
                << "lit at " << x << ", " << y;
            sumX += p.red * (x + 0.5);
            sumY += p.red * (y + 0.5);
            weight += p.red;
            if (p.red > brightest) {
                brightest = p.red;
                brightestX = x;
                brightestY = y;
            }
        }
    }
    ASSERT_GT(brightest, 100);
    // x = 6.41 i, y = 6.41 j: the brightest pixel is inside the cell's square of pixels.
    EXPECT_GE(brightestX, static_cast<int>(30 * kPixelsPerCell));
    EXPECT_LT(brightestX, static_cast<int>(31 * kPixelsPerCell));
    EXPECT_GE(brightestY, static_cast<int>(70 * kPixelsPerCell));
    EXPECT_LT(brightestY, static_cast<int>(71 * kPixelsPerCell));
    EXPECT_NEAR(sumX / weight, centreX, 1.0);
    EXPECT_NEAR(sumY / weight, centreY, 1.0);
}

// A segment of (3, 0) from cell (10, 20): view x 10 to 13 on view row 20, pixels 64 to 83 on
// pixel row 128.
TEST_F(OpenGLDrawing, VectorIsAWhiteLineAlongItsVelocity) {
    field.set(10, 20, Vec2(3.0f, 0.0f));
    DisplayFieldOGL display(100, 100);
    display.settings.mode = DisplayMode::Vectors;
    const Picture picture = paint(display);

    int lit = 0;
    for (int y = 0; y < kPixels; ++y) {
        for (int x = 0; x < kPixels; ++x) {
            const Pixel p = picture.at(x, y);
            if (p.black()) {
                continue;
            }
            ASSERT_TRUE(p.white()) << x << ", " << y;
            ASSERT_EQ(y, 128) << "lit off the row at " << x;
            ASSERT_GE(x, 64);
            ASSERT_LE(x, 83);
            ++lit;
        }
    }
    EXPECT_GE(lit, 18);
}

TEST_F(OpenGLDrawing, FieldAtRestInVectorsModeIsBlack) {
    DisplayFieldOGL display(100, 100);
    display.settings.mode = DisplayMode::Vectors;
    const Picture picture = paint(display);
    for (int y = 0; y < kPixels; ++y) {
        for (int x = 0; x < kPixels; ++x) {
            ASSERT_TRUE(picture.at(x, y).black()) << x << ", " << y;
        }
    }
}

// Vectors switch texturing off; the next picture switches it on again itself.
TEST_F(OpenGLDrawing, PictureAfterVectorsShowsTheTextureAgain) {
    field.set(50, 50, Vec2(0.0f, 200.0f));
    DisplayFieldOGL display(100, 100);
    display.settings.mode = DisplayMode::Vectors;
    paint(display);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    display.settings.mode = DisplayMode::Velocity;
    const Picture picture = paint(display);
    EXPECT_GT(picture.at(pixelOf(50), pixelOf(50)).red, 100);
    EXPECT_TRUE(picture.at(pixelOf(40), pixelOf(50)).black());
}

// A field turning as a solid body has the same curl everywhere inside; the ring's black texels
// make the picture's outermost pixels black all round.
TEST_F(OpenGLDrawing, VortexPictureOuterRingIsBlack) {
    for (int j = 0; j < 100; ++j) {
        for (int i = 0; i < 100; ++i) {
            // Curl (0.5 + 0.5) * 2 * 98 = 196: past the limit, pure red.
            const float x = static_cast<float>(i - 50);
            const float y = static_cast<float>(j - 50);
            field.set(i, j, Vec2(-0.5f * y, 0.5f * x));
        }
    }
    DisplayFieldOGL display(100, 100);
    const Picture picture = paint(display);
    for (int n = 0; n < kPixels; ++n) {
        EXPECT_TRUE(picture.at(n, 0).black()) << "top, x " << n;
        EXPECT_TRUE(picture.at(n, kPixels - 1).black()) << "bottom, x " << n;
        EXPECT_TRUE(picture.at(0, n).black()) << "left, y " << n;
        EXPECT_TRUE(picture.at(kPixels - 1, n).black()) << "right, y " << n;
    }
    const Pixel centre = picture.at(pixelOf(50), pixelOf(50));
    EXPECT_EQ(centre.red, 255);
    EXPECT_LE(centre.green, 2);
}

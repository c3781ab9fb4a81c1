// What the view draws after a drag across it: the curl in Vortex mode with a black outer ring,
// white lines in Vectors mode, the poured dye in Dye mode; and where it draws at another size.
#include <QImage>

#include "DisplayFieldOGL.h"
#include "ViewTestSupport.h"

using namespace viewtest;

namespace {

class GLWidgetPictureTest : public ShownViewTest {
protected:
    QImage picture() { return view.picture().convertToFormat(QImage::Format_RGB32); }

    static bool isBlack(QRgb p) { return qRed(p) == 0 && qGreen(p) == 0 && qBlue(p) == 0; }
    static bool isWhite(QRgb p) { return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255; }
    static bool allBlack(const QImage& image) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (!isBlack(image.pixel(x, y))) {
                    return false;
                }
            }
        }
        return true;
    }
};

}  // namespace

TEST_F(GLWidgetPictureTest, VortexPictureShowsTheStirWithABlackOuterRing) {
    ASSERT_EQ(view.displaySettings().mode, DisplayMode::Vortex);
    EXPECT_TRUE(allBlack(picture()));  // the fluid is at rest

    stir();
    const QImage image = picture();
    ASSERT_EQ(image.size(), QSize(641, 641));

    int lit = 0;
    bool ringBlack = true;
    // Cells are 6.41 pixels wide; up to the centres of the ring cells the picture is the ring's
    // own colour, unblended with the interior.
    constexpr int kRingPixels = 3;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const bool onRing = x < kRingPixels || y < kRingPixels ||
                                x >= image.width() - kRingPixels ||
                                y >= image.height() - kRingPixels;
            if (onRing) {
                ringBlack = ringBlack && isBlack(p);
            } else if (!isBlack(p)) {
                ++lit;
            }
        }
    }
    EXPECT_TRUE(ringBlack);
    EXPECT_GT(lit, 1000);
}

TEST_F(GLWidgetPictureTest, VectorsPictureDrawsWhiteLinesWhereTheFluidMoves) {
    setMode(DisplayMode::Vectors);
    waitPastGate();
    advance();
    EXPECT_TRUE(allBlack(picture()));

    stir();
    const QImage image = picture();
    int whiteNearStroke = 0;
    int other = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (isWhite(p) && y >= 300 && y <= 340) {
                ++whiteNearStroke;
            } else if (!isWhite(p) && !isBlack(p)) {
                ++other;
            }
        }
    }
    EXPECT_GT(whiteNearStroke, 100);
    EXPECT_EQ(other, 0);  // lines are drawn white, nothing else
}

TEST_F(GLWidgetPictureTest, ModeChangeSwitchesThePictureAtTheNextPaint) {
    stir();
    ASSERT_FALSE(allBlack(picture()));
    // Vectors shows from the next paint, from line segments that no fill has written yet: every
    // one has zero length, so the picture is black until a step refills them.
    setMode(DisplayMode::Vectors);
    EXPECT_TRUE(allBlack(picture()));
    waitPastGate();
    advance();
    EXPECT_FALSE(allBlack(picture()));
}

TEST_F(GLWidgetPictureTest, DyePictureShowsTheDyeOfTheDragInItsHue) {
    setMode(DisplayMode::Dye);
    EXPECT_TRUE(allBlack(picture()));  // nothing poured yet

    stir();
    const QImage image = picture();
    // The first drag's dye is orange: full red, three quarters green, no blue. Mixed with black,
    // faded and filtered, it keeps red above green and no blue.
    const DyeColour hue = DyeField::pourColour(1);
    ASSERT_EQ(hue.blue, 0.0f);
    ASSERT_GT(hue.red, hue.green);
    int lit = 0;
    bool inHue = true;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            lit += isBlack(p) ? 0 : 1;
            inHue = inHue && qBlue(p) == 0 && qRed(p) >= qGreen(p);
        }
    }
    EXPECT_TRUE(inHue);
    EXPECT_GT(lit, 2000);
    EXPECT_LT(lit, image.width() * image.height() / 2);
}

// The square that the picture fills, and the cells that the mouse finds in it, at two sizes.
TEST(GLWidgetSizeTest, TheMouseMapsThroughTheCentredSquareOfAnySize) {
    struct Size {
        QSize widget;
        QRect square;
    };
    for (const Size& size :
         {Size{{641, 641}, {0, 0, 641, 641}}, Size{{1001, 801}, {100, 0, 801, 801}}}) {
        SCOPED_TRACE(size.widget.width());
        SimulationController controller;
        GLWidget view(nullptr, controller);
        muteTimer(controller);
        view.resize(size.widget);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        ASSERT_EQ(view.viewSquare(), size.square);

        // pixel = origin + cell * (side - 1) / 100, rounded up: the first pixel of cell (70, 30).
        const int scale = size.square.width() - 1;
        const QPoint cell(size.square.x() + (70 * scale + 99) / 100, (30 * scale + 99) / 100);
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, cell - QPoint(5, 0));
        waitPastGate();
        dragTo(view, cell);
        FluidSolver expected = referenceSolver();
        expected.setVelocity(70, 30, Vec2(250.0f, 0.0f));
        expected.step();
        EXPECT_TRUE(sameVelocity(controller.simulation().fluidSolver(), expected));

        // More than a cell's width to the left of the square is no cell.
        dragTo(view, QPoint(size.square.x() - 9, 300));
        EXPECT_TRUE(sameVelocity(controller.simulation().fluidSolver(), expected));
        release(view, Qt::LeftButton, cell);
    }
}

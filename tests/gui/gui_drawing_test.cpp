// The drawing context on the platform's backend: pixels of the primitives at the framework's
// geometry rules, images blended with alpha, clipping, offsets and the scale factor.
#include "gui/CBitmap.h"
#include "gui/GuiTestSupport.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

using kavrel::test::colorNear;
using kavrel::test::Pixels;

namespace {

constexpr CColor kRed{255, 0, 0, 255};
constexpr CColor kBlue{0, 0, 255, 255};

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_BACKEND();
        context = gui::createOffscreenContext(64, 48);
        ASSERT_TRUE(context);
        context->clear(kWhiteCColor);
    }
    Pixels pixels() const { return Pixels(*context); }
    bool isWhite(const Pixels& p, int x, int y) const { return p.at(x, y) == kWhiteCColor; }

    std::unique_ptr<COffscreenContext> context;
};

TEST_F(DrawingTest, StrokedRectangleIsOnePixelSmallerThanTheFilledOne) {
    context->setFrameColor(kRed);
    context->drawRect(CRect(2, 3, 10, 8), kDrawStroked);
    Pixels p = pixels();
    for (int x = 2; x <= 9; ++x) {
        EXPECT_EQ(p.at(x, 3), kRed) << x;
        EXPECT_EQ(p.at(x, 7), kRed) << x;
        EXPECT_TRUE(isWhite(p, x, 8)) << x;
    }
    for (int y = 3; y <= 7; ++y) {
        EXPECT_EQ(p.at(2, y), kRed) << y;
        EXPECT_EQ(p.at(9, y), kRed) << y;
        EXPECT_TRUE(isWhite(p, 10, y)) << y;
        EXPECT_TRUE(isWhite(p, 1, y)) << y;
    }
    EXPECT_TRUE(isWhite(p, 5, 5));
    EXPECT_EQ(p.count(kRed), 2 * 8 + 2 * 3);
}

TEST_F(DrawingTest, FilledRectangleCoversExactlyItsPixels) {
    context->setFillColor(kBlue);
    context->drawRect(CRect(2, 3, 10, 8), kDrawFilled);
    Pixels p = pixels();
    EXPECT_EQ(p.count(kBlue), 8 * 5);
    EXPECT_EQ(p.at(2, 3), kBlue);
    EXPECT_EQ(p.at(9, 7), kBlue);

    context->clear(kWhiteCColor);
    context->setFrameColor(kRed);
    context->drawRect(CRect(2, 3, 10, 8), kDrawFilledAndStroked);
    p = pixels();
    EXPECT_EQ(p.at(5, 5), kBlue);
    EXPECT_EQ(p.at(2, 3), kRed);
    EXPECT_EQ(p.at(9, 7), kRed);
    EXPECT_TRUE(isWhite(p, 10, 5));
}

TEST_F(DrawingTest, WidePenStaysCentredOnTheOutline) {
    context->setFrameColor(kRed);
    context->setLineWidth(3);
    context->drawLine(CPoint(10, 20), CPoint(30, 20));
    Pixels p = pixels();
    for (int y = 19; y <= 21; ++y) EXPECT_EQ(p.at(20, y), kRed) << y;
    EXPECT_TRUE(isWhite(p, 20, 18));
    EXPECT_TRUE(isWhite(p, 20, 22));
}

TEST_F(DrawingTest, EllipsesFitTheBoxOnePixelSmaller) {
    // Box (10, 10, 31, 31): the outline runs through the centres of pixels 10 and 30, like the
    // stroked rectangle of the same box; the fill stays inside it.
    context->setFrameColor(kRed);
    context->drawEllipse(CRect(10, 10, 31, 31));
    Pixels p = pixels();
    EXPECT_EQ(p.at(10, 20), kRed);
    EXPECT_EQ(p.at(30, 20), kRed);
    EXPECT_EQ(p.at(20, 10), kRed);
    EXPECT_EQ(p.at(20, 30), kRed);
    EXPECT_TRUE(isWhite(p, 20, 20));
    EXPECT_TRUE(isWhite(p, 31, 20));
    EXPECT_TRUE(isWhite(p, 20, 31));
    EXPECT_TRUE(isWhite(p, 9, 20));
    EXPECT_TRUE(isWhite(p, 11, 11)); // corners stay out

    context->clear(kWhiteCColor);
    context->setFillColor(kBlue);
    context->fillEllipse(CRect(10, 10, 31, 31));
    p = pixels();
    EXPECT_EQ(p.at(20, 20), kBlue);
    EXPECT_EQ(p.at(11, 20), kBlue);
    EXPECT_EQ(p.at(29, 20), kBlue);
    EXPECT_TRUE(isWhite(p, 31, 20));
    EXPECT_TRUE(isWhite(p, 20, 31));
    EXPECT_TRUE(isWhite(p, 11, 11));
    EXPECT_TRUE(isWhite(p, 29, 29));
}

TEST_F(DrawingTest, ArcsRunClockwiseFromThePositiveXAxis) {
    context->setFrameColor(kRed);
    context->setLineWidth(3);
    CRect box(4, 4, 45, 45); // centre 24, radius 20
    context->drawArc(box, 0.0f, 90.0f);
    Pixels p = pixels();
    auto onCircle = [&](double degrees) {
        double a = degrees * 3.14159265358979 / 180.0;
        return p.at(static_cast<int>(std::lround(24 + 20 * std::cos(a))),
                    static_cast<int>(std::lround(24 + 20 * std::sin(a))));
    };
    EXPECT_EQ(onCircle(45), kRed);  // lower right: clockwise on screen
    EXPECT_NE(onCircle(-45), kRed); // upper right stays empty
    EXPECT_NE(onCircle(180), kRed);

    // A start beyond the end wraps through 360: 270 to 0 is the upper right quarter.
    context->clear(kWhiteCColor);
    context->drawArc(box, 270.0f, 0.0f);
    p = pixels();
    EXPECT_EQ(onCircle(-45), kRed);
    EXPECT_NE(onCircle(45), kRed);
    EXPECT_NE(onCircle(135), kRed);
}

TEST_F(DrawingTest, PiesFillFromTheCentreAlongTheSweep) {
    // The knob's face: 135 degrees (lower left) clockwise over 270 to the lower right, the gap
    // at the bottom.
    context->setFillColor(kBlue);
    CGraphicsPath pie;
    pie.addPie(CRect(4, 4, 45, 45), 135.0, 270.0);
    context->fillPath(pie);
    Pixels p = pixels();
    EXPECT_EQ(p.at(24, 10), kBlue);  // top
    EXPECT_EQ(p.at(10, 24), kBlue);  // left
    EXPECT_EQ(p.at(38, 24), kBlue);  // right
    EXPECT_TRUE(isWhite(p, 24, 40)); // bottom gap
    EXPECT_TRUE(isWhite(p, 2, 2));

    // A negative sweep runs counter-clockwise.
    context->clear(kWhiteCColor);
    CGraphicsPath back;
    back.addPie(CRect(4, 4, 45, 45), 0.0, -90.0);
    context->fillPath(back);
    p = pixels();
    EXPECT_EQ(p.at(34, 14), kBlue);  // upper right
    EXPECT_TRUE(isWhite(p, 34, 34)); // lower right
}

TEST_F(DrawingTest, AntialiasingBlendsEdgesAndAliasingDoesNot) {
    context->setFillColor(kBlue);
    context->setDrawMode(kAliasing);
    context->fillEllipse(CRect(4, 4, 45, 45));
    Pixels hard = pixels();
    int partial = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) partial += hard.at(x, y) != kBlue && !isWhite(hard, x, y);
    EXPECT_EQ(partial, 0);

    if (kavrel::test::runningUnderWine())
        GTEST_SKIP() << "wine's GDI+ fills and strokes without anti-aliasing";
    context->clear(kWhiteCColor);
    context->setDrawMode(kAntialias);
    context->fillEllipse(CRect(4, 4, 45, 45));
    Pixels soft = pixels();
    partial = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) partial += soft.at(x, y) != kBlue && !isWhite(soft, x, y);
    EXPECT_GT(partial, 20);
}

TEST_F(DrawingTest, ClipLimitsEveryOperationUntilReset) {
    context->setFillColor(kBlue);
    context->setClipRect(CRect(5, 6, 10, 9));
    context->drawRect(CRect(0, 0, 64, 48), kDrawFilled);
    EXPECT_EQ(pixels().count(kBlue), 5 * 3);
    context->resetClipRect();
    context->drawRect(CRect(0, 0, 64, 48), kDrawFilled);
    EXPECT_EQ(pixels().count(kBlue), 64 * 48);
}

TEST_F(DrawingTest, OffsetShiftsDrawingAndClip) {
    context->setOffset(CPoint(10, 5));
    context->setFillColor(kBlue);
    context->drawRect(CRect(0, 0, 2, 2), kDrawFilled);
    Pixels p = pixels();
    EXPECT_EQ(p.at(10, 5), kBlue);
    EXPECT_EQ(p.at(11, 6), kBlue);
    EXPECT_EQ(p.count(kBlue), 4);
}

TEST_F(DrawingTest, DashedLinesLeaveGaps) {
    context->setFrameColor(kRed);
    context->setLineStyle(kLineOnOffDash);
    context->drawLine(CPoint(0, 10), CPoint(40, 10));
    Pixels p = pixels();
    int on = 0;
    for (int x = 0; x < 40; ++x) on += p.at(x, 10) == kRed;
    EXPECT_GT(on, 10);
    EXPECT_LT(on, 30);
}

// An image made with the backend itself: a red left half over a transparent right half.
std::vector<uint8_t> makePng(int w, int h) {
    auto image = gui::createOffscreenContext(w, h);
    image->clear(kTransparentCColor);
    image->setFillColor(kRed);
    image->drawRect(CRect(0, 0, w / 2, h), kDrawFilled);
    auto path = std::filesystem::temp_directory_path() / "kavrel-gui-test-image.png";
    EXPECT_TRUE(image->writePng(path.string().c_str()));
    std::vector<uint8_t> bytes;
    {
        // Closed before the removal: Windows does not delete an open file.
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::remove(path);
    return bytes;
}

TEST_F(DrawingTest, BitmapsBlendTheirAlphaAndTheGivenOne) {
    std::vector<uint8_t> png = makePng(8, 4);
    CBitmap bitmap(png.data(), png.size());
    ASSERT_TRUE(bitmap.isLoaded());
    EXPECT_EQ(bitmap.getWidth(), 8);
    EXPECT_EQ(bitmap.getHeight(), 4);

    bitmap.draw(context.get(), CRect(10, 10, 18, 14));
    Pixels p = pixels();
    EXPECT_EQ(p.at(10, 10), kRed);
    EXPECT_EQ(p.at(13, 13), kRed);
    EXPECT_TRUE(isWhite(p, 14, 10)); // transparent half lets the white through
    EXPECT_TRUE(isWhite(p, 9, 10));

    bitmap.drawAlphaBlend(context.get(), CRect(30, 10, 38, 14), CPoint(), 128);
    p = pixels();
    EXPECT_TRUE(colorNear(p.at(31, 11), CColor{255, 127, 127, 255}, 2));

    // A source offset picks a part of the image; dest beyond the image stays untouched.
    bitmap.draw(context.get(), CRect(40, 10, 60, 14), CPoint(2, 0));
    p = pixels();
    EXPECT_EQ(p.at(40, 10), kRed);
    EXPECT_EQ(p.at(41, 10), kRed);
    EXPECT_TRUE(isWhite(p, 42, 10));
    EXPECT_TRUE(isWhite(p, 47, 10));
}

TEST_F(DrawingTest, BitmapsReadTheirSizeWithoutDecoding) {
    std::vector<uint8_t> png = makePng(7, 5);
    int w = 0, h = 0;
    EXPECT_TRUE(CBitmap::readPngSize(png.data(), png.size(), &w, &h));
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 5);
    png[1] = 'X';
    EXPECT_FALSE(CBitmap::readPngSize(png.data(), png.size(), &w, &h));
    CBitmap broken(png.data(), png.size());
    EXPECT_FALSE(broken.isLoaded());
    broken.draw(context.get(), CRect(0, 0, 7, 5)); // draws nothing, does not fail
    EXPECT_EQ(pixels().count(kWhiteCColor), 64 * 48);
    CBitmap missing(999999);
    EXPECT_FALSE(missing.isLoaded());
}

TEST(DrawingScaleTest, ScaleFactorMultipliesIntoDevicePixels) {
    SKIP_WITHOUT_BACKEND();
    auto context = gui::createOffscreenContext(40, 40, 2.0);
    ASSERT_TRUE(context);
    context->clear(kWhiteCColor);
    context->setFillColor(kBlue);
    context->drawRect(CRect(2, 2, 5, 4), kDrawFilled);
    Pixels p(*context);
    EXPECT_EQ(p.count(kBlue), 6 * 4);
    EXPECT_EQ(p.at(4, 4), kBlue);
    EXPECT_EQ(p.at(9, 7), kBlue);
    EXPECT_EQ(p.at(10, 7), kWhiteCColor);
    EXPECT_EQ(context->getTargetRect(), CRect(0, 0, 20, 20));
}

} // namespace

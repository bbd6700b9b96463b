// One scene of every kind of drawing the controls use, drawn by the platform's backend. The
// native build writes its cairo render into its build folder; the Windows build, run under
// wine after it (as the test command does), draws the same scene with GDI+ and compares the
// two. Only anti-aliased edges may differ, and only a little.
#include "editor/CFontrastResource.h"
#include "gui/CBitmap.h"
#include "gui/GuiTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

using kavrel::test::Pixels;

namespace {

constexpr int kWidth = 220;
constexpr int kHeight = 120;

std::unique_ptr<COffscreenContext> drawScene() {
    auto c = gui::createOffscreenContext(kWidth, kHeight);
    if (!c) return nullptr;
    c->clear(CColor{40, 44, 52, 255});

    CBitmap background(10000);
    background.draw(c.get(), CRect(0, 0, 60, 40), CPoint(300, 200));

    // Rectangles: filled, stroked with pens of one to three pixels, both.
    c->setFillColor(CColor{90, 90, 90, 255});
    c->setFrameColor(CColor{255, 255, 255, 255});
    c->drawRect(CRect(4, 44, 24, 60), kDrawFilled);
    for (int w = 1; w <= 3; ++w) {
        c->setLineWidth(w);
        c->drawRect(CRect(28 + 24 * (w - 1), 44, 48 + 24 * (w - 1), 60), kDrawStroked);
    }
    c->setLineWidth(1);
    c->setFillColor(CColor{88, 50, 51, 255});
    c->drawRect(CRect(100, 44, 120, 60), kDrawFilledAndStroked);

    // Ellipses and arcs, hard-edged and smooth.
    c->setFrameColor(CColor{156, 168, 170, 255});
    c->drawEllipse(CRect(4, 64, 34, 94));
    c->setFillColor(CColor{76, 90, 101, 255});
    c->fillEllipse(CRect(38, 64, 68, 94));
    c->setLineWidth(3);
    c->drawArc(CRect(72, 64, 102, 94), 135.0f, 45.0f);
    c->setLineWidth(1);

    // A knob face: the dark pie, the value's red wedge over it, smooth.
    c->setDrawMode(kAntialias);
    CGraphicsPath face;
    face.addPie(CRect(106, 64, 136, 94), 135.0, 270.0);
    c->setFillColor(CColor{90, 90, 90, 255});
    c->fillPath(face);
    CGraphicsPath value;
    value.addPie(CRect(106, 64, 136, 94), 135.0, 100.0);
    c->setFillColor(CColor{200, 40, 40, 255});
    c->fillPath(value);
    c->setFrameColor(CColor{0, 0, 0, 255});
    c->setLineWidth(2);
    c->drawLine(CPoint(121, 79), CPoint(131, 70));
    c->setLineWidth(1);
    c->setDrawMode(kAliasing);

    // Translucent fill over what is there, and a dashed line.
    c->setFillColor(CColor{0, 176, 100, 128});
    c->drawRect(CRect(140, 44, 170, 74), kDrawFilled);
    c->setFrameColor(CColor{255, 0, 0, 255});
    c->setLineStyle(kLineOnOffDash);
    c->drawLine(CPoint(140, 80), CPoint(215, 80));
    c->setLineStyle(kLineSolid);

    // Clipped drawing.
    c->setClipRect(CRect(176, 44, 196, 64));
    c->setFillColor(CColor{255, 200, 0, 255});
    c->fillEllipse(CRect(166, 34, 206, 74));
    c->resetClipRect();

    // Text of both fonts, and a glyph sheet blended at half alpha.
    CFontrastResource display(20000);
    CFontrastResource menu(20001);
    display.drawString(c.get(), CPoint(64, 4), "Tempo: 120 Compressor");
    menu.drawString(c.get(), CPoint(64, 20), "1 x 16T  Host  MIDI Note");
    display.getSheet()->CBitmap::drawAlphaBlend(c.get(), CRect(140, 88, 215, 118), CPoint(0, 0),
                                                128);
    return c;
}

[[maybe_unused]] std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(BackendSceneTest, BothBackendsDrawTheSameScene) {
    auto scene = drawScene();
    ASSERT_TRUE(scene);
    std::filesystem::create_directories(std::filesystem::path(KAVREL_SCENE_OUT).parent_path());
    ASSERT_TRUE(scene->writePng(KAVREL_SCENE_OUT));

#ifndef KAVREL_SCENE_REFERENCE
    GTEST_SKIP() << "wrote " << KAVREL_SCENE_OUT << " for the Windows build to compare with";
#else
    std::vector<uint8_t> png = readFile(KAVREL_SCENE_REFERENCE);
    if (png.empty())
        GTEST_SKIP() << "no native render at " << KAVREL_SCENE_REFERENCE
                     << ": run the native suite first";
    CBitmap reference(png.data(), png.size());
    ASSERT_TRUE(reference.isLoaded());
    ASSERT_EQ(reference.getWidth(), kWidth);
    ASSERT_EQ(reference.getHeight(), kHeight);
    auto decoded = gui::createOffscreenContext(kWidth, kHeight);
    decoded->clear(kTransparentCColor);
    reference.draw(decoded.get(), CRect(0, 0, kWidth, kHeight));

    Pixels ours(*scene), theirs(*decoded);
    long far = 0, total = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            CColor a = ours.at(x, y), b = theirs.at(x, y);
            int d = std::max({std::abs(a.red - b.red), std::abs(a.green - b.green),
                              std::abs(a.blue - b.blue), std::abs(a.alpha - b.alpha)});
            total += d;
            far += d > 48;
        }
    double mean = static_cast<double>(total) / (kWidth * kHeight);
    std::printf("scene: %ld of %d pixels differ by more than 48, mean difference %.2f\n", far,
                kWidth * kHeight, mean);
    // Edges of smooth shapes and sub-pixel rounding are all that may differ.
    EXPECT_LT(far, kWidth * kHeight / 100);
    EXPECT_LT(mean, 2.0);
#endif
}

} // namespace

// One scene of every drawing operation the controls use, rendered by this platform's backend
// and compared with the reference picture committed in tests/gui/reference (made with cairo).
// The GDI+ backend meets the same picture within the tolerance of anti-aliased edges, which
// is how the two backends are held to one look.
//
// KAVREL_WRITE_SCENE=<file> writes this backend's rendering instead, for review or to renew
// the reference after a deliberate change.
#include "editor/CFontrastResource.h"
#include "gui/CBitmap.h"
#include "gui/GuiTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

using kavrel::test::Pixels;

namespace {

void drawScene(CDrawContext* c) {
    c->setDrawMode(kAliasing);
    c->setFillColor(CColor{30, 32, 36, 255});
    c->drawRect(CRect(0, 0, 160, 120), kDrawFilled);

    // Rectangles: filled, stroked, both, and a two-pixel pen.
    c->setFillColor(CColor{88, 50, 51, 255});
    c->setFrameColor(CColor{156, 168, 170, 255});
    c->drawRect(CRect(4, 4, 24, 16), kDrawFilled);
    c->drawRect(CRect(28, 4, 48, 16), kDrawStroked);
    c->drawRect(CRect(52, 4, 72, 16), kDrawFilledAndStroked);
    c->setLineWidth(2);
    c->drawRect(CRect(76, 4, 96, 16), kDrawStroked);
    c->setLineWidth(1);

    // A knob as the vector knobs draw it: pie of the value, outline, pointer arc.
    c->setDrawMode(kAntialias);
    CRect knob(6, 24, 46, 64);
    c->setFillColor(CColor{88, 50, 51, 255});
    CGraphicsPath pie;
    pie.addPie(knob, 129.0, 6.0 + 270.0 * 0.6);
    c->fillPath(pie);
    c->setFrameColor(CColor{90, 90, 90, 255});
    c->drawEllipse(knob, kDrawStroked);
    c->setLineWidth(7);
    c->setFrameColor(kBlackCColor);
    float at = 135.0f + 270.0f * 0.6f;
    c->drawArc(CRect(56, 30, 80, 54), at - 3.0f, at + 3.0f);
    c->setLineWidth(1);

    // Ellipses with and without anti-aliasing, an arc wrapping through 360.
    c->setFillColor(CColor{76, 90, 101, 255});
    c->fillEllipse(CRect(90, 24, 120, 44));
    c->setDrawMode(kAliasing);
    c->fillEllipse(CRect(124, 24, 154, 44));
    c->setFrameColor(CColor{255, 255, 255, 255});
    c->drawEllipse(CRect(124, 24, 154, 44));
    c->setDrawMode(kAntialias);
    c->setLineWidth(3);
    c->setFrameColor(CColor{0, 176, 100, 255});
    c->drawArc(CRect(90, 48, 120, 78), 300.0f, 60.0f);
    c->setLineWidth(1);

    // Lines: solid, dashed, diagonal, with a translucent colour.
    c->setDrawMode(kAliasing);
    c->setFrameColor(CColor{255, 0, 0, 255});
    c->drawLine(CPoint(4, 70), CPoint(80, 70));
    c->setLineStyle(kLineOnOffDash);
    c->drawLine(CPoint(4, 74), CPoint(80, 74));
    c->setLineStyle(kLineSolid);
    c->setDrawMode(kAntialias);
    c->setFrameColor(CColor{255, 255, 255, 128});
    c->moveTo(CPoint(4, 78));
    c->lineTo(CPoint(80, 88));

    // Clipping: a big fill through a small window.
    c->setClipRect(CRect(126, 50, 150, 60));
    c->setFillColor(CColor{156, 168, 170, 71});
    c->drawRect(CRect(0, 0, 160, 120), kDrawFilled);
    c->resetClipRect();

    // Text of both fonts, one at half alpha.
    CFontrastResource display(20000), menu(20001);
    display.drawString(c, CPoint(4, 92), "Tempo: 120 Kickdrum", 0);
    menu.drawString(c, CPoint(156, 92), "1 x 16T", 2);
    menu.setAlpha(128);
    menu.drawString(c, CPoint(80, 106), "SEQ 64 \xA3", 1);
}

TEST(SceneTest, BackendDrawsTheSceneAsTheReferenceShowsIt) {
    SKIP_WITHOUT_BACKEND();
    auto context = gui::createOffscreenContext(160, 120);
    ASSERT_TRUE(context);
    context->clear(kBlackCColor);
    drawScene(context.get());
    if (const char* out = std::getenv("KAVREL_WRITE_SCENE")) {
        ASSERT_TRUE(context->writePng(out));
        GTEST_SKIP() << "wrote " << out;
    }
    // The test runs in tests/gui/reference (relative, so wine finds it too).
    std::ifstream in("drawing-scene.png", std::ios::binary);
    ASSERT_TRUE(in) << "run from tests/gui/reference";
    std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), {});
    CBitmap reference(png.data(), png.size());
    ASSERT_TRUE(reference.isLoaded());
    auto expected = gui::createOffscreenContext(160, 120);
    expected->clear(kBlackCColor);
    reference.draw(expected.get(), CRect(0, 0, 160, 120));

    Pixels a(*context), b(*expected);
    double total = 0.0;
    int far = 0;
    for (size_t i = 0; i < a.rgba.size(); ++i) {
        int d = std::abs(int(a.rgba[i]) - int(b.rgba[i]));
        total += d;
        if (d > 64) ++far;
    }
    // Same backend: identical. Another backend: edges may differ a little.
    EXPECT_LT(total / a.rgba.size(), 1.5);
    EXPECT_LT(far, 160 * 120 * 4 / 200);
}

} // namespace

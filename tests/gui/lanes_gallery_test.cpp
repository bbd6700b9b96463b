// The step rows, both lane styles and the attack/decay envelopes on one offscreen picture,
// drawn through the same frame and backend a window uses: gallery/lanes.png under the working
// directory (the build folder under ctest), or under $KAVREL_GALLERY_DIR.
#include "editor/CEGControl.h"
#include "editor/CFontrastResource.h"
#include "editor/CHighlightFrame.h"
#include "editor/CVXTextDisplay.h"
#include "editor/CVXVMultislider.h"
#include "gui/GuiTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace {

constexpr CColor kHatch{156, 168, 170, 71};
constexpr CColor kPanel{76, 90, 101, 255};
constexpr CColor kGrid{0, 0, 0, 25};
constexpr CColor kCurve{156, 168, 170, 255};
constexpr CColor kWhite{255, 255, 255, 255};

// A quiet groove per row: kick, snares, toms, hats.
const char* const kGroove[] = {
    "x...x...x...x...x..x....x...x.x.", "....x.......x.......x.......x...",
    "..........x...........x.....x..x", "...........x..................x.",
    "x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.", "..............x...............x.",
};

class LanesGallery : public ::testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(); }

    void caption(int left, int top, const char* text) {
        frame->addTaggedView(
            new CVXTextDisplay(CRect(left, top, left + 300, top + font->getHeight()), font, text),
            -1);
    }
    CEGARControl* envelope(int left, int top, long firstTag) {
        auto* eg = new CEGARControl(CRect(left, top, left + 153, top + 93), nullptr, firstTag,
                                    firstTag + 1, 0, firstTag + 2, firstTag + 3, kHatch, kPanel,
                                    kGrid, kCurve, kWhite, kPanel);
        frame->addMultiControl(eg);
        return eg;
    }

    void draw(double scale, const char* file) {
        frame = new CHighlightFrame(CRect(0, 0, 660, 420), scale);
        frame->setBackgroundColor(CColor{34, 36, 38, 255});
        font = new CFontrastResource(20000);

        caption(20, 14, "Step rows: 24 steps active, playing step 7");
        const int rows = static_cast<int>(sizeof kGroove / sizeof kGroove[0]);
        for (int r = 0; r < rows; ++r) {
            int top = 36 + 13 * r;
            auto* row =
                new CVXKavrelMultiButton(CRect(20, top, 436, top + 12), nullptr, 267 + 32 * r);
            for (int s = 0; s < 32; ++s) row->setStepOn(s, kGroove[r][s] == 'x');
            row->setActiveCount(24);
            row->selectOnly(6);
            frame->addMultiControl(row);
        }

        caption(20, 130, "Velocity lane");
        auto* velocity = new CVXKavrelMultiSlider(CRect(20, 150, 436, 195), nullptr);
        velocity->setStyle(0x42);
        for (int s = 0; s < 32; ++s)
            velocity->setSliderValue(s, s % 4 == 0 ? 1.0f : 0.35f + 0.15f * (s % 3));
        velocity->setActiveCount(24);
        velocity->selectOnly(6);
        frame->addMultiControl(velocity);

        caption(20, 214, "Parameter lane (from the centre)");
        auto* lane = new CVXKavrelMultiSlider(CRect(20, 234, 436, 279), nullptr);
        for (int s = 0; s < 32; ++s)
            lane->setSliderValue(s, 0.5f + 0.5f * static_cast<float>(std::sin(3.14159265 * s / 8)));
        lane->setActiveCount(24);
        lane->selectOnly(6);
        frame->addMultiControl(lane);

        caption(20, 298, "Step rows, all 32 steps, selection on step 1");
        for (int r = 0; r < 2; ++r) {
            int top = 318 + 13 * r;
            auto* row =
                new CVXKavrelMultiButton(CRect(20, top, 436, top + 12), nullptr, 800 + 32 * r);
            for (int s = 0; s < 32; ++s) row->setStepOn(s, kGroove[r + 4][s] == 'x');
            row->selectOnly(0);
            frame->addMultiControl(row);
        }

        caption(470, 14, "Amp Envelope");
        envelope(470, 34, 2);

        caption(470, 142, "Pitch Envelope (bent)");
        CEGARControl* bent = envelope(470, 162, 6);
        bent->setValueAt(6, 0.6f);  // attack time
        bent->setValueAt(7, 0.2f);  // attack curve
        bent->setValueAt(8, 0.55f); // decay time
        bent->setValueAt(9, 0.1f);  // decay curve

        caption(470, 270, "Held decay, long release");
        CEGARControl* held = envelope(470, 290, 20);
        held->setValueAt(20, 0.3f);
        held->setValueAt(23, 0.9f);
        held->setValueAt(22, 1.0f);

        frame->redrawAll();
        const char* dir = std::getenv("KAVREL_GALLERY_DIR");
        std::filesystem::path out =
            dir ? std::filesystem::path(dir) : std::filesystem::path("gallery");
        std::filesystem::create_directories(out);
        out /= file;
        EXPECT_TRUE(frame->getBackBuffer()->writePng(out.string().c_str()));
        std::cout << "gallery: " << std::filesystem::absolute(out).string() << "\n";
        font->forget();
        frame->forget();
    }

    CHighlightFrame* frame = nullptr;
    CFontrastResource* font = nullptr;
};

TEST_F(LanesGallery, DrawsStepRowsLanesAndEnvelopes) {
    draw(1.0, "lanes.png");
    draw(2.0, "lanes@2x.png");
}

} // namespace

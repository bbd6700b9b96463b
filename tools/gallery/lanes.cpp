// Draws the step rows, both lane styles and the attack/decay envelopes offscreen, through the
// same frame a host window uses, and writes the picture as PNG.
//   kavrel-gallery-lanes [out.png] [scale]
#include "editor/CEGControl.h"
#include "editor/CFontrastResource.h"
#include "editor/CHighlightFrame.h"
#include "editor/CVXTextDisplay.h"
#include "editor/CVXVMultislider.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr CColor kHatch{156, 168, 170, 71};
constexpr CColor kPanel{76, 90, 101, 255};
constexpr CColor kGrid{0, 0, 0, 25};
constexpr CColor kCurve{156, 168, 170, 255};
constexpr CColor kWhite{255, 255, 255, 255};

// A quiet groove per row: kick, snares, toms, hats, cymbal.
const char* const kGroove[] = {
    "x...x...x...x...x..x....x...x.x.", "....x.......x.......x.......x...",
    "..........x...........x.....x..x", "...........x..................x.",
    "x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.", "..............x...............x.",
};

CEGARControl* envelope(CHighlightFrame* frame, int left, int top, long firstTag) {
    auto* eg =
        new CEGARControl(CRect(left, top, left + 153, top + 93), nullptr, firstTag, firstTag + 1, 0,
                         firstTag + 2, firstTag + 3, kHatch, kPanel, kGrid, kCurve, kWhite, kPanel);
    frame->addMultiControl(eg);
    return eg;
}

void caption(CHighlightFrame* frame, CFontrastResource* font, int left, int top, const char* text) {
    auto* label =
        new CVXTextDisplay(CRect(left, top, left + 300, top + font->getHeight()), font, text);
    frame->addTaggedView(label, -1);
}

} // namespace

int main(int argc, char** argv) {
    std::string out = argc > 1 ? argv[1] : "gallery/lanes.png";
    double scale = argc > 2 ? std::atof(argv[2]) : 1.0;
    std::filesystem::path parent = std::filesystem::path(out).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);

    auto* frame = new CHighlightFrame(CRect(0, 0, 660, 420), scale);
    frame->setBackgroundColor(CColor{34, 36, 38, 255});
    auto* font = new CFontrastResource(20000);

    caption(frame, font, 20, 14, "Step rows: 24 steps active, playing step 7");
    const int rows = static_cast<int>(sizeof kGroove / sizeof kGroove[0]);
    for (int r = 0; r < rows; ++r) {
        int top = 36 + 13 * r;
        auto* row = new CVXKavrelMultiButton(CRect(20, top, 436, top + 12), nullptr, 267 + 32 * r);
        for (int s = 0; s < 32; ++s) row->setStepOn(s, kGroove[r][s] == 'x');
        row->setActiveCount(24);
        row->selectOnly(6);
        frame->addMultiControl(row);
    }

    caption(frame, font, 20, 130, "Velocity lane");
    auto* velocity = new CVXKavrelMultiSlider(CRect(20, 150, 436, 195), nullptr);
    velocity->setStyle(0x42);
    for (int s = 0; s < 32; ++s)
        velocity->setSliderValue(s, s % 4 == 0 ? 1.0f : 0.35f + 0.15f * (s % 3));
    velocity->setActiveCount(24);
    velocity->selectOnly(6);
    frame->addMultiControl(velocity);

    caption(frame, font, 20, 214, "Parameter lane (from the centre)");
    auto* lane = new CVXKavrelMultiSlider(CRect(20, 234, 436, 279), nullptr);
    for (int s = 0; s < 32; ++s)
        lane->setSliderValue(s, 0.5f + 0.5f * std::sin(2.0 * 3.14159265 * s / 16.0));
    lane->setActiveCount(24);
    lane->selectOnly(6);
    frame->addMultiControl(lane);

    caption(frame, font, 20, 298, "Step rows, all 32 steps, selection on step 1");
    for (int r = 0; r < 2; ++r) {
        int top = 318 + 13 * r;
        auto* row = new CVXKavrelMultiButton(CRect(20, top, 436, top + 12), nullptr, 600 + 32 * r);
        for (int s = 0; s < 32; ++s) row->setStepOn(s, kGroove[r + 4][s] == 'x');
        row->selectOnly(0);
        frame->addMultiControl(row);
    }

    caption(frame, font, 470, 14, "Amp Envelope");
    envelope(frame, 470, 34, 2);

    caption(frame, font, 470, 142, "Pitch Envelope (bent)");
    CEGARControl* bent = envelope(frame, 470, 162, 6);
    bent->setValueAt(6, 0.6f);  // attack time
    bent->setValueAt(7, 0.2f);  // attack curve
    bent->setValueAt(8, 0.55f); // decay time
    bent->setValueAt(9, 0.1f);  // decay curve

    caption(frame, font, 470, 270, "Held decay, long release");
    CEGARControl* held = envelope(frame, 470, 290, 20);
    held->setValueAt(20, 0.3f);
    held->setValueAt(23, 0.9f);
    held->setValueAt(22, 1.0f);

    bool ok = frame->saveToPng(out.c_str());
    font->forget();
    frame->forget();
    if (!ok) {
        std::fprintf(stderr, "could not write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}

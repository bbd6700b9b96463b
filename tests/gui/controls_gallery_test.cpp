// Every editor control in its typical states on one offscreen picture, drawn through the same
// frame and backend a window uses: controls.png (and controls@2x.png) in $KAVREL_GALLERY_DIR,
// which ctest points at the build folder's gallery/, else in gallery/ under the working
// directory.
#include "ControlTestSupport.h"

#include "editor/CFontrastResource.h"
#include "editor/CMomentaryButton.h"
#include "editor/CSelectorSwitch.h"
#include "editor/CVXKavrelPatternSelector.h"
#include "editor/CVXKavrelPlayButton.h"
#include "editor/CVXKnobs.h"
#include "editor/CVXNumerical.h"
#include "editor/CVXTextDisplay.h"
#include "editor/CVXVPopupMenu.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

using namespace kavrel::test;

namespace {

constexpr CColor kPanel{36, 38, 42, 255};
constexpr CColor kKnobFrame{90, 90, 90, 255};
constexpr CColor kKnobFill{88, 50, 51, 255};
constexpr CColor kFace{58, 60, 64, 255};
constexpr CColor kFaceRim{24, 25, 28, 255};
constexpr CColor kButtonUp{62, 64, 70, 255};
constexpr CColor kButtonDown{150, 95, 25, 255};
constexpr CColor kText{225, 225, 225, 255};

CBitmap* knobFace(int w, int h, int cx, int cy, int radius) {
    return makeBitmap(w, h, [=](CDrawContext& c) {
        c.setDrawMode(kAntialias);
        c.setFillColor(kFaceRim);
        c.fillEllipse(CRect(cx - radius - 1, cy - radius - 1, cx + radius + 2, cy + radius + 2));
        c.setFillColor(kFace);
        c.fillEllipse(CRect(cx - radius, cy - radius, cx + radius + 1, cy + radius + 1));
    });
}

// Two images stacked (up, down) of a flat button with a caption.
CBitmap* buttonImages(int w, int h, CFontrastResource* font, const char* caption) {
    return makeBitmap(w, h * 2, [=](CDrawContext& c) {
        for (int state = 0; state < 2; ++state) {
            CRect r(0, state * h, w, state * h + h);
            c.setFillColor(state ? kButtonDown : kButtonUp);
            c.setFrameColor(kFaceRim);
            c.drawRect(r, kDrawFilledAndStroked);
            font->drawString(&c, CPoint(w / 2, r.top + (h - font->getHeight()) / 2), caption, 1);
        }
    });
}

CBitmap* playImages(int w, int h) {
    return makeBitmap(w, h * 2, [=](CDrawContext& c) {
        c.setDrawMode(kAntialias);
        for (int state = 0; state < 2; ++state) {
            CRect r(0, state * h, w, state * h + h);
            c.setFillColor(kButtonUp);
            c.setFrameColor(kFaceRim);
            c.drawRect(r, kDrawFilledAndStroked);
            CGraphicsPath triangle;
            int cx = w / 2, cy = r.top + h / 2;
            triangle.moveTo(CPoint(cx - 7, cy - 9));
            triangle.lineTo(CPoint(cx + 9, cy));
            triangle.lineTo(CPoint(cx - 7, cy + 9));
            triangle.closeSubpath();
            c.setFillColor(state ? CColor{110, 220, 110, 255} : CColor{120, 124, 130, 255});
            c.fillPath(triangle);
        }
    });
}

// Six images of a two-row grid A..F, the chosen letter lit.
CBitmap* gridImages(int w, int h, CFontrastResource* font) {
    return makeBitmap(w, h * 6, [=](CDrawContext& c) {
        const char* letters[] = {"A", "B", "C", "D", "E", "F"};
        for (int image = 0; image < 6; ++image) {
            int top = image * h;
            c.setFillColor(kButtonUp);
            c.drawRect(CRect(0, top, w, top + h), kDrawFilled);
            for (int i = 0; i < 6; ++i) {
                int col = i % 3, row = i / 3;
                CRect cell(col * w / 3, top + row * h / 2, (col + 1) * w / 3,
                           top + (row + 1) * h / 2);
                if (i == image) {
                    c.setFillColor(kButtonDown);
                    c.drawRect(cell, kDrawFilled);
                }
                font->drawString(&c, CPoint((cell.left + cell.right) / 2, cell.top + 1), letters[i],
                                 1);
            }
        }
    });
}

CBitmap* patternOverlay(int w, int h) {
    return makeBitmap(w, h, [=](CDrawContext& c) {
        c.setFrameColor(CColor{12, 12, 14, 255});
        c.drawRect(CRect(0, 0, w, h), kDrawStroked);
        for (int i = 1; i < 16; ++i) c.drawLine(CPoint(i * 13, 0), CPoint(i * 13, h - 1));
    });
}

class Gallery : public EditorControlTest {
protected:
    void caption(int x, int y, const char* text) {
        frame->addTaggedView(new CVXTextDisplay(CRect(x, y, x + 200, y + 12), display, text), -1);
    }
    template <class T> T* add(T* control) {
        frame->addControl(control);
        return control;
    }
    void draw(double scale, const char* file);
    CFontrastResource* display = nullptr;
    CFontrastResource* menu = nullptr;
};

// Builds the picture on a frame of the given scale factor and writes it as file.
void Gallery::draw(double scale, const char* file) {
    display = new CFontrastResource(20000);
    menu = new CFontrastResource(20001);
    frame = new CHighlightFrame(CRect(0, 0, 728, 330), scale);
    frame->setBackgroundColor(kPanel);

    // Knobs.
    caption(16, 8, "CVXVKnob: 0, 0.5, 1, stepped (5), disabled");
    const float values[] = {0.0f, 0.5f, 1.0f};
    for (int i = 0; i < 3; ++i) {
        auto* k = add(new CVXVKnob(CRect(16 + 44 * i, 26, 48 + 44 * i, 58), nullptr, 1, kKnobFrame,
                                   kKnobFill, CColor{60, 60, 60, 255}, CColor{70, 70, 70, 255}));
        k->setValue(values[i]);
    }
    auto* stepped = add(new CVXVKnob(CRect(148, 26, 180, 58), nullptr, 1, kKnobFrame, kKnobFill,
                                     kKnobFrame, kKnobFill));
    stepped->setPositions(5);
    stepped->setValue(0.7f);
    auto* disabled = add(new CVXVKnob(CRect(192, 26, 224, 58), nullptr, 1, kKnobFrame, kKnobFill,
                                      CColor{60, 60, 60, 255}, CColor{70, 70, 70, 255}));
    disabled->setValue(0.6f);
    disabled->setEnabled(false);

    caption(256, 8, "CVXBriskoVKnob: 0, 0.5, 1 (learn outline)");
    CBitmap* face = knobFace(61, 52, 30, 30, 11);
    const char* labels[] = {"Tune", "Decay", "Level"};
    CVXBriskoVKnob* learning = nullptr;
    for (int i = 0; i < 3; ++i) {
        auto* k = add(new CVXBriskoVKnob(CRect(256 + 64 * i, 24, 317 + 64 * i, 76), nullptr, 10 + i,
                                         kKnobFrame, kKnobFill, face, display, labels[i]));
        k->setValue(values[i]);
        learning = k;
    }
    face->forget();
    frame->setHighlightColour(0, 176, 100, 255);
    frame->highlightTag(learning->getTag(), true);

    caption(464, 8, "CVXKavrelSmallVKnob: 0, 0.5, 1");
    CBitmap* smallFace = knobFace(17, 17, 8, 8, 8);
    for (int i = 0; i < 3; ++i) {
        auto* k = add(new CVXKavrelSmallVKnob(CRect(464 + 30 * i, 30, 481 + 30 * i, 47), nullptr,
                                              118 + i, kKnobFrame, kKnobFill));
        k->setBackground(smallFace);
        k->setValue(values[i]);
    }
    smallFace->forget();

    // Read-outs and labels.
    caption(16, 92, "CVXNumerical, CVXKavrelVelocityNumerical, CVXTextDisplay");
    auto* tempo = add(new CVXNumerical(CRect(16, 110, 60, 122), nullptr, 266, display));
    tempo->setMin(50.0f);
    tempo->setMax(250.0f);
    tempo->setPrecision(1);
    tempo->setWidth(5);
    tempo->setValue(123.4f);
    auto* ms = add(new CVXNumerical(CRect(76, 110, 130, 122), nullptr, 2, display, 0, 0, " ms"));
    ms->setMax(2000.0f);
    ms->setValue(250.0f);
    auto* seq = add(new CVXKavrelVelocityNumerical(CRect(146, 110, 170, 121), nullptr, 214, menu));
    seq->setMax(127.0f);
    auto* vel = add(new CVXKavrelVelocityNumerical(CRect(186, 110, 210, 121), nullptr, 215, menu));
    vel->setMax(127.0f);
    vel->setValue(96.0f);
    auto* title = new CVXTextDisplay(CRect(226, 110, 426, 122), display, "Kickdrum Tune");
    frame->addTaggedView(title, -1);
    auto* centred = new CVXTextDisplay(CRect(436, 110, 636, 122), display, "centred");
    centred->setAlignment(1);
    frame->addTaggedView(centred, -1);

    // List boxes: one closed, one held open.
    caption(16, 140, "CVXVPopupMenu: closed, open while held");
    const CColor listFrame{110, 112, 118, 255}, listBack{24, 25, 28, 255},
        listOpen{44, 46, 50, 255}, listHighlight{80, 82, 90, 255};
    std::vector<std::string> grids = {"1 x 16", "1 x 32", "2 x 16", "4 x 8", "Triplets"};
    auto* closed = add(new CVXVPopupMenu(CRect(16, 160, 96, 172), nullptr, 20, menu, listFrame,
                                         listBack, listOpen, listHighlight, kText, kText));
    closed->setItems(grids);
    closed->setValue(0.0f);
    auto* open = add(new CVXVPopupMenu(CRect(116, 184, 196, 196), nullptr, 21, menu, listFrame,
                                       listBack, listOpen, listHighlight, kText, kText));
    open->setItems(grids);
    open->setValue(0.5f);

    // Pattern selector, transport, grid and momentary buttons.
    caption(256, 140, "CVXKavrelPatternSelector: playing 3, queued 9");
    CBitmap* overlay = patternOverlay(209, 13);
    auto* patterns =
        add(new CVXKavrelPatternSelector(CRect(256, 160, 465, 173), nullptr, 0, overlay));
    overlay->forget();
    patterns->setPatternIndex(2);
    patterns->clearPending();
    patterns->setPatternIndex(8);

    caption(256, 190, "CVXKavrelPlayButton: stopped, running, pressed");
    CBitmap* play = playImages(62, 37);
    CVXKavrelPlayButton* playButtons[3];
    for (int i = 0; i < 3; ++i) {
        playButtons[i] = add(
            new CVXKavrelPlayButton(CRect(256 + 72 * i, 208, 318 + 72 * i, 245), nullptr, play));
        playButtons[i]->setValue(i == 0 ? 0.0f : 1.0f);
    }
    play->forget();

    caption(500, 140, "CSelectorSwitch: A, E");
    CBitmap* grid = gridImages(36, 26, display);
    for (int i = 0; i < 2; ++i)
        add(new CSelectorSwitch(CRect(500 + 50 * i, 160, 536 + 50 * i, 186), nullptr, 142 + i,
                                grid))
            ->setValue(i == 0 ? 0.0f : 0.8f);
    grid->forget();

    caption(500, 200, "CMomentaryButton: up, held");
    CBitmap* clear = buttonImages(44, 13, display, "Clear");
    CBitmap* copy = buttonImages(44, 13, display, "Copy");
    add(new CMomentaryButton(CRect(500, 218, 544, 231), nullptr, 691, clear));
    auto* held = add(new CMomentaryButton(CRect(550, 218, 594, 231), &listener, 692, copy));
    clear->forget();
    copy->forget();

    caption(16, 280, "CHighlightFrame outlines the control waiting for a controller (green).");

    // Hold the open list as a user would (through the frame), and press the held buttons
    // directly: the frame tracks one press at a time.
    press(130, 190);
    move(130, 191);
    CPoint inHeld(560, 224), inPlay(430, 226);
    held->onMouseDown(inHeld, kLButton);
    playButtons[2]->onMouseDown(inPlay, kLButton);
    frame->redrawAll();
    const char* dir = std::getenv("KAVREL_GALLERY_DIR");
    std::filesystem::path out = dir ? std::filesystem::path(dir) : std::filesystem::path("gallery");
    std::filesystem::create_directories(out);
    out /= file;
    EXPECT_TRUE(frame->getBackBuffer()->writePng(out.string().c_str()));
    release(130, 191);
    held->onMouseUp(inHeld, 0);
    playButtons[2]->onMouseUp(inPlay, 0);
    std::cout << "gallery: " << std::filesystem::absolute(out).string() << "\n";
    display->forget();
    menu->forget();
    frame->forget();
    frame = nullptr;
}

TEST_F(Gallery, DrawsEveryControlInItsTypicalStates) {
    SKIP_WITHOUT_BACKEND();
    draw(1.0, "controls.png");
    // Twice the size, for detail: the same views through the scale factor.
    draw(2.0, "controls@2x.png");
}

} // namespace

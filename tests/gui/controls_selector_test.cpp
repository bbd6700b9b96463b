// The choice and transport controls through the frame's dispatch: the in-place list box, the
// pattern selector with a queued change, the play button's preview, the selector grid and the
// momentary button; with the pixels that show a queued pattern and a pressed button.
#include "ControlTestSupport.h"

#include "editor/CFontrastResource.h"
#include "editor/CMomentaryButton.h"
#include "editor/CSelectorSwitch.h"
#include "editor/CVXKavrelPatternSelector.h"
#include "editor/CVXKavrelPlayButton.h"
#include "editor/CVXVPopupMenu.h"

#include <cmath>

using namespace kavrel::test;

namespace {

constexpr CColor kBackdrop{30, 30, 30, 255};
constexpr CColor kOrange{255, 153, 0, 255};
constexpr CColor kOff{60, 60, 60, 255};
constexpr CColor kOn{0, 200, 0, 255};
constexpr CColor kListFrame{200, 200, 200, 255};
constexpr CColor kClosedBack{20, 20, 60, 255};
constexpr CColor kOpenBack{40, 40, 40, 255};
constexpr CColor kHighlightBack{90, 30, 30, 255};

// ---- list box ----

class PopupTest : public EditorControlTest {
protected:
    void SetUp() override { font = new CFontrastResource(20001); }
    void TearDown() override {
        EditorControlTest::TearDown();
        font->forget();
    }
    CVXVPopupMenu* addMenu(const CRect& r, std::vector<std::string> items) {
        if (!frame) makeFrame();
        auto* menu = new CVXVPopupMenu(r, &listener, 12, font, kListFrame, kClosedBack, kOpenBack,
                                       kHighlightBack, CColor{255, 0, 0, 255}, kWhiteCColor);
        menu->setItems(items);
        frame->addControl(menu);
        return menu;
    }
    CFontrastResource* font = nullptr;
};

TEST_F(PopupTest, ValueSelectsAnItemWithinTheListWhateverArrives) {
    CVXVPopupMenu* menu = addMenu(CRect(20, 40, 80, 52), {"A", "B", "C", "D"});
    struct Case {
        float value;
        unsigned item;
    } cases[] = {{0.0f, 0}, {1.0f / 3.0f, 1}, {0.5f, 2},          {2.0f / 3.0f, 2}, {1.0f, 3},
                 {7.0f, 3}, {-1.0f, 0},       {std::nanf(""), 0}, {0.9999f, 3}};
    for (const Case& c : cases) {
        menu->setValue(c.value);
        EXPECT_EQ(menu->getSelected(), c.item) << c.value;
    }
    menu->setValue(1.0f);
    menu->setItems({"x", "y"}); // fewer items: the selection follows
    EXPECT_EQ(menu->getSelected(), 1u);
    menu->clearItems();
    menu->setValue(0.7f);
    EXPECT_EQ(menu->getSelected(), 0u);
    frame->redrawAll(); // an empty list box draws an empty box
    EXPECT_TRUE(menu->isTypeOf("CVXVPopupMenu"));
    EXPECT_TRUE(menu->isTypeOf("CControl"));
}

TEST_F(PopupTest, OpensOverItselfAndSelectsTheRowUnderThePointer) {
    CVXVPopupMenu* menu = addMenu(CRect(20, 40, 80, 52), {"A", "B", "C", "D"});
    menu->setValue(1.0f / 3.0f); // B
    EXPECT_EQ(press(50, 49), kMouseEventHandled);
    EXPECT_TRUE(menu->isOpen());
    // The selected row lies where the closed box was.
    EXPECT_EQ(menu->getViewSize(), CRect(20, 28, 80, 76));
    EXPECT_EQ(menu->getMouseableArea(), menu->getViewSize());
    move(50, 50); // a pixel further down in the lower half of B's row: still B
    EXPECT_EQ(menu->getSelected(), 1u);
    move(50, 51);
    EXPECT_EQ(menu->getSelected(), 1u);
    move(50, 52); // the first pixel of C's row
    EXPECT_EQ(menu->getSelected(), 2u);
    move(50, 39); // the last pixel of A's row
    EXPECT_EQ(menu->getSelected(), 0u);
    move(50, 60);
    EXPECT_EQ(listener.count("value"), 0); // nothing is reported while open
    move(50, 200);                         // outside the list: ignored
    EXPECT_EQ(menu->getSelected(), 2u);
    release(50, 200);
    EXPECT_FALSE(menu->isOpen());
    EXPECT_EQ(menu->getViewSize(), CRect(20, 40, 80, 52));
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"begin", "value 0.666667", "end"}));
    // The list's bottom edge counts as the last row.
    listener.clear();
    press(50, 45); // C under the closed box: the list spans 16..64
    move(50, 64);
    release(50, 64);
    EXPECT_EQ(menu->getSelected(), 3u);
    EXPECT_FLOAT_EQ(menu->getValue(), 1.0f);

    // Opening and closing without a change reports nothing but the gesture.
    listener.clear();
    press(50, 45);
    move(50, 45);
    release(50, 45);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"begin", "end"}));
    EXPECT_EQ(press(50, 45, kRButton), kMouseEventNotHandled);
}

TEST_F(PopupTest, OneItemListNeverChangesAndEmptyListIsHarmless) {
    CVXVPopupMenu* one = addMenu(CRect(20, 40, 80, 52), {"Only"});
    press(50, 45);
    for (int y = 30; y < 70; y += 3) move(50, y);
    release(50, 60);
    EXPECT_EQ(one->getSelected(), 0u);
    EXPECT_FLOAT_EQ(one->getValue(), 0.0f);
    EXPECT_EQ(listener.count("value"), 0);

    CVXVPopupMenu* none = addMenu(CRect(100, 40, 160, 52), {});
    press(130, 45);
    move(130, 60);
    move(130, 52);
    release(130, 52);
    EXPECT_EQ(none->getSelected(), 0u);
    EXPECT_EQ(listener.count("value"), 0);
    EXPECT_TRUE(listener.editsBalanced());
}

TEST_F(PopupTest, OpenListStaysInsideTheWindow) {
    makeFrame(200, 120);
    CVXVPopupMenu* low = addMenu(CRect(20, 100, 80, 112), {"A", "B", "C", "D"});
    press(50, 105);
    EXPECT_EQ(low->getViewSize(), CRect(20, 72, 80, 120)); // moved up to end at the bottom
    release(50, 105);
    CVXVPopupMenu* high = addMenu(CRect(100, 10, 160, 22), {"A", "B", "C", "D"});
    high->setValue(1.0f);
    press(130, 15);
    EXPECT_EQ(high->getViewSize(), CRect(100, 0, 160, 48)); // moved down to start at the top
    release(130, 15);
}

TEST_F(PopupTest, OpenListDrawsOverLaterViewsAndHighlightsTheSelectedRow) {
    SKIP_WITHOUT_BACKEND();
    makeFrame();
    CVXVPopupMenu* menu = addMenu(CRect(20, 40, 80, 52), {"A", "B", "C", "D"});
    auto* later = new CView(CRect(0, 55, 200, 120)); // a view added after the list box
    later->setBackground(makeStates(200, 65, {kOff}));
    later->getBackground()->forget();
    frame->addView(later);
    Pixels closed = render();
    EXPECT_EQ(closed.at(22, 42), kClosedBack);
    EXPECT_EQ(closed.at(20, 40), kListFrame);
    EXPECT_EQ(closed.at(22, 60), kOff);

    press(50, 45);
    move(50, 53); // B: row 52..64
    frame->updateBackBuffer();
    Pixels open(*frame->getBackBuffer());
    EXPECT_EQ(open.at(22, 42), kOpenBack);
    EXPECT_EQ(open.at(22, 54), kHighlightBack);
    EXPECT_EQ(open.at(22, 70), kOpenBack); // over the later view
    release(50, 47);
    frame->updateBackBuffer();
    Pixels after(*frame->getBackBuffer());
    EXPECT_EQ(after.at(22, 70), kOff); // uncovered again
    EXPECT_EQ(after.at(22, 42), kClosedBack);
    EXPECT_EQ(menu->getSelected(), 1u);
}

TEST_F(PopupTest, CopiesKeepItemsAndTakeAFontReference) {
    CVXVPopupMenu* menu = addMenu(CRect(20, 40, 80, 52), {"A", "B", "C"});
    menu->setValue(1.0f);
    EXPECT_EQ(font->getNbReference(), 2);
    CVXVPopupMenu* copy = menu->newCopy();
    EXPECT_EQ(font->getNbReference(), 3);
    EXPECT_EQ(copy->getItems(), menu->getItems());
    EXPECT_EQ(copy->getSelected(), 2u);
    EXPECT_EQ(copy->getViewSize(), CRect(20, 40, 80, 52));
    copy->forget();
    EXPECT_EQ(font->getNbReference(), 2);
}

// ---- pattern selector ----

class PatternSelectorTest : public EditorControlTest {
protected:
    CVXKavrelPatternSelector* addSelector() {
        makeFrame(240, 40);
        // An overlay of 16 cells of 13 pixels with dark separators.
        CBitmap* overlay = makeBitmap(208, 13, [](CDrawContext& c) {
            c.setFrameColor(CColor{0, 0, 0, 255});
            for (int i = 0; i <= 16; ++i) c.drawLine(CPoint(i * 13, 0), CPoint(i * 13, 12));
        });
        auto* selector =
            new CVXKavrelPatternSelector(CRect(10, 10, 218, 23), &listener, 0, overlay);
        if (overlay) overlay->forget();
        frame->addControl(selector);
        return selector;
    }
    // Centre of the cell drawn for pattern k.
    static CPoint cellCentre(int k) { return CPoint(10 + 1 + k * 13 + 6, 16); }
};

TEST_F(PatternSelectorTest, DraggingQueuesPatternsAndKeepsTheFirstPrevious) {
    CVXKavrelPatternSelector* selector = addSelector();
    EXPECT_EQ(selector->getTag(), 114);
    selector->setPatternIndex(2);
    selector->clearPending();
    listener.clear();

    press(10 + 5 * 13 + 3, 15); // cell 5
    EXPECT_TRUE(selector->isPending());
    EXPECT_FLOAT_EQ(selector->getValue(), 5.0f / 15.0f);
    move(10 + 5 * 13 + 8, 15); // same cell: nothing
    move(10 + 9 * 13 + 1, 15);
    EXPECT_FLOAT_EQ(selector->getValue(), 9.0f / 15.0f);
    EXPECT_FLOAT_EQ(selector->getPreviousValue(), 2.0f / 15.0f);
    move(500, 15); // beyond the last cell
    EXPECT_FLOAT_EQ(selector->getValue(), 1.0f);
    move(-50, 15);
    EXPECT_FLOAT_EQ(selector->getValue(), 0.0f);
    release(-50, 15);
    EXPECT_EQ(listener.values, (std::vector<float>{5.0f / 15.0f, 9.0f / 15.0f, 1.0f, 0.0f}));
    EXPECT_TRUE(listener.editsBalanced());

    // The host queues another change before the first plays: the playing one stays.
    selector->setPatternIndex(7);
    EXPECT_FLOAT_EQ(selector->getPreviousValue(), 2.0f / 15.0f);
    selector->clearPending();
    EXPECT_FALSE(selector->isPending());
    selector->setPatternIndex(99);
    EXPECT_FLOAT_EQ(selector->getValue(), 1.0f);
    EXPECT_FLOAT_EQ(selector->getPreviousValue(), 7.0f / 15.0f);
    EXPECT_EQ(press(20, 15, kRButton), kMouseEventNotHandled);
    EXPECT_TRUE(selector->isTypeOf("CVXKavrelPatternSelector"));
    EXPECT_TRUE(selector->isTypeOf("CControl"));
}

TEST_F(PatternSelectorTest, QueuedCellIsTranslucentWhiteBesideTheOrangePlayingCell) {
    SKIP_WITHOUT_BACKEND();
    CVXKavrelPatternSelector* selector = addSelector();
    selector->setPatternIndex(3);
    selector->clearPending();
    Pixels p = render();
    EXPECT_EQ(p.at(cellCentre(3).x, cellCentre(3).y), kOrange);
    EXPECT_EQ(p.at(cellCentre(4).x, cellCentre(4).y), kBackdrop);

    selector->setPatternIndex(6);
    selector->setPatternIndex(8);
    p = render();
    // 100 of 255 of white over the backdrop.
    CColor queued{118, 118, 118, 255};
    EXPECT_TRUE(colorNear(p.at(cellCentre(8).x, cellCentre(8).y), queued, 2));
    EXPECT_EQ(p.at(cellCentre(3).x, cellCentre(3).y), kOrange);
    EXPECT_EQ(p.at(cellCentre(6).x, cellCentre(6).y), kBackdrop);

    selector->clearPending();
    frame->updateBackBuffer();
    p = Pixels(*frame->getBackBuffer());
    EXPECT_EQ(p.at(cellCentre(8).x, cellCentre(8).y), kOrange);
    EXPECT_EQ(p.at(cellCentre(3).x, cellCentre(3).y), kBackdrop);

    // The cell is one pixel inside its share; the overlay draws on top.
    EXPECT_EQ(p.at(10 + 1 + 8 * 13 + 1, 11), kOrange);
    EXPECT_EQ(p.at(10 + 1 + 8 * 13 + 1, 10), kBackdrop);

    // Out-of-range values from a host show the nearest end.
    selector->setValue(3.0f);
    selector->clearPending();
    p = render();
    EXPECT_EQ(p.at(cellCentre(15).x, cellCentre(15).y), kOrange);
    selector->setValue(-3.0f);
    selector->clearPending();
    p = render();
    EXPECT_EQ(p.at(cellCentre(0).x, cellCentre(0).y), kOrange);
}

// ---- play button ----

class PlayButtonTest : public EditorControlTest {
protected:
    CVXKavrelPlayButton* addButton() {
        makeFrame();
        CBitmap* images = makeStates(62, 37, {kOff, kOn});
        auto* button = new CVXKavrelPlayButton(CRect(10, 10, 72, 47), &listener, images);
        if (images) images->forget();
        frame->addControl(button);
        return button;
    }
};

TEST_F(PlayButtonTest, PressingAStoppedTransportStartsItOnThePress) {
    CVXKavrelPlayButton* button = addButton();
    EXPECT_EQ(button->getTag(), 109);
    press(30, 30);
    release(30, 30);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"begin", "value 1.000000", "end"}));
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);

    // Pressed and dragged off before release: shows the state before the press, yet the
    // release still leaves 1 for the listener to act on.
    button->setValue(0.0f);
    listener.clear();
    press(30, 30);
    move(100, 100);
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    release(100, 100);
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f, 1.0f}));
    EXPECT_TRUE(listener.editsBalanced());
    EXPECT_TRUE(button->isTypeOf("CVXKavrelPlayButton"));
    EXPECT_TRUE(button->isTypeOf("CMovieButton"));
}

TEST_F(PlayButtonTest, PressingARunningTransportPreviewsOffAndReleaseSendsOne) {
    SKIP_WITHOUT_BACKEND();
    CVXKavrelPlayButton* button = addButton();
    button->setValue(1.0f);
    EXPECT_EQ(render().at(40, 30), kOn);

    press(30, 30);
    EXPECT_FLOAT_EQ(button->getValue(), 0.25f);
    frame->updateBackBuffer();
    EXPECT_EQ(Pixels(*frame->getBackBuffer()).at(40, 30), kOff);
    move(100, 30); // off the button: the running state shows again
    frame->updateBackBuffer();
    EXPECT_EQ(Pixels(*frame->getBackBuffer()).at(40, 30), kOn);
    move(40, 30);
    release(40, 30);
    EXPECT_EQ(listener.values, (std::vector<float>{0.25f, 1.0f, 0.25f, 1.0f}));
    EXPECT_TRUE(listener.editsBalanced());
    frame->updateBackBuffer();
    EXPECT_FLOAT_EQ(button->getLastDrawnValue(), 1.0f);
}

TEST_F(PlayButtonTest, AQuickClickWithNoRedrawInBetweenStillReportsTheRelease) {
    CVXKavrelPlayButton* button = addButton();
    button->setValue(1.0f);
    frame->redrawAll();
    press(30, 30);
    release(30, 30);
    EXPECT_EQ(listener.values, (std::vector<float>{0.25f, 1.0f}));
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
}

// ---- selector grid ----

class SelectorSwitchTest : public EditorControlTest {
protected:
    CSelectorSwitch* addSwitch() {
        makeFrame();
        std::vector<CColor> states;
        for (int i = 0; i < 6; ++i)
            states.push_back(CColor{static_cast<uint8_t>(40 * i), 100, 100, 255});
        CBitmap* images = makeStates(25, 18, states);
        auto* grid = new CSelectorSwitch(CRect(60, 60, 85, 78), &listener, 142, images);
        if (images) images->forget();
        frame->addControl(grid);
        return grid;
    }
};

TEST_F(SelectorSwitchTest, PickingByRowAndColumnClampsToTheGrid) {
    CSelectorSwitch* grid = addSwitch();
    EXPECT_FLOAT_EQ(grid->getDefaultValue(), 0.0f);
    press(61, 61); // first cell: already the value, nothing to report
    move(70, 61);  // second column
    EXPECT_FLOAT_EQ(grid->getValue(), 0.2f);
    move(80, 70); // third column, second row: the last position
    EXPECT_FLOAT_EQ(grid->getValue(), 1.0f);
    move(120, 61); // past the right edge on the top row stays on that row
    EXPECT_FLOAT_EQ(grid->getValue(), 0.4f);
    move(61, 120); // below the grid: the second row
    EXPECT_FLOAT_EQ(grid->getValue(), 0.6f);
    move(0, 0); // above and left: the first cell
    EXPECT_FLOAT_EQ(grid->getValue(), 0.0f);
    release(0, 0);
    EXPECT_EQ(listener.values, (std::vector<float>{0.2f, 1.0f, 0.4f, 0.6f, 0.0f}));
    EXPECT_TRUE(listener.editsBalanced());
    EXPECT_EQ(press(61, 61, kRButton), kMouseEventNotHandled);
    EXPECT_TRUE(grid->isTypeOf("CSelectorSwitch"));
}

TEST_F(SelectorSwitchTest, DrawsTheImageOfItsPosition) {
    SKIP_WITHOUT_BACKEND();
    CSelectorSwitch* grid = addSwitch();
    for (int i = 0; i < 6; ++i) {
        grid->setValue(i / 5.0f);
        EXPECT_EQ(render().at(70, 70).red, 40 * i) << i;
    }
    grid->setValue(9.0f);
    EXPECT_EQ(render().at(70, 70).red, 200);
    grid->setValue(-9.0f);
    EXPECT_EQ(render().at(70, 70).red, 0);
    CSelectorSwitch* copy = grid->newCopy();
    EXPECT_EQ(copy->getTag(), 142);
    EXPECT_EQ(copy->getBackground(), grid->getBackground());
    copy->forget();
}

// ---- momentary button ----

class MomentaryTest : public EditorControlTest {
protected:
    CMomentaryButton* addButton() {
        makeFrame();
        CBitmap* images = makeStates(44, 11, {kOff, kOn});
        auto* button = new CMomentaryButton(CRect(20, 20, 64, 31), &listener, 691, images);
        if (images) images->forget();
        frame->addControl(button);
        return button;
    }
};

TEST_F(MomentaryTest, SendsOneOnPressAndZeroOnReleaseAndNothingWhileDraggedOutside) {
    CMomentaryButton* button = addButton();
    press(30, 25);
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    move(100, 100);
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    move(64, 31); // the edges count as inside
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    move(65, 31);
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    release(65, 31);
    EXPECT_EQ(listener.calls,
              (std::vector<std::string>{"begin", "value 1.000000", "value 0.000000", "end"}));
    EXPECT_EQ(press(30, 25, kRButton), kMouseEventNotHandled);
    EXPECT_TRUE(button->isTypeOf("CMomentaryButton"));
    EXPECT_TRUE(button->isTypeOf("COnOffButton"));
}

TEST_F(MomentaryTest, ShowsDownOnlyWhileHeldOverIt) {
    SKIP_WITHOUT_BACKEND();
    addButton();
    EXPECT_EQ(render().at(40, 25), kOff);
    press(30, 25);
    frame->updateBackBuffer();
    EXPECT_EQ(Pixels(*frame->getBackBuffer()).at(40, 25), kOn);
    move(100, 25);
    frame->updateBackBuffer();
    EXPECT_EQ(Pixels(*frame->getBackBuffer()).at(40, 25), kOff);
    move(30, 25);
    release(30, 25);
    frame->updateBackBuffer();
    EXPECT_EQ(Pixels(*frame->getBackBuffer()).at(40, 25), kOff);
}

} // namespace

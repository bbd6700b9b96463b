// The view framework through its public operations on an offscreen frame: reference counts,
// mouse routing and result codes, the modifier offer, dirty views and idle redraw, and the
// conventional behaviour of the framework's controls.
#include "gui/CBitmap.h"
#include "gui/CButtons.h"
#include "gui/CFrame.h"
#include "gui/CKnob.h"
#include "gui/CSlider.h"
#include "gui/CSwitches.h"
#include "gui/GuiTestSupport.h"

#include <string>
#include <vector>

using kavrel::test::Pixels;

namespace {

struct Listener : CControlListener {
    std::vector<float> values;
    std::vector<std::string> gestures;
    long modifierAnswer = 0;
    std::vector<long> offered;
    void valueChanged(CControl* control) override { values.push_back(control->getValue()); }
    long controlModifierClicked(CControl*, long buttons) override {
        offered.push_back(buttons);
        return modifierAnswer;
    }
    void controlBeginEdit(CControl*) override { gestures.push_back("begin"); }
    void controlEndEdit(CControl*) override { gestures.push_back("end"); }
};

// A view that records what reaches it and answers presses with a chosen result.
struct ProbeView : CControl {
    long pressResult = kMouseEventHandled;
    std::vector<std::string> events;
    CColor color{0, 0, 255, 255};
    int draws = 0;
    bool* deleted = nullptr;
    ProbeView(const CRect& r, CControlListener* l = nullptr) : CControl(r, l, 1) {}
    ~ProbeView() override {
        if (deleted) *deleted = true;
    }
    void draw(CDrawContext* context) override {
        ++draws;
        context->setFillColor(color);
        context->drawRect(size, kDrawFilled);
        setDirty(false);
    }
    long onMouseDown(CPoint& p, long) override {
        events.push_back("down " + std::to_string(p.x));
        return pressResult;
    }
    long onMouseMoved(CPoint& p, long) override {
        events.push_back("move " + std::to_string(p.x));
        return kMouseEventHandled;
    }
    long onMouseUp(CPoint& p, long) override {
        events.push_back("up " + std::to_string(p.x));
        return kMouseEventHandled;
    }
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(); }
    void TearDown() override {
        if (frame) frame->forget();
    }
    CFrame* makeFrame(int w = 100, int h = 60) { return frame = new CFrame(CRect(0, 0, w, h)); }
    long press(int x, int y, long buttons = kLButton) {
        CPoint p(x, y);
        return frame->onMouseDown(p, buttons);
    }
    void move(int x, int y, long buttons = kLButton) {
        CPoint p(x, y);
        frame->onMouseMoved(p, buttons);
    }
    void release(int x, int y, long buttons = 0) {
        CPoint p(x, y);
        frame->onMouseUp(p, buttons);
    }

    CFrame* frame = nullptr;
    Listener listener;
};

TEST(ReferenceCountTest, ObjectsLiveUntilTheLastReferenceGoes) {
    bool deleted = false;
    auto* view = new ProbeView(CRect(0, 0, 1, 1));
    view->deleted = &deleted;
    EXPECT_EQ(view->getNbReference(), 1);
    view->remember();
    EXPECT_EQ(view->getNbReference(), 2);
    view->forget();
    EXPECT_FALSE(deleted);
    view->forget();
    EXPECT_TRUE(deleted);
}

TEST_F(FrameTest, ContainersOwnTheirChildrenAndSharedBitmapsSurvive) {
    makeFrame();
    bool deleted = false;
    auto* view = new ProbeView(CRect(0, 0, 10, 10));
    view->deleted = &deleted;
    auto* bitmap = new CBitmap(999999);
    view->setBackground(bitmap);
    EXPECT_EQ(bitmap->getNbReference(), 2);
    frame->addView(view);
    frame->removeView(view);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(bitmap->getNbReference(), 1);
    bitmap->forget();
}

TEST_F(FrameTest, MovesAndReleaseGoToTheViewThatTookThePress) {
    makeFrame();
    auto* a = new ProbeView(CRect(0, 0, 50, 60));
    auto* b = new ProbeView(CRect(50, 0, 100, 60));
    frame->addView(a);
    frame->addView(b);
    EXPECT_EQ(press(10, 10), kMouseEventHandled);
    move(70, 10); // over b, still a's drag
    release(80, 10);
    move(70, 20, 0); // no press: hover reaches the view under the pointer
    EXPECT_EQ(a->events, (std::vector<std::string>{"down 10", "move 70", "up 80"}));
    EXPECT_EQ(b->events, (std::vector<std::string>{"move 70"}));
}

TEST_F(FrameTest, ResultCodesDecideWhatFollowsAPress) {
    makeFrame();
    auto* below = new ProbeView(CRect(0, 0, 100, 60));
    auto* above = new ProbeView(CRect(0, 0, 50, 60));
    frame->addView(below);
    frame->addView(above);

    above->pressResult = kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    EXPECT_EQ(press(10, 10), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    move(11, 10);
    release(12, 10);
    EXPECT_EQ(above->events, (std::vector<std::string>{"down 10"}));
    EXPECT_TRUE(below->events.empty());

    // Not handled: the press falls through to the view beneath, which then owns the drag.
    above->events.clear();
    below->events.clear();
    above->pressResult = kMouseEventNotHandled;
    EXPECT_EQ(press(10, 10), kMouseEventHandled);
    move(13, 10);
    release(14, 10);
    EXPECT_EQ(above->events, (std::vector<std::string>{"down 10"}));
    EXPECT_EQ(below->events, (std::vector<std::string>{"down 10", "move 13", "up 14"}));

    // Hidden and mouse-disabled views take nothing.
    below->events.clear();
    below->setMouseEnabled(false);
    above->setVisible(false);
    EXPECT_EQ(press(10, 10), kMouseEventNotHandled);
    EXPECT_TRUE(below->events.empty());
}

TEST_F(FrameTest, ModifierClicksAreOfferedToTheListenerFirst) {
    makeFrame();
    auto* view = new ProbeView(CRect(0, 0, 100, 60), &listener);
    frame->addView(view);

    press(5, 5, kLButton); // a plain left click is not offered
    release(5, 5);
    EXPECT_TRUE(listener.offered.empty());
    EXPECT_EQ(view->events.size(), 2u);

    view->events.clear();
    listener.modifierAnswer = 1;
    EXPECT_EQ(press(5, 5, kLButton | kControl | kShift),
              kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    move(6, 5);
    EXPECT_EQ(listener.offered, (std::vector<long>{kLButton | kControl | kShift}));
    EXPECT_TRUE(view->events.empty()); // neither the press nor a drag arrived

    view->events.clear();
    listener.modifierAnswer = 0;
    press(5, 5, kRButton);
    EXPECT_EQ(listener.offered.size(), 2u);
    EXPECT_EQ(view->events, (std::vector<std::string>{"down 5"}));
}

TEST_F(FrameTest, IdleRedrawsOnlyWhatChanged) {
    makeFrame();
    auto* a = new ProbeView(CRect(0, 0, 20, 20));
    auto* b = new ProbeView(CRect(60, 0, 80, 20));
    frame->addView(a);
    frame->addView(b);
    frame->updateBackBuffer();
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);

    EXPECT_TRUE(frame->updateBackBuffer().empty()); // nothing dirty, nothing drawn
    EXPECT_EQ(a->draws + b->draws, 2);

    a->setValue(0.7f);
    a->color = CColor{255, 0, 0, 255};
    std::vector<CRect> drawn = frame->updateBackBuffer();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0], CRect(0, 0, 20, 20));
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 1);
    Pixels p(*frame->getBackBuffer());
    EXPECT_EQ(p.at(5, 5), (CColor{255, 0, 0, 255}));

    // Hiding uncovers the frame beneath; the hidden view is not drawn.
    b->setVisible(false);
    frame->updateBackBuffer();
    EXPECT_EQ(b->draws, 1);
    EXPECT_EQ(Pixels(*frame->getBackBuffer()).at(65, 5), kBlackCColor);
}

TEST_F(FrameTest, OverlappingViewsRedrawTogetherInOrder) {
    makeFrame();
    auto* below = new ProbeView(CRect(0, 0, 40, 40));
    auto* above = new ProbeView(CRect(10, 10, 20, 20));
    above->color = CColor{0, 255, 0, 255};
    frame->addView(below);
    frame->addView(above);
    frame->updateBackBuffer();
    below->setDirty(true);
    frame->updateBackBuffer();
    EXPECT_EQ(above->draws, 2); // drawn again on top of the view that changed
    EXPECT_EQ(Pixels(*frame->getBackBuffer()).at(15, 15), (CColor{0, 255, 0, 255}));
}

TEST_F(FrameTest, ScaleFactorSizesTheBackBufferAndMapsPointsBack) {
    frame = new CFrame(CRect(0, 0, 30, 20), 2.0);
    auto* view = new ProbeView(CRect(10, 0, 20, 10));
    frame->addView(view);
    frame->redrawAll();
    COffscreenContext* buffer = frame->getBackBuffer();
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->getDeviceWidth(), 60);
    EXPECT_EQ(buffer->getDeviceHeight(), 40);
    Pixels p(*buffer);
    EXPECT_EQ(p.at(20, 0), view->color);
    EXPECT_EQ(p.at(39, 19), view->color);
    EXPECT_NE(p.at(40, 0), view->color);
    EXPECT_EQ(frame->toView(CPoint(39, 19)), CPoint(19, 9));
}

// ---- framework controls ----

class ControlTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        makeFrame(200, 200);
    }
    template <class T> T* add(T* control) {
        frame->addView(control);
        return control;
    }
};

TEST_F(ControlTest, KnobsDragLinearlyWithShiftFinerAndRebaseOnModifierChanges) {
    frame->setKnobMode(kLinearMode);
    auto* knob = add(new CKnob(CRect(50, 50, 90, 90), &listener, 7, nullptr));
    knob->setValue(0.2f);
    press(70, 70);
    move(90, 70); // 20 px right of 200 for the range
    EXPECT_NEAR(knob->getValue(), 0.3f, 1e-5);
    move(90, 50); // and 20 up
    EXPECT_NEAR(knob->getValue(), 0.4f, 1e-5);
    move(120, 50, kLButton | kShift); // Shift pressed: re-based, no jump
    EXPECT_NEAR(knob->getValue(), 0.4f, 1e-5);
    move(150, 50, kLButton | kShift); // 30 px of 300
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
    move(900, 50, kLButton | kShift);
    EXPECT_EQ(knob->getValue(), 1.0f); // bounced into range
    release(900, 50);
    EXPECT_EQ(listener.gestures, (std::vector<std::string>{"begin", "end"}));
    EXPECT_EQ(listener.values.back(), 1.0f);
}

TEST_F(ControlTest, KnobsFollowTheAngleWithAltInLinearModeAndPinAtTheEnds) {
    frame->setKnobMode(kLinearMode);
    auto* knob = add(new CKnob(CRect(50, 50, 90, 90), &listener, 7, nullptr));
    press(70, 55, kLButton | kAlt); // straight above the centre: the middle
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-3);
    move(100, 70, kLButton | kAlt); // right: three quarters of the way
    EXPECT_NEAR(knob->getValue(), 0.8333f, 1e-3);
    move(90, 90, kLButton | kAlt); // lower right: the maximum
    EXPECT_NEAR(knob->getValue(), 1.0f, 1e-3);
    move(50, 85, kLButton | kAlt); // across the gap to the lower left: pinned at maximum
    EXPECT_EQ(knob->getValue(), 1.0f);
    release(50, 85);
}

TEST_F(ControlTest, InCircularModeAltSwapsToLinearDragging) {
    auto* knob = add(new CKnob(CRect(50, 50, 90, 90), &listener, 7, nullptr));
    press(89, 70); // right of the centre: by angle
    EXPECT_NEAR(knob->getValue(), 0.8333f, 1e-3);
    release(89, 70);
    press(70, 70, kLButton | kAlt);
    move(80, 70, kLButton | kAlt);
    EXPECT_NEAR(knob->getValue(), 0.8833f, 1e-3);
    release(80, 70);
}

TEST_F(ControlTest, ControlClickRestoresTheDefaultWithoutADrag) {
    auto* knob = add(new CKnob(CRect(50, 50, 90, 90), &listener, 7, nullptr));
    knob->setValue(0.9f);
    knob->setDefaultValue(0.25f);
    EXPECT_EQ(press(70, 70, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(knob->getValue(), 0.25f);
    EXPECT_EQ(listener.values, (std::vector<float>{0.25f}));
    move(100, 70, kLButton | kControl);
    EXPECT_EQ(knob->getValue(), 0.25f);
}

TEST_F(ControlTest, WheelStepsKnobsAndSlidersAndShiftStepsFiner) {
    auto* knob = add(new CKnob(CRect(0, 0, 40, 40), &listener, 7, nullptr));
    auto* slider =
        add(new CHorizontalSlider(CRect(0, 100, 100, 110), &listener, 8, 0, 100, nullptr, nullptr));
    knob->setValue(0.5f);
    EXPECT_TRUE(frame->onWheel(CPoint(20, 20), 2.0f, 0));
    EXPECT_NEAR(knob->getValue(), 0.7f, 1e-5);
    frame->onWheel(CPoint(20, 20), -1.0f, kShift);
    EXPECT_NEAR(knob->getValue(), 0.69f, 1e-5);
    frame->onWheel(CPoint(20, 20), 100.0f, 0);
    EXPECT_EQ(knob->getValue(), 1.0f);
    EXPECT_EQ(listener.gestures.size(), 6u); // begin/end around each change

    slider->setValue(0.0f);
    frame->onWheel(CPoint(50, 105), 1.0f, 0);
    EXPECT_NEAR(slider->getValue(), 0.1f, 1e-5);
}

TEST_F(ControlTest, SlidersDragTheHandleAlongTheirWidth) {
    // Travel 100 - 10 = 90 pixels for the range (a handle 10 wide, here without bitmap: 1).
    auto* slider =
        add(new CHorizontalSlider(CRect(0, 0, 101, 10), &listener, 8, 0, 101, nullptr, nullptr));
    slider->setValue(0.0f);
    EXPECT_EQ(slider->getHandleRect().left, 0);
    press(0, 5); // on the handle: no jump
    EXPECT_EQ(slider->getValue(), 0.0f);
    move(50, 5);
    EXPECT_NEAR(slider->getValue(), 0.5f, 1e-5);
    move(250, 5);
    EXPECT_EQ(slider->getValue(), 1.0f);
    release(250, 5);

    press(25, 5); // beside the handle: it jumps under the pointer
    EXPECT_NEAR(slider->getValue(), 0.25f, 1e-5);
    move(35, 5, kLButton | kShift); // Shift: re-based, then ten times finer
    move(45, 5, kLButton | kShift);
    EXPECT_NEAR(slider->getValue(), 0.26f, 1e-5);
    release(45, 5);

    slider->setDefaultValue(0.5f);
    EXPECT_EQ(press(80, 5, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(slider->getValue(), 0.5f);
}

TEST_F(ControlTest, OnOffButtonsToggleOnPress) {
    auto* button = add(new COnOffButton(CRect(0, 0, 20, 10), &listener, 3, nullptr));
    EXPECT_EQ(press(5, 5), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(button->getValue(), 1.0f);
    press(5, 5);
    EXPECT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(press(5, 5, kRButton), kMouseEventNotHandled);
}

TEST_F(ControlTest, MovieButtonsToggleAndTakeItBackWhenThePointerLeaves) {
    auto* button = add(new CMovieButton(CRect(0, 0, 20, 10), &listener, 3, 10, nullptr));
    press(5, 5);
    EXPECT_EQ(button->getValue(), 1.0f);
    move(50, 5);
    EXPECT_EQ(button->getValue(), 0.0f);
    move(6, 5);
    EXPECT_EQ(button->getValue(), 1.0f);
    release(6, 5);
    EXPECT_EQ(button->getValue(), 1.0f);
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f, 1.0f}));
    EXPECT_EQ(listener.gestures, (std::vector<std::string>{"begin", "end"}));
}

TEST_F(ControlTest, VerticalSwitchesPickTheCellUnderThePointer) {
    // Twelve cells of 10 pixels; the top one is the minimum.
    auto* sw = add(new CVerticalSwitch(CRect(0, 0, 20, 120), &listener, 265, 12, 120, 12, nullptr));
    press(5, 35);
    EXPECT_NEAR(sw->getValue(), 3.0f / 11.0f, 1e-6);
    move(5, 119);
    EXPECT_EQ(sw->getValue(), 1.0f);
    move(5, -40);
    EXPECT_EQ(sw->getValue(), 0.0f);
    release(5, -40);
    frame->onWheel(CPoint(5, 5), -1.0f, 0); // wheel down: one cell down
    EXPECT_NEAR(sw->getValue(), 1.0f / 11.0f, 1e-6);
    frame->onWheel(CPoint(5, 5), 3.0f, 0);
    EXPECT_EQ(sw->getValue(), 0.0f);
}

TEST_F(ControlTest, MovieBitmapsShowTheFrameOfTheirValueAndTakeNoMouse) {
    auto* movie = add(new CMovieBitmap(CRect(0, 0, 10, 10), &listener, 710, 3, 10, nullptr));
    EXPECT_FALSE(movie->getMouseEnabled());
    EXPECT_EQ(press(5, 5), kMouseEventNotHandled);
}

TEST_F(ControlTest, SplashScreensAppearAndDisappearOnClicks) {
    auto* splash = add(
        new CSplashScreen(CRect(100, 0, 120, 20), &listener, 0, nullptr, CRect(0, 0, 200, 150)));
    press(110, 10);
    EXPECT_EQ(splash->getValue(), 1.0f);
    EXPECT_EQ(splash->getViewSize(), CRect(0, 0, 200, 150));
    press(10, 100); // anywhere on the picture hides it
    EXPECT_EQ(splash->getValue(), 0.0f);
    EXPECT_EQ(splash->getViewSize(), CRect(100, 0, 120, 20));
}

} // namespace

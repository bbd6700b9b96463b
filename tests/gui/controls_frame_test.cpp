// The editor's frame and the multi-tag control base: registration by tag, the learn highlight
// and its outline, linear knob dragging, and valueChangedAt reaching the editor's listener.
#include "ControlTestSupport.h"

#include "editor/CVXKnobs.h"
#include "gui/CKnob.h"

using namespace kavrel::test;

namespace {

constexpr CColor kLearnGreen{0, 176, 100, 255};

// A control owning a tag range, as the step rows do.
struct RangeControl : CVXControl {
    RangeControl(const CRect& r, CControlListener* l, long tag) : CVXControl(r, l, tag) {}
    bool ownsTag(long t) const override { return t >= tag && t < tag + 4; }
    std::set<long> getTags() const override { return {tag, tag + 1, tag + 2, tag + 3}; }
    long onMouseDown(CPoint&, long) override {
        notifyValueAt(tag + 2, 1.0f);
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
};

TEST(VXControlTest, OwnsItsOwnNonZeroTagAndReportsThroughValueChangedAt) {
    RecordingListener listener;
    CVXControl control(CRect(0, 0, 10, 10), &listener, 42);
    EXPECT_TRUE(control.ownsTag(42));
    EXPECT_FALSE(control.ownsTag(41));
    EXPECT_EQ(control.getTags(), std::set<long>{42});
    control.setValueAt(7, 0.25f);
    EXPECT_FLOAT_EQ(control.getValue(), 0.25f);
    EXPECT_FLOAT_EQ(control.getValueAt(99), 0.25f);
    control.notifyValueAt(43, 0.5f);
    EXPECT_EQ(listener.calls, std::vector<std::string>{"at 43 0.500000"});

    CVXControl untagged(CRect(0, 0, 10, 10), nullptr, 0);
    EXPECT_FALSE(untagged.ownsTag(0));
    untagged.notifyValueAt(1, 1.0f); // no listener: nothing happens

    EXPECT_TRUE(control.isTypeOf("CVXControl"));
    EXPECT_TRUE(control.isTypeOf("CControl"));
    EXPECT_FALSE(control.isTypeOf("CKnob"));

    control.setMax(3.0f);
    control.setDefaultValue(2.0f);
    CVXControl* copy = control.newCopy();
    EXPECT_EQ(copy->getTag(), 42);
    EXPECT_FLOAT_EQ(copy->getValue(), 0.25f);
    EXPECT_FLOAT_EQ(copy->getMax(), 3.0f);
    EXPECT_FLOAT_EQ(copy->getDefaultValue(), 2.0f);
    EXPECT_EQ(copy->getListener(), &listener);
    copy->forget();
}

TEST_F(EditorControlTest, FrameFindsControlsByEveryTagTheyOwn) {
    makeFrame();
    auto* knob = new CKnob(CRect(10, 10, 40, 40), &listener, 5, nullptr);
    auto* row = new RangeControl(CRect(50, 10, 90, 20), &listener, 300);
    auto* caption = new CView(CRect(0, 100, 50, 110));
    frame->addControl(knob);
    frame->addMultiControl(row);
    frame->addTaggedView(caption, -1);
    EXPECT_EQ(frame->getNbViews(), 3);
    EXPECT_EQ(frame->controlForTag(5), knob);
    EXPECT_EQ(frame->controlForTag(302), row);
    EXPECT_EQ(frame->controlForTag(304), nullptr);
    EXPECT_EQ(frame->viewForTag(-1), caption);
    EXPECT_EQ(frame->getKnobMode(), kLinearMode);
    EXPECT_TRUE(frame->isTypeOf("CHighlightFrame"));
    EXPECT_TRUE(frame->isTypeOf("CFrame"));

    press(60, 15);
    EXPECT_EQ(listener.calls, std::vector<std::string>{"at 302 1.000000"});

    // Removing a control forgets its tags and its highlight: nothing dangles.
    frame->highlightTag(301, true);
    EXPECT_EQ(frame->getHighlight(), row);
    frame->removeView(row);
    EXPECT_EQ(frame->controlForTag(300), nullptr);
    EXPECT_EQ(frame->getHighlight(), nullptr);
    frame->redrawAll();
}

TEST_F(EditorControlTest, KnobsDragLinearlyInTheEditorsFrame) {
    makeFrame();
    auto* knob = new CKnob(CRect(10, 10, 40, 40), &listener, 5, nullptr);
    frame->addControl(knob);
    press(25, 25);
    move(45, 25); // 20 pixels right of 200: a tenth of the range
    release(45, 25);
    EXPECT_NEAR(knob->getValue(), 0.1f, 1e-5f);
}

TEST_F(EditorControlTest, ModifierClicksGoToTheListenerBeforeTheControl) {
    makeFrame();
    auto* knob = new CVXVKnob(CRect(10, 10, 40, 40), &listener, 5, kWhiteCColor, kLearnGreen,
                              kWhiteCColor, kLearnGreen);
    frame->addControl(knob);
    knob->setValue(0.5f);
    // The editor takes Control+Shift for controller learn: the knob never sees the press.
    listener.modifierAnswer = 1;
    EXPECT_EQ(press(25, 25, kLButton | kControl | kShift),
              kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    move(60, 25, kLButton | kControl | kShift);
    release(60, 25);
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    // Declined, the press reaches the knob: Shift alone drags finely.
    listener.modifierAnswer = 0;
    press(25, 25, kLButton | kShift);
    move(55, 25, kLButton | kShift);
    release(55, 25);
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-5f);
    EXPECT_EQ(listener.calls.front(), "begin");
    EXPECT_EQ(listener.calls.back(), "end");
}

TEST_F(EditorControlTest, HighlightTagMovesTheOutlineBetweenControls) {
    SKIP_WITHOUT_BACKEND();
    makeFrame();
    auto* a = new CKnob(CRect(10, 10, 40, 40), &listener, 5, nullptr);
    auto* b = new CKnob(CRect(60, 10, 90, 40), &listener, 6, nullptr);
    frame->addControl(a);
    frame->addControl(b);
    frame->setHighlightColour(0, 176, 100, 255);
    EXPECT_EQ(frame->getHighlightColour(), kLearnGreen);

    frame->highlightTag(5, true);
    Pixels p = render();
    EXPECT_TRUE(colorNear(p.at(10, 20), kLearnGreen));
    EXPECT_TRUE(colorNear(p.at(39, 20), kLearnGreen));
    EXPECT_TRUE(colorNear(p.at(25, 10), kLearnGreen));
    EXPECT_TRUE(colorNear(p.at(25, 39), kLearnGreen));
    EXPECT_FALSE(colorNear(p.at(60, 20), kLearnGreen, 40));

    // Switching to another tag redraws on idle: the old outline goes, the new one appears.
    frame->highlightTag(6, true);
    frame->updateBackBuffer();
    p = Pixels(*frame->getBackBuffer());
    EXPECT_FALSE(colorNear(p.at(10, 20), kLearnGreen, 40));
    EXPECT_TRUE(colorNear(p.at(60, 20), kLearnGreen));

    // A control of a hidden page shows no outline; off removes it.
    b->setVisible(false);
    frame->updateBackBuffer();
    EXPECT_EQ(Pixels(*frame->getBackBuffer()).count(kLearnGreen), 0);
    b->setVisible(true);
    frame->highlightTag(6, false);
    EXPECT_EQ(frame->getHighlight(), nullptr);
    frame->updateBackBuffer();
    EXPECT_EQ(Pixels(*frame->getBackBuffer()).count(kLearnGreen), 0);

    // A tag without a control clears the highlight; the packed colour is 0xAARRGGBB.
    frame->highlightTag(5, true);
    frame->highlightTag(77, true);
    EXPECT_EQ(frame->getHighlight(), nullptr);
    frame->setHighlightColour(0x80FF2010u);
    EXPECT_EQ(frame->getHighlightColour(), (CColor{255, 32, 16, 128}));
}

} // namespace

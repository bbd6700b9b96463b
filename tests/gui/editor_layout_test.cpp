// The whole editor bound to a real plug-in object: gestures at the layout's own coordinates on
// an offscreen window, checked against the plug-in's state, and the plug-in's reports checked
// against what the window shows after idle.
#include "editor/CEGControl.h"
#include "editor/CHighlightFrame.h"
#include "editor/CVXKavrelPatternSelector.h"
#include "editor/CVXKavrelPlayButton.h"
#include "editor/CVXKnobs.h"
#include "editor/CVXNumerical.h"
#include "editor/CVXTextDisplay.h"
#include "editor/CVXVMultislider.h"
#include "editor/CVXValueTip.h"
#include "editor/KavrelEditor.h"
#include "gui/GuiTestSupport.h"
#include "support/InProcessPlugin.h"
#include "support/MidiEvents.h"

#include <cmath>

using kavrel::test::InProcessPlugin;
using kavrel::test::Pixels;

namespace {

constexpr long kCtrlShift = kLButton | kControl | kShift;

class EditorLayoutTest : public InProcessPlugin {
protected:
    void SetUp() override {
        SKIP_WITHOUT_BACKEND();
        InProcessPlugin::SetUp();
        ASSERT_TRUE(editor()->openOffscreen());
    }
    void TearDown() override {
        if (host) host->dispatch(vst::effEditClose);
        InProcessPlugin::TearDown();
    }
    KavrelEditor* editor() { return static_cast<KavrelEditor*>(plugin->getEditor()); }
    CHighlightFrame* frame() { return editor()->getHighlightFrame(); }
    void idle() { host->dispatch(vst::effEditIdle); }
    long press(int x, int y, long buttons = kLButton) {
        CPoint p(x, y);
        return frame()->onMouseDown(p, buttons);
    }
    void move(int x, int y) {
        CPoint p(x, y);
        frame()->onMouseMoved(p, kLButton);
    }
    void release(int x, int y) {
        CPoint p(x, y);
        frame()->onMouseUp(p, 0);
    }
    void click(int x, int y, long buttons = kLButton) {
        press(x, y, buttons);
        release(x, y);
    }
    // Centre of a step button (110..526 wide, 13 px rows from voice 0 at the bottom).
    static CPoint stepPoint(int voice, int step) {
        return CPoint(110 + step * 13 + 6, 445 - 13 * voice + 6);
    }
    // Centre of a voice's cell in the selector (voice 11 on top).
    static CPoint selectorPoint(int voice) {
        return CPoint(82, 301 + static_cast<int>((11 - voice) * 157.0 / 12.0 + 6.0));
    }
    std::string laneTitle() { return editor()->getLaneTitle()->getText(); }
    void playInternal() {
        setReal(113, 1.0f); // internal clock
        set(109, 1.0f);
    }
};

TEST_F(EditorLayoutTest, OpeningShowsTheCurrentVoicesPageAndItsVelocities) {
    EXPECT_EQ(editor()->getCurrentVoice(), 0);
    EXPECT_EQ(editor()->getLaneParam(), -1);
    EXPECT_EQ(laneTitle(), "Kickdrum Velocity");
    EXPECT_EQ(editor()->getLane()->getStyle() & CVXVMultislider::kCentred, 0);
    for (CView* view : editor()->voiceControls(0)) EXPECT_TRUE(view->isVisible());
    for (int v = 1; v < 12; ++v)
        for (CView* view : editor()->voiceControls(v)) EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(frame()->getHighlightColour(), (CColor{0, 176, 100, 255}));
    for (int i = 0; i < kavrel::kNumParams; ++i)
        EXPECT_EQ(editor()->controlForTag(i) != nullptr, i != 92) << "parameter " << i;
}

TEST_F(EditorLayoutTest, StepButtonsWriteTheCurrentPattern) {
    plugin->setStep(3, 5, false);
    CPoint p = stepPoint(3, 5);
    ASSERT_EQ(editor()->controlForTag(KavrelEditor::stepTag(3, 5)),
              static_cast<CControl*>(editor()->getRow(3)));
    EXPECT_EQ(KavrelEditor::stepTag(3, 5), 368);
    click(p.x, p.y);
    EXPECT_EQ(plugin->pattern().steps[3][5], 0xFF);
    EXPECT_EQ(plugin->pattern().steps[2][5] | plugin->pattern().steps[4][5], 0);
    click(p.x, p.y);
    EXPECT_EQ(plugin->pattern().steps[3][5], 0);
}

TEST_F(EditorLayoutTest, PagesAndTheLaneFollowVoiceAndKnob) {
    // A sound knob of the page puts its parameter's steps in the lane, centred.
    press(47, 61);
    EXPECT_EQ(editor()->getLaneParam(), 0);
    EXPECT_EQ(laneTitle(), plugin->parameters().getLongName(0));
    EXPECT_NE(editor()->getLane()->getStyle() & CVXVMultislider::kCentred, 0);
    release(47, 61);
    EXPECT_EQ(editor()->getLaneParam(), 0);

    // Editing the lane now writes that parameter's lane and locks it.
    click(110 + 2 * 13 + 6, 205);
    const int k = kavrel::kitPosition(0);
    EXPECT_TRUE(plugin->pattern().hasLane[k]);
    EXPECT_TRUE(plugin->pattern().isLocked(0, 0));
    EXPECT_GT(plugin->pattern().lanes[k][2], 0.8f);

    // The selected voice again: back to velocities.
    CPoint kick = selectorPoint(0);
    click(kick.x, kick.y);
    EXPECT_EQ(editor()->getLaneParam(), -1);
    EXPECT_EQ(laneTitle(), "Kickdrum Velocity");
    EXPECT_EQ(editor()->getLane()->getStyle() & CVXVMultislider::kCentred, 0);

    // Another voice: its page and velocities.
    CPoint tom = selectorPoint(3);
    click(tom.x, tom.y);
    EXPECT_EQ(editor()->getCurrentVoice(), 3);
    EXPECT_EQ(laneTitle(), "Low Tom Velocity");
    for (CView* view : editor()->voiceControls(0)) EXPECT_FALSE(view->isVisible());
    for (CView* view : editor()->voiceControls(3)) EXPECT_TRUE(view->isVisible());
    // The page's knob at place A is now the low tom's tune.
    press(47, 61);
    EXPECT_EQ(editor()->getLaneParam(), 29);
    release(47, 61);
}

TEST_F(EditorLayoutTest, LaneToolsShapeTheShownRow) {
    click(392 + 22, 191); // ramp over the velocities of voice 0
    const int n = plugin->pattern().stepCount();
    EXPECT_FLOAT_EQ(plugin->pattern().velocities[0][0], 1.0f);
    EXPECT_FLOAT_EQ(plugin->pattern().velocities[0][n / 2], 0.5f);
    EXPECT_FLOAT_EQ(editor()->getLane()->getSliderValue(n / 2), 0.5f);
    click(63 + 22, 206); // clear
    EXPECT_FLOAT_EQ(plugin->pattern().velocities[0][0], 0.0f);
    click(63 + 22, 220); // re-randomise on
    EXPECT_EQ(plugin->pattern().velocityRandomize[0], 1);
    EXPECT_EQ(editor()->getLaneRandomButton()->getValue(), 1.0f);
}

TEST_F(EditorLayoutTest, DraggingARandomVelocityReadOutSendsItOver127) {
    set(214, 0.0f);
    idle();
    CControl* readOut = editor()->controlForTag(214);
    ASSERT_NE(readOut, nullptr);
    press(249, 485);
    int y = 485;
    while (readOut->getValue() < 64.0f && y > 300) move(249, --y);
    release(249, y);
    ASSERT_EQ(readOut->getValue(), 64.0f) << "the read-out moves in whole steps";
    EXPECT_FLOAT_EQ(get(214), 64.0f / 127.0f);

    set(214, 1.0f);
    idle();
    EXPECT_EQ(readOut->getValue(), 127.0f);
}

TEST_F(EditorLayoutTest, ControlShiftClickLearnsOnlyWhereAParameterIs) {
    CControl* tempo = editor()->controlForTag(111);
    EXPECT_EQ(press(585, 420, kCtrlShift), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_TRUE(plugin->isLearning());
    EXPECT_EQ(plugin->learningParameter(), 111);
    EXPECT_EQ(frame()->getHighlight(), tempo);
    frame()->redrawAll();
    Pixels shown(*frame()->getBackBuffer());
    int learnPixels = 0;
    const CRect r = tempo->getViewSize();
    for (int y = r.top - 2; y < r.bottom + 2; ++y)
        for (int x = r.left - 2; x < r.right + 2; ++x)
            learnPixels += kavrel::test::near(shown.at(x, y), CColor{0, 176, 100, 255}, 8);
    EXPECT_GT(learnPixels, 40) << "the learn outline is drawn in the learn colour";

    // The same click again ends learning.
    press(585, 420, kCtrlShift);
    EXPECT_FALSE(plugin->isLearning());
    idle();
    EXPECT_EQ(frame()->getHighlight(), nullptr);

    // Envelope editors and step rows take the click and do nothing with it.
    const float attack = get(2);
    EXPECT_EQ(press(300, 100, kCtrlShift), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    CPoint step = stepPoint(3, 5);
    const uint8_t before = plugin->pattern().steps[3][5];
    EXPECT_EQ(press(step.x, step.y, kCtrlShift), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_FALSE(plugin->isLearning());
    EXPECT_EQ(get(2), attack);
    EXPECT_EQ(plugin->pattern().steps[3][5], before);
}

TEST_F(EditorLayoutTest, HostClearOfARowRedrawsThatRow) {
    for (int s = 0; s < 16; s += 4) plugin->setStep(0, s, true);
    editor()->showRowSteps(0);
    idle();
    EXPECT_EQ(editor()->getRow(0)->getSteps()[4], 1);
    set(226, 1.0f); // "KD Clear"
    idle();
    for (uint8_t on : editor()->getRow(0)->getSteps()) EXPECT_EQ(on, 0);
}

TEST_F(EditorLayoutTest, ClosedWindowCallsDoNothing) {
    editor()->selectVoice(4);
    host->dispatch(vst::effEditClose);
    EXPECT_FALSE(editor()->isOpen());
    editor()->selectVoice(7);
    editor()->refreshLane(652);
    editor()->showStepPosition(3);
    editor()->showPattern(2);
    editor()->showPendingPattern(5);
    editor()->showRowSteps(1);
    editor()->showLaneTitle();
    editor()->setParameter(111, 0.5f);
    editor()->valueChangedAt(KavrelEditor::stepTag(1, 1), 1.0f);
    idle();
    EXPECT_EQ(editor()->getCurrentVoice(), 4);
    EXPECT_EQ(plugin->pattern().steps[1][1], 0);
    EXPECT_FALSE(editor()->hasPendingParameter(111));
    // Reopened, the page chosen before comes back.
    ASSERT_TRUE(editor()->openOffscreen());
    EXPECT_EQ(editor()->getCurrentVoice(), 4);
    EXPECT_EQ(laneTitle(), "Mid Tom Velocity");
}

// The value a control shows for a normalised parameter value.
float shownValue(KavrelEditor* editor, int index) {
    CControl* c = editor->controlForTag(index);
    float v =
        c->isTypeOf("CVXControl") ? static_cast<CVXControl*>(c)->getValueAt(index) : c->getValue();
    return index >= 214 && index <= 225 ? v / 127.0f : v;
}

TEST_F(EditorLayoutTest, EveryParameterRoundTripsBothWays) {
    // Host to control: each value is seen by its control after idle.
    for (int i = 0; i < kavrel::kNumParams; ++i) {
        if (i == 92 || i == 109 || i == 110) continue; // transport: see the transport test
        const float value = i >= 214 && i <= 225 ? 37.0f / 127.0f : 0.37f;
        set(i, value);
        idle();
        const float expected = get(i);
        if (i == 114)
            EXPECT_EQ(CVXKavrelPatternSelector::cellOf(shownValue(editor(), i)),
                      CVXKavrelPatternSelector::cellOf(expected));
        else
            EXPECT_NEAR(shownValue(editor(), i), expected, 1e-5f) << "parameter " << i;
    }
    // Control to plug-in: what the control reports is what the plug-in holds.
    for (int i = 0; i < kavrel::kNumParams; ++i) {
        if (i == 92 || i == 109 || i == 110 || i == 114) continue;
        CControl* c = editor()->controlForTag(i);
        const float value = i >= 214 && i <= 225 ? 90.0f : 0.8f;
        if (c->isTypeOf("CVXControl")) {
            editor()->valueChangedAt(i, value);
        } else {
            c->setValue(value);
            editor()->valueChanged(c);
        }
        EXPECT_NEAR(get(i), i >= 214 && i <= 225 ? 90.0f / 127.0f : 0.8f, 1e-5f)
            << "parameter " << i;
    }
}

TEST_F(EditorLayoutTest, GesturesOnMixerAndTransportReachThePlugIn) {
    set(118, 0.5f);
    idle();
    press(72, 539);
    for (int y = 539; y > 520; --y) move(72, y);
    release(72, 520);
    EXPECT_GT(get(118), 0.5f); // level knob dragged up

    click(37, 451); // mute of the kick
    EXPECT_EQ(get(154), 1.0f);
    click(100 + 21, 577); // output of voice 1, lower row, right: F
    EXPECT_EQ(plugin->outputOf(1), 5);

    // The sync list box opens on the press; the release on "Internal" picks it.
    press(670, 369);
    move(670, 369 + 11);
    release(670, 369 + 11);
    EXPECT_EQ(static_cast<int>(plugin->parameters().getRealValue(113)), 1);

    click(599, 332); // play
    host->process(512);
    EXPECT_TRUE(plugin->isTransportRunning());
    click(671, 332); // stop
    host->process(512);
    EXPECT_FALSE(plugin->isTransportRunning());

    click(317 + 13 * 3 + 6, 482); // pattern 4 (not playing: at the next block)
    host->process(512);
    EXPECT_EQ(plugin->currentPatternIndex(), 3);

    // The tempo read-out sets the tempo it shows, and keeps it after idle.
    setReal(111, 120.0f);
    idle();
    press(608, 386);
    for (int y = 386; y > 376; --y) move(608, y);
    release(608, 376);
    idle();
    const float tempo = plugin->parameters().getRealValue(111);
    EXPECT_GT(tempo, 120.5f);
    EXPECT_FLOAT_EQ(editor()->getTempoDisplay()->getValue(), tempo);
}

TEST_F(EditorLayoutTest, PlayButtonAndStepHighlightFollowTheTransport) {
    auto selectedStep = [&]() {
        for (int s = 0; s < 32; ++s)
            if (editor()->getRow(0)->isSliderSelected(s)) return s;
        return -1;
    };
    // Internal clock started from the host's parameter.
    playInternal();
    for (int b = 0; b < 20; ++b) host->process(512);
    idle();
    EXPECT_EQ(editor()->getPlayButton()->getValue(), 1.0f);
    EXPECT_EQ(selectedStep(), plugin->pattern().currentStep);
    set(110, 1.0f);
    host->process(512);
    idle();
    EXPECT_EQ(editor()->getPlayButton()->getValue(), 0.0f);
    EXPECT_EQ(selectedStep(), -1);

    // The host's transport.
    setReal(113, 0.0f);
    vst::VstTimeInfo info{};
    info.sampleRate = 44100.0;
    info.tempo = 120.0;
    info.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;
    host->timeInfo = &info;
    for (int b = 0; b < 20; ++b) {
        host->process(512);
        info.ppqPos += 512 * 2.0 / 44100.0;
    }
    idle();
    EXPECT_EQ(editor()->getPlayButton()->getValue(), 1.0f);
    EXPECT_NE(selectedStep(), -1);
    EXPECT_FLOAT_EQ(editor()->getTempoDisplay()->getValue(), 120.0f);
    // A program chosen while it rolls keeps the light on, whatever Play it stored.
    host->dispatch(vst::effSetProgram, 0, 5);
    idle();
    EXPECT_EQ(editor()->getPlayButton()->getValue(), 1.0f);
    host->process(512);
    info.ppqPos += 512 * 2.0 / 44100.0;
    idle();
    EXPECT_EQ(editor()->getPlayButton()->getValue(), 1.0f);
    info.flags &= ~vst::kVstTransportPlaying;
    host->process(512);
    idle();
    EXPECT_EQ(editor()->getPlayButton()->getValue(), 0.0f);
    host->timeInfo = nullptr;

    // MIDI notes stepping the pattern.
    setReal(113, 2.0f);
    host->process(512, {kavrel::test::noteOn(84)});
    host->process(512, {kavrel::test::noteOn(84)});
    idle();
    EXPECT_EQ(editor()->getPlayButton()->getValue(), 1.0f);
    EXPECT_EQ(selectedStep(), plugin->pattern().currentStep);
}

TEST_F(EditorLayoutTest, ADraggedControlShowsItsValueUntilReleased) {
    auto* tune = static_cast<CVXBriskoVKnob*>(editor()->controlForTag(0));
    press(47, 61);
    move(47, 50);
    std::string shown = host->parameterDisplay(0);
    EXPECT_NE(tune->getLabel(), "Tune");
    EXPECT_NE(tune->getLabel().find(host->parameterLabel(0).substr(0, 2)), std::string::npos);
    release(47, 50);
    EXPECT_EQ(tune->getLabel(), "Tune");

    // A slider has no label: its value shows beside it.
    press(630, 408);
    move(660, 408);
    ASSERT_TRUE(editor()->getValueTip()->isVisible());
    EXPECT_NE(editor()->getValueTip()->getText().find('%'), std::string::npos)
        << editor()->getValueTip()->getText();
    release(660, 408);
    EXPECT_FALSE(editor()->getValueTip()->isVisible());

    // An envelope handle: the time it is dragged to.
    auto* envelope = static_cast<CEGControl*>(editor()->controlForTag(2));
    CSliderHandle* attack = envelope->handleForTag(2);
    ASSERT_NE(attack, nullptr);
    CPoint h = envelope->handleCentre(attack);
    press(h.x, h.y);
    move(h.x + 10, h.y);
    ASSERT_TRUE(editor()->getValueTip()->isVisible());
    EXPECT_NE(editor()->getValueTip()->getText().find("sec"), std::string::npos)
        << editor()->getValueTip()->getText();
    release(h.x + 10, h.y);
    EXPECT_FALSE(editor()->getValueTip()->isVisible());
}

TEST_F(EditorLayoutTest, AQueuedPatternShowsBesideThePlayingOneUntilItPlays) {
    playInternal();
    host->process(512);
    click(317 + 13 * 5 + 6, 482); // pattern 6 while playing: queued
    host->process(512);
    idle();
    EXPECT_EQ(plugin->currentPatternIndex(), 0);
    EXPECT_TRUE(editor()->getPatternSelector()->isPending());
    // At the end of the pattern the queued one plays, and the selector shows it alone.
    for (int b = 0; b < 200 && plugin->currentPatternIndex() != 5; ++b) host->process(512);
    ASSERT_EQ(plugin->currentPatternIndex(), 5);
    idle();
    EXPECT_FALSE(editor()->getPatternSelector()->isPending());
    EXPECT_EQ(CVXKavrelPatternSelector::cellOf(editor()->getPatternSelector()->getValue()), 5);
}

TEST_F(EditorLayoutTest, ALearnCompletedByAControllerTakesTheOutlineAway) {
    press(585, 420, kCtrlShift);
    ASSERT_EQ(frame()->getHighlight(), editor()->controlForTag(111));
    // The controller is taken once it is seen twice in a row.
    host->process(
        512, {kavrel::test::midiEvent(0xB0, 21, 64), kavrel::test::midiEvent(0xB0, 21, 70, 5)});
    idle();
    EXPECT_FALSE(plugin->isLearning());
    EXPECT_EQ(frame()->getHighlight(), nullptr);
    // The controller now moves the tempo knob, seen on the next idle.
    host->process(512, {kavrel::test::midiEvent(0xB0, 21, 127)});
    idle();
    EXPECT_NEAR(editor()->controlForTag(111)->getValue(), get(111), 1e-6f);
    EXPECT_GT(get(111), 0.9f);
}

} // namespace

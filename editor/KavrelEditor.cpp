#include "editor/KavrelEditor.h"

#include "editor/CEGControl.h"
#include "editor/CFontrastResource.h"
#include "editor/CHighlightFrame.h"
#include "editor/CMomentaryButton.h"
#include "editor/CSelectorSwitch.h"
#include "editor/CVXKavrelPatternSelector.h"
#include "editor/CVXKavrelPlayButton.h"
#include "editor/CVXKnobs.h"
#include "editor/CVXNumerical.h"
#include "editor/CVXTextDisplay.h"
#include "editor/CVXVMultislider.h"
#include "editor/CVXVPopupMenu.h"
#include "editor/CVXValueTip.h"
#include "gui/CBitmap.h"
#include "gui/CButtons.h"
#include "gui/CSlider.h"
#include "gui/CSwitches.h"

#include <cmath>
#include <cstring>

using namespace kavrel;

namespace {

const CColor kKnobFrame{90, 90, 90, 255};
const CColor kKnobFill{88, 50, 51, 255};
const CColor kEnvelopeHatch{156, 168, 170, 71};
const CColor kEnvelopeBackground{76, 90, 101, 255};
const CColor kEnvelopeGrid{0, 0, 0, 25};
const CColor kEnvelopeCurve{156, 168, 170, 255};
const CColor kHandleFrame{255, 255, 255, 255};
const CColor kHandleFill{76, 90, 101, 255};
const CColor kMenuFrame{0, 0, 0, 0};
const CColor kMenuBackground{60, 60, 60, 240};
const CColor kMenuHighlight{0, 0, 0, 255};
const CColor kMenuText{255, 0, 0, 255};

const char* const kVoiceNames[kNumVoices] = {"Kickdrum", "Snare 8",  "Snare 9",    "Low Tom",
                                             "Mid Tom",  "High Tom", "closed Hat", "Open Hat",
                                             "Cymbal",   "Rimshot",  "Clap",       "Cowbell"};

// The six knob places of a voice page.
const CRect kKnobPlaces[6] = {CRect(17, 35, 78, 87),   CRect(77, 35, 138, 87),
                              CRect(137, 35, 198, 87), CRect(17, 99, 78, 151),
                              CRect(77, 99, 138, 151), CRect(137, 99, 198, 151)};

struct PageKnob {
    int place; // 0..5 for A..F, -1 ends the list
    int tag;
    const char* label;
};
struct PageEnvelope {
    const char* caption; // null: none
    int tags[4];         // attack time, attack curve, decay time, decay curve
};
struct VoicePage {
    PageKnob knobs[7];
    PageEnvelope left;
    PageEnvelope right;
};

constexpr PageEnvelope kNoEnvelope{nullptr, {0, 0, 0, 0}};

const VoicePage kPages[kNumVoices] = {
    {{{0, 0, "Tune"},
      {1, 1, "Saturation"},
      {2, 11, "Noise Freq"},
      {3, 10, "Pitch Mod"},
      {4, 12, "Click Level"},
      {-1, 0, nullptr}},
     {"Amp Envelope", {2, 3, 4, 5}},
     {"Pitch Envelope", {6, 7, 8, 9}}},
    {{{0, 25, "Tune"},
      {1, 26, "Noise Color"},
      {2, 28, "Noise Level"},
      {3, 27, "Noise Decay"},
      {-1, 0, nullptr}},
     kNoEnvelope,
     kNoEnvelope},
    {{{0, 14, "Tune"}, {1, 19, "Noise Color"}, {2, 24, "Noise Level"}, {-1, 0, nullptr}},
     {"Noise Amp Envelope", {20, 21, 22, 23}},
     {"Tone Amp Envelope", {15, 16, 17, 18}}},
    {{{0, 29, "Tune"},
      {1, 30, "Pitch EG"},
      {2, 34, "Saturation"},
      {3, 31, "Click Lvl"},
      {4, 32, "Noise Lvl"},
      {5, 33, "Tone Lvl"},
      {-1, 0, nullptr}},
     {"Tone 1 Envelope", {35, 36, 37, 38}},
     {"Tone 2 Envelope", {39, 40, 41, 42}}},
    {{{0, 43, "Tune"},
      {1, 44, "Pitch EG"},
      {2, 48, "Saturation"},
      {3, 45, "Click Lvl"},
      {4, 46, "Noise Lvl"},
      {5, 47, "Tone Lvl"},
      {-1, 0, nullptr}},
     {"Tone 1 Envelope", {49, 50, 51, 52}},
     {"Tone 2 Envelope", {53, 54, 55, 56}}},
    {{{0, 57, "Tune"},
      {1, 58, "Pitch EG"},
      {2, 62, "Saturation"},
      {3, 59, "Click Lvl"},
      {4, 60, "Noise Lvl"},
      {5, 61, "Tone Lvl"},
      {-1, 0, nullptr}},
     {"Tone 1 Envelope", {63, 64, 65, 66}},
     {"Tone 2 Envelope", {67, 68, 69, 70}}},
    {{{0, 84, "Tune"},
      {1, 86, "Decay"},
      {3, 82, "BPF Freq"},
      {4, 83, "HPF Freq"},
      {5, 85, "Noise Mix"},
      {-1, 0, nullptr}},
     kNoEnvelope,
     kNoEnvelope},
    {{{0, 89, "Tune"},
      {1, 91, "Decay"},
      {3, 87, "BPF Freq"},
      {4, 88, "HPF Freq"},
      {5, 90, "Noise Mix"},
      {-1, 0, nullptr}},
     kNoEnvelope,
     kNoEnvelope},
    {{{0, 93, "Tune"},
      {1, 94, "Noise Lvl"},
      {2, 95, "Ding Lvl"},
      {3, 101, "Low BPF"},
      {4, 96, "High BPF"},
      {-1, 0, nullptr}},
     {"Ding Envelope", {102, 103, 104, 105}},
     {"High Envelope", {97, 98, 99, 100}}},
    {{{0, 106, "Tune"}, {1, 107, "HPF Freq"}, {-1, 0, nullptr}}, kNoEnvelope, kNoEnvelope},
    {{{0, 71, "Tone"}, {1, 72, "Reverb"}, {-1, 0, nullptr}}, kNoEnvelope, kNoEnvelope},
    {{{0, 73, "Tune"},
      {1, 79, "Filter Cut"},
      {2, 80, "Filter Q"},
      {3, 74, "Detune"},
      {-1, 0, nullptr}},
     {"Amp Envelope", {75, 76, 77, 78}},
     kNoEnvelope},
};

bool isStepTag(long tag) {
    return tag >= KavrelEditor::kTagFirstStep && tag <= KavrelEditor::kTagLastStep;
}
bool isLaneTag(long tag) {
    return tag >= KavrelEditor::kTagFirstLane && tag <= KavrelEditor::kTagLastLane;
}
bool isRandomVelocity(long tag) {
    return tag >= kParamRandomVelocityFirst && tag < kParamRandomVelocityFirst + kNumVoices;
}
int voiceOfSelector(float value) {
    int v = static_cast<int>((1.0f - value) * 11.0f + 0.5f);
    return v < 0 ? 0 : v > 11 ? 11 : v;
}

// Host display texts come padded to a fixed width; the tip shows them trimmed and joined.
void appendTrimmed(std::string& out, const char* text) {
    const char* begin = text;
    while (*begin == ' ') ++begin;
    const char* end = begin + std::strlen(begin);
    while (end > begin && end[-1] == ' ') --end;
    if (end == begin) return;
    if (!out.empty()) out += ' ';
    out.append(begin, end);
}

} // namespace

KavrelEditor::KavrelEditor(Kavrel* plugin)
    : AEffGUIEditor(plugin), plugin(plugin), background(new CBitmap(kBackgroundId)),
      displayFont(new CFontrastResource(kDisplayFontId)),
      menuFont(new CFontrastResource(kMenuFontId)) {
    // Only the PNG header is read here: a project opens many instances and most never show
    // their window. Pixels decode on the first draw.
    rectangle.left = 0;
    rectangle.top = 0;
    rectangle.right = static_cast<vst::int16>(background->getWidth());
    rectangle.bottom = static_cast<vst::int16>(background->getHeight());
    knobMode = kLinearMode;
    for (auto& flag : valueReported) flag.store(false, std::memory_order_relaxed);
    plugin->setEditor(this);
    plugin->setEditorNotify(this);
}

KavrelEditor::~KavrelEditor() {
    destroyFrame();
    background->forget();
    displayFont->forget();
    menuFont->forget();
}

CHighlightFrame* KavrelEditor::getHighlightFrame() const {
    return static_cast<CHighlightFrame*>(frame);
}

CControl* KavrelEditor::controlForTag(long tag) const {
    return frame ? getHighlightFrame()->controlForTag(tag) : nullptr;
}

CVXKavrelMultiButton* KavrelEditor::getRow(int voice) const {
    return voice >= 0 && voice < kNumVoices ? rowControls[static_cast<size_t>(voice)] : nullptr;
}

const std::vector<CView*>& KavrelEditor::voiceControls(int voice) const {
    return voiceControlSets[static_cast<size_t>(voice < 0 ? 0 : voice > 11 ? 11 : voice)];
}

CBitmap* KavrelEditor::image(int id) {
    auto it = images.find(id);
    if (it != images.end()) return it->second;
    auto* bitmap = new CBitmap(id);
    images[id] = bitmap;
    return bitmap;
}

bool KavrelEditor::createFrame() {
    if (frame) return true;
    if (!background->isLoaded()) return false;
    auto* highlightFrame =
        new CHighlightFrame(CRect(0, 0, background->getWidth(), background->getHeight()));
    frame = highlightFrame;
    frame->setBackground(background);
    frame->setKnobMode(knobMode);
    if (!frame->getBackBuffer()) {
        destroyFrame();
        return false;
    }
    createControls();
    return true;
}

void KavrelEditor::destroyFrame() {
    windowOpen.store(false, std::memory_order_release);
    for (auto& set : voiceControlSets) set.clear();
    rowControls.fill(nullptr);
    laneControl = nullptr;
    voiceSelector = nullptr;
    patternSelector = nullptr;
    laneRandomButton = nullptr;
    laneTitle = nullptr;
    tempoDisplay = nullptr;
    playButton = nullptr;
    valueTip = nullptr;
    dragTag = -1;
    dragControl = nullptr;
    if (frame) {
        frame->forget();
        frame = nullptr;
    }
    for (auto& entry : images) entry.second->forget();
    images.clear();
    systemWindow = nullptr;
}

void KavrelEditor::addToPage(int voice, CView* view) {
    voiceControlSets[static_cast<size_t>(voice)].push_back(view);
}

void KavrelEditor::createControls() {
    CHighlightFrame* f = getHighlightFrame();
    auto slider = [&](const CRect& r, long tag, int handleId, int backgroundId) {
        return new CHorizontalSlider(r, this, tag, r.left, r.right, image(handleId),
                                     image(backgroundId));
    };
    auto menu = [&](const CRect& r, long tag, std::initializer_list<const char*> items) {
        auto* m = new CVXVPopupMenu(r, this, tag, menuFont, kMenuFrame, kMenuBackground,
                                    kMenuBackground, kMenuHighlight, kMenuText, kMenuText);
        for (const char* item : items) m->addItem(item);
        return m;
    };
    auto knob = [&](const CRect& r, long tag, const char* label) {
        return new CVXBriskoVKnob(r, this, tag, kKnobFrame, kKnobFill, image(10002), displayFont,
                                  label);
    };

    for (int k = 0; k < kNumVoices; ++k)
        f->addControl(new CVXKavrelSmallVKnob(CRect(64 + 40 * k, 531, 81 + 40 * k, 548), this,
                                              kParamLevelFirst + k, kKnobFrame, kKnobFill));
    for (int k = 0; k < kNumVoices; ++k)
        f->addControl(
            slider(CRect(60 + 40 * k, 552, 85 + 40 * k, 561), kParamPanFirst + k, 10016, 10015));
    for (int k = 0; k < kNumVoices; ++k)
        f->addControl(new CSelectorSwitch(CRect(60 + 40 * k, 563, 85 + 40 * k, 581), this,
                                          kParamOutputFirst + k, image(10017)));

    laneTitle = new CVXTextDisplay(CRect(93, 187, 293, 187 + displayFont->getHeight()), displayFont,
                                   "y0ya!");
    f->addTaggedView(laneTitle, -1);

    voiceSelector = new CVerticalSwitch(CRect(56, 301, 109, 458), this, kTagVoiceSelector, 12, 157,
                                        12, image(10001));
    f->addControl(voiceSelector);
    for (int k = 0; k < kNumVoices; ++k)
        f->addControl(new CMovieButton(CRect(32, 446 - 13 * k, 42, 456 - 13 * k), this,
                                       kParamMuteFirst + k, 10, image(10019)));
    for (int k = 0; k < kNumVoices; ++k)
        f->addControl(new CMovieButton(CRect(45, 446 - 13 * k, 55, 456 - 13 * k), this,
                                       kParamSoloFirst + k, 10, image(10020)));
    for (int k = kNumVoices - 1; k >= 0; --k) {
        auto* row = new CVXKavrelMultiButton(CRect(110, 445 - 13 * k, 526, 457 - 13 * k), this,
                                             stepTag(k, 0));
        rowControls[static_cast<size_t>(k)] = row;
        f->addMultiControl(row);
    }

    playButton = new CVXKavrelPlayButton(CRect(568, 314, 630, 351), this, image(10029));
    f->addControl(playButton);
    f->addControl(new CMomentaryButton(CRect(640, 314, 702, 351), this, kParamStop, image(10030)));
    f->addControl(knob(CRect(555, 379, 616, 431), kParamTempo, "Tempo:     "));
    f->addControl(knob(CRect(555, 440, 616, 492), kParamCompressor, "Compressor"));
    f->addControl(knob(CRect(555, 513, 616, 565), kParamOutputA, "Out A"));
    f->addControl(slider(CRect(622, 402, 699, 415), kParamSwing, 10022, 10021));
    f->addControl(slider(CRect(622, 463, 699, 476), kParamCompressorAttack, 10022, 10021));

    tempoDisplay = new CVXNumerical(CRect(597, 380, 619, 391), this, kTagTempoDisplay, displayFont);
    tempoDisplay->setMin(50.0f);
    tempoDisplay->setMax(250.0f);
    tempoDisplay->setSensitivity(0.005f);
    tempoDisplay->setValue(shownTempo());
    f->addControl(tempoDisplay);

    f->addControl(
        new CMovieBitmap(CRect(646, 515, 695, 526), this, kTagIndicator, 1, 11, image(10036)));
    f->addControl(
        new CMovieButton(CRect(640, 526, 702, 563), this, kParamMidiOutputOnly, 37, image(10035)));

    laneControl = new CVXKavrelMultiSlider(CRect(110, 202, 526, 247), this);
    f->addMultiControl(laneControl);
    const int laneTools[5] = {10024, 10031, 10032, 10033, 10027};
    const CRect laneToolRects[5] = {CRect(63, 201, 107, 212), CRect(347, 186, 391, 197),
                                    CRect(392, 186, 436, 197), CRect(437, 186, 481, 197),
                                    CRect(482, 186, 526, 197)};
    for (int i = 0; i < 5; ++i)
        f->addControl(
            new CMomentaryButton(laneToolRects[i], this, kTagLaneClear + i, image(laneTools[i])));
    laneRandomButton =
        new CMovieButton(CRect(63, 215, 107, 226), this, kTagLaneRandomize, 11, image(10023));
    f->addControl(laneRandomButton);
    f->addControl(
        new CMomentaryButton(CRect(390, 462, 434, 473), this, kTagClearPattern, image(10024)));
    f->addControl(
        new CMomentaryButton(CRect(436, 462, 480, 473), this, kTagCopyPattern, image(10025)));
    f->addControl(
        new CMomentaryButton(CRect(482, 462, 526, 473), this, kTagPastePattern, image(10026)));

    patternSelector =
        new CVXKavrelPatternSelector(CRect(317, 476, 526, 489), this, 0, image(10034));
    patternSelector->setPatternIndex(plugin->currentPatternIndex());
    patternSelector->clearPending();
    f->addControl(patternSelector);
    f->addControl(menu(CRect(474, 492, 525, 503), kParamStepSize,
                       {"1 x 32", "2 x 16", "1 x 16T", "1 x 16", "1 x 8T"}));
    f->addControl(menu(CRect(643, 364, 699, 375), kParamSync, {"Host", "Internal", "MIDI Note"}));

    for (int k = 0; k < kNumVoices; ++k) {
        auto add = [&](CControl* c) {
            f->addControl(c);
            addToPage(k, c);
        };
        add(slider(CRect(32, 478, 109, 491), kParamSelectedBeatsFirst + k, 10022, 10021));
        add(slider(CRect(120, 478, 197, 491), kParamRandomBeatsFirst + k, 10022, 10021));
        add(new CMomentaryButton(CRect(120, 462, 164, 473), this, kParamClearFirst + k,
                                 image(10024)));
        add(new CMomentaryButton(CRect(166, 462, 210, 473), this, kParamRandomFillFirst + k,
                                 image(10027)));
        add(new CMovieButton(CRect(212, 462, 256, 473), this, kParamRandomResetFirst + k, 11,
                             image(10023)));
        add(menu(CRect(202, 479, 230, 490), kParamRandomSizeFirst + k,
                 {"1/32", "1/16T", "1/16", "1/8T", "1/8", "1/4", "1/2"}));
        auto* velocity = new CVXKavrelVelocityNumerical(CRect(238, 479, 260, 490), this,
                                                        kParamRandomVelocityFirst + k, menuFont);
        velocity->setMin(0.0f);
        velocity->setMax(127.0f);
        add(velocity);
    }
    for (int k = 0; k < kNumVoices; ++k) createVoicePage(k);

    f->addControl(new CSplashScreen(CRect(547, 0, 728, 259), this, kTagAbout, image(10037),
                                    CRect(547, 0, 728, 259)));

    // Last, so that it draws over whatever it points at.
    valueTip = new CVXValueTip(displayFont);
    f->addView(valueTip);
}

void KavrelEditor::createVoicePage(int k) {
    CHighlightFrame* f = getHighlightFrame();
    const VoicePage& page = kPages[k];
    auto* title =
        new CMovieBitmap(CRect(23, 6, 119, 26), this, kTagFirstTitle + k, 1, 20, image(10003 + k));
    f->addControl(title);
    addToPage(k, title);
    for (const PageKnob& knob : page.knobs) {
        if (knob.place < 0) break;
        auto* c = new CVXBriskoVKnob(kKnobPlaces[knob.place], this, knob.tag, kKnobFrame, kKnobFill,
                                     image(10002), displayFont, knob.label);
        f->addControl(c);
        addToPage(k, c);
    }
    const PageEnvelope* envelopes[2] = {&page.left, &page.right};
    const int lefts[2] = {213, 373};
    for (int side = 0; side < 2; ++side) {
        const PageEnvelope& e = *envelopes[side];
        if (!e.caption) continue;
        const int x = lefts[side];
        auto* eg = new CEGARControl(CRect(x, 47, x + 153, 140), this, e.tags[0], e.tags[1], 0,
                                    e.tags[2], e.tags[3], kEnvelopeHatch, kEnvelopeBackground,
                                    kEnvelopeGrid, kEnvelopeCurve, kHandleFrame, kHandleFill);
        f->addMultiControl(eg);
        addToPage(k, eg);
        auto* caption = new CVXTextDisplay(CRect(x, 35, x + 100, 51), displayFont, e.caption);
        f->addTaggedView(caption, -1);
        addToPage(k, caption);
    }
    if (k == 0) {
        auto* wave =
            new CVerticalSwitch(CRect(151, 114, 185, 136), this, 13, 2, 22, 2, image(10018));
        f->addControl(wave);
        addToPage(k, wave);
        auto* caption = new CVXTextDisplay(CRect(147, 99, 247, 115), displayFont, "Waveform");
        f->addTaggedView(caption, -1);
        addToPage(k, caption);
    } else if (k == 11) {
        auto* more = new CMovieButton(CRect(144, 99, 188, 110), this, 81, 11, image(10028));
        f->addControl(more);
        addToPage(k, more);
    }
}

void KavrelEditor::resync() {
    getHighlightFrame()->setHighlightColour(0, 176, 100, 255);
    windowOpen.store(true, std::memory_order_release);
    // What was reported while no window showed it is read afresh below.
    applyReports();
    for (auto& set : voiceControlSets)
        for (CView* view : set) view->setVisible(false);
    selectVoice(currentVoice);
    shownStep = -1;
    shownRunning = -1;
    shownStepCount = -1;
    applyStepCount();
    applyStepPosition(playingStep());
    patternSelector->setPatternIndex(plugin->currentPatternIndex());
    patternSelector->clearPending();
    for (int v = 0; v < kNumVoices; ++v) loadRow(v);
    for (int i = 0; i < kNumParams; ++i) applyParameter(i, plugin->getParameter(i));
    followTransport();
    followLearn();
}

float KavrelEditor::shownTempo() const {
    // Until a host reports its tempo the read-out shows the plug-in's own, not the range's end.
    const float tempo = plugin->currentTempo();
    return tempo > 0.0f ? tempo : plugin->parameters().getRealValue(kParamTempo);
}

bool KavrelEditor::open(void* parentWindow) {
    if (frame) destroyFrame();
    if (!parentWindow || !createFrame()) return false;
    if (!frame->open(parentWindow)) {
        destroyFrame();
        return false;
    }
    AEffGUIEditor::open(parentWindow);
    resync();
    return true;
}

bool KavrelEditor::openOffscreen() {
    if (frame) destroyFrame();
    if (!createFrame()) return false;
    resync();
    return true;
}

void KavrelEditor::close() {
    destroyFrame();
}

void KavrelEditor::idle() {
    if (!frame || inIdle) return;
    inIdle = true;
    applyReports();
    if (tempoDisplay && dragControl != tempoDisplay) tempoDisplay->setValue(shownTempo());
    followTransport();
    followLearn();
    frame->idle();
    inIdle = false;
}

bool KavrelEditor::saveToPng(const char* path) {
    if (!frame) return false;
    applyReports();
    return frame->saveToPng(path);
}

void KavrelEditor::applyReports() {
    const bool show = isOpen();
    for (int i = 0; i < kNumParams; ++i) {
        auto k = static_cast<size_t>(i);
        if (valueReported[k].exchange(false, std::memory_order_acq_rel) && show)
            applyParameter(i, reportedValues[k].load(std::memory_order_relaxed));
    }
    const int pending = reportedPendingPattern.exchange(-1, std::memory_order_acq_rel);
    const int pattern = reportedPattern.exchange(-1, std::memory_order_acq_rel);
    const unsigned rows = rowsReported.exchange(0, std::memory_order_acq_rel);
    const bool lane = refreshReported.exchange(false, std::memory_order_acq_rel);
    const int step = reportedStep.exchange(-1, std::memory_order_acq_rel);
    if (!show) return;
    if (pattern >= 0) {
        patternSelector->setPatternIndex(pattern);
        patternSelector->clearPending();
    }
    if (pending >= 0 && pending != plugin->currentPatternIndex())
        patternSelector->setPatternIndex(pending);
    for (int v = 0; v < kNumVoices; ++v)
        if (rows & (1u << v)) loadRow(v);
    if (lane || pattern >= 0) loadLane();
    applyStepCount();
    if (step >= 0) applyStepPosition(step);
}

bool KavrelEditor::hasPendingParameter(int index) const {
    return index >= 0 && index < kNumParams &&
           valueReported[static_cast<size_t>(index)].load(std::memory_order_acquire);
}

void KavrelEditor::applyParameter(int index, float value) {
    if (!frame || index < 0 || index >= kNumParams) return;
    if ((index >= kParamClearFirst && index < kParamClearFirst + kNumVoices && value == 1.0f) ||
        (index >= kParamRandomFillFirst && index < kParamRandomFillFirst + kNumVoices &&
         value == 1.0f))
        loadRow(index >= kParamRandomFillFirst ? index - kParamRandomFillFirst
                                               : index - kParamClearFirst);
    if (isRandomVelocity(index)) value *= 127.0f;
    CControl* control = controlForTag(index);
    if (control) {
        if (control->isTypeOf("CVXControl"))
            static_cast<CVXControl*>(control)->setValueAt(index, value);
        else
            control->setValue(value);
    }
    if (index == kParamTempo && tempoDisplay) tempoDisplay->setValue(shownTempo());
    if (index == kParamStepSize) applyStepCount();
}

void KavrelEditor::loadRow(int voice) {
    CVXKavrelMultiButton* row = getRow(voice);
    if (!row) return;
    uint8_t steps[kPatternSteps];
    plugin->readPattern(
        [&](const KavrelPattern& pat) { std::memcpy(steps, pat.steps[voice], sizeof steps); });
    row->setSteps(steps, kPatternSteps);
}

void KavrelEditor::loadLane() {
    if (!laneControl) return;
    float values[kPatternSteps];
    bool randomize = false;
    const int k = kitPosition(laneParam);
    plugin->readPattern([&](const KavrelPattern& pat) {
        if (laneParam < 0 || k < 0) {
            std::memcpy(values, pat.velocities[currentVoice], sizeof values);
            randomize = pat.velocityRandomize[currentVoice] != 0;
        } else if (pat.hasLane[k]) {
            std::memcpy(values, pat.lanes[k], sizeof values);
            randomize = pat.laneRandomize[k] != 0;
        } else {
            // What the pattern will hold once the lane is first edited.
            for (float& v : values) v = 0.5f;
            randomize = false;
        }
    });
    laneControl->setValues(values, kPatternSteps);
    if (laneRandomButton) laneRandomButton->setValue(randomize ? 1.0f : 0.0f);
}

void KavrelEditor::applyStepCount() {
    const int count = plugin->readPattern([](const KavrelPattern& pat) { return pat.stepCount(); });
    if (count == shownStepCount) return;
    shownStepCount = count;
    for (auto* row : rowControls)
        if (row) row->setActiveCount(count);
    if (laneControl) laneControl->setActiveCount(count);
}

void KavrelEditor::applyStepPosition(int step) {
    shownStep = step;
    // A stopped sequencer shows no playing step; MIDI sync keeps the last one it stepped to.
    const bool running =
        plugin->isTransportRunning() ||
        static_cast<int>(plugin->parameters().getRealValue(kParamSync)) == Kavrel::kSyncMidi;
    auto mark = [&](CVXVMultislider* lane) {
        if (!lane) return;
        if (running && step >= 0 && step < kPatternSteps) {
            if (!lane->isSliderSelected(step)) lane->selectOnly(step);
        } else {
            for (int i = 0; i < kPatternSteps; ++i)
                if (lane->isSliderSelected(i)) lane->setSliderSelected(i, false);
        }
    };
    for (auto* row : rowControls) mark(row);
    mark(laneControl);
}

int KavrelEditor::playingStep() const {
    return plugin->readPattern([](const KavrelPattern& pat) { return pat.currentStep; });
}

void KavrelEditor::followTransport() {
    if (!playButton) return;
    const int running = plugin->isTransportRunning() ? 1 : 0;
    if (running == shownRunning) return;
    shownRunning = running;
    // A press in progress shows its own preview; the release settles it.
    if (dragControl != playButton) playButton->setValue(running ? 1.0f : 0.0f);
    applyStepPosition(running ? playingStep() : shownStep);
}

void KavrelEditor::followLearn() {
    CHighlightFrame* f = getHighlightFrame();
    if (!f) return;
    const long wanted = plugin->isLearning() ? plugin->learningParameter() : -1;
    CControl* current = f->getHighlight();
    CControl* target = wanted >= 0 ? f->controlForTag(wanted) : nullptr;
    if (current == target) return;
    if (target)
        f->highlightTag(wanted, true);
    else
        f->highlightTag(-1, false);
}

// Listener operations.

void KavrelEditor::valueChanged(CControl* control) {
    if (!control || !isOpen()) return;
    const long tag = control->getTag();
    if (tag == kTagVoiceSelector) {
        selectVoice(voiceOfSelector(control->getValue()));
        return;
    }
    valueChangedAt(tag, control->getValue());
}

void KavrelEditor::valueChangedAt(long tag, float value) {
    if (!isOpen()) return;
    if (isStepTag(tag)) {
        const long k = tag - kTagFirstStep;
        plugin->setStep(static_cast<int>(k / 32), static_cast<int>(k % 32), value == 1.0f);
    } else if (isLaneTag(tag)) {
        const int step = static_cast<int>(tag - kTagFirstLane);
        if (laneParam == -1)
            plugin->setVelocity(currentVoice, step, value);
        else
            plugin->setLaneValue(laneParam, step, value);
    } else if (tag >= kTagLaneClear && tag <= kTagLaneRandom) {
        if (value != 1.0f) return;
        const int op = static_cast<int>(tag - kTagLaneClear);
        if (laneParam == -1)
            plugin->shapeVelocity(currentVoice, op);
        else
            plugin->shapeLane(laneParam, op);
        loadLane();
    } else if (tag == kTagLaneRandomize) {
        if (laneParam == -1)
            plugin->setVelocityRandomize(currentVoice, value == 1.0f);
        else
            plugin->setLaneRandomize(laneParam, value == 1.0f);
    } else if (tag == kTagClearPattern) {
        if (value == 1.0f) plugin->clearPatternSteps();
    } else if (tag == kTagCopyPattern) {
        if (value == 1.0f) plugin->copyPattern();
    } else if (tag == kTagPastePattern) {
        if (value == 1.0f) plugin->pastePattern();
    } else if (tag == kTagTempoDisplay) {
        // The read-out sets the tempo it shows; without this a drag on it would snap back.
        plugin->setParameterAutomated(kParamTempo,
                                      plugin->parameters().realToNorm(kParamTempo, value));
    } else if (tag >= 0 && tag < kNumParams) {
        if (isRandomVelocity(tag)) {
            // The read-out shows whole velocities, so it sends them: a drag that stops on
            // "64" sets 64/127, not whatever fraction the pixels added up to.
            value = std::floor(value + 0.5f);
            if (CControl* readOut = controlForTag(tag)) readOut->setValue(value);
            value /= 127.0f;
        }
        plugin->setParameterAutomated(static_cast<vst::int32>(tag), value);
        if (dragTag >= 0) showDragValue(dragTag);
    }
}

void KavrelEditor::beginEdit(long tag) {
    if (tag == kTagVoiceSelector) {
        if (voiceSelector && voiceOfSelector(voiceSelector->getValue()) == currentVoice &&
            laneParam != -1) {
            laneParam = -1;
            laneControl->setStyle(0x42);
            loadLane();
            showLaneTitle();
        }
        return;
    }
    if (tag == kTagTempoDisplay) tag = kParamTempo;
    if (isKitParam(static_cast<int>(tag)) && laneControl) showLaneParameter(static_cast<int>(tag));
    if (tag >= 0 && tag < kNumParams) plugin->beginEdit(static_cast<vst::int32>(tag));
}

void KavrelEditor::endEdit(long tag) {
    if (tag == kTagTempoDisplay) tag = kParamTempo;
    if (tag >= 0 && tag < kNumParams) plugin->endEdit(static_cast<vst::int32>(tag));
}

void KavrelEditor::showLaneParameter(int param) {
    laneParam = param;
    laneControl->setStyle(0x2002);
    loadLane();
    if (laneTitle) {
        laneTitle->setText(plugin->parameters().getLongName(param).c_str());
        laneTitle->setDirty(true);
    }
}

void KavrelEditor::controlBeginEdit(CControl* control) {
    if (!control || !isOpen()) return;
    if (control->isTypeOf("CMultiXYControl")) {
        const auto& tags = static_cast<CMultiXYControl*>(control)->getEditingTags();
        for (long tag : tags) beginEdit(tag);
        if (!tags.empty()) {
            dragControl = control;
            showDragValue(tags.front());
        }
        return;
    }
    const long tag = control->getTag();
    beginEdit(tag);
    if (control->isTypeOf("CKnob") || control->isTypeOf("CHorizontalSlider") ||
        control->isTypeOf("CVXNumerical") || control == playButton) {
        dragControl = control;
        if (control != playButton && control != tempoDisplay && tag != kParamTempo)
            showDragValue(tag);
    }
}

void KavrelEditor::controlEndEdit(CControl* control) {
    if (!control || !isOpen()) return;
    if (control->isTypeOf("CMultiXYControl")) {
        for (long tag : static_cast<CMultiXYControl*>(control)->getEditingTags()) endEdit(tag);
    } else {
        endEdit(control->getTag());
    }
    if (control == dragControl) {
        endDragValue();
        dragControl = nullptr;
        // The transport may have changed while the play button was held.
        shownRunning = -1;
    }
}

void KavrelEditor::showDragValue(long tag) {
    if (!dragControl || tag < 0 || tag >= kNumParams) return;
    char display[64] = {};
    char label[64] = {};
    plugin->getParameterDisplay(static_cast<vst::int32>(tag), display);
    plugin->getParameterLabel(static_cast<vst::int32>(tag), label);
    std::string text;
    appendTrimmed(text, display);
    appendTrimmed(text, label);
    dragTag = tag;
    if (dragControl->isTypeOf("CVXBriskoVKnob")) {
        auto* knob = static_cast<CVXBriskoVKnob*>(dragControl);
        if (dragLabel.empty()) dragLabel = knob->getLabel();
        knob->setLabel(text.c_str());
        knob->setDirty(true);
        return;
    }
    // An envelope panel has room inside it; the caption above it stays readable.
    if (dragControl->isTypeOf("CEGControl")) {
        if (valueTip) valueTip->showInside(text.c_str(), dragControl->getViewSize());
        return;
    }
    // Over a slider's handle, so the value travels with it and clears the slider's caption.
    const CRect anchor = dragControl->isTypeOf("CHorizontalSlider")
                             ? static_cast<CHorizontalSlider*>(dragControl)->getHandleRect()
                             : dragControl->getViewSize();
    if (valueTip) valueTip->showAt(text.c_str(), anchor, frame->getViewSize());
}

void KavrelEditor::endDragValue() {
    if (dragControl && dragControl->isTypeOf("CVXBriskoVKnob") && !dragLabel.empty()) {
        auto* knob = static_cast<CVXBriskoVKnob*>(dragControl);
        knob->setLabel(dragLabel.c_str());
        knob->setDirty(true);
    }
    dragLabel.clear();
    dragTag = -1;
    if (valueTip) valueTip->setVisible(false);
}

long KavrelEditor::controlModifierClicked(CControl* control, long buttons) {
    if ((buttons & (kControl | kShift)) != (kControl | kShift)) return 0;
    if (control && isOpen() && control->getTag() >= 0 && control->getTag() <= 261 &&
        !control->isTypeOf("CEGControl")) {
        plugin->toggleLearn(static_cast<int>(control->getTag()));
        followLearn();
    }
    return 1;
}

void KavrelEditor::selectVoice(int k) {
    if (!isOpen() || k < 0 || k >= kNumVoices) return;
    for (CView* view : voiceControlSets[static_cast<size_t>(currentVoice)]) view->setVisible(false);
    currentVoice = k;
    for (CView* view : voiceControlSets[static_cast<size_t>(k)]) view->setVisible(true);
    voiceSelector->setValue(1.0f - static_cast<float>(k) / 11.0f);
    laneParam = -1;
    laneControl->setStyle(0x42);
    loadLane();
    showLaneTitle();
    frame->setDirty(true);
}

void KavrelEditor::showLaneTitle() {
    if (!isOpen() || !laneTitle) return;
    std::string title = kVoiceNames[currentVoice];
    title += " Velocity";
    laneTitle->setText(title.c_str());
    laneTitle->setDirty(true);
}

// Reports from the plug-in: stores only, on whatever thread.

void KavrelEditor::setParameter(int index, float value) {
    if (index < 0 || index >= kNumParams || !isOpen()) return;
    auto i = static_cast<size_t>(index);
    reportedValues[i].store(value, std::memory_order_relaxed);
    valueReported[i].store(true, std::memory_order_release);
}

void KavrelEditor::showStepPosition(int step) {
    if (isOpen()) reportedStep.store(step, std::memory_order_release);
}

void KavrelEditor::showPendingPattern(int pattern) {
    if (isOpen()) reportedPendingPattern.store(pattern, std::memory_order_release);
}

void KavrelEditor::showPattern(int pattern) {
    if (isOpen()) reportedPattern.store(pattern, std::memory_order_release);
}

void KavrelEditor::showRowSteps(int voice) {
    if (isOpen() && voice >= 0 && voice < kNumVoices)
        rowsReported.fetch_or(1u << voice, std::memory_order_acq_rel);
}

void KavrelEditor::refreshLane(int) {
    if (isOpen()) refreshReported.store(true, std::memory_order_release);
}

// The highlight follows the plug-in's learn state on idle.
void KavrelEditor::learnHighlight(int, bool) {}

#pragma once
#include "core/Kavrel.h"
#include "editor/CVXControl.h"
#include "gui/CPlatformWindow.h"
#include "params/KavrelParams.h"
#include "vst/AEffEditor.h"

#include <array>
#include <atomic>
#include <map>
#include <vector>

class CBitmap;
class CFontrastResource;
class CHighlightFrame;
class CVerticalSwitch;
class CMovieButton;
class CVXKavrelMultiButton;
class CVXKavrelMultiSlider;
class CVXKavrelPatternSelector;
class CVXKavrelPlayButton;
class CVXNumerical;
class CVXTextDisplay;
class CVXValueTip;
class CView;

// The plug-in's window. It lives as long as the plug-in; the frame and its controls exist
// only while a window is open (or an offscreen frame was made for a picture).
//
// The audio thread and the host's other threads report through KavrelEditorNotify into fixed
// atomic storage; only idle, on the window thread, turns those reports into control values.
// Nothing the audio thread calls allocates, locks or touches the window.
class KavrelEditor : public AEffGUIEditor, public CVXControlListener, public KavrelEditorNotify {
public:
    static constexpr int kBackgroundId = 10000;
    static constexpr int kDisplayFontId = 20000;
    static constexpr int kMenuFontId = 20001;

    // The editor's own tags beside the parameter indices.
    static constexpr long kTagVoiceSelector = 265;
    static constexpr long kTagTempoDisplay = 266;
    static constexpr long kTagFirstStep = 267;
    static constexpr long kTagLastStep = 650;
    static constexpr long kTagFirstLane = 652;
    static constexpr long kTagLastLane = 683;
    static constexpr long kTagLaneClear = 685;
    static constexpr long kTagLaneRandom = 689;
    static constexpr long kTagLaneRandomize = 690;
    static constexpr long kTagClearPattern = 691;
    static constexpr long kTagCopyPattern = 692;
    static constexpr long kTagPastePattern = 693;
    static constexpr long kTagFirstTitle = 694;
    static constexpr long kTagIndicator = 710;
    static constexpr long kTagAbout = 711;

    static constexpr long stepTag(int voice, int step) { return kTagFirstStep + 32 * voice + step; }

    explicit KavrelEditor(Kavrel* plugin);
    ~KavrelEditor() override;

    // Host-facing operations.
    bool open(void* parentWindow) override;
    void close() override;
    bool isOpen() const override { return windowOpen.load(std::memory_order_acquire); }
    void idle() override;

    // A frame with no window, for pictures and tests; the editor counts as open while it
    // exists. False when no back buffer can be made.
    bool openOffscreen();
    // Renders the whole editor into its frame and writes it as PNG (needs an open frame).
    bool saveToPng(const char* path);

    // Listener operations (window thread).
    void valueChanged(CControl* control) override;
    void valueChangedAt(long tag, float value) override;
    long controlModifierClicked(CControl* control, long buttons) override;
    void controlBeginEdit(CControl* control) override;
    void controlEndEdit(CControl* control) override;
    void beginEdit(long tag);
    void endEdit(long tag);

    // Window thread: the voice page shown, and the lane's title for velocities.
    void selectVoice(int voice);
    void showLaneTitle();

    // Reports from the plug-in (any thread). They land in fixed storage and take effect on
    // the next idle; while the window is closed they are dropped.
    void setParameter(int index, float value) override;
    void showStepPosition(int step) override;
    void showPendingPattern(int pattern) override;
    void showPattern(int pattern) override;
    void showRowSteps(int voice) override;
    void refreshLane(int tag) override;
    void learnHighlight(int index, bool on) override;

    CFontrastResource* getDisplayFont() const { return displayFont; }
    CFontrastResource* getMenuFont() const { return menuFont; }
    // Reports idle has not yet taken in (tests).
    bool hasPendingParameter(int index) const;

    // What the window shows (window thread; tests, tools).
    int getCurrentVoice() const { return currentVoice; }
    int getLaneParam() const { return laneParam; }
    CHighlightFrame* getHighlightFrame() const;
    CControl* controlForTag(long tag) const;
    CVXKavrelMultiButton* getRow(int voice) const;
    CVXKavrelMultiSlider* getLane() const { return laneControl; }
    CVXTextDisplay* getLaneTitle() const { return laneTitle; }
    CVXKavrelPatternSelector* getPatternSelector() const { return patternSelector; }
    CVXKavrelPlayButton* getPlayButton() const { return playButton; }
    CVXNumerical* getTempoDisplay() const { return tempoDisplay; }
    CMovieButton* getLaneRandomButton() const { return laneRandomButton; }
    CVXValueTip* getValueTip() const { return valueTip; }
    const std::vector<CView*>& voiceControls(int voice) const;

private:
    bool createFrame();
    void destroyFrame();
    CBitmap* image(int id);
    void createControls();
    void createVoicePage(int voice);
    void addToPage(int voice, CView* view);
    void resync();
    float shownTempo() const;
    // Takes in what the other threads reported since the last idle.
    void applyReports();
    // Sets the control of a parameter from a normalised value.
    void applyParameter(int index, float value);
    void applyStepPosition(int step);
    void applyStepCount();
    int playingStep() const;
    void followTransport();
    void followLearn();
    void loadRow(int voice);
    void loadLane();
    void showLaneParameter(int param);
    // The value and unit of the parameter being dragged, where its label or beside it.
    void showDragValue(long tag);
    void endDragValue();

    Kavrel* plugin;
    // The window system's drawing and OLE layers, held from construction to destruction
    // (before the images, which need them).
    CPlatformSession platformSession;
    CBitmap* background;
    CFontrastResource* displayFont;
    CFontrastResource* menuFont;
    std::atomic<bool> windowOpen{false};
    std::map<int, CBitmap*> images;

    std::array<CVXKavrelMultiButton*, kavrel::kNumVoices> rowControls{};
    CVXKavrelMultiSlider* laneControl = nullptr;
    CVerticalSwitch* voiceSelector = nullptr;
    CVXKavrelPatternSelector* patternSelector = nullptr;
    CMovieButton* laneRandomButton = nullptr;
    CVXTextDisplay* laneTitle = nullptr;
    CVXNumerical* tempoDisplay = nullptr;
    CVXKavrelPlayButton* playButton = nullptr;
    CVXValueTip* valueTip = nullptr;
    std::array<std::vector<CView*>, kavrel::kNumVoices> voiceControlSets;
    int currentVoice = 0;
    int laneParam = -1;
    int shownStep = -1;
    int shownRunning = -1;
    int shownStepCount = -1;
    long dragTag = -1;
    CControl* dragControl = nullptr;
    std::string dragLabel;

    std::array<std::atomic<float>, kavrel::kNumParams> reportedValues{};
    std::array<std::atomic<bool>, kavrel::kNumParams> valueReported{};
    std::atomic<int> reportedStep{-1};
    std::atomic<int> reportedPattern{-1};
    std::atomic<int> reportedPendingPattern{-1};
    std::atomic<unsigned> rowsReported{0}; // one bit per voice
    std::atomic<bool> refreshReported{false};
};

#pragma once
#include "core/Kavrel.h"
#include "gui/CControl.h"
#include "gui/CPlatformWindow.h"
#include "params/KavrelParams.h"
#include "vst/AEffEditor.h"

#include <array>
#include <atomic>

class CBitmap;
class CFontrastResource;

// The plug-in's window. It lives as long as the plug-in; the frame and its controls exist
// only while a window is open (or an offscreen frame was made for a picture).
//
// The audio thread and the host's other threads report through KavrelEditorNotify into fixed
// atomic storage; only idle, on the window thread, turns those reports into control values.
// Nothing the audio thread calls allocates, locks or touches the window.
class KavrelEditor : public AEffGUIEditor, public CControlListener, public KavrelEditorNotify {
public:
    static constexpr int kBackgroundId = 10000;
    static constexpr int kDisplayFontId = 20000;
    static constexpr int kMenuFontId = 20001;

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

    // Listener operations.
    void valueChanged(CControl* control) override;
    long controlModifierClicked(CControl* control, long buttons) override;
    void controlBeginEdit(CControl* control) override;
    void controlEndEdit(CControl* control) override;

    // Reports from the plug-in (any thread).
    void parameterChanged(int index, float value) override;
    void showStep(int step) override;
    void showPendingPattern(int pattern) override;
    void showPattern(int pattern) override;
    void rowStepsChanged(int voice) override;
    void refresh(int what) override;
    void learnHighlight(int index, bool on) override;

    CFontrastResource* getDisplayFont() const { return displayFont; }
    CFontrastResource* getMenuFont() const { return menuFont; }
    // Reports idle has not yet taken in (tests).
    bool hasPendingParameter(int index) const;

private:
    bool createFrame();
    void destroyFrame();
    // Takes in what the other threads reported since the last idle.
    void applyReports();

    Kavrel* plugin;
    // Before the images: the drawing layer they need starts first and stops last.
    CPlatformSession platformSession;
    CBitmap* background;
    CFontrastResource* displayFont;
    CFontrastResource* menuFont;
    std::atomic<bool> windowOpen{false};

    std::array<std::atomic<float>, kavrel::kNumParams> reportedValues{};
    std::array<std::atomic<bool>, kavrel::kNumParams> valueReported{};
    std::atomic<int> reportedStep{-1};
    std::atomic<int> reportedPattern{-1};
    std::atomic<int> reportedPendingPattern{-1};
    std::atomic<unsigned> rowsReported{0}; // one bit per voice
    std::atomic<bool> refreshReported{false};
};

#include "editor/KavrelEditor.h"

#include "editor/CFontrastResource.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"

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

bool KavrelEditor::createFrame() {
    if (frame) return true;
    if (!background->isLoaded()) return false;
    frame = new CFrame(CRect(0, 0, background->getWidth(), background->getHeight()));
    frame->setBackground(background);
    frame->setKnobMode(knobMode);
    if (!frame->getBackBuffer()) {
        destroyFrame();
        return false;
    }
    return true;
}

void KavrelEditor::destroyFrame() {
    windowOpen.store(false, std::memory_order_release);
    if (frame) {
        frame->forget();
        frame = nullptr;
    }
    systemWindow = nullptr;
}

bool KavrelEditor::open(void* parentWindow) {
    if (frame) destroyFrame();
    if (!parentWindow || !createFrame()) return false;
    if (!frame->open(parentWindow)) {
        destroyFrame();
        return false;
    }
    AEffGUIEditor::open(parentWindow);
    applyReports();
    windowOpen.store(true, std::memory_order_release);
    return true;
}

bool KavrelEditor::openOffscreen() {
    if (frame) destroyFrame();
    if (!createFrame()) return false;
    applyReports();
    windowOpen.store(true, std::memory_order_release);
    return true;
}

void KavrelEditor::close() {
    destroyFrame();
}

void KavrelEditor::idle() {
    if (!frame || inIdle) return;
    inIdle = true;
    applyReports();
    frame->idle();
    inIdle = false;
}

bool KavrelEditor::saveToPng(const char* path) {
    if (!frame) return false;
    applyReports();
    return frame->saveToPng(path);
}

void KavrelEditor::applyReports() {
    // The controls that show these arrive with the layout; until then the reports are only
    // taken in, so the storage never holds stale news for a later window.
    for (int i = 0; i < kavrel::kNumParams; ++i)
        valueReported[static_cast<size_t>(i)].exchange(false, std::memory_order_acq_rel);
    reportedStep.exchange(-1, std::memory_order_acq_rel);
    reportedPattern.exchange(-1, std::memory_order_acq_rel);
    reportedPendingPattern.exchange(-1, std::memory_order_acq_rel);
    rowsReported.exchange(0, std::memory_order_acq_rel);
    refreshReported.exchange(false, std::memory_order_acq_rel);
}

bool KavrelEditor::hasPendingParameter(int index) const {
    return index >= 0 && index < kavrel::kNumParams &&
           valueReported[static_cast<size_t>(index)].load(std::memory_order_acquire);
}

void KavrelEditor::valueChanged(CControl* control) {
    if (!control) return;
    long tag = control->getTag();
    if (tag >= 0 && tag < kavrel::kNumParams)
        plugin->setParameterAutomated(static_cast<vst::int32>(tag), control->getValue());
}

long KavrelEditor::controlModifierClicked(CControl*, long) {
    return 0;
}

void KavrelEditor::controlBeginEdit(CControl* control) {
    if (control && control->getTag() >= 0 && control->getTag() < kavrel::kNumParams)
        plugin->beginEdit(static_cast<vst::int32>(control->getTag()));
}

void KavrelEditor::controlEndEdit(CControl* control) {
    if (control && control->getTag() >= 0 && control->getTag() < kavrel::kNumParams)
        plugin->endEdit(static_cast<vst::int32>(control->getTag()));
}

void KavrelEditor::parameterChanged(int index, float value) {
    if (index < 0 || index >= kavrel::kNumParams) return;
    auto i = static_cast<size_t>(index);
    reportedValues[i].store(value, std::memory_order_relaxed);
    valueReported[i].store(true, std::memory_order_release);
}

void KavrelEditor::showStep(int step) {
    reportedStep.store(step, std::memory_order_release);
}

void KavrelEditor::showPendingPattern(int pattern) {
    reportedPendingPattern.store(pattern, std::memory_order_release);
}

void KavrelEditor::showPattern(int pattern) {
    reportedPattern.store(pattern, std::memory_order_release);
}

void KavrelEditor::rowStepsChanged(int voice) {
    if (voice >= 0 && voice < kavrel::kNumVoices)
        rowsReported.fetch_or(1u << voice, std::memory_order_acq_rel);
}

void KavrelEditor::refresh(int) {
    refreshReported.store(true, std::memory_order_release);
}

void KavrelEditor::learnHighlight(int, bool) {}

#include "editor/CHighlightFrame.h"

#include "editor/CVXControl.h"

#include <cstring>
#include <iterator>

CHighlightFrame::CHighlightFrame(const CRect& size, double scaleFactor)
    : CFrame(size, scaleFactor) {}

void CHighlightFrame::addTaggedView(CView* view, long tag) {
    if (!view) return;
    addView(view);
    views[tag] = view;
}

void CHighlightFrame::addMultiControl(CVXControl* control) {
    if (!control) return;
    addView(control);
    for (long tag : control->getTags()) controls[tag] = control;
}

void CHighlightFrame::addControl(CControl* control) {
    if (!control) return;
    addView(control);
    controls[control->getTag()] = control;
}

void CHighlightFrame::setHighlight(CControl* control) {
    if (control == highlight) return;
    if (highlight) highlight->invalid();
    highlight = control;
    if (highlight) highlight->invalid();
}

void CHighlightFrame::setHighlightColour(uint32_t argb) {
    setHighlightColour(static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                       static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 24));
}

void CHighlightFrame::setHighlightColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    highlightColour = CColor{red, green, blue, alpha};
    setDirty(true);
}

void CHighlightFrame::highlightTag(long tag, bool on) {
    if (highlight) highlight->setDirty(true);
    if (!on) {
        setHighlight(nullptr);
        return;
    }
    CControl* control = controlForTag(tag);
    if (control) control->setDirty(true);
    setHighlight(control);
}

long CHighlightFrame::getHighlightTag() const {
    return highlight ? highlight->getTag() : -1;
}

CControl* CHighlightFrame::controlForTag(long tag) const {
    auto it = controls.find(tag);
    return it == controls.end() ? nullptr : it->second;
}

CView* CHighlightFrame::viewForTag(long tag) const {
    auto it = views.find(tag);
    return it == views.end() ? nullptr : it->second;
}

void CHighlightFrame::setTopView(CView* view) {
    if (view == topView) return;
    if (topView) topView->invalid();
    topView = view;
    if (topView) topView->invalid();
}

void CHighlightFrame::drawOverlay(CDrawContext* context, const CRect& rect) {
    if (topView && topView->isVisible() && topView->getViewSize().rectOverlap(rect))
        topView->draw(context);
    // A control on a hidden voice page keeps its learn state but shows no outline over the
    // page that is showing.
    if (!highlight || !highlight->isVisible()) return;
    CColor savedColour = context->getFrameColor();
    int savedWidth = context->getLineWidth();
    context->setLineWidth(1);
    context->setFrameColor(highlightColour);
    context->drawRect(highlight->getViewSize(), kDrawStroked);
    context->setFrameColor(savedColour);
    context->setLineWidth(savedWidth);
}

void CHighlightFrame::forgetView(const CView* view) {
    if (view == highlight) highlight = nullptr;
    if (view == topView) topView = nullptr;
    for (auto it = controls.begin(); it != controls.end();)
        it = it->second == view ? controls.erase(it) : std::next(it);
    for (auto it = views.begin(); it != views.end();)
        it = it->second == view ? views.erase(it) : std::next(it);
}

void CHighlightFrame::removeView(CView* view) {
    if (view && isChild(view)) forgetView(view);
    CFrame::removeView(view);
}

void CHighlightFrame::removeAll() {
    highlight = nullptr;
    topView = nullptr;
    controls.clear();
    views.clear();
    CFrame::removeAll();
}

bool CHighlightFrame::isTypeOf(const char* className) const {
    return std::strcmp(className, "CHighlightFrame") == 0 || CFrame::isTypeOf(className);
}

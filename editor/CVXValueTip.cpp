#include "editor/CVXValueTip.h"

#include "editor/CFontrastResource.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kPadX = 4;
constexpr int kPadY = 2;
const CColor kPlate{24, 26, 30, 235};
const CColor kEdge{96, 100, 108, 255};
} // namespace

CVXValueTip::CVXValueTip(CFontrastResource* font) : CView(CRect(0, 0, 0, 0)), font(font) {
    if (font) font->remember();
    setMouseEnabled(false);
    setVisible(false);
}

CVXValueTip::~CVXValueTip() {
    if (font) font->forget();
}

void CVXValueTip::showAt(const char* shown, const CRect& anchor, const CRect& bounds) {
    const std::string next = shown ? shown : "";
    const int w = (font ? font->stringWidth(next.c_str()) : 0) + 2 * kPadX;
    const int h = (font ? font->getHeight() : 0) + 2 * kPadY;
    int left = (anchor.left + anchor.right) / 2 - w / 2;
    int top = anchor.top - h - 1;
    if (top < bounds.top) top = anchor.bottom + 1;
    left = std::max(bounds.left, std::min(left, bounds.right - w));
    top = std::max(bounds.top, std::min(top, bounds.bottom - h));
    place(next, CRect(left, top, left + w, top + h));
}

void CVXValueTip::showInside(const char* shown, const CRect& area) {
    const std::string next = shown ? shown : "";
    const int w = (font ? font->stringWidth(next.c_str()) : 0) + 2 * kPadX;
    const int h = (font ? font->getHeight() : 0) + 2 * kPadY;
    place(next, CRect(area.right - 3 - w, area.top + 3, area.right - 3, area.top + 3 + h));
}

void CVXValueTip::place(const std::string& next, const CRect& placed) {
    if (next == text && placed == size && isVisible()) return;
    // The old place is uncovered and the new one painted in the same redraw.
    if (isVisible()) invalid();
    text = next;
    setViewSize(placed);
    setVisible(true);
    invalid();
}

void CVXValueTip::draw(CDrawContext* context) {
    setDirty(false);
    if (size.width() <= 0 || size.height() <= 0) return;
    context->setFillColor(kPlate);
    context->drawRect(size, kDrawFilled);
    context->setFrameColor(kEdge);
    context->setLineWidth(1);
    context->drawRect(size, kDrawStroked);
    if (font) font->drawString(context, CPoint(size.left + kPadX, size.top + kPadY), text.c_str());
}

bool CVXValueTip::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXValueTip") == 0 || CView::isTypeOf(className);
}

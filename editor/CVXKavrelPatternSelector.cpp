#include "editor/CVXKavrelPatternSelector.h"

#include "editor/CVXControl.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

#include <cmath>
#include <cstring>

namespace {
constexpr CColor kPlayingColour{255, 153, 0, 255};
constexpr CColor kQueuedColour{255, 255, 255, 100};
} // namespace

CVXKavrelPatternSelector::CVXKavrelPatternSelector(const CRect& size, CControlListener* listener,
                                                   int, CBitmap* overlay)
    : CControl(size, listener, kTag, overlay),
      firstCell(size.left + 1, size.top, size.left + size.width() / kCells + 1, size.bottom) {}

int CVXKavrelPatternSelector::cellOf(float v) {
    float k = v * 15.0f + 0.5f;
    if (!(k >= 0.0f)) return 0; // also NaN
    return k >= 15.0f ? 15 : static_cast<int>(k);
}

CRect CVXKavrelPatternSelector::cellRect(int cell) const {
    CRect r = firstCell;
    r.offset(cell * firstCell.width(), 0);
    r.inset(1, 1);
    return r;
}

void CVXKavrelPatternSelector::setValue(float x) {
    if (!pending) {
        previousValue = value;
        pending = true;
    }
    value = x;
}

void CVXKavrelPatternSelector::setPatternIndex(int index) {
    if (index < 0) index = 0;
    if (index > kCells - 1) index = kCells - 1;
    setValue(static_cast<float>(index) / 15.0f);
}

void CVXKavrelPatternSelector::clearPending() {
    pending = false;
    setDirty(true);
}

long CVXKavrelPatternSelector::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    // Without an overlay the cells share the view's width.
    cellWidth = background && background->getWidth() > 0 ? background->getWidth() * 0.0625f
                                                         : size.width() * 0.0625f;
    beginEdit();
    dragging = true;
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

long CVXKavrelPatternSelector::onMouseMoved(CPoint& where, long buttons) {
    if (!dragging || !(buttons & kLButton)) return kMouseEventNotHandled;
    if (cellWidth <= 0.0f) return kMouseEventHandled;
    float v = std::trunc((where.x - size.left) / cellWidth) / 15.0f;
    v = v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
    if (v == value) return kMouseEventHandled;
    if (!pending) {
        previousValue = value;
        pending = true;
    }
    value = v;
    notifyValueChanged();
    if (isDirty()) invalid();
    return kMouseEventHandled;
}

long CVXKavrelPatternSelector::onMouseUp(CPoint&, long) {
    if (!dragging) return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

void CVXKavrelPatternSelector::draw(CDrawContext* context) {
    CColor savedFill = context->getFillColor();
    CColor savedFrame = context->getFrameColor();
    int savedWidth = context->getLineWidth();
    context->setLineWidth(1);
    int cell = cellOf(value);
    int previousCell = cellOf(previousValue);
    bool queued = pending && previousCell != cell;
    CColor colour = queued ? kQueuedColour : kPlayingColour;
    context->setFillColor(colour);
    context->setFrameColor(colour);
    context->drawRect(cellRect(cell), kDrawFilledAndStroked);
    if (queued) {
        context->setFillColor(kPlayingColour);
        context->setFrameColor(kPlayingColour);
        context->drawRect(cellRect(previousCell), kDrawFilledAndStroked);
    }
    context->setFillColor(savedFill);
    context->setFrameColor(savedFrame);
    context->setLineWidth(savedWidth);
    if (background) background->drawTransparent(context, size, CPoint(0, 0));
    setDirty(false);
}

bool CVXKavrelPatternSelector::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXKavrelPatternSelector") == 0 || CControl::isTypeOf(className);
}

CVXKavrelPatternSelector* CVXKavrelPatternSelector::newCopy() const {
    auto* copy = new CVXKavrelPatternSelector(size, listener, 0, background);
    copyControlState(*this, *copy);
    copy->pending = pending;
    copy->previousValue = previousValue;
    copy->cellWidth = cellWidth;
    return copy;
}

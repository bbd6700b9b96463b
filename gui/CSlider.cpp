#include "gui/CSlider.h"

#include "gui/CBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

CHorizontalSlider::CHorizontalSlider(const CRect& size, CControlListener* listener, long tag,
                                     int minPos, int maxPos, CBitmap* handle, CBitmap* background,
                                     const CPoint& offset)
    : CControl(size, listener, tag, background), handle(handle), offset(offset), minPos(minPos),
      maxPos(maxPos) {
    if (handle) handle->remember();
    backOffset = offset;
}

CHorizontalSlider::~CHorizontalSlider() {
    if (handle) handle->forget();
}

int CHorizontalSlider::handleWidth() const {
    return handle ? handle->getWidth() : 1;
}

int CHorizontalSlider::travel() const {
    return std::max(1, maxPos - minPos - handleWidth());
}

float CHorizontalSlider::fraction() const {
    float span = vmax - vmin;
    float f = span != 0.0f ? (value - vmin) / span : 0.0f;
    return std::clamp(f, 0.0f, 1.0f);
}

CRect CHorizontalSlider::getHandleRect() const {
    int left = minPos + static_cast<int>(std::lround(fraction() * travel()));
    int h = handle ? handle->getHeight() : size.height();
    int top = size.top + (size.height() - h) / 2;
    return CRect(left, top, left + handleWidth(), top + h);
}

void CHorizontalSlider::draw(CDrawContext* context) {
    if (background) background->drawTransparent(context, size, backOffset);
    if (handle) handle->drawTransparent(context, getHandleRect());
    setDirty(false);
}

long CHorizontalSlider::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) {
        invalid();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    beginEdit();
    dragging = true;
    CRect h = getHandleRect();
    grabOffset = where.x >= h.left && where.x < h.right ? where.x - h.left : handleWidth() / 2;
    lastButtons = buttons;
    fineStart = where;
    fineStartValue = value;
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

long CHorizontalSlider::onMouseMoved(CPoint& where, long buttons) {
    if (!dragging || !(buttons & kLButton)) return kMouseEventNotHandled;
    if (buttons != lastButtons) {
        // Shift pressed or released: carry on from here without a jump.
        lastButtons = buttons;
        fineStart = where;
        fineStartValue = value;
        grabOffset = where.x - getHandleRect().left;
    }
    float old = value;
    float span = vmax - vmin;
    if (buttons & kShift)
        value = fineStartValue + (where.x - fineStart.x) * span / (travel() * kFineFactor);
    else
        value = vmin + (where.x - grabOffset - minPos) * span / travel();
    bounceValue();
    valueChangedFrom(old);
    return kMouseEventHandled;
}

long CHorizontalSlider::onMouseUp(CPoint&, long) {
    return finishDrag(dragging);
}

bool CHorizontalSlider::onWheel(const CPoint&, float distance, long buttons) {
    stepByWheel(distance, buttons);
    return true;
}

bool CHorizontalSlider::isTypeOf(const char* className) const {
    return std::strcmp(className, "CHorizontalSlider") == 0 || CControl::isTypeOf(className);
}

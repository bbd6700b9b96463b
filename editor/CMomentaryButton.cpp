#include "editor/CMomentaryButton.h"

#include "editor/CVXControl.h"

#include <cstring>

CMomentaryButton::CMomentaryButton(const CRect& size, CControlListener* listener, long tag,
                                   CBitmap* background)
    : COnOffButton(size, listener, tag, background) {}

long CMomentaryButton::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    pressed = true;
    value = 1.0f;
    notifyValueChanged();
    onMouseMoved(where, buttons);
    invalid();
    return kMouseEventHandled;
}

long CMomentaryButton::onMouseMoved(CPoint& where, long buttons) {
    if (!pressed || !(buttons & kLButton)) return kMouseEventNotHandled;
    bool inside = where.x >= size.left && where.x <= size.right && where.y >= size.top &&
                  where.y <= size.bottom;
    value = inside ? 1.0f : 0.0f;
    if (isDirty()) invalid();
    return kMouseEventHandled;
}

long CMomentaryButton::onMouseUp(CPoint&, long) {
    if (!pressed) return kMouseEventNotHandled;
    pressed = false;
    value = 0.0f;
    notifyValueChanged();
    if (isDirty()) invalid();
    endEdit();
    return kMouseEventHandled;
}

bool CMomentaryButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CMomentaryButton") == 0 || COnOffButton::isTypeOf(className);
}

CMomentaryButton* CMomentaryButton::newCopy() const {
    auto* copy = new CMomentaryButton(size, listener, tag, background);
    copyControlState(*this, *copy);
    return copy;
}

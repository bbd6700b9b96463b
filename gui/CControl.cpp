#include "gui/CControl.h"

#include <cstring>

CControl::CControl(const CRect& size, CControlListener* listener, long tag, CBitmap* background)
    : CView(size), listener(listener), tag(tag) {
    if (background) setBackground(background);
}

void CControl::bounceValue() {
    if (value > vmax)
        value = vmax;
    else if (value < vmin)
        value = vmin;
}

void CControl::beginEdit() {
    if (listener) listener->controlBeginEdit(this);
}

void CControl::endEdit() {
    if (listener) listener->controlEndEdit(this);
}

bool CControl::checkDefaultValue(long buttons) {
    if (buttons != (kLButton | kControl)) return false;
    beginEdit();
    value = defaultValue;
    bounceValue();
    notifyValueChanged();
    endEdit();
    return true;
}

void CControl::notifyValueChanged() {
    if (listener) listener->valueChanged(this);
}

bool CControl::valueChangedFrom(float old) {
    if (value == old) return false;
    notifyValueChanged();
    invalid();
    return true;
}

bool CControl::wheelValueChangedFrom(float old) {
    if (value == old) return false;
    beginEdit();
    notifyValueChanged();
    endEdit();
    invalid();
    return true;
}

void CControl::stepByWheel(float distance, long buttons) {
    float old = value;
    value += distance * wheelInc * ((buttons & kShift) ? 0.1f : 1.0f);
    bounceValue();
    wheelValueChangedFrom(old);
}

long CControl::finishDrag(bool& dragging) {
    if (!dragging) return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

bool CControl::isDirty() const {
    return value != oldValue || CView::isDirty();
}

void CControl::setDirty(bool state) {
    CView::setDirty(state);
    if (!state) oldValue = value;
}

bool CControl::isTypeOf(const char* className) const {
    return std::strcmp(className, "CControl") == 0 || CView::isTypeOf(className);
}

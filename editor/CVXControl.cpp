#include "editor/CVXControl.h"

#include <cstring>

CVXControl::CVXControl(const CRect& size, CControlListener* listener, long tag, CBitmap* background)
    : CControl(size, listener, tag, background) {}

void CVXControl::setValueAt(long, float v) {
    setValue(v);
}

float CVXControl::getValueAt(long) const {
    return getValue();
}

void CVXControl::notifyValueAt(long t, float v) {
    if (auto* vx = dynamic_cast<CVXControlListener*>(listener)) vx->valueChangedAt(t, v);
}

bool CVXControl::ownsTag(long t) const {
    return t != 0 && t == tag;
}

std::set<long> CVXControl::getTags() const {
    return {tag};
}

CVXControl* CVXControl::newCopy() const {
    auto* copy = new CVXControl(size, listener, tag, background);
    copyControlState(*this, *copy);
    return copy;
}

bool CVXControl::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXControl") == 0 || CControl::isTypeOf(className);
}

void copyControlState(const CControl& from, CControl& to) {
    to.setMin(from.getMin());
    to.setMax(from.getMax());
    to.setDefaultValue(from.getDefaultValue());
    to.setWheelInc(from.getWheelInc());
    to.setTag(from.getTag());
    to.setListener(from.getListener());
    to.setBackground(from.getBackground());
    to.setBackOffset(from.getBackOffset());
    to.setMouseableArea(from.getMouseableArea());
    to.setTransparency(from.getTransparency());
    to.setMouseEnabled(from.getMouseEnabled());
    to.setVisible(from.isVisible());
    to.setValue(from.getValue());
    to.setOldValue(from.getOldValue());
}

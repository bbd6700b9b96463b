#include "editor/CVXKavrelPlayButton.h"

#include "editor/CVXControl.h"
#include "gui/CBitmap.h"

#include <cstring>

CVXKavrelPlayButton::CVXKavrelPlayButton(const CRect& size, CControlListener* listener,
                                         CBitmap* background)
    : CMovieButton(size, listener, kTag, size.height(), background), imageHeight(size.height()) {}

void CVXKavrelPlayButton::show(float next) {
    // Compared with the value before this event, not with the last drawn one, so the listener
    // hears the same whether or not the frame redrew between two mouse events.
    if (next == value) return;
    value = next;
    notifyValueChanged();
    invalid();
}

long CVXKavrelPlayButton::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    wasOn = value > 0.5f;
    pressed = true;
    beginEdit();
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

long CVXKavrelPlayButton::onMouseMoved(CPoint& where, long buttons) {
    if (!pressed || !(buttons & kLButton)) return kMouseEventNotHandled;
    if (size.pointInside(where))
        show(wasOn ? 0.25f : 1.0f);
    else
        show(wasOn ? 1.0f : 0.0f);
    return kMouseEventHandled;
}

long CVXKavrelPlayButton::onMouseUp(CPoint&, long) {
    if (!pressed) return kMouseEventNotHandled;
    pressed = false;
    show(1.0f);
    wasOn = false;
    endEdit();
    return kMouseEventHandled;
}

void CVXKavrelPlayButton::draw(CDrawContext* context) {
    bounceValue();
    if (background) {
        CPoint source(0, value > 0.5f ? imageHeight : 0);
        if (transparent)
            background->drawTransparent(context, size, source);
        else
            background->draw(context, size, source);
    }
    lastDrawnValue = value;
    setDirty(false);
}

bool CVXKavrelPlayButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXKavrelPlayButton") == 0 || CMovieButton::isTypeOf(className);
}

CVXKavrelPlayButton* CVXKavrelPlayButton::newCopy() const {
    auto* copy = new CVXKavrelPlayButton(size, listener, background);
    copyControlState(*this, *copy);
    copy->lastDrawnValue = lastDrawnValue;
    return copy;
}

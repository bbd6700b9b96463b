#include "gui/CButtons.h"

#include "gui/CBitmap.h"

#include <cstring>

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, long tag,
                           CBitmap* background)
    : CControl(size, listener, tag, background) {}

void COnOffButton::draw(CDrawContext* context) {
    if (background) {
        int y = value > (vmin + vmax) * 0.5f ? size.height() : 0;
        background->drawTransparent(context, size, CPoint(0, y));
    }
    setDirty(false);
}

long COnOffButton::onMouseDown(CPoint&, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    value = value > (vmin + vmax) * 0.5f ? vmin : vmax;
    notifyValueChanged();
    endEdit();
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COnOffButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "COnOffButton") == 0 || CControl::isTypeOf(className);
}

CMovieButton::CMovieButton(const CRect& size, CControlListener* listener, long tag,
                           int heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset),
      heightOfOneImage(heightOfOneImage) {}

void CMovieButton::draw(CDrawContext* context) {
    if (background)
        background->drawTransparent(context, size,
                                    CPoint(offset.x, offset.y + (isOn() ? heightOfOneImage : 0)));
    setDirty(false);
}

void CMovieButton::change(float newValue) {
    float old = value;
    value = newValue;
    valueChangedFrom(old);
}

long CMovieButton::onMouseDown(CPoint&, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    tracking = true;
    entryValue = value;
    change(isOn() ? vmin : vmax);
    return kMouseEventHandled;
}

long CMovieButton::onMouseMoved(CPoint& where, long buttons) {
    if (!tracking || !(buttons & kLButton)) return kMouseEventNotHandled;
    // Sliding off the button takes the toggle back; sliding on again redoes it.
    bool entryOn = entryValue > (vmin + vmax) * 0.5f;
    change(size.pointInside(where) == !entryOn ? vmax : vmin);
    return kMouseEventHandled;
}

long CMovieButton::onMouseUp(CPoint&, long) {
    return finishDrag(tracking);
}

bool CMovieButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CMovieButton") == 0 || CControl::isTypeOf(className);
}

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, long tag,
                             CBitmap* background, const CRect& toDisplay, const CPoint& offset)
    : CControl(size, listener, tag, background), toDisplay(toDisplay), keepSize(size),
      offset(offset) {
    value = 0.0f;
}

void CSplashScreen::draw(CDrawContext* context) {
    if (value > 0.5f && background) background->drawTransparent(context, toDisplay, offset);
    setDirty(false);
}

void CSplashScreen::setValue(float newValue) {
    bool show = newValue > 0.5f;
    bool shown = value > 0.5f;
    value = newValue;
    if (show == shown) return;
    // While shown the control is the picture: it draws and takes clicks there.
    invalid();
    CRect rect = show ? toDisplay : keepSize;
    setViewSize(rect, true);
    setMouseableArea(rect);
}

long CSplashScreen::onMouseDown(CPoint&, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    setValue(value > 0.5f ? 0.0f : 1.0f);
    beginEdit();
    notifyValueChanged();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool CSplashScreen::isTypeOf(const char* className) const {
    return std::strcmp(className, "CSplashScreen") == 0 || CControl::isTypeOf(className);
}

#include "gui/CSwitches.h"

#include "gui/CBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

CMovieBitmap::CMovieBitmap(const CRect& size, CControlListener* listener, long tag, int subPixmaps,
                           int heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), subPixmaps(std::max(1, subPixmaps)),
      heightOfOneImage(heightOfOneImage), offset(offset) {
    mouseEnabled = false;
}

int CMovieBitmap::frameIndex() const {
    float span = vmax - vmin;
    float f = span != 0.0f ? (value - vmin) / span : 0.0f;
    int index = static_cast<int>(f * (subPixmaps - 1) + 0.5f);
    return std::clamp(index, 0, subPixmaps - 1);
}

void CMovieBitmap::draw(CDrawContext* context) {
    if (background)
        background->drawTransparent(context, size,
                                    CPoint(offset.x, offset.y + frameIndex() * heightOfOneImage));
    setDirty(false);
}

bool CMovieBitmap::isTypeOf(const char* className) const {
    return std::strcmp(className, "CMovieBitmap") == 0 || CControl::isTypeOf(className);
}

CVerticalSwitch::CVerticalSwitch(const CRect& size, CControlListener* listener, long tag,
                                 int subPixmaps, int heightOfOneImage, int maxPositions,
                                 CBitmap* background, const CPoint& offset)
    : CMovieBitmap(size, listener, tag, subPixmaps, heightOfOneImage, background, offset),
      maxPositions(std::max(1, maxPositions)) {
    mouseEnabled = true;
}

float CVerticalSwitch::valueOfPosition(int position) const {
    if (maxPositions < 2) return vmin;
    return vmin + (vmax - vmin) * static_cast<float>(position) / (maxPositions - 1);
}

long CVerticalSwitch::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) {
        invalid();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    beginEdit();
    dragging = true;
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

long CVerticalSwitch::onMouseMoved(CPoint& where, long buttons) {
    if (!dragging || !(buttons & kLButton)) return kMouseEventNotHandled;
    double cell = static_cast<double>(size.height()) / maxPositions;
    int position = static_cast<int>(std::floor((where.y - size.top) / cell));
    position = std::clamp(position, 0, maxPositions - 1);
    float old = value;
    value = valueOfPosition(position);
    valueChangedFrom(old);
    return kMouseEventHandled;
}

long CVerticalSwitch::onMouseUp(CPoint&, long) {
    return finishDrag(dragging);
}

bool CVerticalSwitch::onWheel(const CPoint&, float distance, long) {
    if (distance == 0.0f || maxPositions < 2) return true;
    float span = vmax - vmin;
    int position = span != 0.0f
                       ? static_cast<int>(std::lround((value - vmin) / span * (maxPositions - 1)))
                       : 0;
    position = std::clamp(position + (distance > 0.0f ? -1 : 1), 0, maxPositions - 1);
    float old = value;
    value = valueOfPosition(position);
    wheelValueChangedFrom(old);
    return true;
}

bool CVerticalSwitch::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVerticalSwitch") == 0 || CMovieBitmap::isTypeOf(className);
}

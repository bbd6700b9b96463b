#include "gui/CKnob.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

#include <cmath>
#include <cstring>

namespace {
constexpr float kPi = 3.14159265358979f;
// The minimum sits at the lower left, the maximum 270 degrees further clockwise.
constexpr float kMinAngle = 225.0f;
constexpr float kAngleRange = 270.0f;
} // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
             CBitmap* handle, const CPoint& offset)
    : CControl(size, listener, tag, background), handle(handle), offset(offset) {
    if (handle) handle->remember();
    backOffset = offset;
}

CKnob::~CKnob() {
    if (handle) handle->forget();
}

float CKnob::angleOfValue(float v) const {
    float span = vmax - vmin;
    float fraction = span != 0.0f ? (v - vmin) / span : 0.0f;
    return kMinAngle - kAngleRange * fraction;
}

float CKnob::valueFromAngle(const CPoint& where) const {
    float cx = (size.left + size.right) * 0.5f, cy = (size.top + size.bottom) * 0.5f;
    float angle = std::atan2(cy - where.y, where.x - cx) * 180.0f / kPi;
    // Angles below the minimum's mirror belong to the far end of the travel.
    if (angle < kMinAngle - 360.0f) angle += 360.0f;
    return vmin + (kMinAngle - angle) / kAngleRange * (vmax - vmin);
}

void CKnob::draw(CDrawContext* context) {
    if (background) {
        if (transparent)
            background->drawTransparent(context, size, backOffset);
        else
            background->draw(context, size, backOffset);
    }
    float radians = angleOfValue(value) * kPi / 180.0f;
    float cx = (size.left + size.right) * 0.5f, cy = (size.top + size.bottom) * 0.5f;
    float radius = std::min(size.width(), size.height()) * 0.5f - 2.0f;
    if (handle) {
        int hx = static_cast<int>(std::lround(cx + std::cos(radians) * radius * 0.7f)) -
                 handle->getWidth() / 2;
        int hy = static_cast<int>(std::lround(cy - std::sin(radians) * radius * 0.7f)) -
                 handle->getHeight() / 2;
        handle->drawTransparent(context,
                                CRect(hx, hy, hx + handle->getWidth(), hy + handle->getHeight()));
    } else {
        CColor saved = context->getFrameColor();
        context->setFrameColor(handleColor);
        context->drawLine(CPoint(static_cast<int>(cx), static_cast<int>(cy)),
                          CPoint(static_cast<int>(std::lround(cx + std::cos(radians) * radius)),
                                 static_cast<int>(std::lround(cy - std::sin(radians) * radius))));
        context->setFrameColor(saved);
    }
    setDirty(false);
}

long CKnob::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    dragging = true;
    long mode = parentFrame ? parentFrame->getKnobMode() : long(kCircularMode);
    bool alt = (buttons & kAlt) != 0;
    linearDrag = mode == kLinearMode ? !alt : alt;
    firstPoint = where;
    startValue = value;
    lastButtons = buttons;
    dragRange = kLinearRange * ((buttons & kShift) ? zoomFactor : 1.0f);
    if (!linearDrag) {
        // A press goes straight to its angle; only later moves are held back at the ends.
        float old = value;
        value = valueFromAngle(where);
        bounceValue();
        valueChangedFrom(old);
    }
    return kMouseEventHandled;
}

long CKnob::onMouseMoved(CPoint& where, long buttons) {
    if (!dragging || !(buttons & kLButton)) return kMouseEventNotHandled;
    if (buttons != lastButtons) {
        // A modifier pressed or released mid-drag re-bases so the value does not jump.
        firstPoint = where;
        startValue = value;
        lastButtons = buttons;
        dragRange = kLinearRange * ((buttons & kShift) ? zoomFactor : 1.0f);
    }
    float old = value;
    float span = vmax - vmin;
    if (linearDrag) {
        float diff = static_cast<float>((where.x - firstPoint.x) + (firstPoint.y - where.y));
        value = startValue + diff * span / dragRange;
    } else {
        float v = valueFromAngle(where);
        if (v < old - span * 0.5f)
            v = vmax;
        else if (v > old + span * 0.5f)
            v = vmin;
        value = v;
    }
    bounceValue();
    valueChangedFrom(old);
    return kMouseEventHandled;
}

long CKnob::onMouseUp(CPoint&, long) {
    return finishDrag(dragging);
}

bool CKnob::onWheel(const CPoint&, float distance, long buttons) {
    stepByWheel(distance, buttons);
    return true;
}

bool CKnob::isTypeOf(const char* className) const {
    return std::strcmp(className, "CKnob") == 0 || CControl::isTypeOf(className);
}

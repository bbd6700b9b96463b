#include "editor/CVXKnobs.h"

#include "editor/CFontrastResource.h"
#include "editor/CVXControl.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

#include <cmath>
#include <cstring>

CVXVKnob::CVXVKnob(const CRect& size, CControlListener* listener, long tag,
                   const CColor& enabledFrameColour, const CColor& enabledFillColour,
                   const CColor& disabledFrameColour, const CColor& disabledFillColour,
                   CBitmap* background)
    : CKnob(size, listener, tag, background), enabledFrameColour(enabledFrameColour),
      enabledFillColour(enabledFillColour), disabledFrameColour(disabledFrameColour),
      disabledFillColour(disabledFillColour), frameColour(enabledFrameColour),
      fillColour(enabledFillColour) {}

void CVXVKnob::setValue(float x) {
    value = steps < 1 ? x : std::floor(steps * x + 0.5f) / steps;
}

void CVXVKnob::bounceValue() {
    CKnob::bounceValue();
    if (steps > 0) value = std::floor(steps * value + 0.5f) / steps;
}

long CVXVKnob::onMouseDown(CPoint& where, long buttons) {
    if (!enabled) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    return CKnob::onMouseDown(where, buttons);
}

bool CVXVKnob::onWheel(const CPoint&, float distance, long buttons) {
    if (!enabled) return true;
    float old = value;
    value += distance * wheelInc * ((buttons & kShift) ? 0.1f : 1.0f);
    bounceValue();
    if (value == old && steps > 0 && distance != 0.0f) {
        // A notch smaller than half a position would snap straight back: take one position.
        value = old + (distance > 0.0f ? 1.0f : -1.0f) * (vmax - vmin) / steps;
        bounceValue();
    }
    if (value != old) {
        beginEdit();
        notifyValueChanged();
        endEdit();
        invalid();
    }
    return true;
}

void CVXVKnob::setEnabled(bool state) {
    if (state == enabled) return;
    enabled = state;
    frameColour = enabled ? enabledFrameColour : disabledFrameColour;
    fillColour = enabled ? enabledFillColour : disabledFillColour;
    setDirty(true);
}

void CVXVKnob::setPositions(int n) {
    steps = n - 1;
}

void CVXVKnob::setLineWidth(int width, bool redraw) {
    lineWidth = width < 1 ? 1 : width;
    if (redraw) setDirty(true);
}

float CVXVKnob::drawnFraction() const {
    float span = vmax - vmin;
    float f = span != 0.0f ? (value - vmin) / span : 0.0f;
    if (!(f >= 0.0f)) return 0.0f; // also NaN
    return f > 1.0f ? 1.0f : f;
}

void CVXVKnob::drawBackground(CDrawContext* context) {
    if (!background) return;
    if (transparent)
        background->drawTransparent(context, size, backOffset);
    else
        background->draw(context, size, backOffset);
}

void CVXVKnob::draw(CDrawContext* context) {
    drawBackground(context);
    CDrawMode savedMode = context->getDrawMode();
    CColor savedFill = context->getFillColor();
    CColor savedFrame = context->getFrameColor();
    int savedWidth = context->getLineWidth();
    CRect savedClip = context->getClipRect();
    context->setDrawMode(kAntialias);
    context->setFillColor(fillColour);
    // The outline may spill half a pen outside the box; never beyond what is being redrawn.
    CRect clip = size;
    clip.inset(-lineWidth, -lineWidth);
    clip.bound(savedClip);
    context->setClipRect(clip);

    CGraphicsPath pie;
    pie.addPie(size, 129.0, 6.0 + 270.0 * drawnFraction());
    context->fillPath(pie);

    context->setFrameColor(frameColour);
    context->setLineWidth(lineWidth);
    context->drawEllipse(size, kDrawStroked);

    context->setLineWidth(savedWidth);
    context->setClipRect(savedClip);
    context->setFillColor(savedFill);
    context->setFrameColor(savedFrame);
    context->setDrawMode(savedMode);
    setDirty(false);
}

bool CVXVKnob::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXVKnob") == 0 || CKnob::isTypeOf(className);
}

void CVXVKnob::copyKnobState(CVXVKnob& to) const {
    to.steps = steps;
    to.lineWidth = lineWidth;
    to.zoomFactor = zoomFactor;
    to.enabledFrameColour = enabledFrameColour;
    to.enabledFillColour = enabledFillColour;
    to.disabledFrameColour = disabledFrameColour;
    to.disabledFillColour = disabledFillColour;
    to.frameColour = frameColour;
    to.fillColour = fillColour;
    to.enabled = enabled;
    copyControlState(*this, to);
}

CVXVKnob* CVXVKnob::newCopy() const {
    auto* copy = new CVXVKnob(size, listener, tag, enabledFrameColour, enabledFillColour,
                              disabledFrameColour, disabledFillColour, background);
    copyKnobState(*copy);
    return copy;
}

CVXBriskoVKnob::CVXBriskoVKnob(const CRect& size, CControlListener* listener, long tag,
                               const CColor& frameColour, const CColor& fillColour,
                               CBitmap* background, CFontrastResource* font, const char* label)
    : CVXVKnob(size, listener, tag, frameColour, fillColour, frameColour, fillColour, background),
      font(font), label(label ? label : "") {
    if (font) font->remember();
}

CVXBriskoVKnob::~CVXBriskoVKnob() {
    if (font) font->forget();
}

void CVXBriskoVKnob::setLabel(const char* text) {
    label = text ? text : "";
    setDirty(true);
}

void CVXBriskoVKnob::draw(CDrawContext* context) {
    drawBackground(context);
    CDrawMode savedMode = context->getDrawMode();
    CColor savedFrame = context->getFrameColor();
    int savedWidth = context->getLineWidth();
    context->setDrawMode(kAntialias);
    context->setLineWidth(7);
    context->setFrameColor(kBlackCColor);
    float angle = 135.0f + 270.0f * drawnFraction();
    context->drawArc(CRect(size.left + 23, size.top + 23, size.left + 37, size.top + 37),
                     angle - 3.0f, angle + 3.0f);
    context->setLineWidth(savedWidth);
    context->setFrameColor(savedFrame);
    context->setDrawMode(savedMode);
    if (font && !label.empty()) {
        int w = font->stringWidth(label.c_str());
        font->drawString(context,
                         CPoint(size.left + (size.right - size.left) / 2 - w / 2, size.top),
                         label.c_str(), 0);
    }
    setDirty(false);
}

bool CVXBriskoVKnob::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXBriskoVKnob") == 0 || CVXVKnob::isTypeOf(className);
}

CVXBriskoVKnob* CVXBriskoVKnob::newCopy() const {
    auto* copy = new CVXBriskoVKnob(size, listener, tag, enabledFrameColour, enabledFillColour,
                                    background, font, label.c_str());
    copyKnobState(*copy);
    return copy;
}

CVXKavrelSmallVKnob::CVXKavrelSmallVKnob(const CRect& size, CControlListener* listener, long tag,
                                         const CColor& frameColour, const CColor& fillColour)
    : CVXVKnob(size, listener, tag, frameColour, fillColour, frameColour, fillColour, nullptr) {}

void CVXKavrelSmallVKnob::draw(CDrawContext* context) {
    drawBackground(context);
    CDrawMode savedMode = context->getDrawMode();
    CColor savedFrame = context->getFrameColor();
    int savedWidth = context->getLineWidth();
    context->setDrawMode(kAntialias);
    context->setLineWidth(6);
    context->setFrameColor(kBlackCColor);
    float angle = 135.0f + 270.0f * drawnFraction();
    CRect box = size;
    box.inset(3, 3);
    context->drawArc(box, angle - 5.0f, angle + 5.0f);
    context->setLineWidth(savedWidth);
    context->setFrameColor(savedFrame);
    context->setDrawMode(savedMode);
    setDirty(false);
}

bool CVXKavrelSmallVKnob::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXKavrelSmallVKnob") == 0 || CVXVKnob::isTypeOf(className);
}

CVXKavrelSmallVKnob* CVXKavrelSmallVKnob::newCopy() const {
    auto* copy =
        new CVXKavrelSmallVKnob(size, listener, tag, enabledFrameColour, enabledFillColour);
    copyKnobState(*copy);
    return copy;
}

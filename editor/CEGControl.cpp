#include "editor/CEGControl.h"

#include "gui/CDrawContext.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

float clamp01(float v) {
    if (!(v > 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

CEGControlHandle* asEG(CSliderHandle* h) {
    return dynamic_cast<CEGControlHandle*>(h);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CEGControlHandle

CEGControlHandle::CEGControlHandle(long tagX, long tagY, long curveTag, long tagZ,
                                   const CColor& frameColour, const CColor& fillColour)
    : CSliderHandle(tagX, tagY, tagZ, nullptr), curveTag(curveTag), fillColour(fillColour),
      frameColour(frameColour) {
    bounds = CRect(0, 0, 6, 6);
    flags = kMoveX | kMoveY;
}

void CEGControlHandle::drawHandle(CDrawContext* context, const CRect& rect) {
    context->setFillColor(fillColour);
    context->setFrameColor(frameColour);
    context->drawRect(rect, kDrawFilledAndStroked);
}

void CEGControlHandle::setCurve(float c) {
    curve = std::isfinite(c) ? std::clamp(c, -1.0f, 1.0f) : 0.0f;
}

bool CEGControlHandle::setValueForTag(float value, long tag) {
    bool changed = CSliderHandle::setValueForTag(value, tag);
    if (tag >= 0 && tag == curveTag) {
        setCurve((1.0f - clamp01(value)) * 2.0f - 1.0f);
        return true;
    }
    return changed;
}

float CEGControlHandle::getValueForTag(long tag) const {
    if (tag >= 0 && tag == curveTag) return 1.0f - (curve + 1.0f) * 0.5f;
    return CSliderHandle::getValueForTag(tag);
}

bool CEGControlHandle::carriesTag(long tag) const {
    return CSliderHandle::carriesTag(tag) || (tag >= 0 && tag == curveTag);
}

CSliderHandle* CEGControlHandle::clone() const {
    auto* copy = new CEGControlHandle(tagX, tagY, curveTag, tagZ, frameColour, fillColour);
    copy->x = x;
    copy->y = y;
    copy->z = z;
    copy->flags = flags;
    copy->curve = curve;
    return copy;
}

void CEGControlHandle::retag(long oldTag, long newTag) {
    CSliderHandle::retag(oldTag, newTag);
    if (oldTag >= 0 && curveTag == oldTag) curveTag = newTag;
}

// ---------------------------------------------------------------------------------------------
// CEGControl

CEGControl::CEGControl(const CRect& size, CControlListener* listener, long firstHandleTag, int,
                       const CColor& hatchColour, const CColor& backgroundColour,
                       const CColor& gridColour, const CColor& curveColour,
                       const CColor& handleFrameColour, const CColor& handleFillColour)
    : CMultiXYControl(size, listener), area(size.left, size.top + 2, size.right, size.bottom - 2),
      firstHandleTag(firstHandleTag), curveColour(curveColour),
      handleFrameColour(handleFrameColour), handleFillColour(handleFillColour),
      hatchColour(hatchColour), backgroundColour(backgroundColour), gridColour(gridColour) {}

bool CEGControl::isTypeOf(const char* className) const {
    return std::strcmp(className, "CEGControl") == 0 || CMultiXYControl::isTypeOf(className);
}

std::set<long> CEGControl::getTags() const {
    std::set<long> tags = CMultiXYControl::getTags();
    for (CSliderHandle* h : handles)
        if (const CEGControlHandle* eg = asEG(h))
            if (eg->curveTag >= 0) tags.insert(eg->curveTag);
    return tags;
}

void CEGControl::copyEnvelope(const CEGControl& from) {
    copyControlState(from, *this);
    copyHandles(from);
    area = from.area;
    firstHandleTag = from.firstHandleTag;
    grid = from.grid;
}

CVXControl* CEGControl::newCopy() const {
    auto* copy = new CEGControl(size, listener, firstHandleTag, 0, hatchColour, backgroundColour,
                                gridColour, curveColour, handleFrameColour, handleFillColour);
    copy->copyEnvelope(*this);
    return copy;
}

void CEGControl::addEGHandle(CEGControlHandle* handle) {
    if (!handle) return;
    CSliderHandle* last = handles.empty() ? nullptr : handles.back();
    appendHandle(handle);
    if (last) links.push_back(Link{last, handle, kLinkSolid});
}

CEGControlHandle* CEGControl::newEGHandle(long tagX, long tagY, long curveTag, long tagZ,
                                          const CColor& frameColour, const CColor& fillColour) {
    auto* handle = new CEGControlHandle(tagX, tagY, curveTag, tagZ, frameColour, fillColour);
    addEGHandle(handle);
    return handle;
}

void CEGControl::setGrid(bool state) {
    grid = state;
    setDirty(true);
}

CRect CEGControl::movementArea(const CSliderHandle* handle) const {
    CRect a = area;
    if (handle && handle->tagX > firstHandleTag)
        if (const CSliderHandle* previous = previousHandle(handle))
            a.left = handleCentre(previous).x + 1;
    return a;
}

int CEGControl::areaWidth(const CSliderHandle* handle) const {
    return movementArea(handle).width() - (handle ? handle->getWidth() : 0);
}

int CEGControl::areaHeight(const CSliderHandle* handle) const {
    return movementArea(handle).height() - (handle ? handle->getHeight() : 0);
}

float CEGControl::xFromPixel(const CSliderHandle* handle, int px) const {
    int w = areaWidth(handle);
    return w > 0 ? static_cast<float>(px - movementArea(handle).left) / w : 0.0f;
}

float CEGControl::yFromPixel(const CSliderHandle* handle, int py) const {
    int h = areaHeight(handle);
    return h > 0 ? 1.0f - static_cast<float>(py - movementArea(handle).top) / h : 1.0f;
}

// Envelope handles bracket only their time parameter.
void CEGControl::beginEditFor(CSliderHandle* handle) {
    beginEditTags({handle ? handle->tagX : -1});
}

void CEGControl::endEditFor(CSliderHandle*) {
    endEditTags();
}

long CEGControl::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton) || handles.empty()) return kMouseEventNotHandled;
    if (handleAt(where)) {
        handleDrag = true;
        segmentHandle = nullptr;
        return CMultiXYControl::onMouseDown(where, buttons);
    }
    handleDrag = false;
    CSliderHandle* chosen = handles.front();
    for (size_t i = 1; i < handles.size(); ++i)
        if (handleRect(handles[i]).left <= where.x) chosen = handles[i];
    segmentHandle = asEG(chosen);
    if (!segmentHandle) return kMouseEventNotHandled;
    previousPoint = where;
    pressPoint = where;
    pressButtons = buttons;
    beginEditTags({segmentHandle->curveTag});
    return kMouseEventHandled;
}

long CEGControl::onMouseMoved(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventHandled;
    if (handleDrag) {
        CSliderHandle* h = grabbed;
        if (!h) return kMouseEventHandled;
        if (h->getFlags() & CSliderHandle::kMoveX) {
            float x =
                where.x == pressPoint.x ? pressX : clamp01(xFromPixel(h, grabOffset.x + where.x));
            if (x != h->x) report(h->tagX, x);
        }
        if (h->getFlags() & CSliderHandle::kMoveY) {
            float y = where.y == pressPoint.y ? 1.0f - pressY
                                              : clamp01(yFromPixel(h, grabOffset.y + where.y));
            if (y != 1.0f - h->y) report(h->tagY, y);
        }
        return kMouseEventHandled;
    }
    if (!segmentHandle) return kMouseEventHandled;
    int dx = where.x - previousPoint.x;
    int dy = where.y - previousPoint.y;
    previousPoint = where;
    if (std::abs(dx) > std::abs(dy)) {
        // A drawing area wider than the control scrolls, never uncovering the control's edge.
        if (area.width() > size.width()) {
            int left = std::clamp(area.left + dx, size.right - area.width(), size.left);
            if (left != area.left) {
                area.offset(left - area.left, 0);
                setDirty(true);
            }
        }
        return kMouseEventHandled;
    }
    // A quick drag past the end stops at the end rather than short of it, and a hundred
    // pixels of drag land exactly on it despite float steps of 0.01.
    double bent = std::clamp(segmentHandle->getCurve() + dy * 0.01, -1.0, 1.0);
    double hundredths = std::round(bent * 100.0);
    if (std::fabs(bent * 100.0 - hundredths) < 1e-3) bent = hundredths / 100.0;
    float curve = static_cast<float>(bent);
    if (curve != segmentHandle->getCurve()) {
        segmentHandle->setCurve(curve);
        setDirty(true);
        report(segmentHandle->curveTag, 1.0f - (curve + 1.0f) * 0.5f);
    }
    return kMouseEventHandled;
}

long CEGControl::onMouseUp(CPoint& where, long buttons) {
    if (handleDrag) {
        handleDrag = false;
        return CMultiXYControl::onMouseUp(where, buttons);
    }
    if (segmentHandle) {
        endEditTags();
        segmentHandle = nullptr;
    }
    return kMouseEventHandled;
}

void CEGControl::drawSegment(CDrawContext* context, CSliderHandle* from, CSliderHandle* to,
                             int linkType) {
    if (!from || !to || linkType == kLinkNone || linkType == kLinkHidden) return;
    context->setLineStyle(kLineSolid);
    CPoint a = handleCentre(from);
    CPoint b = handleCentre(to);
    int x0 = a.x, y0 = a.y - 1;
    int x1 = b.x, y1 = b.y - 1;
    int dy = y1 - y0;
    const CEGControlHandle* eg = asEG(from);
    double m = eg ? eg->getCurve() : 0.0;
    if (dy > 0) m = -m;
    double t = x1 - x0 < 1 ? 1.0 : 1.0 / (x1 - x0);
    double exponent = std::pow(10.0, std::fabs(m));
    CPoint previous(x0, y0);
    int k = 3;
    for (int x = x0 + 1; x <= x1; ++x, ++k) {
        // The curve arrives two pixels early and then holds its end level instead of
        // shooting past it.
        double v = std::min(1.0, k * t);
        double w = std::max(0.0, 1.0 - v);
        double s = m > 0.0 ? std::pow(v, exponent) : 1.0 - std::pow(w, exponent);
        CPoint p(x, static_cast<int>(s * dy + y0 + 1));
        context->setLineWidth(2);
        context->setFrameColor(curveColour);
        context->drawLine(previous, p);
        context->setLineWidth(1);
        context->setFrameColor(hatchColour);
        context->drawLine(p, CPoint(x, area.bottom));
        previous = p;
    }
}

void CEGControl::draw(CDrawContext* context) {
    CDrawMode mode = context->getDrawMode();
    int pen = context->getLineWidth();
    CColor frame = context->getFrameColor();
    CColor fill = context->getFillColor();
    CRect clip = context->getClipRect();
    CRect inside = clip;
    context->setClipRect(inside.bound(size));

    context->setDrawMode(kAliasing);
    context->setFillColor(backgroundColour);
    context->drawRect(size, kDrawFilled);
    context->setLineWidth(1);
    if (grid) {
        context->setFrameColor(gridColour);
        for (int x = area.left + 10; x <= area.left + 140 && x < area.right; x += 10)
            context->drawLine(CPoint(x, area.top + 2), CPoint(x, area.bottom - 2));
        for (int y = area.top + 10; y <= area.top + 80 && y < area.bottom; y += 10)
            context->drawLine(CPoint(area.left, y), CPoint(area.right, y));
    }
    context->setFrameColor(hatchColour);
    for (size_t i = 1; i < handles.size(); ++i) {
        int x = handleCentre(handles[i]).x;
        context->drawLine(CPoint(x, size.top + 2), CPoint(x, size.bottom - 2));
    }
    context->setDrawMode(kAntialias);
    context->setFrameColor(curveColour);
    context->setFillColor(curveColour);
    for (const Link& l : links) drawSegment(context, l.from, l.to, l.type);
    context->setLineWidth(1);
    for (size_t i = 1; i < handles.size(); ++i)
        handles[i]->drawHandle(context, handleRect(handles[i]));

    context->setClipRect(clip);
    context->setDrawMode(mode);
    context->setLineWidth(pen);
    context->setFrameColor(frame);
    context->setFillColor(fill);
    setDirty(false);
}

// ---------------------------------------------------------------------------------------------
// CEGARControl

CEGARControl::CEGARControl(const CRect& size, CControlListener* listener, long attackTimeTag,
                           long attackCurveTag, int unused, long decayTimeTag, long decayCurveTag,
                           const CColor& hatchColour, const CColor& backgroundColour,
                           const CColor& gridColour, const CColor& curveColour,
                           const CColor& handleFrameColour, const CColor& handleFillColour)
    : CEGControl(size, listener, attackTimeTag, unused, hatchColour, backgroundColour, gridColour,
                 curveColour, handleFrameColour, handleFillColour),
      attackTimeTag(attackTimeTag) {
    CEGControlHandle* start =
        newEGHandle(-1, -1, attackCurveTag, -1, handleFrameColour, handleFillColour);
    start->x = 0.0f;
    start->y = 1.0f;
    start->setFlags(0);
    CEGControlHandle* peak =
        newEGHandle(attackTimeTag, -1, decayCurveTag, -1, handleFrameColour, handleFillColour);
    peak->x = 0.05f;
    peak->y = 0.001f;
    peak->setFlags(CSliderHandle::kMoveX | CSliderHandle::kMoveY);
    CEGControlHandle* end =
        newEGHandle(decayTimeTag, -1, -1, -1, handleFrameColour, handleFillColour);
    end->x = 0.25f;
    end->y = 1.0f;
    end->setFlags(CSliderHandle::kMoveX);
}

CVXControl* CEGARControl::newCopy() const {
    auto* copy = new CEGARControl(size, listener, attackTimeTag, -1, 0, -1, -1, hatchColour,
                                  backgroundColour, gridColour, curveColour, handleFrameColour,
                                  handleFillColour);
    copy->copyEnvelope(*this);
    return copy;
}

bool CEGARControl::isTypeOf(const char* className) const {
    return std::strcmp(className, "CEGARControl") == 0 || CEGControl::isTypeOf(className);
}

// The attack stays within the first sixth of the panel.
CRect CEGARControl::movementArea(const CSliderHandle* handle) const {
    CRect a = CEGControl::movementArea(handle);
    if (handle && attackTimeTag >= 0 && handle->tagX == attackTimeTag)
        a.right = area.left + area.width() / 6;
    return a;
}

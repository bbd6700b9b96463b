#include "editor/CMultiXYControl.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

#include <algorithm>
#include <cstring>

namespace {

// Parameter values arrive from the plug-in, automation and chunks; a handle stays inside its
// area whatever comes in.
float clamp01(float v) {
    if (!(v > 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CSliderHandle

CSliderHandle::CSliderHandle(long tagX, long tagY, long tagZ, CBitmap* bitmap)
    : tagX(tagX), tagY(tagY), tagZ(tagZ), bitmap(bitmap) {
    if (bitmap) {
        bitmap->remember();
        int w = bitmap->getWidth();
        int h = bitmap->getHeight();
        bounds = CRect(std::min(0, w), std::min(0, h), std::max(0, w), std::max(0, h));
    }
}

CSliderHandle::~CSliderHandle() {
    if (bitmap) bitmap->forget();
}

void CSliderHandle::drawHandle(CDrawContext* context, const CRect& rect) {
    if (bitmap) bitmap->draw(context, rect, CPoint(0, 0));
}

bool CSliderHandle::setValueForTag(float value, long tag) {
    if (tag < 0) return false;
    float v = clamp01(value);
    bool changed = false;
    if (tag == tagX && x != v) {
        x = v;
        changed = true;
    }
    if (tag == tagY && y != 1.0f - v) {
        y = 1.0f - v;
        changed = true;
    }
    if (tag == tagZ && z != v) {
        z = v;
        changed = true;
    }
    return changed;
}

float CSliderHandle::getValueForTag(long tag) const {
    if (tag < 0) return 0.0f;
    if (tag == tagX) return x;
    if (tag == tagY) return 1.0f - y;
    if (tag == tagZ) return z;
    return 0.0f;
}

bool CSliderHandle::carriesTag(long tag) const {
    return tag >= 0 && (tag == tagX || tag == tagY || tag == tagZ);
}

CSliderHandle* CSliderHandle::clone() const {
    auto* copy = new CSliderHandle(tagX, tagY, tagZ, bitmap);
    copy->x = x;
    copy->y = y;
    copy->z = z;
    copy->flags = flags;
    copy->bounds = bounds;
    return copy;
}

void CSliderHandle::retag(long oldTag, long newTag) {
    if (oldTag < 0) return;
    if (tagX == oldTag) tagX = newTag;
    if (tagY == oldTag) tagY = newTag;
    if (tagZ == oldTag) tagZ = newTag;
}

// ---------------------------------------------------------------------------------------------
// CMultiXYControl

CMultiXYControl::CMultiXYControl(const CRect& size, CControlListener* listener)
    : CVXControl(size, listener, kTag), backgroundWidth(size.width()),
      backgroundHeight(size.height()), xRange(size.width()), yRange(size.height()) {}

CMultiXYControl::~CMultiXYControl() {
    for (CSliderHandle* h : handles) delete h;
}

bool CMultiXYControl::isTypeOf(const char* className) const {
    return std::strcmp(className, "CMultiXYControl") == 0 || CVXControl::isTypeOf(className);
}

CSliderHandle* CMultiXYControl::getHandle(int index) const {
    return index >= 0 && index < getHandleCount() ? handles[static_cast<size_t>(index)] : nullptr;
}

int CMultiXYControl::indexOf(const CSliderHandle* handle) const {
    auto it = std::find(handles.begin(), handles.end(), handle);
    return it == handles.end() ? -1 : static_cast<int>(it - handles.begin());
}

void CMultiXYControl::copyHandles(const CMultiXYControl& from) {
    for (CSliderHandle* h : handles) delete h;
    handles.clear();
    links.clear();
    grabbed = nullptr;
    for (const CSliderHandle* h : from.handles) handles.push_back(h->clone());
    for (const Link& l : from.links)
        links.push_back(Link{handles[static_cast<size_t>(from.indexOf(l.from))],
                             handles[static_cast<size_t>(from.indexOf(l.to))], l.type});
    backgroundWidth = from.backgroundWidth;
    backgroundHeight = from.backgroundHeight;
    xRange = from.xRange;
    yRange = from.yRange;
    lineColour = from.lineColour;
    notifyLinks = from.notifyLinks;
    setDirty(true);
}

CVXControl* CMultiXYControl::newCopy() const {
    auto* copy = new CMultiXYControl(size, listener);
    copyControlState(*this, *copy);
    copy->copyHandles(*this);
    return copy;
}

void CMultiXYControl::appendHandle(CSliderHandle* handle) {
    if (!handle) return;
    handles.push_back(handle);
    setDirty(true);
}

CSliderHandle* CMultiXYControl::addHandle(long tagX, long tagY, long tagZ, CBitmap* bitmap) {
    auto* handle = new CSliderHandle(tagX, tagY, tagZ, bitmap);
    appendHandle(handle);
    return handle;
}

CSliderHandle* CMultiXYControl::handleForTag(long tag) const {
    if (tag < 0) return nullptr;
    for (CSliderHandle* h : handles)
        if (h->carriesTag(tag)) return h;
    return nullptr;
}

void CMultiXYControl::setValueAt(long tag, float value) {
    CSliderHandle* h = handleForTag(tag);
    if (h && h->setValueForTag(value, tag)) setDirty(true);
}

float CMultiXYControl::getValueAt(long tag) const {
    CSliderHandle* h = handleForTag(tag);
    return h ? h->getValueForTag(tag) : 0.0f;
}

bool CMultiXYControl::ownsTag(long tag) const {
    return handleForTag(tag) != nullptr;
}

std::set<long> CMultiXYControl::getTags() const {
    std::set<long> tags;
    for (const CSliderHandle* h : handles)
        for (long t : {h->tagX, h->tagY, h->tagZ})
            if (t >= 0) tags.insert(t);
    return tags;
}

void CMultiXYControl::setHandleTag(long oldTag, long newTag) {
    if (CSliderHandle* h = handleForTag(oldTag)) h->retag(oldTag, newTag);
}

CSliderHandle* CMultiXYControl::previousHandle(const CSliderHandle* handle) const {
    int i = indexOf(handle);
    return i > 0 ? handles[static_cast<size_t>(i - 1)] : nullptr;
}

void CMultiXYControl::link(long tagA, long tagB, int type) {
    CSliderHandle* a = handleForTag(tagA);
    CSliderHandle* b = handleForTag(tagB);
    if (!a || !b || a == b) return;
    links.push_back(Link{a, b, type});
    setDirty(true);
}

void CMultiXYControl::setLineColour(const CColor& c) {
    lineColour = c;
    setDirty(true);
}

CRect CMultiXYControl::movementArea(const CSliderHandle*) const {
    return size;
}

CRect CMultiXYControl::handleRect(const CSliderHandle* handle) const {
    if (!handle) return CRect();
    CRect a = movementArea(handle);
    CRect b = handle->getBounds();
    int left = a.left + static_cast<int>(handle->x * (a.width() - b.width())) + b.left;
    int top = a.top + static_cast<int>(handle->y * (a.height() - b.height())) + b.top;
    return CRect(left, top, left + b.width(), top + b.height());
}

CRect CMultiXYControl::rectForTag(long tag) const {
    return handleRect(handleForTag(tag));
}

CPoint CMultiXYControl::handleCentre(const CSliderHandle* handle) const {
    CRect r = handleRect(handle);
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

float CMultiXYControl::xFromPixel(const CSliderHandle*, int px) const {
    return xRange > 0 ? static_cast<float>(px - size.left) / xRange : 0.0f;
}

float CMultiXYControl::yFromPixel(const CSliderHandle*, int py) const {
    return yRange > 0 ? static_cast<float>(py - size.top) / yRange : 0.0f;
}

void CMultiXYControl::setHandleX(CSliderHandle* handle, float v) {
    if (handle) handle->setX(clamp01(v));
    setDirty(true);
}

void CMultiXYControl::setHandleY(CSliderHandle* handle, float v) {
    if (handle) handle->setY(clamp01(v));
    setDirty(true);
}

void CMultiXYControl::setHandleZ(CSliderHandle* handle, float v) {
    if (handle) handle->setZ(v);
    setDirty(true);
}

bool CMultiXYControl::pointInHandle(const CSliderHandle* handle, const CPoint& p) const {
    CRect r = handleRect(handle);
    return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

CSliderHandle* CMultiXYControl::handleAt(const CPoint& where) const {
    for (auto it = handles.rbegin(); it != handles.rend(); ++it)
        if (pointInHandle(*it, where)) return *it;
    return nullptr;
}

std::vector<long> CMultiXYControl::tagsAt(const CPoint& where) const {
    CSliderHandle* h = handleAt(where);
    if (!h) return {};
    return {h->tagX, h->tagY};
}

void CMultiXYControl::report(long tag, float value) {
    if (tag >= 0) notifyValueAt(tag, value);
}

// The plug-in's per-parameter gesture brackets go through the listener's begin and end; a
// derived editor hooks these when it needs one bracket per parameter.
void CMultiXYControl::beginEditTag(long) {}
void CMultiXYControl::endEditTag(long) {}

void CMultiXYControl::beginEditTags(std::vector<long> tags) {
    tags.erase(std::remove_if(tags.begin(), tags.end(), [](long t) { return t < 0; }), tags.end());
    editingTags = tags;
    beginEdit();
    for (long t : editingTags) beginEditTag(t);
}

void CMultiXYControl::endEditTags() {
    for (long t : editingTags) endEditTag(t);
    endEdit();
    editingTags.clear();
}

void CMultiXYControl::beginEditFor(CSliderHandle* handle) {
    if (handle)
        beginEditTags({handle->tagX, handle->tagY, handle->tagZ});
    else
        beginEditTags({});
}

void CMultiXYControl::endEditFor(CSliderHandle*) {
    endEditTags();
}

long CMultiXYControl::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    CSliderHandle* h = handleAt(where);
    if (!h) return kMouseEventNotHandled;
    grabbed = h;
    h->setZ(1.0f);
    report(h->tagZ, 1.0f);
    setDirty(true);
    CRect r = handleRect(h);
    grabOffset = CPoint(r.left - where.x, r.top - where.y);
    pressButtons = buttons;
    pressX = h->x;
    pressY = h->y;
    pressPoint = where;
    beginEditFor(h);
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

long CMultiXYControl::onMouseMoved(CPoint& where, long buttons) {
    if (!grabbed || !(buttons & kLButton)) return kMouseEventHandled;
    CSliderHandle* h = grabbed;
    // Back at the press column (or row) the handle is where it was pressed, whatever the
    // pixel grid would round it to: a click alone changes nothing.
    float nx = where.x == pressPoint.x ? pressX : clamp01(xFromPixel(h, grabOffset.x + where.x));
    float ny = where.y == pressPoint.y ? pressY : clamp01(yFromPixel(h, grabOffset.y + where.y));
    float dx = (h->getFlags() & CSliderHandle::kMoveX) ? nx - h->x : 0.0f;
    float dy = (h->getFlags() & CSliderHandle::kMoveY) ? ny - h->y : 0.0f;
    std::vector<CSliderHandle*> followers;
    for (const Link& l : links)
        if (l.from == h && l.type != kLinkNone && l.type != kLinkSolidFixed &&
            l.type != kLinkDashedFixed)
            followers.push_back(l.to);
    for (const CSliderHandle* f : followers) {
        if (f->x + dx > 1.0f) dx = 1.0f - f->x;
        if (f->x + dx < 0.0f) dx = -f->x;
        if (f->y + dy > 1.0f) dy = 1.0f - f->y;
        if (f->y + dy < 0.0f) dy = -f->y;
    }
    if (dx == 0.0f && dy == 0.0f) return kMouseEventHandled;
    for (CSliderHandle* f : followers) {
        setHandleX(f, f->x + dx);
        setHandleY(f, f->y + dy);
        if (notifyLinks) {
            report(f->tagX, f->x);
            report(f->tagY, 1.0f - f->y);
        }
    }
    setHandleX(h, h->x + dx);
    setHandleY(h, h->y + dy);
    report(h->tagX, h->x);
    report(h->tagY, 1.0f - h->y);
    invalid();
    return kMouseEventHandled;
}

long CMultiXYControl::onMouseUp(CPoint&, long) {
    CSliderHandle* h = grabbed;
    if (!h) return kMouseEventHandled;
    if (h->z > 0.0f) {
        h->setZ(0.0f);
        report(h->tagZ, 0.0f);
        setDirty(true);
    }
    endEditFor(h);
    grabbed = nullptr;
    return kMouseEventHandled;
}

void CMultiXYControl::drawLinks(CDrawContext* context) {
    for (const Link& l : links) {
        if (l.type == kLinkNone || l.type == kLinkHidden) continue;
        bool dashed = l.type == kLinkDashed || l.type == kLinkDashedFixed;
        context->setLineStyle(dashed ? kLineOnOffDash : kLineSolid);
        CPoint a = handleCentre(l.from);
        CPoint b = handleCentre(l.to);
        context->drawLine(CPoint(a.x, a.y - 1), CPoint(b.x, b.y - 1));
    }
    context->setLineStyle(kLineSolid);
}

void CMultiXYControl::draw(CDrawContext* context) {
    if (background)
        background->draw(context, CRect(size.left, size.top, size.left + backgroundWidth,
                                        size.top + backgroundHeight));
    CDrawMode mode = context->getDrawMode();
    int pen = context->getLineWidth();
    CColor frame = context->getFrameColor();
    context->setDrawMode(kAntialias);
    context->setFrameColor(lineColour);
    context->setLineWidth(3);
    drawLinks(context);
    for (CSliderHandle* h : handles) h->drawHandle(context, handleRect(h));
    context->setDrawMode(mode);
    context->setLineWidth(pen);
    context->setFrameColor(frame);
    setDirty(false);
}

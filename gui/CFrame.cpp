#include "gui/CFrame.h"

#include "gui/CBitmap.h"

#include <cmath>
#include <cstring>

namespace {
// Past this many separate rectangles one redraw of their union is cheaper.
constexpr size_t kMaxInvalidRects = 16;
} // namespace

CFrame::CFrame(const CRect& size, double scaleFactor)
    : CViewContainer(size), scale(scaleFactor > 0.0 ? scaleFactor : 1.0) {
    parentFrame = this;
    invalidRects.push_back(size);
}

CFrame::~CFrame() {
    close();
    // Children tell the frame what they uncover while it is still whole.
    CViewContainer::removeAll();
}

bool CFrame::open(void* parentWindow) {
    if (window) return true;
    if (!getBackBuffer()) return false;
    window = gui::createPlatformWindow(parentWindow, backBuffer->getDeviceWidth(),
                                       backBuffer->getDeviceHeight(), this);
    if (!window) return false;
    // Show the editor at once rather than on the host's next idle, which may be a while.
    invalidRect(size);
    platformPaint(toDevice(size));
    return true;
}

void CFrame::close() {
    pressActive = false;
    mouseDownView = nullptr;
    window.reset();
}

COffscreenContext* CFrame::getBackBuffer() {
    if (!backBuffer) {
        int w = static_cast<int>(std::ceil(size.width() * scale));
        int h = static_cast<int>(std::ceil(size.height() * scale));
        backBuffer = gui::createOffscreenContext(w, h, scale);
        if (backBuffer) {
            backBuffer->setOffset(CPoint(-size.left, -size.top));
            backBuffer->clear(kBlackCColor);
        }
        invalidRect(size);
    }
    return backBuffer.get();
}

void CFrame::invalidRect(const CRect& rect) {
    CRect r = rect;
    r.bound(size);
    if (r.isEmpty()) return;
    for (CRect& existing : invalidRects) {
        CRect common = existing;
        if (!common.bound(r).isEmpty() || existing == r) {
            existing.unite(r);
            return;
        }
    }
    if (invalidRects.size() >= kMaxInvalidRects) {
        CRect all;
        for (const CRect& existing : invalidRects) all.unite(existing);
        all.unite(r);
        invalidRects.assign(1, all);
        return;
    }
    invalidRects.push_back(r);
}

void CFrame::setDirty(bool state) {
    CView::setDirty(state);
    if (state)
        invalidRect(size);
    else
        CViewContainer::setDirty(false);
}

void CFrame::paintRect(const CRect& rect) {
    backBuffer->setClipRect(rect);
    backBuffer->setFillColor(backgroundColor);
    backBuffer->drawRect(rect, kDrawFilled);
    drawRect(backBuffer.get(), rect);
    drawOverlay(backBuffer.get(), rect);
    backBuffer->resetClipRect();
}

std::vector<CRect> CFrame::updateBackBuffer() {
    std::vector<CRect> drawn;
    if (!getBackBuffer()) return drawn;
    std::vector<CRect> dirtyViews;
    collectDirty(dirtyViews);
    for (const CRect& r : dirtyViews) invalidRect(r);
    if (invalidRects.empty()) return drawn;
    std::vector<CRect> rects;
    rects.swap(invalidRects);
    for (const CRect& r : rects) {
        paintRect(r);
        drawn.push_back(toDevice(r));
    }
    // Views drawn under one rectangle that changed again while another was drawn wait for the
    // next idle; nothing else is left dirty.
    return drawn;
}

void CFrame::redrawAll() {
    invalidRect(size);
    updateBackBuffer();
}

void CFrame::idle() {
    if (window) window->pumpEvents();
    std::vector<CRect> drawn = updateBackBuffer();
    if (window)
        for (const CRect& r : drawn) window->present(*backBuffer, r);
}

bool CFrame::saveToPng(const char* path) {
    redrawAll();
    return backBuffer && backBuffer->writePng(path);
}

void CFrame::drawOverlay(CDrawContext*, const CRect&) {}

long CFrame::onMouseDown(CPoint& where, long buttons) {
    // A second button while one is held goes to the view that has the press.
    if (pressActive && mouseDownView) return mouseDownView->onMouseDown(where, buttons);
    long result = CViewContainer::onMouseDown(where, buttons);
    pressActive = mouseDownView != nullptr;
    if (pressActive && window) window->setMouseCapture(true);
    return result;
}

long CFrame::onMouseUp(CPoint& where, long buttons) {
    long result = CViewContainer::onMouseUp(where, buttons);
    if (pressActive && window) window->setMouseCapture(false);
    pressActive = false;
    return result;
}

long CFrame::onMouseMoved(CPoint& where, long buttons) {
    return CViewContainer::onMouseMoved(where, buttons);
}

bool CFrame::onWheel(const CPoint& where, float distance, long buttons) {
    return CViewContainer::onWheel(where, distance, buttons);
}

void CFrame::removeView(CView* view) {
    if (view == mouseDownView) pressActive = false;
    CViewContainer::removeView(view);
}

void CFrame::removeAll() {
    pressActive = false;
    CViewContainer::removeAll();
}

bool CFrame::isTypeOf(const char* className) const {
    return std::strcmp(className, "CFrame") == 0 || CViewContainer::isTypeOf(className);
}

CPoint CFrame::toView(const CPoint& device) const {
    return CPoint(static_cast<int>(std::floor(device.x / scale)) + size.left,
                  static_cast<int>(std::floor(device.y / scale)) + size.top);
}

CRect CFrame::toDevice(const CRect& rect) const {
    return CRect(static_cast<int>(std::floor((rect.left - size.left) * scale)),
                 static_cast<int>(std::floor((rect.top - size.top) * scale)),
                 static_cast<int>(std::ceil((rect.right - size.left) * scale)),
                 static_cast<int>(std::ceil((rect.bottom - size.top) * scale)));
}

void CFrame::platformPaint(const CRect& deviceRect) {
    if (!getBackBuffer()) return;
    updateBackBuffer();
    if (window) window->present(*backBuffer, deviceRect);
}

void CFrame::platformMouseDown(const CPoint& where, long buttons) {
    CPoint p = toView(where);
    onMouseDown(p, buttons);
}

void CFrame::platformMouseMoved(const CPoint& where, long buttons) {
    CPoint p = toView(where);
    onMouseMoved(p, buttons);
}

void CFrame::platformMouseUp(const CPoint& where, long buttons) {
    CPoint p = toView(where);
    onMouseUp(p, buttons);
}

void CFrame::platformWheel(const CPoint& where, float distance, long buttons) {
    onWheel(toView(where), distance, buttons);
}

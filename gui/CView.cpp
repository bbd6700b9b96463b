#include "gui/CView.h"

#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

#include <algorithm>
#include <cstring>

CView::CView(const CRect& size) : size(size), mouseableArea(size) {}

CView::~CView() {
    if (background) background->forget();
}

void CView::draw(CDrawContext* context) {
    if (background) {
        if (transparent)
            background->drawTransparent(context, size, backOffset);
        else
            background->draw(context, size, backOffset);
    }
    setDirty(false);
}

long CView::onMouseDown(CPoint&, long) {
    return kMouseEventNotImplemented;
}
long CView::onMouseUp(CPoint&, long) {
    return kMouseEventNotImplemented;
}
long CView::onMouseMoved(CPoint&, long) {
    return kMouseEventNotImplemented;
}
bool CView::onWheel(const CPoint&, float, long) {
    return false;
}

void CView::invalid() {
    invalidRect(size);
}

void CView::invalidRect(const CRect& rect) {
    if (parentFrame) parentFrame->invalidRect(rect);
}

void CView::setViewSize(const CRect& rect, bool invalidate) {
    if (invalidate) invalid();
    size = rect;
    if (invalidate) invalid();
}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap) bitmap->remember();
    if (background) background->forget();
    background = bitmap;
    setDirty(true);
}

void CView::setVisible(bool state) {
    if (visible == state) return;
    visible = state;
    // Showing draws the view, hiding uncovers what lies beneath.
    invalid();
}

bool CView::isTypeOf(const char* className) const {
    return std::strcmp(className, "CView") == 0;
}

void CView::attached(CFrame* frame, CView* parent) {
    parentFrame = frame;
    parentView = parent;
    setDirty(true);
}

void CView::removed() {
    // Whatever the view covered must be drawn again without it.
    invalid();
    parentFrame = nullptr;
    parentView = nullptr;
}

CViewContainer::CViewContainer(const CRect& size) : CView(size) {}

CViewContainer::~CViewContainer() {
    CViewContainer::removeAll();
}

void CViewContainer::addView(CView* view) {
    if (!view || isChild(view)) return;
    children.push_back(view);
    view->attached(parentFrame, this);
}

void CViewContainer::removeView(CView* view) {
    auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end()) return;
    children.erase(it);
    if (mouseDownView == view) mouseDownView = nullptr;
    view->removed();
    view->forget();
}

void CViewContainer::removeAll() {
    mouseDownView = nullptr;
    std::vector<CView*> old;
    old.swap(children);
    for (CView* view : old) {
        view->removed();
        view->forget();
    }
}

CView* CViewContainer::getView(int index) const {
    return index >= 0 && index < getNbViews() ? children[static_cast<size_t>(index)] : nullptr;
}

bool CViewContainer::isChild(const CView* view) const {
    return std::find(children.begin(), children.end(), view) != children.end();
}

void CViewContainer::draw(CDrawContext* context) {
    drawRect(context, size);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& rect) {
    if (background) {
        CRect part = rect;
        part.bound(size);
        if (!part.isEmpty())
            background->draw(
                context, part,
                CPoint(backOffset.x + part.left - size.left, backOffset.y + part.top - size.top));
    }
    for (CView* child : children) {
        if (!child->isVisible() || !child->getViewSize().rectOverlap(rect)) continue;
        if (child->isContainer()) {
            static_cast<CViewContainer*>(child)->drawRect(context, rect);
        } else {
            child->draw(context);
            child->setDirty(false);
            if (parentFrame) ++parentFrame->drawCount;
        }
    }
    CView::setDirty(false);
}

long CViewContainer::onMouseDown(CPoint& where, long buttons) {
    mouseDownView = nullptr;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* child = *it;
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(where)) continue;
        if ((buttons & 0xFF) > 7 && child->isTypeOf("CControl")) {
            CControl* control = static_cast<CControl*>(child);
            if (CControlListener* l = control->getListener())
                if (l->controlModifierClicked(control, buttons) != 0)
                    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
        }
        long result = child->onMouseDown(where, buttons);
        if (result == kMouseEventNotImplemented || result == kMouseEventNotHandled) continue;
        if (result == kMouseEventHandled) mouseDownView = child;
        return result;
    }
    return kMouseEventNotHandled;
}

long CViewContainer::onMouseUp(CPoint& where, long buttons) {
    CView* view = mouseDownView;
    mouseDownView = nullptr;
    return view ? view->onMouseUp(where, buttons) : kMouseEventNotHandled;
}

long CViewContainer::onMouseMoved(CPoint& where, long buttons) {
    if (mouseDownView) return mouseDownView->onMouseMoved(where, buttons);
    // With a button held and no press taken (or one that wanted no moves) nobody hovers.
    if (buttons & (kLButton | kMButton | kRButton)) return kMouseEventNotHandled;
    if (CView* view = getViewAt(where)) return view->onMouseMoved(where, buttons);
    return kMouseEventNotHandled;
}

bool CViewContainer::onWheel(const CPoint& where, float distance, long buttons) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* child = *it;
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(where)) continue;
        if (child->onWheel(where, distance, buttons)) return true;
    }
    return false;
}

bool CViewContainer::isDirty() const {
    if (dirty) return true;
    for (CView* child : children)
        if (child->isVisible() && child->isDirty()) return true;
    return false;
}

void CViewContainer::setDirty(bool state) {
    CView::setDirty(state);
    if (!state)
        for (CView* child : children) child->setDirty(false);
}

bool CViewContainer::isTypeOf(const char* className) const {
    return std::strcmp(className, "CViewContainer") == 0 || CView::isTypeOf(className);
}

void CViewContainer::attached(CFrame* frame, CView* parent) {
    CView::attached(frame, parent);
    for (CView* child : children) child->attached(frame, this);
}

void CViewContainer::removed() {
    for (CView* child : children) child->removed();
    CView::removed();
}

CView* CViewContainer::getViewAt(const CPoint& where) const {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* child = *it;
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(where)) continue;
        if (child->isContainer())
            if (CView* inner = static_cast<CViewContainer*>(child)->getViewAt(where)) return inner;
        return child;
    }
    return nullptr;
}

void CViewContainer::collectDirty(std::vector<CRect>& rects) const {
    if (dirty) rects.push_back(size);
    for (CView* child : children) {
        if (!child->isVisible()) continue;
        if (child->isContainer())
            static_cast<CViewContainer*>(child)->collectDirty(rects);
        else if (child->isDirty())
            rects.push_back(child->getViewSize());
    }
}

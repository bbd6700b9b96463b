#pragma once
#include "gui/CBaseObject.h"
#include "gui/CGeometry.h"

#include <vector>

class CBitmap;
class CDrawContext;
class CFrame;

// Button word of mouse events.
enum : long {
    kLButton = 0x2,
    kMButton = 0x4,
    kRButton = 0x8,
    kShift = 0x10,
    kControl = 0x20,
    kAlt = 0x40,
    kDoubleClick = 0x100,
};

// What a mouse handler answers.
enum CMouseEventResult : long {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled = 1,
    kMouseEventNotHandled = 2,
    // Handled on press; no moves or release follow.
    kMouseDownEventHandledButDontNeedMovedOrUpEvents = 3,
};

// A rectangle of the window that draws itself and may take the mouse. Rectangles and points
// are frame coordinates, also inside containers.
class CView : public CBaseObject {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);

    virtual long onMouseDown(CPoint& where, long buttons);
    virtual long onMouseUp(CPoint& where, long buttons);
    virtual long onMouseMoved(CPoint& where, long buttons);
    // distance in notches; true when the view used it.
    virtual bool onWheel(const CPoint& where, float distance, long buttons);

    virtual void setDirty(bool state = true) { dirty = state; }
    virtual bool isDirty() const { return dirty; }
    // Schedules a redraw of the view's rectangle (or of rect) on the frame's next idle.
    void invalid();
    void invalidRect(const CRect& rect);

    virtual void setViewSize(const CRect& rect, bool invalidate = true);
    const CRect& getViewSize() const { return size; }
    int getWidth() const { return size.width(); }
    int getHeight() const { return size.height(); }
    virtual void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
    const CRect& getMouseableArea() const { return mouseableArea; }
    virtual bool hitTest(const CPoint& where) const { return mouseableArea.pointInside(where); }

    // The background image is shared: the view takes a reference.
    virtual void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }
    void setBackOffset(const CPoint& offset) { backOffset = offset; }
    const CPoint& getBackOffset() const { return backOffset; }

    virtual void setVisible(bool state);
    bool isVisible() const { return visible; }
    virtual void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }
    virtual void setTransparency(bool state) { transparent = state; }
    bool getTransparency() const { return transparent; }

    virtual bool isTypeOf(const char* className) const;
    virtual bool isContainer() const { return false; }

    // Set by the container that holds the view.
    virtual void attached(CFrame* frame, CView* parent);
    virtual void removed();
    CFrame* getFrame() const { return parentFrame; }
    CView* getParentView() const { return parentView; }

protected:
    CRect size;
    CRect mouseableArea;
    CFrame* parentFrame = nullptr;
    CView* parentView = nullptr;
    CBitmap* background = nullptr;
    CPoint backOffset;
    bool dirty = false;
    bool visible = true;
    bool mouseEnabled = true;
    bool transparent = false;
};

// A group of views drawn in order (later on top) and searched for the mouse from the top.
// It owns one reference on every child.
class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    virtual void addView(CView* view);
    // Drops the container's reference; the view is deleted unless someone else holds one.
    virtual void removeView(CView* view);
    virtual void removeAll();
    int getNbViews() const { return static_cast<int>(children.size()); }
    CView* getView(int index) const;
    bool isChild(const CView* view) const;

    void draw(CDrawContext* context) override;
    // Draws the background and the children that overlap rect.
    virtual void drawRect(CDrawContext* context, const CRect& rect);

    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    bool onWheel(const CPoint& where, float distance, long buttons) override;

    bool isDirty() const override;
    void setDirty(bool state = true) override;
    bool isTypeOf(const char* className) const override;
    bool isContainer() const override { return true; }
    void attached(CFrame* frame, CView* parent) override;
    void removed() override;

    // The topmost visible, mouse-enabled child under where (searching nested containers).
    CView* getViewAt(const CPoint& where) const;
    // Appends the rectangles of the visible views needing a redraw.
    void collectDirty(std::vector<CRect>& rects) const;

protected:
    std::vector<CView*> children;
    // The child that took the current press; moves and release go to it.
    CView* mouseDownView = nullptr;
};

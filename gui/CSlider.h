#pragma once
#include "gui/CControl.h"

// A handle bitmap moving along a background between minPos and maxPos (frame x, the handle's
// travel is that width less the handle's). Pressing the handle drags it from where it was
// taken; pressing beside it brings its centre under the pointer first. Shift drags ten times
// finer, Control+click restores the default, the wheel steps by the wheel increment.
class CHorizontalSlider : public CControl {
public:
    CHorizontalSlider(const CRect& size, CControlListener* listener, long tag, int minPos,
                      int maxPos, CBitmap* handle, CBitmap* background,
                      const CPoint& offset = CPoint());
    ~CHorizontalSlider() override;

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool onWheel(const CPoint& where, float distance, long buttons) override;
    bool isTypeOf(const char* className) const override;

    // The handle's rectangle at the current value.
    CRect getHandleRect() const;
    static constexpr float kFineFactor = 10.0f;

protected:
    int handleWidth() const;
    int travel() const;
    float fraction() const;

    CBitmap* handle;
    CPoint offset;
    int minPos;
    int maxPos;

    bool dragging = false;
    long lastButtons = 0;
    int grabOffset = 0; // pointer x minus handle left while dragging coarsely
    CPoint fineStart;
    float fineStartValue = 0.0f;
};

#pragma once
#include "gui/CControl.h"

// A rotary control. Dragged linearly (right and up increase) or by the angle of the pointer
// around its centre, as the frame's knob mode and Alt decide; Control+click restores the
// default; the wheel steps by the wheel increment (a tenth with Shift).
class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
          CBitmap* handle = nullptr, const CPoint& offset = CPoint());
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool onWheel(const CPoint& where, float distance, long buttons) override;
    bool isTypeOf(const char* className) const override;

    virtual void setZoomFactor(float factor) { zoomFactor = factor; }
    float getZoomFactor() const { return zoomFactor; }
    // Pixels of linear drag for the whole range (without Shift).
    static constexpr float kLinearRange = 200.0f;

protected:
    // The value the pointer's angle around the centre stands for (unclamped fraction 0..1 is
    // minimum..maximum).
    float valueFromAngle(const CPoint& where) const;
    // Angle of a value in degrees, counter-clockwise from the positive x axis with y up.
    float angleOfValue(float v) const;

    CBitmap* handle;
    CPoint offset;
    float zoomFactor = 1.5f;
    CColor handleColor = kWhiteCColor;

    // Drag state.
    bool dragging = false;
    bool linearDrag = true;
    CPoint firstPoint;
    float startValue = 0.0f;
    float dragRange = kLinearRange;
    long lastButtons = 0;
};

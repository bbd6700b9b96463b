#pragma once
#include "editor/CMultiXYControl.h"

// An envelope point: a 6 x 6 square that also carries the curvature of the segment leaving
// it (curve -1..1, 0 straight; its parameter reads 0.5 for straight).
class CEGControlHandle : public CSliderHandle {
public:
    CEGControlHandle(long tagX, long tagY, long curveTag, long tagZ, const CColor& frameColour,
                     const CColor& fillColour);

    void drawHandle(CDrawContext* context, const CRect& rect) override;
    bool setValueForTag(float value, long tag) override;
    float getValueForTag(long tag) const override;
    bool carriesTag(long tag) const override;
    void retag(long oldTag, long newTag) override;
    CSliderHandle* clone() const override;
    virtual float getCurve() const { return curve; }
    virtual void setCurve(float c);

    long curveTag;
    CColor fillColour;
    CColor frameColour;

protected:
    float curve = 0.0f;
};

// An envelope drawn as curved segments through handles ordered left to right, over a grid,
// with the area under the curve hatched. A press on a handle drags it; a press anywhere else
// bends the segment under the pointer. Handles move only when the listener answers a report
// with setValueAt.
class CEGControl : public CMultiXYControl {
public:
    // firstHandleTag: handles whose tagX is at most this may use the whole area; later ones
    // start right of the handle before them. The integer after it is unused.
    CEGControl(const CRect& size, CControlListener* listener, long firstHandleTag, int unused,
               const CColor& hatchColour, const CColor& backgroundColour, const CColor& gridColour,
               const CColor& curveColour, const CColor& handleFrameColour,
               const CColor& handleFillColour);

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;
    long getTag() const override { return firstHandleTag; }
    std::set<long> getTags() const override;
    CVXControl* newCopy() const override;

    CRect movementArea(const CSliderHandle* handle) const override;
    float xFromPixel(const CSliderHandle* handle, int px) const override;
    float yFromPixel(const CSliderHandle* handle, int py) const override;
    void beginEditFor(CSliderHandle* handle) override;
    void endEditFor(CSliderHandle* handle) override;

    // Appends the handle (the control owns it) and links the previous last handle to it.
    virtual void addEGHandle(CEGControlHandle* handle);
    virtual CEGControlHandle* newEGHandle(long tagX, long tagY, long curveTag, long tagZ,
                                          const CColor& frameColour, const CColor& fillColour);
    virtual void setGrid(bool state);
    virtual void drawSegment(CDrawContext* context, CSliderHandle* from, CSliderHandle* to,
                             int linkType);
    virtual int areaWidth(const CSliderHandle* handle) const;
    virtual int areaHeight(const CSliderHandle* handle) const;

    const CRect& getDrawingArea() const { return area; }
    // The handle whose outgoing segment the current gesture bends, or null.
    CEGControlHandle* getSegmentHandle() const { return segmentHandle; }

protected:
    // Takes over handles, links, area and look of another envelope (for copies).
    void copyEnvelope(const CEGControl& from);

    CRect area;
    long firstHandleTag;
    bool grid = true;
    bool handleDrag = false;
    CEGControlHandle* segmentHandle = nullptr;
    CPoint previousPoint;
    CColor curveColour;
    CColor handleFrameColour;
    CColor handleFillColour;
    CColor hatchColour;
    CColor backgroundColour;
    CColor gridColour;
};

// The three-point attack/decay envelope: a fixed start at the bottom left, the peak (attack
// time, within the first sixth of the area) and the end (decay time, horizontal only).
class CEGARControl : public CEGControl {
public:
    CEGARControl(const CRect& size, CControlListener* listener, long attackTimeTag,
                 long attackCurveTag, int unused, long decayTimeTag, long decayCurveTag,
                 const CColor& hatchColour, const CColor& backgroundColour,
                 const CColor& gridColour, const CColor& curveColour,
                 const CColor& handleFrameColour, const CColor& handleFillColour);

    CRect movementArea(const CSliderHandle* handle) const override;
    bool isTypeOf(const char* className) const override;
    CVXControl* newCopy() const override;

protected:
    long attackTimeTag;
};

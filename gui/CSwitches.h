#pragma once
#include "gui/CControl.h"

// Shows one of subPixmaps images (heightOfOneImage each, stacked downwards) chosen by the
// value: the first at minimum, the last at maximum. Takes no mouse.
class CMovieBitmap : public CControl {
public:
    CMovieBitmap(const CRect& size, CControlListener* listener, long tag, int subPixmaps,
                 int heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;

protected:
    int frameIndex() const;

    int subPixmaps;
    int heightOfOneImage;
    CPoint offset;
};

// A column of maxPositions equal cells; the cell under the pointer is the value (the top cell
// is the minimum), shown as one of subPixmaps images. Dragging moves through the cells; the
// wheel moves one cell (up for positive notches).
class CVerticalSwitch : public CMovieBitmap {
public:
    CVerticalSwitch(const CRect& size, CControlListener* listener, long tag, int subPixmaps,
                    int heightOfOneImage, int maxPositions, CBitmap* background,
                    const CPoint& offset = CPoint());

    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool onWheel(const CPoint& where, float distance, long buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    float valueOfPosition(int position) const;

    int maxPositions;
    bool dragging = false;
};

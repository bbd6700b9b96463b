#pragma once
#include "gui/CControl.h"

// A grid of 2 rows by 3 columns of choices over one image per choice (six images stacked
// vertically), picked by pressing or dragging over the grid. Value = index / 5, row-major.
// Dragging outside the grid picks the nearest cell.
class CSelectorSwitch : public CControl {
public:
    CSelectorSwitch(const CRect& size, CControlListener* listener, long tag, CBitmap* background);

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;

    int getRows() const { return rows; }
    int getColumns() const { return columns; }
    // The position a value shows, 0..positions - 1 whatever the value.
    int positionOf(float value) const;

    virtual CSelectorSwitch* newCopy() const;

protected:
    int rows = 2;
    int columns = 3;
    int positions = 6;
    int imageHeight = 0;
    int rowHeight = 0;
    float columnWidth = 0.0f;
    bool rowMajor = true;
    bool pressed = false;
};

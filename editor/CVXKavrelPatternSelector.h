#pragma once
#include "gui/CControl.h"

// Sixteen pattern cells in a row under an overlay image. The playing pattern's cell is orange;
// a change that is queued but not yet playing shows the new cell in translucent white beside
// the playing one (still orange) until clearPending. Value = pattern / 15; tag 114.
class CVXKavrelPatternSelector : public CControl {
public:
    static constexpr long kTag = 114;
    static constexpr int kCells = 16;

    CVXKavrelPatternSelector(const CRect& size, CControlListener* listener, int unused,
                             CBitmap* overlay);

    void setValue(float value) override;
    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;

    virtual void setPatternIndex(int index);
    // The queued pattern now plays: it alone is shown, in orange.
    virtual void clearPending();

    bool isPending() const { return pending; }
    float getPreviousValue() const { return previousValue; }
    // The cell a value stands for, 0..15 whatever the value.
    static int cellOf(float value);
    // The rectangle drawn for a cell (one pixel inside its share of the row).
    CRect cellRect(int cell) const;

    virtual CVXKavrelPatternSelector* newCopy() const;

protected:
    CRect firstCell;
    bool pending = false;
    float previousValue = 0.0f;
    float cellWidth = 0.0f;
    bool dragging = false;
};

#pragma once
#include "gui/CButtons.h"

// The transport's play button (tag 109), two images stacked: off, on. While pressed it
// previews what the release will do: a running transport shows off (value 0.25), a stopped
// one on (1). Sliding off the button shows the state before the press again. The release
// always leaves the value at 1; the listener toggles the transport on it.
class CVXKavrelPlayButton : public CMovieButton {
public:
    static constexpr long kTag = 109;

    CVXKavrelPlayButton(const CRect& size, CControlListener* listener, CBitmap* background);

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;

    float getLastDrawnValue() const { return lastDrawnValue; }
    virtual CVXKavrelPlayButton* newCopy() const;

protected:
    // Sets the value; tells the listener and redraws when it changed.
    void show(float next);

    int imageHeight;
    float lastDrawnValue = 0.0f;
    bool wasOn = false;
    bool pressed = false;
};

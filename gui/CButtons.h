#pragma once
#include "gui/CControl.h"

// Two-state bitmap button: a press toggles between minimum and maximum. The background holds
// the off image on top and the on image one view height below it.
class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background);

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;
};

// Two-state bitmap button with images of heightOfOneImage stacked from offset down. The value
// toggles on press and follows the pointer in and out of the button until release.
class CMovieButton : public CControl {
public:
    CMovieButton(const CRect& size, CControlListener* listener, long tag, int heightOfOneImage,
                 CBitmap* background, const CPoint& offset = CPoint());

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    bool isOn() const { return value > (vmin + vmax) * 0.5f; }
    // Sets the value, tells the listener and schedules a redraw when it changed.
    void change(float newValue);

    CPoint offset;
    int heightOfOneImage;
    float entryValue = 0.0f;
    bool tracking = false;
};

// A picture that appears in toDisplay when clicked and disappears with the next click.
class CSplashScreen : public CControl {
public:
    CSplashScreen(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                  const CRect& toDisplay, const CPoint& offset = CPoint());

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    void setValue(float value) override;
    bool isTypeOf(const char* className) const override;

protected:
    CRect toDisplay;
    CRect keepSize;
    CPoint offset;
};

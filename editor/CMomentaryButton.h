#pragma once
#include "gui/CButtons.h"

// A button that is on only while held: the press sends 1, the release sends 0. Sliding off
// shows it up and sliding back on shows it down again, without telling the listener.
class CMomentaryButton : public COnOffButton {
public:
    CMomentaryButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background);

    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;

    virtual CMomentaryButton* newCopy() const;

protected:
    bool pressed = false;
};

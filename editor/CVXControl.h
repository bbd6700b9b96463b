#pragma once
#include "gui/CControl.h"

#include <set>

class CVXControl;

// The editor's listener. Controls that edit several parameters at once (step rows, lanes,
// envelope editors) report each change as one (tag, value) pair through valueChangedAt;
// single-value controls keep using valueChanged.
class CVXControlListener : public CControlListener {
public:
    // A new value for one of the parameters a multi-tag control owns.
    virtual void valueChangedAt(long tag, float value) = 0;
    // Spare slot for messages a control wants to send beyond values; ignored by default.
    virtual void controlMessage(CControl* /*control*/, long /*message*/) {}
};

// A control that may own more than one parameter tag. The base owns just its own tag and
// treats setValueAt/getValueAt as setValue/getValue; multi-tag controls override all five.
//
// Its listener receives valueChangedAt only when it is a CVXControlListener; any other
// listener is still told begin/end of gestures and valueChanged.
class CVXControl : public CControl {
public:
    CVXControl(const CRect& size, CControlListener* listener = nullptr, long tag = 0,
               CBitmap* background = nullptr);

    virtual void setValueAt(long tag, float value);
    virtual float getValueAt(long tag) const;
    // Forwards to the listener's valueChangedAt.
    virtual void notifyValueAt(long tag, float value);
    // True for every tag the control edits; the base: its own tag, when that is not 0.
    virtual bool ownsTag(long tag) const;
    virtual std::set<long> getTags() const;

    // A detached copy with the same settings and value (no parent, same listener).
    virtual CVXControl* newCopy() const;

    bool isTypeOf(const char* className) const override;
};

// Copies what every control carries (range, value, default, wheel step, tag, listener,
// background, offsets and flags) from one control to a freshly made one. The copies of the
// editor's controls are built on it.
void copyControlState(const CControl& from, CControl& to);

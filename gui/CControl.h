#pragma once
#include "gui/CView.h"

class CControl;

// Told of what the user does with a control.
class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    // Offered a press with the right button or a modifier before the control sees it; a
    // non-zero answer consumes the press.
    virtual long controlModifierClicked(CControl* /*control*/, long /*buttons*/) { return 0; }
    virtual void controlBeginEdit(CControl* /*control*/) {}
    virtual void controlEndEdit(CControl* /*control*/) {}
};

// A view with a value in minimum..maximum, a tag and a listener.
class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, long tag = 0,
             CBitmap* background = nullptr);

    virtual void setValue(float value) { this->value = value; }
    virtual float getValue() const { return value; }
    virtual void setMin(float v) { vmin = v; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float v) { vmax = v; }
    virtual float getMax() const { return vmax; }
    virtual void setDefaultValue(float v) { defaultValue = v; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setOldValue(float v) { oldValue = v; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setWheelInc(float v) { wheelInc = v; }
    virtual float getWheelInc() const { return wheelInc; }
    virtual void setTag(long t) { tag = t; }
    virtual long getTag() const { return tag; }
    virtual void setListener(CControlListener* l) { listener = l; }
    CControlListener* getListener() const { return listener; }

    // Clamps the value into minimum..maximum.
    virtual void bounceValue();
    virtual void beginEdit();
    virtual void endEdit();
    // With exactly left button plus Control: value to default, valueChanged, endEdit, true.
    virtual bool checkDefaultValue(long buttons);

    bool isDirty() const override;
    void setDirty(bool state = true) override;
    bool isTypeOf(const char* className) const override;

protected:
    // Tells the listener, if any, that the value changed.
    void notifyValueChanged();
    // After the value was set during an edit already begun: when it differs from old, tells
    // the listener and redraws. Returns whether it differed.
    bool valueChangedFrom(float old);
    // A wheel turn is an edit of its own, so the change is wrapped in begin/end edit.
    bool wheelValueChangedFrom(float old);
    // Moves the value by wheelInc per wheel step, a tenth of it with Shift, within bounds.
    void stepByWheel(float distance, long buttons);
    // Ends the drag that dragging tracks, if there is one, and the edit it began.
    long finishDrag(bool& dragging);

    CControlListener* listener;
    long tag;
    float value = 0.0f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float defaultValue = 0.5f;
    float oldValue = 1.0f;
    float wheelInc = 0.1f;
};

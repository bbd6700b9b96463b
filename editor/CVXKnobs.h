#pragma once
#include "gui/CKnob.h"

#include <string>

class CFontrastResource;

// A vector-drawn knob: a pie of the fill colour that grows clockwise from the lower left with
// the value, inside an outline of the frame colour. With positions set it snaps to them, also
// while dragged. Disabled, it takes its disabled colours and refuses the mouse.
class CVXVKnob : public CKnob {
public:
    CVXVKnob(const CRect& size, CControlListener* listener, long tag,
             const CColor& enabledFrameColour, const CColor& enabledFillColour,
             const CColor& disabledFrameColour, const CColor& disabledFillColour,
             CBitmap* background = nullptr);

    void setValue(float value) override;
    void bounceValue() override;
    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    bool onWheel(const CPoint& where, float distance, long buttons) override;
    bool isTypeOf(const char* className) const override;

    virtual void setEnabled(bool state);
    // n positions from minimum to maximum; 0 or 1 make the knob continuous.
    virtual void setPositions(int n);
    virtual void setLineWidth(int width, bool redraw = true);

    bool isEnabled() const { return enabled; }
    int getSteps() const { return steps; }
    int getLineWidth() const { return lineWidth; }
    const CColor& getFrameColour() const { return frameColour; }
    const CColor& getFillColour() const { return fillColour; }

    virtual CVXVKnob* newCopy() const;

protected:
    // The value as a fraction 0..1 of the range, for drawing: whatever a host sends (out of
    // range, not a number) puts the pointer at an end, never off the dial.
    float drawnFraction() const;
    void drawBackground(CDrawContext* context);
    void copyKnobState(CVXVKnob& to) const;

    CColor enabledFrameColour, enabledFillColour;
    CColor disabledFrameColour, disabledFillColour;
    CColor frameColour, fillColour;
    bool enabled = true;
    int steps = 0;
    int lineWidth = 1;
};

// The voice pages' labelled knob: a short thick black pointer on a 14-pixel circle centred in
// a 60-pixel cell whose background image carries the face, and a caption centred on top.
class CVXBriskoVKnob : public CVXVKnob {
public:
    CVXBriskoVKnob(const CRect& size, CControlListener* listener, long tag,
                   const CColor& frameColour, const CColor& fillColour, CBitmap* background,
                   CFontrastResource* font, const char* label);
    ~CVXBriskoVKnob() override;

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;
    CVXBriskoVKnob* newCopy() const override;

    const std::string& getLabel() const { return label; }
    void setLabel(const char* text);
    CFontrastResource* getFont() const { return font; }

protected:
    CFontrastResource* font;
    std::string label;
};

// The mixer's small knob: a black pointer arc just inside the edge of its background image.
class CVXKavrelSmallVKnob : public CVXVKnob {
public:
    CVXKavrelSmallVKnob(const CRect& size, CControlListener* listener, long tag,
                        const CColor& frameColour, const CColor& fillColour);

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;
    CVXKavrelSmallVKnob* newCopy() const override;
};

#pragma once
#include "gui/CControl.h"

class CFontrastResource;

// A number drawn with a bitmap font, dragged up/down or right/left to change it. A press on
// the digits after the decimal point drags ten times more finely.
//
// The text is printf-formatted from width, precision, zero-pad and alignment (or a format set
// outright), followed by a suffix. Whatever value arrives, the text stays within its buffer
// and shows a number inside the control's range.
class CVXNumerical : public CControl {
public:
    static constexpr int kFormatSize = 10; // 9 characters and the terminator
    static constexpr int kTextSize = 50;
    static constexpr int kSuffixSize = 11;

    CVXNumerical(const CRect& size, CControlListener* listener, long tag, CFontrastResource* font,
                 int unused1 = 0, int unused2 = 0, const char* suffix = nullptr);
    ~CVXNumerical() override;

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;

    virtual void setSuffix(const char* text);
    // A printf format for one number; one that is not (no conversion, two, or one for text)
    // is ignored in favour of the format built from the settings.
    virtual void setFormat(const char* text);
    // The text shown while auto-format is off.
    virtual void setText(const char* text);
    virtual void setAutoFormat(bool state);
    float getValue() const override { return value; }
    // The value change a pointer move from one point to another makes: the longer axis
    // counts, right and up positive.
    virtual float stepForMove(const CPoint& from, const CPoint& to) const;
    virtual void buildFormat();

    // Layout and format settings; each rebuilds the format.
    void setWidth(int digits);
    void setPrecision(int digits);
    void setZeroPad(bool state);
    void setAlignment(int align);
    void setTextPoint(const CPoint& point) { textPoint = point; }
    // Fraction of the range per pixel of drag.
    void setSensitivity(float fraction) { sensitivity = fraction; }

    const char* getText() const { return text; }
    const char* getFormat() const { return format; }
    const char* getSuffix() const { return suffix; }
    const CPoint& getTextPoint() const { return textPoint; }
    int getAlignment() const { return alignment; }
    CFontrastResource* getFont() const { return font; }

    virtual CVXNumerical* newCopy() const;

protected:
    // Prints the value (kept inside the range) and the suffix into the text.
    void formatText();
    // Where the text starts, after alignment around the text point.
    int textLeft();
    void drawText(CDrawContext* context, const char* shown);
    void copyNumericalState(CVXNumerical& to) const;

    CFontrastResource* font;
    CPoint textPoint;
    int alignment = 0;
    CPoint lastPoint;
    long lastButtons = 0;
    int width = 3;
    int precision = 0;
    bool zeroPad = false;
    char format[kFormatSize] = {};
    char text[kTextSize] = {};
    char suffix[kSuffixSize] = {};
    float sensitivity = 0.01f;
    float stepPerPixel = 0.0f;
    bool autoFormat = true;
    // Whether the format in use takes an integer (d, i) rather than a double.
    bool integerFormat = true;
    bool dragging = false;
};

// A velocity read-out: 0 stands for "the sequencer's own velocity" and reads "SEQ".
class CVXKavrelVelocityNumerical : public CVXNumerical {
public:
    CVXKavrelVelocityNumerical(const CRect& size, CControlListener* listener, long tag,
                               CFontrastResource* font);

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;
    CVXKavrelVelocityNumerical* newCopy() const override;
};

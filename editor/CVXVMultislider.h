#pragma once
#include "editor/CVXControl.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

// A row of 32 values edited in one control: one cell per step, each reported to the listener
// as (tag + index, value) through valueChangedAt, never through valueChanged.
class CVXVMultislider : public CVXControl {
public:
    static constexpr int kSliders = 32;

    enum Style : int {
        kRows = 0x1,       // sliders stacked, each moving horizontally
        kColumns = 0x2,    // sliders side by side, each moving vertically
        kZeroLeft = 0x8,   // horizontal handles: value 0 at the left
        kInvertX = 0x10,   // horizontal value from x runs 1 at the left
        kTopIsOne = 0x40,  // vertical value 1 at the top
        kCentred = 0x2000, // bars start at the vertical centre (implies kTopIsOne)
    };

    struct Slider {
        float value = 0.0f;
        bool disabled = false;
        bool selected = false;
    };

    // The integer after the tag is accepted for layout tables that pass one and is unused.
    CVXVMultislider(const CRect& size, CControlListener* listener, long tag, int unused, int style,
                    const CColor& gridColour, const CColor& sliderColour,
                    const CColor& gridColourDisabled, const CColor& sliderColourDisabled,
                    const CColor& selectColour);

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;

    // Every slider at once.
    void setValue(float value) override;
    // tag + index addresses one slider; tags the control does not carry are ignored.
    void setValueAt(long tag, float value) override;
    float getValueAt(long tag) const override;
    bool ownsTag(long tag) const override;
    std::set<long> getTags() const override;
    CVXControl* newCopy() const override;

    virtual void drawSlider(CDrawContext* context, int index, const CRect& cell,
                            const CRect& handle);
    virtual void drawSelection(CDrawContext* context, int index, const CRect& cell);
    // Index accessors ignore (setters) or answer false/0 (getters) outside 0..count-1.
    virtual void setSliderValue(int index, float value);
    virtual float getSliderValue(int index) const;
    virtual void setSliderDisabled(int index, bool state);
    virtual bool isSliderDisabled(int index) const;
    // The first n sliders are enabled, the rest disabled; n is clamped into 0..count.
    virtual void setActiveCount(int n);
    virtual void setSliderSelected(int index, bool state);
    virtual void selectOnly(int index);
    virtual bool isSliderSelected(int index) const;
    virtual void setSliderColour(const CColor& c);
    virtual void setGridColour(const CColor& c);
    virtual void setSelectColour(const CColor& c);
    virtual void setSliderColourDisabled(const CColor& c);
    virtual void setGridColourDisabled(const CColor& c);
    virtual CColor getSliderColour() const { return sliderColour; }
    virtual CColor getGridColour() const { return gridColour; }
    virtual CColor getSliderColourDisabled() const { return sliderColourDisabled; }
    virtual CColor getGridColourDisabled() const { return gridColourDisabled; }
    virtual void setStyle(int bits);
    int getStyle() const { return style; }

    // -1 outside the control.
    virtual int sliderIndexAt(const CPoint& where) const;
    virtual CRect cellRect(int index) const;
    virtual CRect handleRect(int index, const CRect& cell) const;
    // The value a press at where gives slider index, in 0..1.
    virtual float valueAt(int index, const CPoint& where) const;

    int getCount() const { return count; }

protected:
    bool validIndex(int index) const { return index >= 0 && index < count; }
    // Takes over the sliders, style, colours and geometry of another lane (for copies).
    void copyLane(const CVXVMultislider& from);
    // Sets slider index from a gesture and reports it; false when nothing changed.
    bool applyGestureValue(int index, float value);
    // Runs edit over every cell from the last gesture point to where, so that a quick drag
    // still reaches the cells between two pointer events.
    template <typename Edit> void sweep(const CPoint& where, Edit edit);

    short count = kSliders;
    std::array<Slider, kSliders> sliders{};
    int style;
    CColor gridColour;
    CColor sliderColour;
    CColor gridColourDisabled;
    CColor sliderColourDisabled;
    CColor selectColour;
    int width;
    int height;
    int cellWidth;
    int cellHeight;
    int handleWidth;
    int handleHeight;

    bool gestureActive = false;
    CPoint lastPoint;
};

// Step toggles: a press flips the step under the pointer and the drag paints that new state
// onto every step passed over.
class CVXVMultibutton : public CVXVMultislider {
public:
    CVXVMultibutton(const CRect& size, CControlListener* listener, long tag, int unused,
                    const CColor& gridColour, const CColor& sliderColour,
                    const CColor& gridColourDisabled, const CColor& sliderColourDisabled,
                    const CColor& selectColour);

    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;
    CVXControl* newCopy() const override;

    // Stores 1.0 when value > 0.5, else 0.0.
    virtual void setStep(int index, float value);
    virtual void setStepOn(int index, bool on);

protected:
    // Negative while the gesture has no step to copy (the press missed every enabled step).
    float paintValue = -1.0f;
};

// The editor's per-step value lane: velocities as bars from the bottom (style 0x42) or
// parameter values as bars from the centre (style 0x2002).
class CVXKavrelMultiSlider : public CVXVMultislider {
public:
    static constexpr long kTag = 652;

    CVXKavrelMultiSlider(const CRect& size, CControlListener* listener);

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;
    CVXControl* newCopy() const override;

    // Sets the sliders in order from the list; only as many as it holds (at most 32) change,
    // so an empty list changes nothing.
    virtual void setValues(const std::vector<float>& values);
    void setValues(const float* values, size_t n);
    virtual std::vector<float> getValues() const;
};

// One voice's row of step buttons.
class CVXKavrelMultiButton : public CVXVMultibutton {
public:
    CVXKavrelMultiButton(const CRect& size, CControlListener* listener, long tag);

    void drawSlider(CDrawContext* context, int index, const CRect& cell,
                    const CRect& handle) override;
    void drawSelection(CDrawContext* context, int index, const CRect& cell) override;
    bool isTypeOf(const char* className) const override;
    CVXControl* newCopy() const override;

    // Each non-zero byte turns a step on; only as many steps as given (at most 32) change.
    virtual void setSteps(const std::vector<uint8_t>& steps);
    void setSteps(const uint8_t* steps, size_t n);
    // 1 for on, 0 for off, 32 entries.
    virtual std::vector<uint8_t> getSteps() const;
};

#pragma once
#include "gui/CFrame.h"

#include <cstdint>
#include <map>

class CControl;
class CVXControl;

// The editor's frame. It knows its controls by parameter tag, so the editor can route a
// parameter change (or a MIDI-learn highlight) to the control showing it, and it outlines one
// highlighted control on top of everything else. Knobs drag linearly.
//
// Controls and views registered here are children of the frame; removing one also forgets
// its registrations and any highlight on it.
class CHighlightFrame : public CFrame {
public:
    explicit CHighlightFrame(const CRect& size, double scaleFactor = 1.0);

    long getKnobMode() const override { return kLinearMode; }

    // Adds the view as a child and records it under tag (captions use -1).
    virtual void addTaggedView(CView* view, long tag);
    // Adds the control as a child and records it under every tag of its getTags.
    virtual void addMultiControl(CVXControl* control);
    // Adds the control as a child and records it under its own tag.
    virtual void addControl(CControl* control);

    // The control outlined on top of everything (null: none). It must be a child.
    virtual void setHighlight(CControl* control);
    virtual CControl* getHighlight() const { return highlight; }
    // Packed as 0xAARRGGBB.
    virtual void setHighlightColour(uint32_t argb);
    virtual void setHighlightColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    const CColor& getHighlightColour() const { return highlightColour; }
    // With on, the control registered for tag becomes the highlight (none when there is no
    // such control); with off, the highlight goes.
    virtual void highlightTag(long tag, bool on);
    // The highlighted control's tag, -1 when nothing is highlighted.
    virtual long getHighlightTag() const;
    virtual CControl* controlForTag(long tag) const;
    virtual CView* viewForTag(long tag) const;

    // A view drawn once more after all others while set, so that an open list box lies over
    // the views that follow it in the tree. Null clears it.
    void setTopView(CView* view);
    CView* getTopView() const { return topView; }

    void removeView(CView* view) override;
    void removeAll() override;
    bool isTypeOf(const char* className) const override;

protected:
    void drawOverlay(CDrawContext* context, const CRect& rect) override;

private:
    void forgetView(const CView* view);

    CControl* highlight = nullptr;
    CColor highlightColour = kWhiteCColor;
    std::map<long, CControl*> controls;
    std::map<long, CView*> views;
    CView* topView = nullptr;
};

#pragma once
#include "editor/CVXControl.h"

#include <set>
#include <vector>

class CBitmap;

// A draggable point bound to up to three parameters: x (0 left), y (a screen fraction, 0 at
// the top, reported as 1 - y so that up means more) and z (1 while held).
class CSliderHandle {
public:
    enum Flags : int { kMoveX = 0x1, kMoveY = 0x2 };

    CSliderHandle(long tagX, long tagY, long tagZ, CBitmap* bitmap);
    virtual ~CSliderHandle();
    CSliderHandle(const CSliderHandle&) = delete;
    CSliderHandle& operator=(const CSliderHandle&) = delete;

    virtual void drawHandle(CDrawContext* context, const CRect& rect);
    virtual void setX(float v) { x = v; }
    virtual void setY(float v) { y = v; }
    virtual void setZ(float v) { z = v; }
    // Stores a parameter's value in the coordinate carrying the tag; true when it changed.
    virtual bool setValueForTag(float value, long tag);
    // The parameter value of a tag the handle carries, else 0.
    virtual float getValueForTag(long tag) const;
    // The handle's box relative to its position.
    virtual CRect getBounds() const { return bounds; }
    virtual int getWidth() const { return bounds.width(); }
    virtual int getHeight() const { return bounds.height(); }
    virtual void setFlags(int f) { flags = f; }

    float getX() const { return x; }
    float getY() const { return y; }
    float getZ() const { return z; }
    int getFlags() const { return flags; }
    // True when the handle carries tag as one of its parameters (never for a negative tag).
    virtual bool carriesTag(long tag) const;
    // A detached copy with the same tags, position, flags and image.
    virtual CSliderHandle* clone() const;
    // Every parameter of the handle bound to oldTag moves to newTag.
    virtual void retag(long oldTag, long newTag);

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    long tagX;
    long tagY;
    long tagZ;

protected:
    CBitmap* bitmap;
    int flags = kMoveX | kMoveY;
    CRect bounds;
};

// Any number of handles over a background, each bound to its own parameters, with lines
// linking them. Its own tag is always 499: the parameters are the handles' tags.
class CMultiXYControl : public CVXControl {
public:
    static constexpr long kTag = 499;
    // How a link is drawn and whether the handle it hangs on drags it along.
    enum LinkType : int {
        kLinkNone = 0,
        kLinkSolid = 1,
        kLinkDashed = 2,
        kLinkSolidFixed = 3,
        kLinkDashedFixed = 4,
        kLinkHidden = 5,
    };

    CMultiXYControl(const CRect& size, CControlListener* listener);
    ~CMultiXYControl() override;

    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    bool isTypeOf(const char* className) const override;

    // Tags no handle carries are ignored (set) or read as 0 (get).
    void setValueAt(long tag, float value) override;
    float getValueAt(long tag) const override;
    bool ownsTag(long tag) const override;
    std::set<long> getTags() const override;
    CVXControl* newCopy() const override;

    // A gesture's brackets: the listener's controlBeginEdit, then one begin per parameter the
    // gesture edits (and the reverse at the end).
    virtual void beginEditFor(CSliderHandle* handle);
    virtual void endEditFor(CSliderHandle* handle);
    // The parameters the current gesture edits, valid from controlBeginEdit to controlEndEdit:
    // a listener brackets these, not the control's own tag.
    const std::vector<long>& getEditingTags() const { return editingTags; }
    // tagX and tagY of the topmost handle under the point; empty when there is none.
    virtual std::vector<long> tagsAt(const CPoint& where) const;
    // The control owns the handle it returns.
    virtual CSliderHandle* addHandle(long tagX, long tagY, long tagZ, CBitmap* bitmap);
    virtual void setHandleTag(long oldTag, long newTag);
    virtual CSliderHandle* previousHandle(const CSliderHandle* handle) const;
    virtual void setNotifyLinks(bool state) { notifyLinks = state; }
    virtual void link(long tagA, long tagB, int type);
    virtual void setLineColour(const CColor& c);
    virtual CRect rectForTag(long tag) const;
    virtual CRect handleRect(const CSliderHandle* handle) const;
    virtual CPoint handleCentre(const CSliderHandle* handle) const;
    virtual CRect movementArea(const CSliderHandle* handle) const;
    virtual int getXRange() const { return xRange; }
    virtual int getYRange() const { return yRange; }
    virtual float xFromPixel(const CSliderHandle* handle, int px) const;
    virtual float yFromPixel(const CSliderHandle* handle, int py) const;
    virtual void setHandleX(CSliderHandle* handle, float v);
    virtual void setHandleY(CSliderHandle* handle, float v);
    virtual void setHandleZ(CSliderHandle* handle, float v);
    virtual void drawLinks(CDrawContext* context);
    // Edges included.
    virtual bool pointInHandle(const CSliderHandle* handle, const CPoint& where) const;
    // The first handle in list order carrying the tag; null for none (or a negative tag).
    virtual CSliderHandle* handleForTag(long tag) const;

    int getHandleCount() const { return static_cast<int>(handles.size()); }
    CSliderHandle* getHandle(int index) const;
    CSliderHandle* getGrabbedHandle() const { return grabbed; }

protected:
    struct Link {
        CSliderHandle* from;
        CSliderHandle* to;
        int type;
    };

    // Replaces handles and links with copies of another control's, and takes its settings
    // (for copies).
    void copyHandles(const CMultiXYControl& from);
    // Appends a handle made by a derived class; the control takes ownership.
    void appendHandle(CSliderHandle* handle);
    // Reports a value for a parameter tag; tag -1 (no parameter) reports nothing.
    void report(long tag, float value);
    // Opens and closes a gesture on the given parameters (negative tags are dropped).
    void beginEditTags(std::vector<long> tags);
    void endEditTags();
    // Per-parameter begin and end of a gesture, after the listener's own; hooks for a frame
    // or editor that brackets parameters itself.
    virtual void beginEditTag(long tag);
    virtual void endEditTag(long tag);
    CSliderHandle* handleAt(const CPoint& where) const;
    int indexOf(const CSliderHandle* handle) const;

    int backgroundWidth;
    int backgroundHeight;
    int xRange;
    int yRange;
    std::vector<CSliderHandle*> handles;
    std::vector<Link> links;
    CColor lineColour = kWhiteCColor;
    CSliderHandle* grabbed = nullptr;
    CPoint grabOffset;
    CPoint pressPoint;
    long pressButtons = 0;
    float pressX = 0.0f;
    float pressY = 0.0f;
    bool notifyLinks = false;
    std::vector<long> editingTags;
};

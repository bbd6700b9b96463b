#pragma once
#include "gui/CDrawContext.h"
#include "gui/CPlatformWindow.h"
#include "gui/CView.h"

#include <memory>
#include <vector>

class CControl;

// Modes a CKnob drags in, as the frame reports them.
enum CKnobMode { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

// The root of the view tree. It owns a back buffer (an offscreen context) at the window's
// device size, redraws into it only what was invalidated or became dirty, and copies that to
// the platform window. Without a window (never opened) it is an offscreen frame: tests and
// tools render and save it exactly as a window would show it.
//
// One scale factor maps view coordinates to device pixels; mouse points coming from the
// window are mapped back through it.
class CFrame : public CViewContainer, private CPlatformWindowListener {
public:
    explicit CFrame(const CRect& size, double scaleFactor = 1.0);
    ~CFrame() override;

    // Creates the child window of the host's window; false when the window system refuses.
    bool open(void* parentWindow);
    // Destroys the window; the views stay.
    void close();
    bool isOpen() const { return window != nullptr; }
    CPlatformWindow* getPlatformWindow() const { return window.get(); }

    // Runs the window's pending events, redraws what changed and presents it.
    virtual void idle();
    // Redraws what was invalidated or is dirty into the back buffer; the device rectangles
    // drawn are returned (empty when nothing changed).
    std::vector<CRect> updateBackBuffer();
    // Redraws everything into the back buffer.
    void redrawAll();
    // The back buffer (created on first use); null when the backend cannot make one.
    COffscreenContext* getBackBuffer();
    // Redraws everything and writes the back buffer as PNG.
    bool saveToPng(const char* path);

    void invalidRect(const CRect& rect);
    void setDirty(bool state = true) override;
    double getScaleFactor() const { return scale; }
    // A window's device point in view coordinates.
    CPoint toView(const CPoint& device) const;

    // How knobs drag (CKnobMode); the editor sets it from the host's or its own choice.
    virtual long getKnobMode() const { return knobMode; }
    void setKnobMode(long mode) { knobMode = mode; }
    // What shows where no view and no background image draws.
    void setBackgroundColor(const CColor& color) { backgroundColor = color; }

    // Mouse input in view coordinates (the window's events arrive here after mapping). The
    // frame keeps the view that took a press and sends it moves and the release.
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    bool onWheel(const CPoint& where, float distance, long buttons) override;

    void removeView(CView* view) override;
    void removeAll() override;
    bool isTypeOf(const char* className) const override;

    // How many views draw() was called on since the count was last reset (tests, benchmarks).
    long drawCount = 0;

protected:
    // Draws after the views, on top of everything (a highlight, for instance).
    virtual void drawOverlay(CDrawContext* context, const CRect& rect);

private:
    void platformPaint(const CRect& deviceRect) override;
    void platformMouseDown(const CPoint& where, long buttons) override;
    void platformMouseMoved(const CPoint& where, long buttons) override;
    void platformMouseUp(const CPoint& where, long buttons) override;
    void platformWheel(const CPoint& where, float distance, long buttons) override;
    CRect toDevice(const CRect& rect) const;
    void paintRect(const CRect& rect);

    double scale;
    std::unique_ptr<COffscreenContext> backBuffer;
    std::unique_ptr<CPlatformWindow> window;
    std::vector<CRect> invalidRects;
    bool pressActive = false;
    CColor backgroundColor = kBlackCColor;
    long knobMode = kCircularMode;
};

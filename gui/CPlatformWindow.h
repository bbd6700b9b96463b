#pragma once
#include "gui/CGeometry.h"

#include <memory>

class COffscreenContext;

// What a window system reports to the frame that owns it. Points and rectangles are device
// pixels of the window; the frame maps them back through its scale factor.
class CPlatformWindowListener {
public:
    virtual ~CPlatformWindowListener() = default;
    // The window lost these pixels (expose, WM_PAINT): the frame brings its back buffer up to
    // date and presents at least this rectangle.
    virtual void platformPaint(const CRect& deviceRect) = 0;
    // buttons is the framework's button word (kLButton, kShift, ...).
    virtual void platformMouseDown(const CPoint& where, long buttons) = 0;
    virtual void platformMouseMoved(const CPoint& where, long buttons) = 0;
    virtual void platformMouseUp(const CPoint& where, long buttons) = 0;
    // distance in notches, positive away from the user; horizontal wheels arrive as a wheel
    // with Shift on platforms without a horizontal axis of their own.
    virtual void platformWheel(const CPoint& where, float distance, long buttons) = 0;
};

// A child window of the host's window, one implementation per window system (X11, Win32).
class CPlatformWindow {
public:
    virtual ~CPlatformWindow() = default;
    // Copies deviceRect of the back buffer to the window, in one go (no flicker).
    virtual void present(const COffscreenContext& backBuffer, const CRect& deviceRect) = 0;
    // Delivers the window system's pending events to the listener (X11); Win32 windows get
    // theirs through the host's message loop and do nothing here.
    virtual void pumpEvents() = 0;
    // Keeps mouse events coming to this window while a button is held outside it.
    virtual void setMouseCapture(bool capture) = 0;
    // The native handle: X11 Window id or HWND.
    virtual void* getNativeHandle() const = 0;
};

// What an editor needs of the platform for its whole life, taken up when it is constructed and
// given back when it is destroyed: on Windows OLE on the constructing thread and GDI+ for the
// module, on X11 nothing. Sessions of several editors nest.
class CPlatformSession {
public:
    CPlatformSession();
    ~CPlatformSession();
    CPlatformSession(const CPlatformSession&) = delete;
    CPlatformSession& operator=(const CPlatformSession&) = delete;

#ifdef _WIN32
private:
    // OLE is given back only on the thread that took it, and only if it was taken.
    bool oleStarted = false;
    unsigned long thread = 0;
    void* drawing = nullptr;
#endif
};

namespace gui {
// Creates the child window of parent (X11 Window id or HWND) at the given device size, or null
// when the window system refuses. The listener outlives the window.
std::unique_ptr<CPlatformWindow> createPlatformWindow(void* parent, int deviceWidth,
                                                      int deviceHeight,
                                                      CPlatformWindowListener* listener);
} // namespace gui

// The editor's window on X11: a child of the host's window on a display connection of its
// own, so nothing we do interferes with the host's toolkit. Events are read when the frame
// pumps them (on effEditIdle); the back buffer reaches the window through cairo-xlib.
#include "gui/CDrawContext.h"
#include "gui/CPlatformWindow.h"
#include "gui/CView.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>
#include <cstdint>

namespace {

constexpr Time kDoubleClickMs = 400;

// Xlib's default error handler ends the process, and the host may destroy its window (and so
// ours) before it closes the editor. While we talk to our own connection an error handler of
// ours is installed that swallows errors on our connections and passes any other to the
// handler it replaced; it goes again before control returns to the host, so nothing of ours
// stays installed once the library is unloaded.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display(display) {
        XSync(display, False);
        ours = display;
        failed = false;
        previous = XSetErrorHandler(handle);
    }
    ~ErrorTrap() {
        XSync(display, False);
        XSetErrorHandler(previous);
        ours = nullptr;
    }
    bool failedSoFar() {
        XSync(display, False);
        return failed;
    }

private:
    static int handle(Display* d, XErrorEvent* e) {
        if (d == ours) {
            failed = true;
            return 0;
        }
        return previous ? previous(d, e) : 0;
    }
    Display* display;
    static inline Display* ours = nullptr;
    static inline bool failed = false;
    static inline XErrorHandler previous = nullptr;
};

long modifierBits(unsigned int state) {
    long buttons = 0;
    if (state & ShiftMask) buttons |= kShift;
    if (state & ControlMask) buttons |= kControl;
    if (state & Mod1Mask) buttons |= kAlt;
    return buttons;
}

long buttonBits(unsigned int state) {
    long buttons = 0;
    if (state & Button1Mask) buttons |= kLButton;
    if (state & Button2Mask) buttons |= kMButton;
    if (state & Button3Mask) buttons |= kRButton;
    return buttons;
}

long bitOfButton(unsigned int button) {
    switch (button) {
    case Button1:
        return kLButton;
    case Button2:
        return kMButton;
    case Button3:
        return kRButton;
    default:
        return 0;
    }
}

class X11Window : public CPlatformWindow {
public:
    X11Window(Display* display, Window window, int width, int height,
              CPlatformWindowListener* listener)
        : display(display), window(window), width(width), height(height), listener(listener) {}

    ~X11Window() override {
        {
            ErrorTrap trap(display);
            if (target) cairo_surface_destroy(target);
            if (!destroyed) XDestroyWindow(display, window);
        }
        XCloseDisplay(display);
    }

    void present(const COffscreenContext& backBuffer, const CRect& rect) override {
        if (destroyed) return;
        ErrorTrap trap(display);
        if (!target) {
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(display, window, &attributes)) return;
            target = cairo_xlib_surface_create(display, window, attributes.visual, width, height);
        }
        cairo_t* cr = cairo_create(target);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, static_cast<cairo_surface_t*>(backBuffer.getNativeImage()), 0,
                                 0);
        cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
        cairo_fill(cr);
        cairo_destroy(cr);
        cairo_surface_flush(target);
    }

    void pumpEvents() override {
        ErrorTrap trap(display);
        CRect exposed;
        while (!destroyed && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            switch (event.type) {
            case Expose:
                exposed.unite(CRect(event.xexpose.x, event.xexpose.y,
                                    event.xexpose.x + event.xexpose.width,
                                    event.xexpose.y + event.xexpose.height));
                break;
            case ButtonPress:
                buttonPress(event.xbutton);
                break;
            case ButtonRelease: {
                long bit = bitOfButton(event.xbutton.button);
                if (!bit) break;
                long buttons =
                    (buttonBits(event.xbutton.state) & ~bit) | modifierBits(event.xbutton.state);
                listener->platformMouseUp(CPoint(event.xbutton.x, event.xbutton.y), buttons);
                break;
            }
            case DestroyNotify:
                // The host destroyed its window, and ours with it, before closing us.
                if (event.xdestroywindow.window == window) destroyed = true;
                break;
            case MotionNotify: {
                // Only the latest position of a burst matters.
                while (XCheckTypedWindowEvent(display, window, MotionNotify, &event)) {
                }
                long buttons = buttonBits(event.xmotion.state) | modifierBits(event.xmotion.state);
                listener->platformMouseMoved(CPoint(event.xmotion.x, event.xmotion.y), buttons);
                break;
            }
            default:
                break;
            }
        }
        if (!exposed.isEmpty() && !destroyed) listener->platformPaint(exposed);
    }

    void setMouseCapture(bool) override {
        // X11 grabs the pointer for the window that took the press until its release.
    }

    void* getNativeHandle() const override {
        return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
    }

private:
    void buttonPress(const XButtonEvent& e) {
        CPoint where(e.x, e.y);
        long modifiers = modifierBits(e.state);
        switch (e.button) {
        case 4:
        case 5:
            listener->platformWheel(where, e.button == 4 ? 1.0f : -1.0f,
                                    modifiers | buttonBits(e.state));
            return;
        case 6:
        case 7:
            // No horizontal axis in the framework: a horizontal wheel is a wheel with Shift.
            listener->platformWheel(where, e.button == 6 ? 1.0f : -1.0f,
                                    modifiers | kShift | buttonBits(e.state));
            return;
        default:
            break;
        }
        long bit = bitOfButton(e.button);
        if (!bit) return;
        long buttons = bit | buttonBits(e.state) | modifiers;
        if (e.button == Button1) {
            if (e.time - lastClickTime < kDoubleClickMs && lastClickTime != 0) {
                buttons |= kDoubleClick;
                lastClickTime = 0;
            } else {
                lastClickTime = e.time;
            }
        }
        listener->platformMouseDown(where, buttons);
    }

    Display* display;
    Window window;
    int width;
    int height;
    CPlatformWindowListener* listener;
    cairo_surface_t* target = nullptr;
    Time lastClickTime = 0;
    bool destroyed = false;
};

} // namespace

std::unique_ptr<CPlatformWindow> gui::createPlatformWindow(void* parent, int width, int height,
                                                           CPlatformWindowListener* listener) {
    if (!parent || !listener || width <= 0 || height <= 0) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    Window parentWindow = static_cast<Window>(reinterpret_cast<uintptr_t>(parent));
    XSetWindowAttributes attributes{};
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            StructureNotifyMask;
    attributes.background_pixmap = None; // we paint every pixel: no flash of background
    Window window = 0;
    bool failed;
    {
        ErrorTrap trap(display);
        window = XCreateWindow(display, parentWindow, 0, 0, static_cast<unsigned>(width),
                               static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWEventMask | CWBackPixmap, &attributes);
        XMapWindow(display, window);
        failed = trap.failedSoFar();
    }
    if (!window || failed) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_unique<X11Window>(display, window, width, height, listener);
}

// X11 needs nothing set up per editor: each window opens its own display connection.
CPlatformSession::CPlatformSession() = default;
CPlatformSession::~CPlatformSession() = default;

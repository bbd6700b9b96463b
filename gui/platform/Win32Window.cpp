// The editor's window on Win32: a child of the host's window. Messages arrive through the
// host's own message loop; painting copies the GDI+ back buffer to the window in one blit, so
// nothing is ever erased first and nothing flickers.
#include "gui/CDrawContext.h"
#include "gui/CPlatformWindow.h"
#include "gui/CView.h"
#include "gui/platform/GdiPlusSupport.h"

#include <windows.h>
// windows.h first: the GDI+ headers rely on its types.
#include <gdiplus.h>
#include <ole2.h>

#include <algorithm>
#include <mutex>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const wchar_t kClassName[] = L"KavrelEditorWindow";

// The module this code is linked into: the plug-in DLL, not the host's executable.
HINSTANCE ownModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ownModule), &module);
    return module;
}

// The class is registered by the first window of the module and unregistered with the last,
// so an unloaded DLL leaves no class pointing into freed code.
std::mutex classMutex;
int classUsers = 0;

long modifierBits() {
    long buttons = 0;
    if (GetKeyState(VK_SHIFT) & 0x8000) buttons |= kShift;
    if (GetKeyState(VK_CONTROL) & 0x8000) buttons |= kControl;
    if (GetKeyState(VK_MENU) & 0x8000) buttons |= kAlt;
    return buttons;
}

long buttonBits(WPARAM keys) {
    long buttons = 0;
    if (keys & MK_LBUTTON) buttons |= kLButton;
    if (keys & MK_MBUTTON) buttons |= kMButton;
    if (keys & MK_RBUTTON) buttons |= kRButton;
    return buttons;
}

CPoint pointOf(LPARAM lParam) {
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

class Win32Window : public CPlatformWindow {
public:
    Win32Window(int width, int height, CPlatformWindowListener* listener)
        : width(width), height(height), listener(listener) {}

    ~Win32Window() override {
        if (hwnd) {
            // No message reaches the listener from here on: destroying the window releases a
            // capture, and the frame is already closing.
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            DestroyWindow(hwnd);
        }
        if (registered) releaseClass();
    }

    bool create(HWND parent) {
        if (!acquireClass()) return false;
        registered = true;
        hwnd = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                               width, height, parent, nullptr, ownModule(), this);
        return hwnd != nullptr;
    }

    void present(const COffscreenContext& backBuffer, const CRect& deviceRect) override {
        if (!hwnd) return;
        CRect r = deviceRect;
        r.bound(CRect(0, 0, std::min(width, backBuffer.getDeviceWidth()),
                      std::min(height, backBuffer.getDeviceHeight())));
        if (r.isEmpty()) return;
        auto* bitmap = static_cast<GpBitmap*>(backBuffer.getNativeImage());
        GpRect area(r.left, r.top, r.width(), r.height());
        BitmapData data{};
        if (GdipBitmapLockBits(bitmap, &area, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok)
            return;
        // The locked rows keep the image's stride: describe them as a DIB that wide.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = data.Stride / 4;
        info.bmiHeader.biHeight = -static_cast<LONG>(data.Height); // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC dc = paintDC ? paintDC : GetDC(hwnd);
        if (dc) {
            SetDIBitsToDevice(dc, r.left, r.top, data.Width, data.Height, 0, 0, 0, data.Height,
                              data.Scan0, &info, DIB_RGB_COLORS);
            if (!paintDC) ReleaseDC(hwnd, dc);
        }
        GdipBitmapUnlockBits(bitmap, &data);
    }

    void pumpEvents() override {}

    void setMouseCapture(bool capture) override {
        if (!hwnd) return;
        if (capture) {
            SetCapture(hwnd);
            captured = true;
        } else if (captured) {
            captured = false; // before ReleaseCapture: its WM_CAPTURECHANGED is ours
            if (GetCapture() == hwnd) ReleaseCapture();
        }
    }

    void* getNativeHandle() const override { return hwnd; }

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) return self->handle(hwnd, message, wParam, lParam);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

private:
    static bool acquireClass() {
        std::lock_guard<std::mutex> lock(classMutex);
        if (classUsers == 0) {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = &Win32Window::windowProc;
            wc.hInstance = ownModule();
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.hbrBackground = nullptr; // every pixel is ours: no erase, no flash
            wc.lpszClassName = kClassName;
            if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
                return false;
        }
        ++classUsers;
        return true;
    }

    static void releaseClass() {
        std::lock_guard<std::mutex> lock(classMutex);
        if (--classUsers == 0) UnregisterClassW(kClassName, ownModule());
    }

    void paint(HDC dc, const CRect& rect) {
        paintDC = dc;
        listener->platformPaint(rect);
        paintDC = nullptr;
    }

    void press(LPARAM lParam, WPARAM keys, long bit) {
        lastPoint = pointOf(lParam);
        listener->platformMouseDown(lastPoint, bit | buttonBits(keys) | modifierBits());
    }

    void release(LPARAM lParam, WPARAM keys, long bit) {
        lastPoint = pointOf(lParam);
        listener->platformMouseUp(lastPoint, (buttonBits(keys) & ~bit) | modifierBits());
    }

    void wheel(HWND hwnd, WPARAM wParam, LPARAM lParam, bool horizontal) {
        POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(hwnd, &p); // wheel messages come in screen coordinates
        float notches = static_cast<short>(HIWORD(wParam)) / static_cast<float>(WHEEL_DELTA);
        long buttons = buttonBits(LOWORD(wParam)) | modifierBits();
        // No horizontal axis in the framework: a tilt is a wheel with Shift, leftwards
        // positive as on X11.
        if (horizontal) {
            buttons |= kShift;
            notches = -notches;
        }
        listener->platformWheel(CPoint(p.x, p.y), notches, buttons);
    }

    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc)
                paint(dc,
                      CRect(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom));
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam), CRect(0, 0, width, height));
            return 0;
        case WM_LBUTTONDOWN:
            press(lParam, wParam, kLButton);
            return 0;
        case WM_LBUTTONDBLCLK:
            press(lParam, wParam, kLButton | kDoubleClick);
            return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            press(lParam, wParam, kMButton);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            press(lParam, wParam, kRButton);
            return 0;
        case WM_LBUTTONUP:
            release(lParam, wParam, kLButton);
            return 0;
        case WM_MBUTTONUP:
            release(lParam, wParam, kMButton);
            return 0;
        case WM_RBUTTONUP:
            release(lParam, wParam, kRButton);
            return 0;
        case WM_MOUSEMOVE:
            lastPoint = pointOf(lParam);
            listener->platformMouseMoved(lastPoint, buttonBits(wParam) | modifierBits());
            return 0;
        case WM_MOUSEWHEEL:
            wheel(hwnd, wParam, lParam, false);
            return 0;
        case WM_MOUSEHWHEEL:
            wheel(hwnd, wParam, lParam, true);
            return 0;
        case WM_CAPTURECHANGED:
            // Taken away mid-drag (a dialog, Alt+Tab): the release will never come to us, so
            // the drag ends here and the control closes its edit.
            if (captured) {
                captured = false;
                listener->platformMouseUp(lastPoint, modifierBits());
            }
            return 0;
        case WM_NCDESTROY:
            // Hosts may destroy their window, and ours with it, before closing the editor.
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            this->hwnd = nullptr;
            captured = false;
            return DefWindowProcW(hwnd, message, wParam, lParam);
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
    }

    int width;
    int height;
    CPlatformWindowListener* listener;
    HWND hwnd = nullptr;
    HDC paintDC = nullptr;
    bool registered = false;
    bool captured = false;
    CPoint lastPoint;
};

} // namespace

std::unique_ptr<CPlatformWindow> gui::createPlatformWindow(void* parent, int width, int height,
                                                           CPlatformWindowListener* listener) {
    HWND parentWindow = static_cast<HWND>(parent);
    if (!parentWindow || !IsWindow(parentWindow) || !listener || width <= 0 || height <= 0)
        return nullptr;
    auto window = std::make_unique<Win32Window>(width, height, listener);
    if (!window->create(parentWindow)) return nullptr;
    return window;
}

CPlatformSession::CPlatformSession() {
    // A thread already in the multithreaded apartment refuses OLE (RPC_E_CHANGED_MODE); that
    // is the host's choice and is left alone.
    HRESULT result = OleInitialize(nullptr);
    oleStarted = SUCCEEDED(result);
    thread = GetCurrentThreadId();
    drawing = new gui::gdiplus::Session;
}

CPlatformSession::~CPlatformSession() {
    delete static_cast<gui::gdiplus::Session*>(drawing);
    // Uninitialising another thread's OLE would unbalance the host's own count there.
    if (oleStarted && thread == GetCurrentThreadId()) OleUninitialize();
}

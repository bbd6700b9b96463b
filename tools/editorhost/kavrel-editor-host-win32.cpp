// A test host for the editor on Windows: loads the DLL through its entry point, opens its
// editor in top-level windows of ours (effEditOpen with the HWND), runs the message loop and
// idles as hosts do, reads the windows' pixels back and compares them with a reference picture.
// It keeps several instances open at once, opens and closes one editor many times, and closes
// an editor whose host window was already destroyed.
//
//     kavrel-editor-host <Kavrel.dll> --reference <editor.png> [--cycles N] [--instances N]
//                        [--save <window.png>] [--desktop <name>]
//
// --desktop puts our windows on a desktop of their own. Under wine that desktop gets a display
// driver from this process's DISPLAY even when an earlier headless wine process of the same
// prefix left the default desktop without one.
#include "EditorHostShared.h"

#include <windows.h>
// windows.h first: the GDI+ headers rely on its types.
#include <gdiplus.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using kavrel::host::PluginHost;
using namespace editorhost;
using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const wchar_t kHostClass[] = L"KavrelTestHostWindow";
const wchar_t kEditorClass[] = L"KavrelEditorWindow";

// Pixels as 0x00RRGGBB, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

std::wstring wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, &out[0], n);
    out.resize(out.size() - 1);
    return out;
}

bool loadPicture(const std::string& path, Picture& picture) {
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(wide(path).c_str(), &bitmap) != Ok || !bitmap) return false;
    UINT w = 0, h = 0;
    GdipGetImageWidth(bitmap, &w);
    GdipGetImageHeight(bitmap, &h);
    picture.width = static_cast<int>(w);
    picture.height = static_cast<int>(h);
    picture.pixels.assign(size_t(w) * h, 0);
    GpRect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    BitmapData data{};
    data.Width = w;
    data.Height = h;
    data.Stride = static_cast<INT>(w * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = picture.pixels.data();
    bool ok = GdipBitmapLockBits(bitmap, &all, ImageLockModeRead | ImageLockModeUserInputBuf,
                                 PixelFormat32bppARGB, &data) == Ok;
    if (ok) GdipBitmapUnlockBits(bitmap, &data);
    GdipDisposeImage(bitmap);
    for (uint32_t& p : picture.pixels) p &= 0xFFFFFF;
    return ok;
}

bool savePicture(const Picture& picture, const std::string& path) {
    UINT count = 0, bytes = 0;
    GdipGetImageEncodersSize(&count, &bytes);
    std::vector<uint8_t> buffer(bytes);
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (bytes == 0 || GdipGetImageEncoders(count, bytes, codecs) != Ok) return false;
    const CLSID* png = nullptr;
    for (UINT i = 0; i < count; ++i)
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0)
            png = &codecs[i].Clsid;
    if (!png) return false;
    std::vector<uint32_t> opaque(picture.pixels);
    for (uint32_t& p : opaque) p |= 0xFF000000u;
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(picture.width, picture.height, picture.width * 4,
                                  PixelFormat32bppARGB, reinterpret_cast<BYTE*>(opaque.data()),
                                  &bitmap) != Ok)
        return false;
    bool ok = GdipSaveImageToFile(bitmap, wide(path).c_str(), png, nullptr) == Ok;
    GdipDisposeImage(bitmap);
    return ok;
}

// A 32-bit top-down DIB of w x h: rows in reading order, as Picture keeps them.
BITMAPINFO topDownInfo(int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

Picture fromBits(const void* bits, int w, int h) {
    Picture picture;
    picture.width = w;
    picture.height = h;
    const auto* p = static_cast<const uint32_t*>(bits);
    picture.pixels.assign(p, p + size_t(w) * h);
    for (uint32_t& v : picture.pixels) v &= 0xFFFFFF;
    return picture;
}

// Reads a window's client area through a DIB section: what the window shows on screen.
Picture grab(HWND hwnd, int w, int h) {
    Picture picture;
    HDC windowDC = GetDC(hwnd);
    if (!windowDC) return picture;
    BITMAPINFO info = topDownInfo(w, h);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    if (dib && memoryDC && bits) {
        HGDIOBJ old = SelectObject(memoryDC, dib);
        if (BitBlt(memoryDC, 0, 0, w, h, windowDC, 0, 0, SRCCOPY)) {
            GdiFlush();
            picture = fromBits(bits, w, h);
        }
        SelectObject(memoryDC, old);
    }
    if (memoryDC) DeleteDC(memoryDC);
    if (dib) DeleteObject(dib);
    ReleaseDC(hwnd, windowDC);
    return picture;
}

// What the editor window paints into a DC we hand it (WM_PRINTCLIENT).
Picture printClient(HWND editor, int w, int h) {
    Picture picture;
    HDC screen = GetDC(nullptr);
    BITMAPINFO info = topDownInfo(w, h);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memoryDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (dib && memoryDC && bits) {
        HGDIOBJ old = SelectObject(memoryDC, dib);
        SendMessageW(editor, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memoryDC), PRF_CLIENT);
        GdiFlush();
        picture = fromBits(bits, w, h);
        SelectObject(memoryDC, old);
    }
    if (memoryDC) DeleteDC(memoryDC);
    if (dib) DeleteObject(dib);
    return picture;
}

// Pixels differing by more than a small tolerance in any channel; -1 when sizes differ.
long compare(const Picture& shown, const Picture& reference) {
    if (shown.width != reference.width || shown.height != reference.height) return -1;
    long differing = 0;
    for (size_t i = 0; i < shown.pixels.size(); ++i) {
        if (pixelDiffers(shown.pixels[i], reference.pixels[i])) ++differing;
    }
    return differing;
}

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void idle(PluginHost& host, int times) {
    for (int i = 0; i < times; ++i) {
        pumpMessages();
        host.dispatch(vst::effEditIdle);
        Sleep(5);
    }
    pumpMessages();
}

struct HostWindow {
    HWND hwnd;
    HostWindow(int w, int h, int x) {
        hwnd = CreateWindowExW(0, kHostClass, L"Kavrel test host", WS_POPUP | WS_VISIBLE, x, 0, w,
                               h, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (hwnd) UpdateWindow(hwnd);
        pumpMessages();
    }
    ~HostWindow() {
        if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
        pumpMessages();
    }
    void* handle() const { return hwnd; }
    HWND editor() const { return hwnd ? GetWindow(hwnd, GW_CHILD) : nullptr; }
};

LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        // A grey that no editor pixel has: a hole in the editor shows up in the comparison.
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
        DeleteObject(brush);
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The plug-in's module, found from its dispatcher's address.
HMODULE pluginModule(PluginHost& host) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(host.effect()->dispatcher), &module);
    return module;
}

bool editorClassRegistered(HMODULE module) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    return GetClassInfoExW(module, kEditorClass, &wc) != 0;
}

DWORD gdiObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}
DWORD userObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
}

// Private bytes of this process: where a leaked back buffer (1.7 MB at 728 x 595) shows even
// where GetGuiResources is a stub (wine).
size_t privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(),
                                 reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters))
        return 0;
    // wine leaves PrivateUsage at 0; the page file usage is the same commit charge there.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

int failures = 0;
void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parseArguments(argc, argv, o, true)) return 2;
    if (o.plugin.empty() || o.reference.empty() || o.instances < 1) {
        std::fprintf(stderr,
                     "usage: %s <plugin.dll> --reference <png> [--cycles N] [--instances N] "
                     "[--save <png>] [--desktop <name>]\n",
                     argv[0]);
        return 2;
    }
    if (!o.desktop.empty()) {
        HDESK desktop =
            CreateDesktopW(wide(o.desktop).c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        if (!desktop || !SetThreadDesktop(desktop)) return fail("cannot make a desktop");
    }
    ULONG_PTR gdiplusToken = 0;
    GdiplusStartupInput gdiplusInput;
    if (GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr) != Ok) return fail("no GDI+");

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = hostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kHostClass;
    if (!RegisterClassExW(&wc)) return fail("cannot register the host's window class");

    Picture reference;
    if (!loadPicture(o.reference, reference)) return fail("cannot read the reference picture");

    std::vector<std::unique_ptr<PluginHost>> hosts;
    if (std::string error; !startHosts(o, hosts, error)) return fail(error.c_str());
    int w = 0, h = 0;
    if (!editorSize(*hosts[0], &w, &h)) return fail("the plug-in reports no editor");
    std::printf("editor %d x %d\n", w, h);
    if (reference.width != w || reference.height != h)
        return fail("the reference picture is not the editor's size");
    HMODULE module = pluginModule(*hosts[0]);

    // Several instances open at once, each in its own host window.
    {
        std::vector<std::unique_ptr<HostWindow>> windows;
        for (int i = 0; i < o.instances; ++i) {
            windows.push_back(std::make_unique<HostWindow>(w, h, 40 * i));
            if (!windows.back()->hwnd) return fail("cannot create a host window");
            if (hosts[size_t(i)]->dispatch(vst::effEditOpen, 0, 0, windows.back()->handle()) != 1)
                return fail("effEditOpen failed");
        }
        check(editorClassRegistered(module), "the editor's window class is registered while open");
        for (int round = 0; round < 10; ++round)
            for (auto& host : hosts) idle(*host, 1);
        for (int i = 0; i < o.instances; ++i) {
            HostWindow& window = *windows[size_t(i)];
            // Windows on top of each other: bring this one up before reading the screen.
            SetWindowPos(window.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            idle(*hosts[size_t(i)], 3);
            HWND editor = window.editor();
            RECT client{};
            check(editor && GetClientRect(editor, &client) && client.right == w &&
                      client.bottom == h,
                  "the editor is a child window of the editor's size");
            Picture shown = grab(window.hwnd, w, h);
            if (shown.pixels.empty()) return fail("cannot read the window back");
            if (i == 0 && !o.save.empty()) savePicture(shown, o.save);
            long differing = compare(shown, reference);
            std::printf("instance %d: %ld pixels differ from the offscreen render\n", i, differing);
            check(differing == 0, "the window shows the offscreen render");
            if (editor) {
                // Mouse input as a user's, through the window messages the DLL's window gets:
                // nothing the shell shows reacts to it, and nothing may break.
                auto at = [](int x, int y) { return MAKELPARAM(x, y); };
                SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, at(600, 100));
                SendMessageW(editor, WM_MOUSEMOVE, MK_LBUTTON, at(900, -40));
                SendMessageW(editor, WM_LBUTTONUP, 0, at(900, -40));
                SendMessageW(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, at(600, 100));
                SendMessageW(editor, WM_LBUTTONUP, 0, at(600, 100));
                SendMessageW(editor, WM_RBUTTONDOWN, MK_RBUTTON, at(10, 10));
                SendMessageW(editor, WM_RBUTTONUP, 0, at(10, 10));
                POINT p{300, 300};
                ClientToScreen(editor, &p);
                SendMessageW(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), at(p.x, p.y));
                idle(*hosts[size_t(i)], 2);
                check(GetCapture() == nullptr, "no capture is left after a release");
                check(compare(grab(window.hwnd, w, h), reference) == 0,
                      "input leaves the shell as it was");
                long printed = compare(printClient(editor, w, h), reference);
                std::printf("instance %d: WM_PRINTCLIENT, %ld pixels differ\n", i, printed);
                check(printed == 0, "WM_PRINTCLIENT paints the offscreen render");
            }
        }
        int ow = 0, oh = 0;
        check(editorSize(*hosts[0], &ow, &oh) && ow == w && oh == h,
              "the rectangle holds while open");
        for (size_t i = 0; i < hosts.size(); ++i) {
            hosts[i]->dispatch(vst::effEditClose);
            check(windows[i]->editor() == nullptr, "closing destroys the editor's window");
            // The class stays while another instance's window uses it.
            if (i + 1 < hosts.size())
                check(editorClassRegistered(module), "the class stays while a window is open");
        }
        check(!editorClassRegistered(module), "the class goes with the last window");
    }

    // Open and close many times in one host window: nothing may pile up.
    {
        HostWindow window(w, h, 0);
        hosts[0]->dispatch(vst::effEditOpen, 0, 0, window.handle());
        idle(*hosts[0], 2);
        hosts[0]->dispatch(vst::effEditClose);
        DWORD gdiBefore = gdiObjects(), userBefore = userObjects();
        size_t memoryBefore = privateBytes();
        for (int i = 0; i < o.cycles; ++i) {
            if (hosts[0]->dispatch(vst::effEditOpen, 0, 0, window.handle()) != 1)
                return fail("effEditOpen failed while cycling");
            idle(*hosts[0], 1);
            hosts[0]->dispatch(vst::effEditClose);
        }
        DWORD gdiAfter = gdiObjects(), userAfter = userObjects();
        std::printf("%d open/close cycles: GDI objects %lu -> %lu, USER objects %lu -> %lu\n",
                    o.cycles, gdiBefore, gdiAfter, userBefore, userAfter);
        check(gdiAfter <= gdiBefore && userAfter <= userBefore, "no GDI or USER objects pile up");
        size_t memoryAfter = privateBytes();
        long long grown =
            static_cast<long long>(memoryAfter) - static_cast<long long>(memoryBefore);
        std::printf("%d open/close cycles: private memory %zu KB -> %zu KB\n", o.cycles,
                    memoryBefore / 1024, memoryAfter / 1024);
        check(grown < 4 * 1024 * 1024, "memory does not grow with every open");
        check(window.editor() == nullptr && !editorClassRegistered(module),
              "no window or class is left after cycling");
        // What drawing costs here: opening with the first full redraw, then idles with nothing
        // to redraw (wine's GDI+ is not Windows', so these are for comparison between runs).
        LARGE_INTEGER frequency, t0, t1, t2;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&t0);
        hosts[0]->dispatch(vst::effEditOpen, 0, 0, window.handle());
        hosts[0]->dispatch(vst::effEditIdle);
        QueryPerformanceCounter(&t1);
        idle(*hosts[0], 5);
        constexpr int kQuietIdles = 200;
        LARGE_INTEGER q0;
        QueryPerformanceCounter(&q0);
        for (int i = 0; i < kQuietIdles; ++i) hosts[0]->dispatch(vst::effEditIdle);
        QueryPerformanceCounter(&t2);
        auto micros = [&](LONGLONG ticks) { return 1e6 * ticks / frequency.QuadPart; };
        std::printf("open with a full redraw: %.0f us; idle with nothing dirty: %.2f us\n",
                    micros(t1.QuadPart - t0.QuadPart),
                    micros(t2.QuadPart - q0.QuadPart) / kQuietIdles);
        long differing = compare(grab(window.hwnd, w, h), reference);
        std::printf("after cycling: %ld pixels differ\n", differing);
        check(differing == 0, "the last open still shows the editor");
        hosts[0]->dispatch(vst::effEditClose);
    }

    // A host that destroys its window before closing the editor (ours goes with it).
    {
        auto window = std::make_unique<HostWindow>(w, h, 0);
        hosts[0]->dispatch(vst::effEditOpen, 0, 0, window->handle());
        idle(*hosts[0], 2);
        window.reset();
        idle(*hosts[0], 2);
        hosts[0]->dispatch(vst::effEditClose);
        check(!editorClassRegistered(module), "the class goes when the host destroyed the window");
        // And the editor opens again in a new window.
        HostWindow again(w, h, 0);
        check(hosts[0]->dispatch(vst::effEditOpen, 0, 0, again.handle()) == 1,
              "the editor reopens after its host window was destroyed");
        idle(*hosts[0], 3);
        check(compare(grab(again.hwnd, w, h), reference) == 0, "and shows the editor");
        hosts[0]->dispatch(vst::effEditClose);
    }

    // A click on the step button of voice 3, step 5, through the messages a user's click sends
    // the DLL's window, turns that step over in the plug-in.
    {
        HostWindow window(w, h, 0);
        hosts[0]->dispatch(vst::effEditOpen, 0, 0, window.handle());
        idle(*hosts[0], 3);
        HWND editor = window.editor();
        const LPARAM step = MAKELPARAM(110 + 5 * 13 + 6, 445 - 3 * 13 + 6);
        const int before = stepState(*hosts[0], 3, 5);
        for (int click = 0; click < 2 && editor; ++click) {
            SendMessageW(editor, WM_MOUSEMOVE, 0, step);
            SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, step);
            SendMessageW(editor, WM_LBUTTONUP, 0, step);
            idle(*hosts[0], 2);
            const int after = stepState(*hosts[0], 3, 5);
            std::printf("step of voice 3 at 5: %d before click %d, %d after\n", before, click + 1,
                        after);
            check(before >= 0 && after == (click == 0 ? 1 - before : before),
                  "a click on a step button turns the step over in the plug-in");
        }
        hosts[0]->dispatch(vst::effEditClose);
    }

    hosts.clear();
    UnregisterClassW(kHostClass, GetModuleHandleW(nullptr));
    GdiplusShutdown(gdiplusToken);
    if (failures) return fail("editor window check failed");
    std::printf("editor window check passed\n");
    return 0;
}

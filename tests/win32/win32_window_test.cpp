// The Win32 window and the GDI+ backend in a real window: mouse messages reach the frame as
// the framework's events with the right button word (modifiers from the keyboard state),
// wheels arrive in notches of 120, drags hold the mouse capture, what the window shows is the
// back buffer, and GDI+, OLE and the window class are taken and given back in pairs. Runs under
// wine on a virtual X display (tests/win32/win32-window-test.sh), on a desktop of its own.
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "gui/platform/GdiPlusSupport.h"
#include "support/InProcessPlugin.h"
#include "support/RecordingControl.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace {

const wchar_t kHostClass[] = L"KavrelWin32WindowTest";

LPARAM at(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Keys held as far as GetKeyState on this thread is concerned.
void holdKeys(std::initializer_list<int> keys) {
    BYTE state[256] = {};
    for (int k : keys) state[k] = 0x80;
    SetKeyboardState(state);
}

HWND makeHostWindow(int w, int h) {
    HWND hwnd = CreateWindowExW(0, kHostClass, L"", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    pump();
    return hwnd;
}

class Win32WindowTest : public ::testing::Test {
protected:
    // One host window for the suite: wine takes a while over every top-level window.
    static void SetUpTestSuite() { sharedHost = makeHostWindow(200, 100); }
    static void TearDownTestSuite() {
        if (sharedHost) DestroyWindow(sharedHost);
        sharedHost = nullptr;
        pump();
    }
    void SetUp() override {
        host = sharedHost;
        ASSERT_NE(host, nullptr) << "needs a display";
        frame = new CFrame(CRect(0, 0, 200, 100));
        recorder = new Recorder(CRect(20, 10, 120, 60));
        frame->addView(recorder);
        ASSERT_TRUE(frame->open(host));
        editor = static_cast<HWND>(frame->getPlatformWindow()->getNativeHandle());
        ASSERT_EQ(GetParent(editor), host);
        settle();
    }
    void TearDown() override {
        holdKeys({});
        if (frame) frame->forget();
        pump();
    }
    void settle() {
        for (int i = 0; i < 3; ++i) {
            pump();
            frame->idle();
        }
    }
    void send(UINT message, WPARAM wParam, LPARAM lParam) {
        SendMessageW(editor, message, wParam, lParam);
    }
    COLORREF shown(int x, int y) {
        HDC dc = GetDC(host);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(host, dc);
        return c;
    }

    static HWND sharedHost;
    HWND host = nullptr;
    HWND editor = nullptr;
    CFrame* frame = nullptr;
    Recorder* recorder = nullptr;
};

HWND Win32WindowTest::sharedHost = nullptr;

TEST_F(Win32WindowTest, PressDragAndReleaseReachTheViewWithTheButtonWord) {
    holdKeys({VK_SHIFT});
    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at(30, 20));
    EXPECT_EQ(GetCapture(), editor);                        // the drag keeps the mouse
    send(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, at(150, 40)); // outside the view
    send(WM_LBUTTONUP, MK_SHIFT, at(150, 40));
    holdKeys({});
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(recorder->events,
              (std::vector<std::string>{"down 30,20", "drag 150,40", "up 150,40"}));
    ASSERT_EQ(recorder->buttons.size(), 2u);
    EXPECT_EQ(recorder->buttons[0], kLButton | kShift);
    EXPECT_EQ(recorder->buttons[1], kShift);

    recorder->buttons.clear();
    holdKeys({VK_CONTROL, VK_MENU});
    send(WM_RBUTTONDOWN, MK_RBUTTON, at(40, 30));
    send(WM_RBUTTONUP, 0, at(40, 30));
    ASSERT_FALSE(recorder->buttons.empty());
    EXPECT_EQ(recorder->buttons.front(), kRButton | kControl | kAlt);
}

TEST_F(Win32WindowTest, DoubleClicksCarryTheirBit) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, at(30, 20));
    send(WM_LBUTTONUP, 0, at(30, 20));
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, at(30, 20));
    send(WM_LBUTTONUP, 0, at(30, 20));
    ASSERT_EQ(recorder->buttons.size(), 4u);
    EXPECT_EQ(recorder->buttons[0], kLButton);
    EXPECT_EQ(recorder->buttons[2], kLButton | kDoubleClick);
}

TEST_F(Win32WindowTest, ALostCaptureEndsTheDrag) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, at(30, 20));
    ASSERT_EQ(GetCapture(), editor);
    SetCapture(host); // a dialog or the host takes the mouse mid-drag
    ASSERT_FALSE(recorder->events.empty());
    EXPECT_EQ(recorder->events.back(), "up 30,20");
    // The next press starts afresh.
    ReleaseCapture();
    send(WM_LBUTTONDOWN, MK_LBUTTON, at(40, 20));
    send(WM_LBUTTONUP, 0, at(40, 20));
    EXPECT_EQ(recorder->events.back(), "up 40,20");
}

TEST_F(Win32WindowTest, WheelsArriveInNotchesOf120) {
    // Wheel messages carry screen coordinates.
    POINT p{50, 30};
    ClientToScreen(editor, &p);
    LPARAM where = at(p.x, p.y);
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), where);
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), where);
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), where); // a fine-grained wheel
    send(WM_MOUSEHWHEEL, MAKEWPARAM(0, WHEEL_DELTA), where);
    EXPECT_EQ(recorder->wheels, (std::vector<float>{1.0f, -2.0f, 0.5f, -1.0f}));
    ASSERT_EQ(recorder->buttons.size(), 4u);
    EXPECT_EQ(recorder->buttons[0] & kShift, 0);
    EXPECT_EQ(recorder->buttons[3] & kShift, kShift); // a tilt is a wheel with Shift

    // Outside the view: nobody takes it.
    recorder->wheels.clear();
    p = POINT{150, 80};
    ClientToScreen(editor, &p);
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), at(p.x, p.y));
    EXPECT_TRUE(recorder->wheels.empty());
}

TEST_F(Win32WindowTest, TheWindowShowsTheBackBuffer) {
    settle();
    EXPECT_EQ(shown(50, 30), RGB(200, 40, 30)); // the view
    EXPECT_EQ(shown(5, 5), RGB(0, 0, 0));       // the frame's own colour

    recorder->setVisible(false);
    settle();
    EXPECT_EQ(shown(50, 30), RGB(0, 0, 0)); // redrawn on idle

    // A region the window system lost is painted from the back buffer, without an erase.
    recorder->setVisible(true);
    frame->updateBackBuffer(); // drawn, not yet presented
    RECT lost{40, 20, 60, 40};
    RedrawWindow(editor, &lost, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(shown(50, 30), RGB(200, 40, 30));
}

TEST(Win32WindowLifetimeTest, SeveralWindowsShareOneClassUntilTheLastGoes) {
    HWND host = makeHostWindow(100, 100);
    ASSERT_NE(host, nullptr);
    HMODULE module = GetModuleHandleW(nullptr); // the framework is linked into this test
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    auto registered = [&] { return GetClassInfoExW(module, L"KavrelEditorWindow", &wc) != 0; };

    auto* first = new CFrame(CRect(0, 0, 50, 50));
    auto* second = new CFrame(CRect(0, 0, 50, 50));
    ASSERT_TRUE(first->open(host));
    ASSERT_TRUE(second->open(host));
    EXPECT_TRUE(registered());
    first->forget();
    EXPECT_TRUE(registered());
    second->forget();
    EXPECT_FALSE(registered());

    // A window the host destroyed first leaves nothing behind either.
    auto* third = new CFrame(CRect(0, 0, 50, 50));
    ASSERT_TRUE(third->open(host));
    DestroyWindow(host);
    pump();
    third->idle();
    third->close();
    EXPECT_FALSE(registered());
    third->forget();

    EXPECT_FALSE(CFrame(CRect(0, 0, 50, 50)).open(nullptr));
    EXPECT_FALSE(CFrame(CRect(0, 0, 50, 50)).open(reinterpret_cast<void*>(0x1234)));
}

TEST(PlatformSessionTest, GdiPlusAndOleAreGivenBackInPairs) {
    EXPECT_EQ(gui::gdiplus::openSessions(), 0);
    {
        CPlatformSession a;
        CPlatformSession b;
        EXPECT_EQ(gui::gdiplus::openSessions(), 2);
        auto context = gui::createOffscreenContext(4, 4);
        EXPECT_EQ(gui::gdiplus::openSessions(), 3);
    }
    EXPECT_EQ(gui::gdiplus::openSessions(), 0);

    // OLE is this thread's again: apartment-threaded COM can be entered and left afresh.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    CoUninitialize();

    // A thread in the multithreaded apartment refuses OLE; its COM stays as it was.
    std::thread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        { CPlatformSession session; }
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE); // still ours
        CoUninitialize();
        CoUninitialize();
    }).join();

    // A session closed on another thread than the one that opened it leaves OLE alone there.
    auto* session = new CPlatformSession;
    std::thread([session] { delete session; }).join();
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE); // still initialised here, by the session
    OleUninitialize();
    OleUninitialize();
}

TEST(PlatformSessionTest, APlugInsEditorHoldsGdiPlusFromConstructionToDestruction) {
    ASSERT_EQ(gui::gdiplus::openSessions(), 0);
    kavrel::test::isolateSettingsFolder();
    {
        kavrel::host::PluginHost host;
        std::string error;
        ASSERT_TRUE(host.instantiate(&kavrel::test::inProcessEntry, error)) << error;
        EXPECT_GE(gui::gdiplus::openSessions(), 1);
        // The editor's window, drawn and closed again, keeps it no longer than the plug-in.
        HWND window = makeHostWindow(728, 595);
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(host.dispatch(vst::effEditOpen, 0, 0, window), 1);
        host.dispatch(vst::effEditIdle);
        host.dispatch(vst::effEditClose);
        EXPECT_GE(gui::gdiplus::openSessions(), 1);
        DestroyWindow(window);
        host.close();
    }
    EXPECT_EQ(gui::gdiplus::openSessions(), 0);
}

TEST(GdiPlusDecodeTest, OnlyPngIsAccepted) {
    // A BMP header: GDI+ would read it, the framework asks for PNG only.
    const uint8_t bmp[] = {'B', 'M', 0x3A, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0};
    EXPECT_EQ(gui::decodePng(bmp, sizeof bmp), nullptr);
    const uint8_t truncated[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    EXPECT_EQ(gui::decodePng(truncated, sizeof truncated), nullptr);
    EXPECT_EQ(gui::decodePng(nullptr, 10), nullptr);
    EXPECT_EQ(gui::createOffscreenContext(0, 10), nullptr);
    EXPECT_EQ(gui::createOffscreenContext(100000, 10), nullptr);
}

LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // A desktop of our own: under wine it takes its display from this process, whatever an
    // earlier headless process left on the default desktop.
    if (HDESK desktop =
            CreateDesktopW(L"kavrel-win32-test", nullptr, nullptr, 0, GENERIC_ALL, nullptr))
        SetThreadDesktop(desktop);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = hostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kHostClass;
    RegisterClassExW(&wc);
    return RUN_ALL_TESTS();
}

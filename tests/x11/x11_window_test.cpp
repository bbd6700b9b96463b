// The X11 window under a real (virtual) display: input made with XTest reaches the frame as
// the framework's events with the right button word, wheels arrive in notches, and what the
// window shows is the back buffer. Run through tests/gui/xvfb-run.sh.
// gtest first: Xlib defines None, a name gtest uses.
#include <gtest/gtest.h>

#include "../support/RecordingControl.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

class X11WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "needs an X display";
        int event, error, major, minor;
        ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor));
        host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
        XSelectInput(display, host, StructureNotifyMask);
        XMapWindow(display, host);
        XEvent e;
        do XNextEvent(display, &e);
        while (e.type != MapNotify);
        frame = new CFrame(CRect(0, 0, 200, 100));
        recorder = new Recorder(CRect(20, 10, 120, 60));
        frame->addView(recorder);
        ASSERT_TRUE(frame->open(reinterpret_cast<void*>(static_cast<uintptr_t>(host))));
        settle();
    }
    void TearDown() override {
        if (frame) frame->forget();
        if (display) {
            XDestroyWindow(display, host);
            XCloseDisplay(display);
        }
    }
    // Lets the server deliver and the frame take in what happened.
    void settle() {
        for (int i = 0; i < 5; ++i) {
            XSync(display, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            frame->idle();
        }
    }
    void moveTo(int x, int y) {
        XTestFakeMotionEvent(display, -1, x, y, 0);
        XSync(display, False);
    }
    void button(unsigned b, bool down) {
        XTestFakeButtonEvent(display, b, down, 0);
        XSync(display, False);
    }
    void key(KeySym sym, bool down) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, sym), down, 0);
        XSync(display, False);
    }

    Display* display = nullptr;
    Window host = 0;
    CFrame* frame = nullptr;
    Recorder* recorder = nullptr;
};

TEST_F(X11WindowTest, PressDragAndReleaseReachTheViewWithTheButtonWord) {
    moveTo(30, 20);
    settle();
    key(XK_Shift_L, true);
    button(1, true);
    settle();
    moveTo(150, 40); // outside the view: the drag stays with it
    settle();
    button(1, false);
    key(XK_Shift_L, false);
    settle();
    ASSERT_GE(recorder->events.size(), 3u);
    EXPECT_EQ(recorder->events.front(), "down 30,20");
    EXPECT_EQ(recorder->events[1], "drag 150,40");
    EXPECT_EQ(recorder->events.back(), "up 150,40");
    EXPECT_EQ(recorder->buttons.front(), kLButton | kShift);

    recorder->buttons.clear();
    moveTo(40, 30);
    button(3, true);
    button(3, false);
    settle();
    EXPECT_EQ(recorder->buttons.front(), kRButton);
}

TEST_F(X11WindowTest, WheelButtonsArriveAsNotches) {
    moveTo(50, 30);
    for (unsigned b : {4u, 5u, 5u, 6u}) {
        button(b, true);
        button(b, false);
    }
    settle();
    EXPECT_EQ(recorder->wheels, (std::vector<float>{1.0f, -1.0f, -1.0f, 1.0f}));
    ASSERT_EQ(recorder->buttons.size(), 4u);
    EXPECT_EQ(recorder->buttons[0] & kShift, 0);
    EXPECT_EQ(recorder->buttons[3] & kShift, kShift); // horizontal wheel
}

TEST_F(X11WindowTest, TheWindowShowsTheBackBuffer) {
    settle();
    XImage* image = XGetImage(display, host, 0, 0, 200, 100, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(XGetPixel(image, 50, 30) & 0xFFFFFF, 0xC8281Eu); // the view
    EXPECT_EQ(XGetPixel(image, 5, 5) & 0xFFFFFF, 0x000000u);   // the frame's own colour
    XDestroyImage(image);

    recorder->setVisible(false);
    settle();
    image = XGetImage(display, host, 0, 0, 200, 100, AllPlanes, ZPixmap);
    EXPECT_EQ(XGetPixel(image, 50, 30) & 0xFFFFFF, 0x000000u); // redrawn on idle
    XDestroyImage(image);
}

} // namespace

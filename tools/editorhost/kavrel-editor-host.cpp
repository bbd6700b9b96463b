// A test host for the editor on X11: loads the plug-in through its entry point, opens its
// editor in a top-level window of ours, idles it as hosts do, reads the window's pixels back
// and compares them with a reference picture. It also opens and closes the editor many times
// (file descriptors must not grow: no leaked display connection) and keeps several instances
// open at once. Last, it clicks a step button with synthetic input (XTest) and reads the step
// back from the plug-in's own state.
//
//     kavrel-editor-host <plugin.so> --reference <editor.png> [--cycles N] [--instances N]
//                        [--save <window.png>]
#include "EditorHostShared.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <algorithm>
#include <cairo.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using kavrel::host::PluginHost;
using namespace editorhost;

namespace {

int openDescriptors() {
    int n = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++n;
        closedir(dir);
    }
    return n;
}

struct HostWindow {
    Display* display;
    Window window;
    int width, height;

    // Windows must not overlap: pixels of a covered window cannot be read back.
    HostWindow(Display* display, int width, int height, int slot)
        : display(display), width(width), height(height) {
        int x = (slot % 2) * (width + 8), y = (slot / 2) * (height + 8);
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y,
                                     static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                     0, 0x808080);
        XSelectInput(display, window, StructureNotifyMask);
        XMapWindow(display, window);
        XEvent e;
        do XNextEvent(display, &e);
        while (e.type != MapNotify);
    }
    ~HostWindow() {
        XDestroyWindow(display, window);
        XSync(display, False);
    }
    void* handle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }
};

void idle(PluginHost& host, int times) {
    for (int i = 0; i < times; ++i) {
        host.dispatch(vst::effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The window's pixels as 0x00RRGGBB.
std::vector<uint32_t> grab(const HostWindow& w) {
    XSync(w.display, False);
    std::vector<uint32_t> pixels(static_cast<size_t>(w.width) * w.height);
    XImage* image = XGetImage(w.display, w.window, 0, 0, static_cast<unsigned>(w.width),
                              static_cast<unsigned>(w.height), AllPlanes, ZPixmap);
    if (!image) return {};
    for (int y = 0; y < w.height; ++y)
        for (int x = 0; x < w.width; ++x)
            pixels[static_cast<size_t>(y) * w.width + x] =
                static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
    XDestroyImage(image);
    return pixels;
}

bool savePixels(const std::vector<uint32_t>& pixels, int w, int h, const std::string& path) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    auto* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            reinterpret_cast<uint32_t*>(data + y * stride)[x] = pixels[size_t(y) * w + x];
    cairo_surface_mark_dirty(s);
    bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

// Pixels differing by more than a small tolerance in any channel.
long compare(const std::vector<uint32_t>& shown, const std::string& referencePath, int w, int h) {
    cairo_surface_t* ref = cairo_image_surface_create_from_png(referencePath.c_str());
    if (cairo_surface_status(ref) != CAIRO_STATUS_SUCCESS ||
        cairo_image_surface_get_width(ref) != w || cairo_image_surface_get_height(ref) != h) {
        std::fprintf(stderr, "cannot read a %d x %d reference from %s\n", w, h,
                     referencePath.c_str());
        cairo_surface_destroy(ref);
        return -1;
    }
    const auto* data = cairo_image_surface_get_data(ref);
    int stride = cairo_image_surface_get_stride(ref);
    long differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t a = shown[size_t(y) * w + x];
            uint32_t b = reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF;
            if (pixelDiffers(a, b)) ++differing;
        }
    cairo_surface_destroy(ref);
    return differing;
}

// Presses and releases the left button at a point of the window, as a user would.
void clickAt(PluginHost& host, const HostWindow& w, int x, int y) {
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(w.display, w.window, DefaultRootWindow(w.display), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(w.display, -1, rootX, rootY, CurrentTime);
    XSync(w.display, False);
    idle(host, 3);
    XTestFakeButtonEvent(w.display, 1, True, CurrentTime);
    XSync(w.display, False);
    idle(host, 3);
    XTestFakeButtonEvent(w.display, 1, False, CurrentTime);
    XSync(w.display, False);
    idle(host, 3);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parseArguments(argc, argv, o, false)) return 2;
    o.instances = std::max(1, std::min(4, o.instances)); // 2 x 2 on screen
    if (o.plugin.empty() || o.reference.empty()) {
        std::fprintf(stderr,
                     "usage: %s <plugin> --reference <png> [--cycles N] [--instances N] "
                     "[--save <png>]\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return fail("no X display (run under Xvfb)");

    std::vector<std::unique_ptr<PluginHost>> hosts;
    if (std::string error; !startHosts(o, hosts, error)) return fail(error.c_str());
    int w = 0, h = 0;
    if (!editorSize(*hosts[0], &w, &h)) return fail("the plug-in reports no editor");
    std::printf("editor %d x %d\n", w, h);

    // Several instances open at once, each in its own host window.
    int failures = 0;
    {
        std::vector<std::unique_ptr<HostWindow>> windows;
        for (int i = 0; i < o.instances; ++i) {
            windows.push_back(std::make_unique<HostWindow>(display, w, h, i));
            if (hosts[size_t(i)]->dispatch(vst::effEditOpen, 0, 0, windows.back()->handle()) != 1)
                return fail("effEditOpen failed");
        }
        for (int round = 0; round < 10; ++round)
            for (auto& host : hosts) idle(*host, 1);
        for (int i = 0; i < o.instances; ++i) {
            std::vector<uint32_t> shown = grab(*windows[size_t(i)]);
            if (shown.empty()) return fail("cannot read the window back");
            if (i == 0 && !o.save.empty()) savePixels(shown, w, h, o.save);
            long differing = compare(shown, o.reference, w, h);
            std::printf("instance %d: %ld pixels differ from the offscreen render\n", i, differing);
            if (differing != 0) ++failures;
        }
        // The rectangle holds while open.
        int ow = 0, oh = 0;
        if (!editorSize(*hosts[0], &ow, &oh) || ow != w || oh != h) ++failures;
        for (auto& host : hosts) host->dispatch(vst::effEditClose);
    }

    // Open and close many times in one host window: nothing may pile up.
    {
        HostWindow window(display, w, h, 0);
        hosts[0]->dispatch(vst::effEditOpen, 0, 0, window.handle());
        idle(*hosts[0], 2);
        hosts[0]->dispatch(vst::effEditClose);
        int before = openDescriptors();
        for (int i = 0; i < o.cycles; ++i) {
            if (hosts[0]->dispatch(vst::effEditOpen, 0, 0, window.handle()) != 1)
                return fail("effEditOpen failed while cycling");
            idle(*hosts[0], 1);
            hosts[0]->dispatch(vst::effEditClose);
        }
        int after = openDescriptors();
        std::printf("%d open/close cycles: descriptors %d before, %d after\n", o.cycles, before,
                    after);
        if (after > before) ++failures;
        // The last open still shows the editor.
        hosts[0]->dispatch(vst::effEditOpen, 0, 0, window.handle());
        idle(*hosts[0], 5);
        long differing = compare(grab(window), o.reference, w, h);
        std::printf("after cycling: %ld pixels differ\n", differing);
        if (differing != 0) ++failures;
        hosts[0]->dispatch(vst::effEditClose);
    }

    // A click on the step button of voice 3, step 5 turns that step over in the plug-in.
    {
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor))
            return fail("the X server has no XTEST extension");
        HostWindow window(display, w, h, 0);
        hosts[0]->dispatch(vst::effEditOpen, 0, 0, window.handle());
        idle(*hosts[0], 5);
        const int before = stepState(*hosts[0], 3, 5);
        clickAt(*hosts[0], window, 110 + 5 * 13 + 6, 445 - 3 * 13 + 6);
        const int after = stepState(*hosts[0], 3, 5);
        std::printf("step of voice 3 at 5: %d before the click, %d after\n", before, after);
        if (before < 0 || after != 1 - before) ++failures;
        clickAt(*hosts[0], window, 110 + 5 * 13 + 6, 445 - 3 * 13 + 6);
        if (stepState(*hosts[0], 3, 5) != before) ++failures;
        hosts[0]->dispatch(vst::effEditClose);
    }

    // Hosts that destroy their window before closing the editor, and a window id that is no
    // window: neither may take the process down.
    {
        auto window = std::make_unique<HostWindow>(display, w, h, 0);
        if (hosts[0]->dispatch(vst::effEditOpen, 0, 0, window->handle()) != 1)
            return fail("effEditOpen failed");
        idle(*hosts[0], 2);
        window.reset();
        idle(*hosts[0], 2);
        hosts[0]->dispatch(vst::effEditClose);
        void* bogus = reinterpret_cast<void*>(static_cast<uintptr_t>(0x3FFFFFF));
        if (hosts[0]->dispatch(vst::effEditOpen, 0, 0, bogus) != 0) {
            std::printf("opening on a window id that is no window succeeded\n");
            ++failures;
        }
        hosts[0]->dispatch(vst::effEditIdle);
        hosts[0]->dispatch(vst::effEditClose);
        std::printf("destroyed and bogus host windows survived\n");
    }

    hosts.clear();
    XCloseDisplay(display);
    if (failures) return fail("editor window check failed");
    std::printf("editor window check passed\n");
    return 0;
}

#pragma once
// Gestures and pictures for the editor's controls: an offscreen frame driven through its own
// dispatch with button words, a listener that records what it hears, and images made on the
// drawing backend.
#include "editor/CHighlightFrame.h"
#include "editor/CVXControl.h"
#include "gui/CBitmap.h"
#include "gui/GuiTestSupport.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace kavrel::test {

// Records every call in order: "begin", "value 0.5", "at 300 1", "end".
struct RecordingListener : CVXControlListener {
    std::vector<std::string> calls;
    std::vector<float> values;
    long modifierAnswer = 0;
    void valueChanged(CControl* control) override {
        values.push_back(control->getValue());
        calls.push_back("value " + std::to_string(control->getValue()));
    }
    void valueChangedAt(long tag, float value) override {
        calls.push_back("at " + std::to_string(tag) + " " + std::to_string(value));
    }
    long controlModifierClicked(CControl*, long) override { return modifierAnswer; }
    void controlBeginEdit(CControl*) override { calls.push_back("begin"); }
    void controlEndEdit(CControl*) override { calls.push_back("end"); }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& c : calls) n += c.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
    // Every valueChanged lies between a begin and an end, and they pair up.
    bool editsBalanced() const {
        int depth = 0;
        for (const std::string& c : calls) {
            if (c == "begin")
                ++depth;
            else if (c == "end") {
                if (--depth < 0) return false;
            } else if (depth != 1)
                return false;
        }
        return depth == 0;
    }
    void clear() {
        calls.clear();
        values.clear();
    }
};

// An offscreen editor frame of the given size with a dark backdrop.
class EditorControlTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (frame) frame->forget();
    }
    CHighlightFrame* makeFrame(int w = 200, int h = 120) {
        frame = new CHighlightFrame(CRect(0, 0, w, h));
        frame->setBackgroundColor(CColor{30, 30, 30, 255});
        return frame;
    }
    long press(int x, int y, long buttons = kLButton) {
        CPoint p(x, y);
        return frame->onMouseDown(p, buttons);
    }
    void move(int x, int y, long buttons = kLButton) {
        CPoint p(x, y);
        frame->onMouseMoved(p, buttons);
    }
    void release(int x, int y, long buttons = 0) {
        CPoint p(x, y);
        frame->onMouseUp(p, buttons);
    }
    void wheel(int x, int y, float notches, long buttons = 0) {
        frame->onWheel(CPoint(x, y), notches, buttons);
    }
    // Redraws everything and reads the frame's pixels back.
    Pixels render() {
        frame->redrawAll();
        return Pixels(*frame->getBackBuffer());
    }

    CHighlightFrame* frame = nullptr;
    RecordingListener listener;
};

// An image drawn on the backend, as a bitmap the caller owns (null without a backend).
inline CBitmap* makeBitmap(int w, int h, const std::function<void(CDrawContext&)>& paint) {
    auto image = gui::createOffscreenContext(w, h);
    if (!image) return nullptr;
    image->clear(kTransparentCColor);
    paint(*image);
    auto path = std::filesystem::temp_directory_path() /
                ("kavrel-controls-" + std::to_string(w) + "x" + std::to_string(h) + ".png");
    if (!image->writePng(path.string().c_str())) return nullptr;
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::remove(path);
    auto decoded = gui::decodePng(bytes.data(), bytes.size());
    return decoded ? new CBitmap(std::move(decoded)) : nullptr;
}

// Images of n states stacked vertically, state i filled with colours[i].
inline CBitmap* makeStates(int w, int h, const std::vector<CColor>& colours) {
    return makeBitmap(w, h * static_cast<int>(colours.size()), [&](CDrawContext& c) {
        for (size_t i = 0; i < colours.size(); ++i) {
            c.setFillColor(colours[i]);
            int top = h * static_cast<int>(i);
            c.drawRect(CRect(0, top, w, top + h), kDrawFilled);
        }
    });
}

} // namespace kavrel::test

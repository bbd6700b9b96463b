#pragma once
#include "editor/CMultiXYControl.h"
#include "editor/CVXControl.h"
#include "gui/CFrame.h"

#include <string>
#include <utility>
#include <vector>

namespace kavrel::test {

// A listener that records what a multi-tag control reports and, when asked to, answers every
// report with setValueAt the way the editor does.
struct MultiTagRecorder : CVXControlListener {
    std::vector<std::pair<long, float>> reports;
    std::vector<std::string> gestures;
    int valueChangedCalls = 0;
    // The parameters each envelope gesture said it edits, at its begin.
    std::vector<std::vector<long>> editingTags;
    CVXControl* answerTo = nullptr;

    void valueChanged(CControl*) override { ++valueChangedCalls; }
    void valueChangedAt(long tag, float value) override {
        reports.emplace_back(tag, value);
        if (answerTo) answerTo->setValueAt(tag, value);
    }
    void controlBeginEdit(CControl* control) override {
        gestures.push_back("begin");
        if (auto* xy = dynamic_cast<CMultiXYControl*>(control))
            editingTags.push_back(xy->getEditingTags());
    }
    void controlEndEdit(CControl*) override { gestures.push_back("end"); }

    std::vector<long> tags() const {
        std::vector<long> t;
        for (const auto& r : reports) t.push_back(r.first);
        return t;
    }
};

// Gestures through the frame's own dispatch, in frame coordinates.
struct Gesture {
    CFrame* frame;
    long press(int x, int y, long buttons = kLButton) const {
        CPoint p(x, y);
        return frame->onMouseDown(p, buttons);
    }
    void move(int x, int y, long buttons = kLButton) const {
        CPoint p(x, y);
        frame->onMouseMoved(p, buttons);
    }
    void release(int x, int y) const {
        CPoint p(x, y);
        frame->onMouseUp(p, 0);
    }
};

} // namespace kavrel::test

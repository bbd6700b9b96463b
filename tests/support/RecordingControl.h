// A control that paints itself a flat red and writes down every mouse and wheel event it gets,
// so a window test can check what the platform's input turned into.
#pragma once

#include "gui/CControl.h"
#include "gui/CDrawContext.h"

#include <string>
#include <vector>

struct Recorder : CControl {
    std::vector<std::string> events;
    std::vector<long> buttons;
    std::vector<float> wheels;
    Recorder(const CRect& r) : CControl(r, nullptr, 1) {}
    void draw(CDrawContext* c) override {
        c->setFillColor(CColor{200, 40, 30, 255});
        c->drawRect(size, kDrawFilled);
    }
    long onMouseDown(CPoint& p, long b) override {
        events.push_back("down " + std::to_string(p.x) + "," + std::to_string(p.y));
        buttons.push_back(b);
        return kMouseEventHandled;
    }
    long onMouseMoved(CPoint& p, long b) override {
        if (b & kLButton)
            events.push_back("drag " + std::to_string(p.x) + "," + std::to_string(p.y));
        return kMouseEventHandled;
    }
    long onMouseUp(CPoint& p, long b) override {
        events.push_back("up " + std::to_string(p.x) + "," + std::to_string(p.y));
        buttons.push_back(b);
        return kMouseEventHandled;
    }
    bool onWheel(const CPoint&, float d, long b) override {
        wheels.push_back(d);
        buttons.push_back(b);
        return true;
    }
};

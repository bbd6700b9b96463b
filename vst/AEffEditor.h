#pragma once
#include "vst/vst24.h"

class AudioEffect;

// What the host's editor requests turn into. The plug-in installs one editor object for its
// whole life; the window exists only between open and close.
class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;

    virtual bool getRect(vst::ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow) {
        systemWindow = parentWindow;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() const { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual void top() {}
    virtual void sleep() {}
    virtual bool onKeyDown(int /*character*/, int /*virtualKey*/, int /*modifiers*/) {
        return false;
    }
    virtual bool onKeyUp(int /*character*/, int /*virtualKey*/, int /*modifiers*/) { return false; }
    virtual bool setKnobMode(int /*mode*/) { return false; }

    AudioEffect* getEffect() const { return effect; }

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};

class CFrame;

// Base of editors drawn with our own view framework: the frame exists while the window is
// open; idle runs the frame's redraw unless an idle is already under way (hosts that pump
// messages from inside a plug-in call would otherwise re-enter it).
class AEffGUIEditor : public AEffEditor {
public:
    explicit AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {}
    bool getRect(vst::ERect** rect) override {
        *rect = &rectangle;
        return true;
    }
    bool setKnobMode(int mode) override {
        knobMode = mode;
        return true;
    }
    int getKnobMode() const { return knobMode; }
    CFrame* getFrame() const { return frame; }

protected:
    vst::ERect rectangle{0, 0, 0, 0};
    CFrame* frame = nullptr;
    int knobMode = 0;
    bool inIdle = false;
};

#pragma once
// What the fuzz targets share: one plug-in per process, living on a host that answers the
// plug-in's questions from the current input and checks what the plug-in sends back.
//
// Building a plug-in costs far more than one input, so the instance is kept across inputs and
// each input starts by putting back the few settings it relies on. Whatever an input leaves
// behind is part of the next input's starting state, which libFuzzer reproduces when it
// minimises a crash.
#include "core/Kavrel.h"
#include "support/TestEnvironment.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kavrel::fuzz {

// Stops the run with a message libFuzzer records next to the input.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

struct FuzzHost {
    // The time information answered to audioMasterGetTime; null when giveTime is false.
    static inline vst::VstTimeInfo time{};
    static inline bool giveTime = false;
    // Set while processReplacing runs: every event sent then must fall inside the block.
    static inline int blockFrames = 0;
    static inline long sentEvents = 0;

    static vst::intptr VST_CALLBACK callback(vst::AEffect*, vst::int32 opcode, vst::int32,
                                             vst::intptr, void* ptr, float) {
        switch (opcode) {
        case vst::audioMasterVersion:
            return 2400;
        case vst::audioMasterGetTime:
            return giveTime ? reinterpret_cast<vst::intptr>(&time) : 0;
        case vst::audioMasterProcessEvents: {
            const auto* list = static_cast<const vst::VstEvents*>(ptr);
            if (!list || list->numEvents < 0) fail("malformed outgoing event list");
            // The list holds numEvents pointers although the record declares two.
            vst::VstEvent* const* slots = list->events;
            for (int i = 0; i < list->numEvents; ++i) {
                const vst::VstEvent* event = slots[i];
                if (!event || event->type != vst::kVstMidiType) fail("outgoing event not MIDI");
                if (blockFrames > 0 &&
                    (event->deltaFrames < 0 || event->deltaFrames >= blockFrames))
                    fail("outgoing event outside its block");
                ++sentEvents;
            }
            return 1;
        }
        default:
            return 0;
        }
    }
};

constexpr int kMaxFrames = 4096;

inline Kavrel& plugin() {
    static Kavrel* instance = [] {
        kavrel::test::isolateSettingsFolder();
        auto* p = new Kavrel(&FuzzHost::callback);
        p->setSampleRate(44100.0f);
        p->setBlockSize(kMaxFrames);
        p->resume();
        return p;
    }();
    return *instance;
}

// Renders `frames` samples (clamped to the buffers) and insists on finite output: a NaN or an
// infinity reaching a host's mixer silences or deafens the whole session.
inline void render(Kavrel& p, int frames) {
    static float buffers[Kavrel::kNumOutputs][kMaxFrames];
    float* outputs[Kavrel::kNumOutputs];
    for (int c = 0; c < Kavrel::kNumOutputs; ++c) outputs[c] = buffers[c];
    if (frames > kMaxFrames) frames = kMaxFrames;
    FuzzHost::blockFrames = frames;
    p.processReplacing(nullptr, outputs, frames);
    FuzzHost::blockFrames = 0;
    for (int c = 0; c < Kavrel::kNumOutputs; ++c)
        for (int i = 0; i < frames; ++i)
            if (!std::isfinite(buffers[c][i])) fail("non-finite output sample");
}

} // namespace kavrel::fuzz

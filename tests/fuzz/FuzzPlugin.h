#pragma once
// What the fuzz targets share: one plug-in per process, living on a host that answers the
// plug-in's questions from the current input and checks what the plug-in sends back.
//
// Building a plug-in costs far more than one input, so the instance is kept across inputs and
// each input starts by putting back the few settings it relies on. Whatever an input leaves
// behind is part of the next input's starting state, which libFuzzer reproduces when it
// minimises a crash.
#include "core/Kavrel.h"
#include "core/KavrelChunk.h"
#include "support/TestEnvironment.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kavrel::fuzz {

// Stops the run with a message libFuzzer records next to the input.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// Recalling a program applies its stored Clear (226..237) and Random Fill (238..249) values
// like every other parameter, so a program saved with one of them on (above 0.5) clears or
// refills that voice's row each time it is loaded, in the pattern current at that moment (its
// pattern 0, or the one its stored Pattern value selects). Those rows of the record at `at` are
// left out of round-trip comparisons. The record is walked itself: it may hold fewer locks and
// lanes than the program it loads into (a program saves the bytes it was loaded from until it
// changes).
inline void maskRecallEdits(const KavrelProgram& program, std::vector<uint8_t>& bytes, size_t at) {
    const size_t size = bytes.size();
    auto u32 = [&](size_t from) -> size_t {
        if (from + 4 > size) return 0;
        return size_t(bytes[from]) | size_t(bytes[from + 1]) << 8 | size_t(bytes[from + 2]) << 16 |
               size_t(bytes[from + 3]) << 24;
    };
    at += kavrel::chunk::kProgramHeaderSize;
    for (int p = 0; p < kavrel::kPatternsPerProgram && at < size; ++p) {
        for (int v = 0; v < kavrel::kNumVoices; ++v)
            if ((program.params[kavrel::kParamClearFirst + v] > 0.5f ||
                 program.params[kavrel::kParamRandomFillFirst + v] > 0.5f) &&
                at + 32 * (v + 1) <= size)
                std::memset(bytes.data() + at + 32 * v, 0, 32);
        at += 1932; // steps, velocities, velocity randomise flags
        for (int v = 0; v < kavrel::kNumVoices; ++v) at += 4 + 4 * u32(at);
        const size_t lanes = u32(at);
        at += 4 + 137 * lanes;
    }
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

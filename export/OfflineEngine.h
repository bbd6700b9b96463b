#pragma once
#include "vst/vst24.h"

#include <cstdint>
#include <vector>

class Kavrel;

namespace kavrel::exporting {

// An engine instance of the export's own, playing a copy of another instance's current
// program on the calling thread. The instance that plays in the host is only read (its
// program, as a host saving it would), so an export never disturbs what the audio thread
// does.
class OfflineEngine {
public:
    static constexpr int kBlock = 512;

    // What the instance sent as MIDI output: a note-on, counted in frames from the first
    // rendered frame, with the length the sequencer gave it.
    struct SentNote {
        int64_t frame;
        int note;
        int velocity;
        int length;
    };

    OfflineEngine(Kavrel& source, float sampleRate);
    ~OfflineEngine();
    OfflineEngine(const OfflineEngine&) = delete;
    OfflineEngine& operator=(const OfflineEngine&) = delete;

    Kavrel& plugin() { return *instance; }
    float sampleRate() const { return rate; }
    void set(int index, float value);
    // Lands the program and the values set since, as a host's next block would.
    void land();
    // Renders up to kBlock frames; `events` go into this block.
    void process(int frames, const std::vector<vst::VstMidiEvent>& events = {});
    // The outputs of the last block.
    const float* output(int channel) const { return outputs[static_cast<size_t>(channel)].data(); }
    int64_t framesRendered() const { return rendered; }
    const std::vector<SentNote>& sentNotes() const { return notes; }

private:
    static vst::intptr VST_CALLBACK callback(vst::AEffect* effect, vst::int32 opcode,
                                             vst::int32 index, vst::intptr value, void* ptr,
                                             float opt);
    void record(const vst::VstEvents& events);

    Kavrel* instance = nullptr;
    vst::AEffect* effect = nullptr;
    float rate;
    int64_t rendered = 0;
    std::vector<std::vector<float>> outputs;
    std::vector<float*> outputPointers;
    std::vector<SentNote> notes;
};

} // namespace kavrel::exporting

#pragma once
#include "vst/vst24.h"

#include <cstdint>

class AudioEffectX;

// Sends the sequencer's notes to the host without allocating. The notes of one block go out
// together, in one event list handed to the host at the end of the block; the list and its
// events stay untouched until the next block starts, because hosts may read them after the
// call returns. Hosts only accept deltas inside the block being rendered, so a note-off that
// falls after the block is held here and sent in the block where it falls; notes played from
// the event handler before any block are held for the start of the next block.
class KavrelMidiOut {
public:
    static constexpr int kMaxPending = 256;
    static constexpr int kMaxBlockEvents = 1024;

    explicit KavrelMidiOut(AudioEffectX& host) : host(host) {}

    // Starts a block of the given length: queues what falls into it.
    void beginBlock(int frames);
    // Hands the block's notes to the host, in delta order.
    void endBlock();
    // Note-on at `delta` of the current block (or of the next block outside one) and its
    // note-off `length` samples later.
    void sendNote(int note, int velocity, int delta, int length);
    // Sends every held note-off at the start of the next block (transport stop, suspend).
    void releaseAll();
    int pendingCount() const { return pendingTotal; }

private:
    struct Pending {
        uint8_t status;
        uint8_t note;
        uint8_t velocity;
        int32_t due; // samples from the start of the next block
        int32_t length;
    };
    // The host's list type declares two slots; ours has room for a whole block.
    struct EventList {
        vst::int32 numEvents;
        vst::intptr reserved;
        vst::VstEvent* events[kMaxBlockEvents];
    };
    bool queue(uint8_t status, uint8_t note, uint8_t velocity, int delta, int length);
    void hold(uint8_t status, uint8_t note, uint8_t velocity, int due, int length);

    AudioEffectX& host;
    int blockFrames = 0;
    Pending pending[kMaxPending];
    int pendingTotal = 0;
    vst::VstMidiEvent events[kMaxBlockEvents];
    int eventCount = 0;
    EventList list{};
};

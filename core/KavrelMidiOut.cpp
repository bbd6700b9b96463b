#include "core/KavrelMidiOut.h"

#include "vst/AudioEffectX.h"

#include <initializer_list>

void KavrelMidiOut::send(uint8_t status, uint8_t note, uint8_t velocity, int delta, int length) {
    event = vst::VstMidiEvent{};
    event.type = vst::kVstMidiType;
    event.byteSize = sizeof(vst::VstMidiEvent);
    event.deltaFrames = delta;
    event.flags = vst::kVstMidiEventIsRealtime;
    event.noteLength = length;
    event.noteOffset = 0;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(note);
    event.midiData[2] = static_cast<char>(velocity);
    list.numEvents = 1;
    list.reserved = 0;
    list.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
    list.events[1] = nullptr;
    host.sendVstEventsToHost(&list);
}

void KavrelMidiOut::hold(uint8_t status, uint8_t note, uint8_t velocity, int due, int length) {
    if (pendingTotal == kMaxPending) {
        // Never drop a note-off: with the queue full it goes out at the end of this block
        // (or now), early rather than hung.
        if (status == 0x80)
            send(status, note, velocity, blockFrames > 0 ? blockFrames - 1 : 0, length);
        return;
    }
    pending[pendingTotal++] = {status, note, velocity, due, length};
}

void KavrelMidiOut::beginBlock(int frames) {
    blockFrames = frames;
    // Note-ons held from the event handler go first, then note-offs, so
    // that a note-off due at the same frame as a note-on of the same note follows it; within
    // each kind they go in the order they were held.
    for (uint8_t status : {uint8_t(0x90), uint8_t(0x80)}) {
        int kept = 0;
        for (int i = 0; i < pendingTotal; ++i) {
            Pending p = pending[i];
            if (p.status == status && p.due < frames)
                send(p.status, p.note, p.velocity, p.due, p.length);
            else
                pending[kept++] = p;
        }
        pendingTotal = kept;
    }
    for (int i = 0; i < pendingTotal; ++i) pending[i].due -= frames;
}

void KavrelMidiOut::sendNote(int note, int velocity, int delta, int length) {
    uint8_t n = static_cast<uint8_t>(note & 0x7f);
    uint8_t v = static_cast<uint8_t>(velocity < 0 ? 0 : velocity > 127 ? 127 : velocity);
    if (length < 0) length = 0;
    if (blockFrames <= 0) {
        hold(0x90, n, v, delta, length);
        hold(0x80, n, 64, delta + length, length);
        return;
    }
    send(0x90, n, v, delta, length);
    int off = delta + length;
    if (off < blockFrames)
        send(0x80, n, 64, off, length);
    else
        hold(0x80, n, 64, off - blockFrames, length);
}

void KavrelMidiOut::releaseAll() {
    for (int i = 0; i < pendingTotal; ++i)
        if (pending[i].status == 0x80) pending[i].due = 0;
}

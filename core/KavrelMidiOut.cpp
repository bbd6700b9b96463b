#include "core/KavrelMidiOut.h"

#include "vst/AudioEffectX.h"

#include <initializer_list>

bool KavrelMidiOut::queue(uint8_t status, uint8_t note, uint8_t velocity, int delta, int length) {
    if (eventCount == kMaxBlockEvents) return false;
    vst::VstMidiEvent& event = events[eventCount++];
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
    return true;
}

void KavrelMidiOut::hold(uint8_t status, uint8_t note, uint8_t velocity, int due, int length) {
    if (pendingTotal == kMaxPending) {
        // Never drop a note-off: with the queue full it goes out at the end of this block,
        // early rather than hung.
        if (status == 0x80)
            queue(status, note, velocity, blockFrames > 0 ? blockFrames - 1 : 0, length);
        return;
    }
    pending[pendingTotal++] = {status, note, velocity, due, length};
}

void KavrelMidiOut::beginBlock(int frames) {
    blockFrames = frames;
    eventCount = 0;
    // Note-ons held from the event handler go first, then note-offs, so
    // that a note-off due at the same frame as a note-on of the same note follows it; within
    // each kind they go in the order they were held.
    for (uint8_t status : {uint8_t(0x90), uint8_t(0x80)}) {
        int kept = 0;
        for (int i = 0; i < pendingTotal; ++i) {
            Pending p = pending[i];
            if (p.status == status && p.due < frames &&
                queue(p.status, p.note, p.velocity, p.due, p.length))
                continue;
            pending[kept++] = p;
        }
        pendingTotal = kept;
    }
    for (int i = 0; i < pendingTotal; ++i) pending[i].due -= frames;
}

void KavrelMidiOut::endBlock() {
    blockFrames = 0;
    if (eventCount == 0) return;
    // Stable by delta: events queued for the same frame keep the order they were made in.
    for (int i = 0; i < eventCount; ++i) {
        vst::VstEvent* event = reinterpret_cast<vst::VstEvent*>(&events[i]);
        int k = i;
        while (k > 0 && list.events[k - 1]->deltaFrames > event->deltaFrames) {
            list.events[k] = list.events[k - 1];
            --k;
        }
        list.events[k] = event;
    }
    list.numEvents = eventCount;
    list.reserved = 0;
    host.sendVstEventsToHost(reinterpret_cast<vst::VstEvents*>(&list));
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
    // A block with more notes than the list holds loses the extra note-ons; their note-offs
    // would then have nothing to end.
    if (!queue(0x90, n, v, delta, length)) return;
    int off = delta + length;
    if (off >= blockFrames || !queue(0x80, n, 64, off, length))
        hold(0x80, n, 64, off >= blockFrames ? off - blockFrames : 0, length);
}

void KavrelMidiOut::releaseAll() {
    for (int i = 0; i < pendingTotal; ++i)
        if (pending[i].status == 0x80) pending[i].due = 0;
}

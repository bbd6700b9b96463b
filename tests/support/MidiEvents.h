#pragma once
#include "vst/vst24.h"

namespace kavrel::test {

// One MIDI message as a host hands it to a plug-in.
inline vst::VstMidiEvent midiEvent(int status, int data1, int data2, int delta = 0) {
    vst::VstMidiEvent e{};
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof(vst::VstMidiEvent);
    e.deltaFrames = delta;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    return e;
}

inline vst::VstMidiEvent noteOn(int note, int velocity = 127, int delta = 0) {
    return midiEvent(0x90, note, velocity, delta);
}

} // namespace kavrel::test

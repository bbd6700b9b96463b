#pragma once
#include "render/SmfReader.h"
#include "vst/vst24.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kavrel::render {

// The notes and controllers of a MIDI file placed on sample frames through the file's own tempo
// map, and handed out block by block as a host hands them to a plug-in.
class MidiFileSchedule {
public:
    struct Event {
        int64_t frame; // from the start of the render
        unsigned char bytes[3];
    };

    // Reads the file; false with a message when it is missing, unreadable or malformed.
    bool load(const std::string& path, int sampleRate, std::string& error);
    // Places already parsed contents at the given rate.
    void place(const SmfContents& contents, int sampleRate);

    const std::vector<Event>& events() const { return timed; }
    // Where the last track of the file ends.
    int64_t endFrame() const { return end; }
    // Messages of the file that are neither notes nor controllers, and so are not sent.
    size_t otherMessages() const { return others; }

    // The most events any one block of `blockSize` frames receives within the first
    // `totalFrames` frames, so that a caller can allocate its event list once.
    size_t maxEventsPerBlock(int blockSize, int64_t totalFrames) const;
    // Events at or after `frame`, which a render of that length never sends.
    size_t eventsFrom(int64_t frame) const;

    // Replaces `out` with the events of the block [start, start + frames), deltaFrames counted
    // from the block's start. Blocks are asked for in order, without gaps; rewind() restarts.
    // `out` should have capacity for maxEventsPerBlock(), so that this never allocates.
    void takeBlock(int64_t start, int frames, std::vector<vst::VstMidiEvent>& out);
    void rewind() { cursor = 0; }

private:
    std::vector<Event> timed;
    int64_t end = 0;
    size_t others = 0;
    size_t cursor = 0;
};

} // namespace kavrel::render

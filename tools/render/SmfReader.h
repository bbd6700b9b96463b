#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kavrel::render {

// What a Standard MIDI File holds that a drum machine can use, still in the file's own time
// unit (ticks): note and controller messages, the tempo map and where the song ends.
struct SmfContents {
    struct ChannelEvent {
        int64_t tick;
        int track;
        unsigned char bytes[3];
    };
    struct TempoChange {
        int64_t tick;
        uint32_t microsecondsPerQuarter;
    };

    int format = 0;
    int tracks = 0;
    // Metrical timing: ticks per quarter note. Timecode timing instead sets the frame rate
    // (24, 25, 29 for 29.97 drop-frame, 30) and the ticks per frame, and ignores tempo events.
    int ticksPerQuarter = 0;
    int smpteFramesPerSecond = 0;
    int ticksPerFrame = 0;

    // Note-offs, note-ons and control changes of every track, in time order; events at the
    // same tick keep the order of their tracks and, within a track, of the file.
    std::vector<ChannelEvent> events;
    // Tempo changes of every track, in time order.
    std::vector<TempoChange> tempoChanges;
    // The latest end of any track.
    int64_t endTick = 0;
    // Channel messages of other kinds (program change, pitch bend, pressure): read, not kept.
    size_t otherChannelMessages = 0;
};

// Parses a complete file held in memory. On a fault, false with a message that names it and
// its byte offset; `out` is then unspecified.
bool readSmf(const unsigned char* data, size_t size, SmfContents& out, std::string& error);

// Reads and parses the file at `path`.
bool readSmfFile(const std::string& path, SmfContents& out, std::string& error);

} // namespace kavrel::render

#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kavrel::exporting {

// A Standard MIDI File of type 1: a first track with the name, tempo and a 4/4 time
// signature, then one track of notes each.
struct MidiFileTrack {
    struct Note {
        int64_t tick;
        int64_t length; // in ticks, at least one
        int note;
        int velocity;
    };
    std::string name;
    int channel = 0;
    std::vector<Note> notes;
};

struct MidiFileContent {
    int ticksPerQuarter = 480;
    double tempo = 120.0; // quarter notes a minute
    std::string name;
    // Every track ends here or after its last note-off, whichever is later: a clip dropped
    // into a host then lasts whole passes of the pattern.
    int64_t endTick = 0;
    std::vector<MidiFileTrack> tracks;
};

std::vector<uint8_t> encodeMidiFile(const MidiFileContent& content);

// Writes bytes to a file, replacing it; false with a message naming the file.
bool writeWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes,
                    std::string& error);

} // namespace kavrel::exporting

#pragma once
#include "export/MidiFileWriter.h"

#include <cstdint>
#include <filesystem>
#include <string>

class Kavrel;

namespace kavrel::exporting {

struct PatternExportOptions {
    int pattern = 0; // 0..15
    // 0: one pass as written, every step that is on and nothing the dice decide; otherwise
    // this many passes as the pattern plays, dice and random velocities rolled.
    int playedPasses = 0;
    bool hasSeed = false;
    uint32_t seed = 0;
    int voice = -1; // one row alone, or every voice that plays
};

// The notes of a pattern of `source`'s current program, exactly as its sequencer sends them as
// MIDI output at the program's tempo, as a file's content. Renders on an engine of its own on
// the calling thread.
MidiFileContent patternMidi(Kavrel& source, const PatternExportOptions& options);

bool exportPatternMidi(Kavrel& source, const PatternExportOptions& options,
                       const std::filesystem::path& path, std::string& error);

} // namespace kavrel::exporting

#pragma once
#include "export/WavWriter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kavrel::render {

using exporting::SampleFormat;

enum class SyncMode { Host, Internal, Midi };
enum class OutputLayout { Mix, All };

struct RenderOptions {
    std::string pluginPath; // empty: the plug-in next to the executable
    std::string outPath;    // may stay empty when presets are only saved or listed
    std::string midiPath;   // empty: no MIDI file
    int program = -1;       // -1: leave the plug-in's program as it starts
    int pattern = 0;        // 1..16; 0: leave the program's pattern
    int bars = 4;
    double seconds = 0.0; // > 0: the length is given in seconds instead of bars
    double tempo = 120.0;
    bool tempoGiven = false; // without --tempo, INT sync plays at the program's own tempo
    int sampleRate = 44100;
    int blockSize = 512;
    SyncMode sync = SyncMode::Host;
    OutputLayout outputs = OutputLayout::Mix;
    SampleFormat format = SampleFormat::Pcm24;
    bool hasSeed = false;
    uint32_t seed = 0;
    std::vector<std::pair<int, float>> parameters; // --param INDEX=VALUE, in command-line order
    bool quiet = false;
    bool barPeaks = false; // print each output pair's peak in every bar after the render
    // Preset files: loaded after --program is selected (the bank first), saved once loaded.
    std::string loadFxb, loadFxp, saveFxb, saveFxp;
    // The form of the state chunk in the saved files; empty: as the plug-in hands it out.
    std::string chunkFormat;
    bool listPrograms = false; // print the program names and render nothing
    // Exports instead of a render: a pattern as a MIDI file, the kit as one-shot WAV files.
    std::string exportMidi, exportKit;
    int passes = 0; // 0: the pattern once as written; otherwise passes as it plays
    int row = 0;    // 1..12: only that voice's row; 0: every voice
};

// Whether the options ask for an export.
bool exports(const RenderOptions& options);

// Whether the options ask for a render, rather than only for preset work.
bool rendersAudio(const RenderOptions& options);

enum class ParseOutcome { Render, Help, Version, Error };

// Reads the command line. On Error, `error` says what is wrong with which option.
ParseOutcome parseOptions(int argc, const char* const* argv, RenderOptions& options,
                          std::string& error);

// The render length in frames: --seconds, or --bars of four quarter notes at --tempo, rounded
// to the nearest frame.
int64_t renderFrames(const RenderOptions& options);

const char* syncName(SyncMode mode);
const char* usageText();

} // namespace kavrel::render

#include "export/PatternExport.h"

#include "core/Kavrel.h"
#include "core/KavrelRandom.h"
#include "export/ExportNames.h"
#include "export/OfflineEngine.h"

#include <algorithm>
#include <cmath>

namespace kavrel::exporting {

MidiFileContent patternMidi(Kavrel& source, const PatternExportOptions& options) {
    OfflineEngine engine(source, source.getSampleRate());
    Kavrel& plugin = engine.plugin();
    const bool asWritten = options.playedPasses <= 0;
    const int passes = asWritten ? 1 : options.playedPasses;

    engine.set(kParamStop, 1.0f);
    engine.set(kParamSync, plugin.parameters().realToNorm(kParamSync, Kavrel::kSyncInternal));
    engine.set(kParamPattern,
               plugin.parameters().realToNorm(kParamPattern, static_cast<float>(options.pattern)));
    if (asWritten)
        for (int v = 0; v < kNumVoices; ++v) engine.set(kParamRandomResetFirst + v, 0.0f);
    engine.land();
    if (asWritten) {
        // Past every draw: a step that is on always plays, nothing plays that is not written,
        // and the velocities stay as they are.
        KavrelPattern& pattern = plugin.pattern();
        for (int v = 0; v < kNumVoices; ++v) {
            pattern.selectedBeatsThreshold[v] = kRandMax + 1;
            pattern.randomBeatsThreshold[v] = 0;
            pattern.velocityRandomize[v] = 0;
        }
    }
    if (options.hasSeed) kavrel::srand(options.seed);

    const double tempo = plugin.currentTempo();
    const double rate = engine.sampleRate();
    const KavrelPattern& pattern = plugin.pattern();
    const double quarters = passes * pattern.stepCount() * pattern.stepTicks / 24.0;
    const double framesPerTick = 60.0 * rate / (tempo * 480.0);
    // The first step of the pass after the last falls on the first frame at or after the end.
    const auto endFrame = static_cast<int64_t>(std::ceil(quarters * 480.0 * framesPerTick - 1e-6));

    engine.set(kParamPlay, 1.0f);
    while (engine.framesRendered() < endFrame)
        engine.process(static_cast<int>(
            std::min<int64_t>(OfflineEngine::kBlock, endFrame - engine.framesRendered())));

    MidiFileContent content;
    content.tempo = tempo;
    content.endTick = static_cast<int64_t>(std::llround(quarters * 480.0));
    char name[64] = {};
    plugin.getProgramName(name);
    content.name = name;
    MidiFileTrack tracks[kNumVoices];
    for (int v = 0; v < kNumVoices; ++v) tracks[v].name = exportVoiceName(v);
    for (const OfflineEngine::SentNote& sent : engine.sentNotes()) {
        if (sent.frame >= endFrame) continue;
        for (int v = 0; v < kNumVoices; ++v) {
            if (Kavrel::noteOfVoice(v) != sent.note) continue;
            if (options.voice < 0 || options.voice == v)
                tracks[v].notes.push_back(
                    {std::llround(sent.frame / framesPerTick),
                     std::max<int64_t>(1, std::llround(sent.length / framesPerTick)), sent.note,
                     sent.velocity});
            break;
        }
    }
    for (MidiFileTrack& track : tracks)
        if (!track.notes.empty()) content.tracks.push_back(std::move(track));
    return content;
}

bool exportPatternMidi(Kavrel& source, const PatternExportOptions& options,
                       const std::filesystem::path& path, std::string& error) {
    return writeWholeFile(path, encodeMidiFile(patternMidi(source, options)), error);
}

} // namespace kavrel::exporting

#include "export/OneShotExport.h"

#include "core/Kavrel.h"
#include "export/ExportNames.h"
#include "export/OfflineEngine.h"
#include "export/WavWriter.h"

#include <cmath>

namespace kavrel::exporting {
namespace {

constexpr float kSilence = 3.1622776e-5f; // -90 dBFS
constexpr double kLongest = 10.0;
// A hit can dip below the threshold between its parts (the bursts of a clap) and come back;
// this long below it and it is over.
constexpr double kQuietForGood = 1.0;

} // namespace

OneShot renderOneShot(Kavrel& source, int voice) {
    OneShot shot;
    OfflineEngine engine(source, source.getSampleRate());
    shot.sampleRate = static_cast<int>(std::lround(engine.sampleRate()));
    if (voice < 0 || voice >= kNumVoices) return shot;
    engine.set(kParamStop, 1.0f);
    for (int v = 0; v < kNumVoices; ++v) {
        engine.set(kParamMuteFirst + v, 0.0f);
        engine.set(kParamSoloFirst + v, 0.0f);
    }
    engine.land();

    vst::VstMidiEvent hit{};
    hit.type = vst::kVstMidiType;
    hit.byteSize = sizeof(hit);
    hit.midiData[0] = static_cast<char>(0x90);
    hit.midiData[1] = static_cast<char>(Kavrel::noteOfVoice(voice));
    hit.midiData[2] = 127;

    const auto longest = static_cast<int64_t>(kLongest * shot.sampleRate);
    const auto quietForGood = static_cast<int64_t>(kQuietForGood * shot.sampleRate);
    const int outputs = engine.plugin().getAeffect()->numOutputs;
    int64_t audible = 0; // frames up to the last one at or above the threshold
    std::vector<float> frames;
    while (engine.framesRendered() < longest && engine.framesRendered() - audible < quietForGood) {
        const int64_t start = engine.framesRendered();
        const int count =
            static_cast<int>(std::min<int64_t>(OfflineEngine::kBlock, longest - start));
        engine.process(count, start == 0 ? std::vector<vst::VstMidiEvent>{hit}
                                         : std::vector<vst::VstMidiEvent>{});
        for (int i = 0; i < count; ++i) {
            float left = 0.0f, right = 0.0f;
            for (int c = 0; c < outputs; ++c) (c % 2 ? right : left) += engine.output(c)[i];
            frames.push_back(left);
            frames.push_back(right);
            if (std::fabs(left) >= kSilence || std::fabs(right) >= kSilence)
                audible = start + i + 1;
        }
    }
    frames.resize(static_cast<size_t>(audible) * 2);
    shot.frames = std::move(frames);
    return shot;
}

bool exportOneShot(Kavrel& source, int voice, const std::filesystem::path& path,
                   std::string& error) {
    OneShot shot = renderOneShot(source, voice);
    const auto count = static_cast<int64_t>(shot.frames.size() / 2);
    WavWriter writer;
    if (!writer.open(path, 2, shot.sampleRate, SampleFormat::Pcm24, count, error)) return false;
    for (int64_t at = 0; at < count; at += OfflineEngine::kBlock) {
        const int frames = static_cast<int>(std::min<int64_t>(OfflineEngine::kBlock, count - at));
        if (!writer.write(shot.frames.data() + at * 2, frames, error)) {
            writer.discard();
            return false;
        }
    }
    if (!writer.close(error)) {
        writer.discard();
        return false;
    }
    return true;
}

bool exportKit(Kavrel& source, const std::filesystem::path& parent, std::filesystem::path& folder,
               std::string& error) {
    char name[64] = {};
    source.getProgramName(name);
    folder = parent / pathFromUtf8(safeFileName(name));
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    if (failed) {
        error = "cannot create " + displayPath(folder) + ": " + failed.message();
        return false;
    }
    for (int v = 0; v < kNumVoices; ++v)
        if (!exportOneShot(source, v, folder / pathFromUtf8(oneShotFileName(name, v)), error))
            return false;
    return true;
}

} // namespace kavrel::exporting

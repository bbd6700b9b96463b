// The exports of a pattern and a kit, checked against what the plug-in itself sends and plays.
#include "core/KavrelRandom.h"
#include "export/ExportNames.h"
#include "export/OneShotExport.h"
#include "export/PatternExport.h"
#include "render/SmfReader.h"
#include "support/InProcessPlugin.h"

#include <algorithm>
#include <cmath>
#include <sndfile.h>
#include <tuple>
#include <unistd.h>

using namespace kavrel;
using namespace kavrel::exporting;

namespace {

struct Hit {
    double frame;
    int note;
    int velocity;
    bool operator<(const Hit& o) const { return std::tie(frame, note) < std::tie(o.frame, o.note); }
};

class Export : public kavrel::test::InProcessPlugin {
protected:
    void SetUp() override {
        InProcessPlugin::SetUp();
        dir = std::filesystem::temp_directory_path() /
              ("kavrel_export_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        setReal(kParamSync, Kavrel::kSyncInternal);
    }
    void TearDown() override {
        InProcessPlugin::TearDown();
        std::filesystem::remove_all(dir);
    }

    // The frame after the last of `passes` passes of the current pattern at its tempo.
    int64_t endOf(int passes) {
        const KavrelPattern& p = plugin->pattern();
        const double quarters = passes * p.stepCount() * p.stepTicks / 24.0;
        return static_cast<int64_t>(
            std::ceil(quarters * 60.0 * 44100.0 / plugin->currentTempo() - 1e-6));
    }

    // What the sequencer sends as MIDI output while it plays `passes` passes from the start.
    std::vector<Hit> sentWhilePlaying(int passes) {
        const int64_t frames = endOf(passes);
        host->clearRecords();
        const int64_t start = host->framesProcessed();
        set(kParamPlay, 1.0f);
        for (int64_t done = 0; done < frames; done += 512)
            host->process(static_cast<int>(std::min<int64_t>(512, frames - done)));
        set(kParamStop, 1.0f);
        // A host goes on with its blocks: the clock sees the stop before the next start.
        host->process(512);
        std::vector<Hit> hits;
        const auto events = host->sentEvents();
        const auto at = host->sentEventFrames();
        for (size_t i = 0; i < events.size(); ++i)
            if ((events[i].midiData[0] & 0xf0) == 0x90 && events[i].midiData[2] > 0 &&
                at[i] - start < frames)
                hits.push_back({static_cast<double>(at[i] - start), events[i].midiData[1],
                                events[i].midiData[2]});
        std::sort(hits.begin(), hits.end());
        return hits;
    }

    // The file's notes in frames at the tempo it states, after checking its layout.
    std::vector<Hit> readBack(const std::filesystem::path& file, size_t& tracks, double& tick) {
        render::SmfContents smf;
        std::string error;
        EXPECT_TRUE(render::readSmfFile(file.string(), smf, error)) << error;
        EXPECT_EQ(smf.format, 1);
        EXPECT_EQ(smf.ticksPerQuarter, 480);
        EXPECT_EQ(smf.tempoChanges.size(), 1u);
        const double tempo =
            smf.tempoChanges.empty() ? 120.0 : 60e6 / smf.tempoChanges[0].microsecondsPerQuarter;
        EXPECT_NEAR(tempo, plugin->currentTempo(), 0.01);
        tick = 60.0 * 44100.0 / (tempo * 480.0);
        tracks = static_cast<size_t>(smf.tracks);
        std::vector<Hit> hits;
        for (const auto& e : smf.events)
            if ((e.bytes[0] & 0xf0) == 0x90 && e.bytes[2] > 0) {
                hits.push_back({static_cast<double>(e.tick) * tick, e.bytes[1], e.bytes[2]});
                EXPECT_EQ(e.track, trackOf(e.bytes[1])) << "note " << int(e.bytes[1]);
            }
        std::sort(hits.begin(), hits.end());
        return hits;
    }

    // Tracks come in voice order after the first, one for each voice with notes.
    int trackOf(int note) {
        int track = 1;
        for (int v = 0; v < 12 && Kavrel::noteOfVoice(v) != note; ++v) track += voicesWithNotes[v];
        return track;
    }

    static void expectSame(const std::vector<Hit>& file, const std::vector<Hit>& sent, double tick,
                           const std::string& what) {
        ASSERT_EQ(file.size(), sent.size()) << what;
        for (size_t i = 0; i < file.size(); ++i) {
            EXPECT_EQ(file[i].note, sent[i].note) << what << " note " << i;
            EXPECT_EQ(file[i].velocity, sent[i].velocity) << what << " note " << i;
            // Ticks are coarser than frames: the nearest tick to the frame sent.
            EXPECT_NEAR(file[i].frame, sent[i].frame, tick / 2 + 1.0) << what << " note " << i;
        }
    }

    void writeSteps() {
        plugin->clearPatternSteps();
        for (int s = 0; s < 32; ++s) {
            plugin->setStep(Kavrel::KD, s, s % 4 == 0);
            plugin->setVelocity(Kavrel::KD, s, 1.0f - s / 40.0f);
            plugin->setStep(Kavrel::CH, s, s % 2 == 1);
            plugin->setVelocity(Kavrel::CH, s, 0.3f + s / 64.0f);
            plugin->setStep(Kavrel::CL, s, s % 8 == 4);
        }
        voicesWithNotes.assign(12, 0);
        voicesWithNotes[Kavrel::KD] = voicesWithNotes[Kavrel::CH] = voicesWithNotes[Kavrel::CL] = 1;
    }

    std::filesystem::path dir;
    std::vector<int> voicesWithNotes;
};

TEST_F(Export, PatternAsWrittenIsWhatTheSequencerSendsForEveryGridAndSwing) {
    writeSteps();
    setReal(kParamTempo, 97.0f);
    for (int grid : {0, 2, 3, 4})
        for (float swing : {0.0f, 0.45f}) {
            const std::string what =
                "grid " + std::to_string(grid) + " swing " + std::to_string(swing);
            setReal(kParamStepSize, static_cast<float>(grid));
            set(kParamSwing, swing);
            // Probabilities are ignored: dice on every voice change nothing in the file.
            for (int v = 0; v < 12; ++v) {
                set(kParamSelectedBeatsFirst + v, 0.3f);
                set(kParamRandomBeatsFirst + v, 0.5f);
            }
            plugin->setVelocityRandomize(Kavrel::KD, true);
            const auto file = dir / "written.mid";
            std::string error;
            ASSERT_TRUE(exportPatternMidi(*plugin, {}, file, error)) << error;

            for (int v = 0; v < 12; ++v) {
                set(kParamSelectedBeatsFirst + v, 1.0f);
                set(kParamRandomBeatsFirst + v, 0.0f);
            }
            plugin->setVelocityRandomize(Kavrel::KD, false);
            kavrel::srand(1);
            const auto sent = sentWhilePlaying(1);
            size_t tracks = 0;
            double tick = 0;
            const auto read = readBack(file, tracks, tick);
            EXPECT_EQ(tracks, 4u) << what;
            EXPECT_FALSE(read.empty()) << what;
            expectSame(read, sent, tick, what);
        }
}

TEST_F(Export, PassesAsPlayedRollTheDiceAsTheSequencerDoesWithTheSameSeed) {
    writeSteps();
    setReal(kParamStepSize, 3.0f);
    set(kParamSwing, 0.3f);
    set(kParamSelectedBeatsFirst + Kavrel::CH, 0.5f);
    set(kParamRandomBeatsFirst + Kavrel::KD, 0.4f);
    set(kParamRandomSizeFirst + Kavrel::KD, 0.5f);
    set(kParamRandomVelocityFirst + Kavrel::KD, 0.6f);
    plugin->setVelocityRandomize(Kavrel::CL, true);
    PatternExportOptions options;
    options.playedPasses = 4;
    options.hasSeed = true;
    options.seed = 1234;
    const auto file = dir / "played.mid";
    std::string error;
    ASSERT_TRUE(exportPatternMidi(*plugin, options, file, error)) << error;

    kavrel::srand(1234);
    const auto sent = sentWhilePlaying(4);
    size_t tracks = 0;
    double tick = 0;
    const auto read = readBack(file, tracks, tick);
    expectSame(read, sent, tick, "four passes");
    // The dice did roll: the hats play fewer notes than written over four passes.
    const auto hats = std::count_if(sent.begin(), sent.end(), [](const Hit& h) {
        return h.note == Kavrel::noteOfVoice(Kavrel::CH);
    });
    EXPECT_GT(hats, 0);
    EXPECT_LT(hats, 4 * 8);

    // A row alone: only that voice's notes, on a track of their own.
    options.voice = Kavrel::CL;
    const MidiFileContent row = patternMidi(*plugin, options);
    ASSERT_EQ(row.tracks.size(), 1u);
    EXPECT_EQ(row.tracks[0].name, "Clap");
    EXPECT_EQ(row.endTick, 4 * 16 * 6 * 20); // four passes of 16 sixteenths
}

TEST_F(Export, OneShotIsTheRenderOfTheSameHitUntilItFallsSilent) {
    for (int v : {Kavrel::KD, Kavrel::CL, Kavrel::OH, Kavrel::CY}) {
        const OneShot shot = renderOneShot(*plugin, v);
        EXPECT_EQ(shot.sampleRate, 44100);
        const size_t frames = shot.frames.size() / 2;
        ASSERT_GT(frames, 100u) << v;
        ASSERT_LT(frames, 441000u) << v;

        host->suspend();
        host->resume();
        vst::VstMidiEvent hit{};
        hit.type = vst::kVstMidiType;
        hit.byteSize = sizeof hit;
        hit.midiData[0] = static_cast<char>(0x90);
        hit.midiData[1] = static_cast<char>(Kavrel::noteOfVoice(v));
        hit.midiData[2] = 127;
        double differs = 0, after = 0;
        for (size_t done = 0; done < frames + 44100; done += 512) {
            host->process(512, done == 0 ? std::vector<vst::VstMidiEvent>{hit}
                                         : std::vector<vst::VstMidiEvent>{});
            for (size_t i = 0; i < 512; ++i) {
                double side[2] = {0, 0};
                for (int c = 0; c < 12; ++c) side[c % 2] += host->outputs()[c][i];
                for (int s = 0; s < 2; ++s) {
                    if (done + i < frames)
                        differs =
                            std::max(differs, std::fabs(side[s] - shot.frames[(done + i) * 2 + s]));
                    else
                        after = std::max(after, std::fabs(side[s]));
                }
            }
        }
        EXPECT_LT(differs, 1e-6) << v;
        EXPECT_LT(after, 3.1623e-5) << v; // -90 dBFS
        EXPECT_GE(std::max(std::fabs(shot.frames[frames * 2 - 2]),
                           std::fabs(shot.frames[frames * 2 - 1])),
                  3.1622e-5)
            << v;
    }

    // As a file: 24-bit stereo at the host's rate, the same samples.
    const auto file = dir / "kick.wav";
    std::string error;
    ASSERT_TRUE(exportOneShot(*plugin, Kavrel::KD, file, error)) << error;
    const OneShot shot = renderOneShot(*plugin, Kavrel::KD);
    SF_INFO info{};
    SNDFILE* in = sf_open(file.c_str(), SFM_READ, &info);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 44100);
    ASSERT_EQ(static_cast<size_t>(info.frames) * 2, shot.frames.size());
    std::vector<float> read(shot.frames.size());
    sf_readf_float(in, read.data(), info.frames);
    sf_close(in);
    for (size_t i = 0; i < read.size(); ++i)
        ASSERT_NEAR(read[i], std::clamp(shot.frames[i], -1.0f, 1.0f), 1.0 / 8388608.0) << i;
}

TEST_F(Export, KitFolderAndFilesAreNamedSafelyAfterTheProgram) {
    char name[] = "Kit: 7/8 *live*?. ";
    plugin->setProgramName(name);
    std::filesystem::path folder;
    std::string error;
    ASSERT_TRUE(exportKit(*plugin, dir, folder, error)) << error;
    EXPECT_EQ(folder, dir / "Kit_ 7_8 _live__");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++files;
        EXPECT_EQ(entry.path().extension(), ".wav");
    }
    EXPECT_EQ(files, 12);
    EXPECT_TRUE(std::filesystem::exists(folder / "Kit_ 7_8 _live__ - Open Hat.wav"));
}

} // namespace

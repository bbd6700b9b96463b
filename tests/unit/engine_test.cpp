// The mixer and parameter reactions of the engine, driven through the host interface.
#include "core/KavrelDenormals.h"
#include "support/InProcessPlugin.h"
#include "support/MidiEvents.h"
#include "support/SignalAnalysis.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

using kavrel::test::InProcessPlugin;
using kavrel::test::noteOn;

using EngineTest = InProcessPlugin;

TEST_F(EngineTest, LevelsMutesAndSolosSetTheVoiceGains) {
    setReal(118, -6.0f);
    const float sixDb = plugin->gainOf(0);
    EXPECT_NEAR(sixDb, std::pow(10.0f, -6.0f / 20.0f), 1e-3);
    set(154, 1.0f); // mute the kick
    EXPECT_EQ(plugin->gainOf(0), 0.0f);
    // A level move alone sets the gain from the level, even while muted...
    setReal(118, -6.0f);
    EXPECT_EQ(plugin->gainOf(0), sixDb);
    // ...and the voice's mute change recomputes with mute and solo.
    set(154, 1.0f);
    EXPECT_EQ(plugin->gainOf(0), 0.0f);
    set(154, 0.0f);
    EXPECT_EQ(plugin->gainOf(0), sixDb);

    set(0 + 118, 0.0f); // -60 dB is silence, exactly
    EXPECT_EQ(plugin->gainOf(0), 0.0f);
}

TEST_F(EngineTest, SoloIsExclusiveAndReportsWhatItReleases) {
    set(166, 1.0f);
    EXPECT_EQ(plugin->soloParameter(), 166);
    for (int v = 1; v < 12; ++v) EXPECT_EQ(plugin->gainOf(v), 0.0f) << v;
    EXPECT_GT(plugin->gainOf(0), 0.0f);
    host->clearRecords();
    set(170, 1.0f);
    EXPECT_EQ(plugin->soloParameter(), 170);
    EXPECT_EQ(get(166), 0.0f);
    auto automations = host->automations();
    ASSERT_EQ(automations.size(), 1u);
    EXPECT_EQ(automations[0].index, 166);
    EXPECT_EQ(automations[0].value, 0.0f);
    EXPECT_EQ(plugin->gainOf(0), 0.0f);
    EXPECT_GT(plugin->gainOf(4), 0.0f);
    set(170, 0.0f);
    EXPECT_EQ(plugin->soloParameter(), 0);
    for (int v = 0; v < 12; ++v) EXPECT_GT(plugin->gainOf(v), 0.0f) << v;
}

TEST_F(EngineTest, MoreCowbellOverridesTheLevelWhileOn) {
    setReal(129, -20.0f);
    const float level = plugin->gainOf(11);
    set(81, 1.0f);
    EXPECT_FLOAT_EQ(plugin->gainOf(11), 1.2f);
    setReal(129, -30.0f);
    EXPECT_FLOAT_EQ(plugin->gainOf(11), 1.2f);
    set(81, 0.0f);
    EXPECT_LT(plugin->gainOf(11), level);
    EXPECT_GT(plugin->gainOf(11), 0.0f);
}

TEST_F(EngineTest, PanUsesTheEqualPowerTableEnds) {
    set(130, 0.0f);
    EXPECT_FLOAT_EQ(plugin->panLeftOf(0), 1.0f);
    EXPECT_FLOAT_EQ(plugin->panRightOf(0), 0.0f);
    set(130, 1.0f);
    EXPECT_FLOAT_EQ(plugin->panLeftOf(0), plugin->parameters().panCosTable[999]);
    EXPECT_FLOAT_EQ(plugin->panRightOf(0), plugin->parameters().panSinTable[999]);
}

TEST_F(EngineTest, APairOtherThanABypassesCompressorAndOutputLevel) {
    setReal(142, 2.0f); // kick to pair C
    set(115, 0.0f);     // Output A at -60 dB: silence on A
    set(116, 1.0f);     // heavy compression would change the level on A
    host->process(512, {noteOn(36)});
    auto energy = render(8192);
    EXPECT_EQ(energy[0] + energy[1], 0.0);
    EXPECT_GT(energy[4] + energy[5], 1.0);
    for (int c : {2, 3, 6, 7, 8, 9, 10, 11}) EXPECT_EQ(energy[c], 0.0) << c;
}

TEST_F(EngineTest, MidiOutputOnlySilencesAudioButStillSendsNotes) {
    set(262, 1.0f);
    setReal(113, 1.0f); // INT
    set(109, 1.0f);     // Play
    auto energy = render(44100);
    for (double e : energy) EXPECT_EQ(e, 0.0);
    EXPECT_FALSE(host->sentEvents().empty());
}

TEST_F(EngineTest, UnusableSampleRatesAreIgnored) {
    for (float bad : {0.0f, -44100.0f, std::nanf(""), INFINITY}) {
        host->dispatch(vst::effSetSampleRate, 0, 0, nullptr, bad);
        EXPECT_EQ(plugin->getSampleRate(), 44100.0f);
    }
    host->process(512, {noteOn(36)});
    for (const auto& channel : host->outputs())
        for (float s : channel) ASSERT_TRUE(std::isfinite(s));
}

TEST_F(EngineTest, HostValuesAreClampedBeforeTheyReachTheEngine) {
    for (int index = 0; index < 263; ++index) {
        set(index, std::nanf(""));
        set(index, 1e30f);
        set(index, -1e30f);
    }
    host->process(512, {noteOn(36), noteOn(38), noteOn(42), noteOn(49)});
    render(4096);
    for (const auto& channel : host->outputs())
        for (float s : channel) ASSERT_TRUE(std::isfinite(s));
}

TEST_F(EngineTest, BlocksWithoutFramesOrBuffersDoNothing) {
    setReal(113, 1.0f);
    set(109, 1.0f);
    std::vector<float> buffer(64, 0.5f);
    float* outputs[12];
    for (float*& channel : outputs) channel = buffer.data();
    effect->processReplacing(effect, nullptr, outputs, 0);
    effect->processReplacing(effect, nullptr, outputs, -64);
    effect->processReplacing(effect, nullptr, nullptr, 64);
    outputs[7] = nullptr;
    effect->processReplacing(effect, nullptr, outputs, 64);
    EXPECT_EQ(plugin->position(), 0.0); // the clock did not move
    for (float s : buffer) EXPECT_EQ(s, 0.5f);
    EXPECT_TRUE(host->sentEvents().empty());
}

// Voices render in runs between the samples where a step or an event lands, so the slicing of
// the host's blocks must not show in a single bit of any output.
TEST_F(EngineTest, OutputDoesNotDependOnTheHostsBlockSizes) {
    constexpr int kFrames = 60000;
    constexpr int kNoteAt = 23456; // an incoming clap, mid-block for every slicing below
    auto renderSliced = [&](int block) {
        TearDown();
        SetUp();
        for (int v = 0; v < 12; ++v) {
            for (int s = 0; s < 16; ++s) plugin->setStep(v, s, (s * 7 + v * 3) % 5 < 2);
            set(kavrel::kParamPanFirst + v, (v % 5) / 4.0f);
            setReal(kavrel::kParamOutputFirst + v, static_cast<float>(v % 3)); // pairs A-C
        }
        set(kavrel::kParamSwing, 0.6f);
        set(kavrel::kParamCompressor, 1.0f);
        setReal(kavrel::kParamSync, 1.0f); // internal clock
        setReal(kavrel::kParamTempo, 137.0f);
        set(kavrel::kParamPlay, 1.0f);
        std::vector<std::vector<float>> out(12);
        for (int done = 0; done < kFrames;) {
            const int n = std::min(block, kFrames - done);
            std::vector<vst::VstMidiEvent> events;
            if (kNoteAt >= done && kNoteAt < done + n)
                events.push_back(noteOn(39, 100, kNoteAt - done));
            host->process(n, events);
            for (int c = 0; c < 12; ++c)
                out[c].insert(out[c].end(), host->outputs()[c].begin(),
                              host->outputs()[c].begin() + n);
            done += n;
        }
        return out;
    };
    const auto reference = renderSliced(512);
    double energy = 0.0;
    for (int c = 0; c < 6; ++c)
        for (float s : reference[c]) energy += double(s) * s;
    ASSERT_GT(energy, 1.0); // pairs A to C all sound
    for (int block : {1, 97, 300}) {
        const auto sliced = renderSliced(block);
        for (int c = 0; c < 12; ++c)
            for (int i = 0; i < kFrames; ++i)
                ASSERT_EQ(sliced[c][i], reference[c][i])
                    << "block " << block << ", channel " << c << ", frame " << i;
    }
}

// After a hit the detector, filters and envelopes decay towards zero; in a long silence none
// of them may sink into subnormal numbers, which cost many times the work of normal ones. The
// host's own floating-point mode is left as it was.
TEST_F(EngineTest, LongSilenceLeavesNoSubnormalState) {
    auto subnormal = [](float x) { return x != 0.0f && std::fabs(x) < FLT_MIN; };
    set(116, 1.0f); // the compressor at full
    std::vector<vst::VstMidiEvent> hits;
    for (int note : {36, 38, 40, 41, 43, 45, 42, 46, 49, 37, 39, 51})
        hits.push_back(kavrel::test::noteOn(note));
    host->process(512, hits);
#ifdef KAVREL_HAS_MXCSR
    const unsigned before = _mm_getcsr();
#endif
    int subnormalSamples = 0;
    for (int block = 0; block < 60 * 44100 / 512; ++block) {
        host->process(512);
        for (const auto& channel : host->outputs())
            for (float x : channel) subnormalSamples += subnormal(x) ? 1 : 0;
        ASSERT_FALSE(subnormal(plugin->masterCompressor().get_envelope())) << block;
    }
    EXPECT_EQ(subnormalSamples, 0);
    EXPECT_EQ(plugin->masterCompressor().get_envelope(), 0.0f);
#ifdef KAVREL_HAS_MXCSR
    EXPECT_EQ(_mm_getcsr(), before);
#endif
}

namespace {

// Mean energy in 20 Hz - 15 kHz over the first 200 ms of full-velocity hits of a voice, by
// which every source and filter of every voice has spoken. A voice with noise in it gives hits
// that differ by up to a dB, so those go on until their mean is known to 0.1 dB; a voice whose
// first three hits agree to 0.2 % needs no more.
double bandEnergyOfHits(kavrel_voice& voice, float rate) {
    const std::size_t length = static_cast<std::size_t>(rate / 5);
    std::vector<float> hit;
    double sum = 0.0, squares = 0.0, low = 0.0, high = 0.0;
    for (int n = 1;; ++n) {
        voice.trigger(1.0f);
        hit.clear();
        float block[512];
        while (voice.process_block(block, 512) && hit.size() < 40 * length)
            hit.insert(hit.end(), block, block + 512);
        hit.resize(std::min(hit.size(), length));
        const double e = kavrel::test::band_energy(hit, rate, 20.0, 15000.0);
        low = n == 1 ? e : std::min(low, e);
        high = n == 1 ? e : std::max(high, e);
        sum += e;
        squares += e * e;
        const double mean = sum / n;
        const double error = std::sqrt(std::max(0.0, squares / n - mean * mean) / n);
        if ((n == 3 && high < 1.002 * low) ||
            (n >= 8 && 10.0 * std::log10(1.0 + error / mean) < 0.1) || n == 200)
            return mean;
    }
}

} // namespace

// Noise drawn once per sample spreads its power up to half the rate, and the bilinear transform
// squeezes a band-pass less at a higher rate: either would move a voice's level in the audible
// band, and the kit's balance with it, with the project's rate. Each rate gets a fresh
// instance, so that the cymbal's free-running oscillators start from the same phases.
TEST_F(EngineTest, EveryVoiceOfTheKitKeepsItsLevelInTheAudibleBandAtEveryRate) {
    const char* names[] = {"kick",       "snare 8",  "snare 9", "low tom", "mid tom", "high tom",
                           "closed hat", "open hat", "cymbal",  "rimshot", "clap",    "cowbell"};
    auto levels = [](float rate) {
        kavrel::host::PluginHost fresh;
        std::string error;
        EXPECT_TRUE(fresh.instantiate(&kavrel::test::inProcessEntry, error)) << error;
        fresh.start(rate, 512);
        Kavrel& kit = *static_cast<Kavrel*>(fresh.effect()->object);
        std::vector<double> energy;
        for (int v = 0; v < kavrel::kNumVoices; ++v)
            energy.push_back(bandEnergyOfHits(kit.voice(v), rate));
        return energy;
    };
    const std::vector<double> reference = levels(44100.0f);
    for (float rate : {32000.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f}) {
        const std::vector<double> energy = levels(rate);
        for (int v = 0; v < kavrel::kNumVoices; ++v)
            EXPECT_NEAR(10.0 * std::log10(energy[v] / reference[v]), 0.0, 0.5)
                << names[v] << " at " << rate << " Hz";
    }
}

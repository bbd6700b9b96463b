// Inputs from the host that the fuzz targets found mishandled, kept as plain tests so that
// every build checks the behaviour (the clang fuzz build also replays the inputs themselves
// from tests/fuzz/regressions under UndefinedBehaviorSanitizer).
#include "core/Kavrel.h"
#include "core/KavrelChunk.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

struct Recorder {
    static inline vst::VstTimeInfo time{};
    static inline std::vector<vst::VstMidiEvent> sent;
    static vst::intptr VST_CALLBACK callback(vst::AEffect*, vst::int32 opcode, vst::int32,
                                             vst::intptr, void* ptr, float) {
        switch (opcode) {
        case vst::audioMasterVersion:
            return 2400;
        case vst::audioMasterGetTime:
            return reinterpret_cast<vst::intptr>(&time);
        case vst::audioMasterProcessEvents: {
            const auto* list = static_cast<const vst::VstEvents*>(ptr);
            vst::VstEvent* const* slots = list->events;
            for (int i = 0; i < list->numEvents; ++i)
                sent.push_back(*reinterpret_cast<const vst::VstMidiEvent*>(slots[i]));
            return 1;
        }
        default:
            return 0;
        }
    }
};

class HostInput : public ::testing::Test {
protected:
    void SetUp() override {
        kavrel::test::isolateSettingsFolder();
        Recorder::sent.clear();
        Recorder::time = vst::VstTimeInfo{};
        plugin = std::make_unique<Kavrel>(&Recorder::callback);
        plugin->setSampleRate(44100.0f);
        plugin->resume();
        for (int c = 0; c < 12; ++c) outputs[c] = buffers[c];
        // Every voice on every step, all of them audible, host sync.
        plugin->setParameter(kavrel::kParamStepSize, 0.0f);
        for (int v = 0; v < kavrel::kNumVoices; ++v) {
            plugin->setParameter(kavrel::kParamLevelFirst + v, 1.0f);
            plugin->setParameter(kavrel::kParamMuteFirst + v, 0.0f);
            plugin->setParameter(kavrel::kParamSoloFirst + v, 0.0f);
            plugin->setParameter(kavrel::kParamSelectedBeatsFirst + v, 1.0f);
            plugin->setParameter(kavrel::kParamRandomBeatsFirst + v, 0.0f);
            for (int s = 0; s < kavrel::kPatternSteps; ++s) plugin->setStep(v, s, true);
        }
        plugin->setParameter(kavrel::kParamMidiOutputOnly, 0.0f);
        plugin->setParameter(kavrel::kParamSync, 0.0f);
    }

    void hostPlays(double ppq, double tempo) {
        Recorder::time.ppqPos = ppq;
        Recorder::time.tempo = tempo;
        Recorder::time.flags =
            vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;
    }
    void render(int frames = 256) {
        plugin->processReplacing(nullptr, outputs, frames);
        for (int c = 0; c < 12; ++c)
            for (int i = 0; i < frames; ++i) ASSERT_TRUE(std::isfinite(buffers[c][i]));
    }
    int count(int status) const {
        int n = 0;
        for (const auto& e : Recorder::sent) n += (e.midiData[0] & 0xf0) == status ? 1 : 0;
        return n;
    }

    std::unique_ptr<Kavrel> plugin;
    float buffers[12][256];
    float* outputs[12];
};

} // namespace

// A tempo that is positive and finite but far below music makes a 32nd note longer than an
// int holds. The note length is held to a long but sane count: the note-off waits instead of
// coming at once (or at a negative offset) as a wrapped length made it.
TEST_F(HostInput, AnAbsurdlySlowHostTempoHoldsTheNoteOffBack) {
    for (double tempo : {1e-300, std::numeric_limits<double>::denorm_min(), 1e-9}) {
        SetUp(); // a fresh instance for each tempo
        hostPlays(0.0, tempo);
        render();
        // Audio runs with subnormal numbers read as zero, so the subnormal tempo is no tempo
        // at all: the block is unusable and nothing plays. The others play every voice.
        const bool subnormal = tempo < std::numeric_limits<double>::min();
        EXPECT_EQ(count(0x90), subnormal ? 0 : kavrel::kNumVoices) << tempo;
        EXPECT_EQ(count(0x80), 0) << tempo;
        for (const auto& e : Recorder::sent) {
            EXPECT_GE(e.noteLength, 0);
            EXPECT_GE(e.deltaFrames, 0);
            EXPECT_LT(e.deltaFrames, 256);
        }
    }
}

// A tempo so fast that the position leaves the range the ticks are computed in within the
// block: the steps stop there, as for a position the host reports out of range, instead of
// firing at whatever tick an overflowing conversion gives. Time signatures with huge
// denominators are the same case from the other side.
TEST_F(HostInput, AnAbsurdlyFastHostTempoStopsTheStepsInsteadOfWrapping) {
    double ppq = 0.0;
    for (int b = 0; b < 4; ++b) {
        hostPlays(ppq, 1e300);
        render();
        ppq += 256 * 1e300 / 60.0 / 44100.0; // as a host would count on
    }
    EXPECT_EQ(count(0x90), kavrel::kNumVoices); // the step at position 0, nothing after it

    Recorder::sent.clear();
    hostPlays(0.0, 1e-3);
    Recorder::time.flags |= vst::kVstTimeSigValid;
    Recorder::time.timeSigNumerator = 4;
    Recorder::time.timeSigDenominator = std::numeric_limits<int32_t>::max();
    for (int b = 0; b < 4; ++b) render();
    for (const auto& e : Recorder::sent) EXPECT_GE(e.noteLength, 0);
}

// Hosts hand over lists of any length behind a structure that declares two entries: every
// entry is read (the fuzz build checks that the reading itself stays defined).
TEST_F(HostInput, EventListsLongerThanTheDeclaredTwoEntriesAreReadWhole) {
    plugin->setParameter(kavrel::kParamSync, 1.0f); // MIDI: only notes move the pattern
    // Voices 0..4 (notes 36, 38, 40, 41, 43) each on a pair of their own, B to F.
    static const int notes[5] = {36, 38, 40, 41, 43};
    for (int v = 0; v < 5; ++v) plugin->setParameter(kavrel::kParamOutputFirst + v, (v + 1) / 5.0f);
    struct {
        vst::int32 numEvents;
        vst::intptr reserved;
        vst::VstEvent* events[5];
    } list{};
    vst::VstMidiEvent events[5] = {};
    for (int i = 0; i < 5; ++i) {
        events[i].type = vst::kVstMidiType;
        events[i].byteSize = sizeof(vst::VstMidiEvent);
        events[i].deltaFrames = 10 * i;
        events[i].midiData[0] = static_cast<char>(0x90);
        events[i].midiData[1] = static_cast<char>(notes[i]);
        events[i].midiData[2] = 100;
        list.events[i] = reinterpret_cast<vst::VstEvent*>(&events[i]);
    }
    list.numEvents = 5;
    plugin->processEvents(reinterpret_cast<vst::VstEvents*>(&list));
    render();
    for (int v = 0; v < 5; ++v) {
        double energy = 0.0;
        for (int c = 2 * (v + 1); c < 2 * (v + 1) + 2; ++c)
            for (int i = 0; i < 256; ++i) energy += double(buffers[c][i]) * buffers[c][i];
        EXPECT_GT(energy, 0.0) << "the voice of note " << notes[v] << " was not triggered";
    }
}

// A program saved while a pattern tool (Clear, Random Fill) stood at 1.0 keeps that value but
// does not act again when recalled: neither on the pattern another program left current nor
// on its own.
TEST_F(HostInput, RecallingAProgramNeverRunsItsPatternTools) {
    auto stored = std::make_unique<KavrelProgram>(plugin->program(7));
    stored->params[kavrel::kParamClearFirst + 0] = 1.0f;      // KD Clear
    stored->params[kavrel::kParamRandomFillFirst + 1] = 1.0f; // S8 Random Fill
    for (int s = 0; s < kavrel::kPatternSteps; ++s) stored->patterns[0].steps[0][s] = 1;
    std::vector<uint8_t> bytes(kavrel::chunk::programSize(*stored));
    kavrel::chunk::writeProgram(*stored, bytes.data());
    plugin->setProgram(7);
    ASSERT_EQ(plugin->setChunk(bytes.data(), static_cast<vst::int32>(bytes.size()), true), 1);

    plugin->setProgram(5);
    render(); // the program lands between blocks
    plugin->setParameter(kavrel::kParamSync, 0.5f);
    plugin->selectPattern(3);
    for (int s = 0; s < kavrel::kPatternSteps; ++s) plugin->setStep(0, s, true);

    plugin->setParameter(kavrel::kParamPlay, 1.0f); // playing: the stored Pattern only queues
    ASSERT_TRUE(plugin->isPlaying());
    plugin->setProgram(7);
    render();
    for (int s = 0; s < kavrel::kPatternSteps; ++s)
        ASSERT_EQ(plugin->program(5).patterns[3].steps[0][s], 0xff) << s;
    for (int s = 0; s < kavrel::kPatternSteps; ++s)
        EXPECT_EQ(plugin->program(7).patterns[0].steps[0][s], 1) << s;
    EXPECT_EQ(plugin->getParameter(kavrel::kParamClearFirst), 1.0f);
    EXPECT_EQ(plugin->getParameter(kavrel::kParamRandomFillFirst + 1), 1.0f);
}

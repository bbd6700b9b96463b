// The step sequencer's clock, step grids, swing, host alignment and pattern switching,
// observed through the notes it sends to the host.
#include "support/InProcessPlugin.h"
#include "support/MidiEvents.h"

#include <algorithm>
#include <cmath>

using kavrel::test::InProcessPlugin;
using kavrel::test::midiEvent;

namespace {

class SequencerTest : public InProcessPlugin {
protected:
    void SetUp() override {
        InProcessPlugin::SetUp();
        clearPattern();
    }
    void clearPattern() {
        for (int v = 0; v < 12; ++v)
            for (int s = 0; s < 32; ++s) plugin->setStep(v, s, false);
    }
    void stepSize(int value) { setReal(108, static_cast<float>(value)); }
    void playInternal(float bpm) {
        setReal(113, 1.0f);
        setReal(111, bpm);
        set(109, 1.0f);
    }
    // Frames of the note-ons sent for a note number.
    std::vector<int64_t> noteOns(int note) {
        std::vector<int64_t> frames;
        auto events = host->sentEvents();
        auto at = host->sentEventFrames();
        for (size_t i = 0; i < events.size(); ++i)
            if ((events[i].midiData[0] & 0xf0) == 0x90 && events[i].midiData[1] == note)
                frames.push_back(at[i]);
        return frames;
    }
};

} // namespace

TEST_F(SequencerTest, InternalClockPlaysSixteenthsAtTheTempo) {
    stepSize(3); // "1 x 16"
    for (int s = 0; s < 16; ++s) plugin->setStep(6, s, true);
    playInternal(120.0f);
    render(2 * 88200);
    auto frames = noteOns(42);
    ASSERT_EQ(frames.size(), 32u);
    for (size_t k = 0; k < frames.size(); ++k)
        EXPECT_NEAR(static_cast<double>(frames[k]), k * 5512.5, 1.5) << k;
}

TEST_F(SequencerTest, OutgoingNotesCarryTheExactBytes) {
    stepSize(3);
    plugin->setStep(0, 0, true);
    plugin->setVelocity(0, 0, 0.5f);
    playInternal(120.0f);
    render(22050);
    auto events = host->sentEvents();
    auto frames = host->sentEventFrames();
    ASSERT_EQ(events.size(), 2u);
    const vst::VstMidiEvent& on = events[0];
    const vst::VstMidiEvent& off = events[1];
    EXPECT_EQ(on.type, vst::kVstMidiType);
    EXPECT_EQ(on.byteSize, 32);
    EXPECT_EQ(on.flags, vst::kVstMidiEventIsRealtime);
    EXPECT_EQ(on.noteLength, 2756); // one 32nd at 120 BPM, truncated
    EXPECT_EQ(static_cast<uint8_t>(on.midiData[0]), 0x90);
    EXPECT_EQ(on.midiData[1], 36);
    EXPECT_EQ(on.midiData[2], 63);
    EXPECT_EQ(static_cast<uint8_t>(off.midiData[0]), 0x80);
    EXPECT_EQ(off.midiData[1], 36);
    EXPECT_EQ(off.midiData[2], 64);
    // The note-off falls in a later block and is sent there, inside that block.
    EXPECT_EQ(frames[1] - frames[0], 2756);
    EXPECT_GE(off.deltaFrames, 0);
    EXPECT_LT(off.deltaFrames, 512);
}

TEST_F(SequencerTest, EachStepGridPlaysItsStepsPerBar) {
    const int perBar[5] = {32, 16, 24, 16, 12};
    for (int size = 0; size < 5; ++size) {
        SetUp();
        stepSize(size);
        for (int s = 0; s < 32; ++s) plugin->setStep(6, s, true);
        playInternal(120.0f);
        render(88200 - 256); // just under one bar
        EXPECT_EQ(static_cast<int>(noteOns(42).size()), perBar[size]) << size;
        TearDown();
    }
}

TEST_F(SequencerTest, FullSwingMovesTheOffbeatSixteenth) {
    stepSize(3);
    plugin->setStep(6, 1, true);
    setReal(112, 100.0f);
    playInternal(120.0f);
    render(22050);
    auto frames = noteOns(42);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_NEAR(static_cast<double>(frames[0]), 1.4444 * 5512.5, 2.0);
}

TEST_F(SequencerTest, HostSyncFollowsTheHostPosition) {
    stepSize(3);
    plugin->setStep(0, 2, true);
    plugin->setStep(0, 0, true);
    vst::VstTimeInfo info{};
    info.sampleRate = 44100;
    info.tempo = 120;
    info.ppqPos = 0.5; // two sixteenths in
    info.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;
    host->timeInfo = &info;
    setReal(113, 0.0f);
    for (int block = 0; block < 10; ++block) {
        host->process(512);
        info.ppqPos += 512 * 120.0 / 60.0 / 44100.0;
    }
    auto frames = noteOns(36);
    ASSERT_EQ(frames.size(), 1u); // step 2 at once; step 0 only at the next bar
    EXPECT_EQ(frames[0], 0);
    EXPECT_TRUE(plugin->isPlaying());
    info.flags &= ~vst::kVstTransportPlaying;
    host->process(512);
    EXPECT_FALSE(plugin->isPlaying());
}

TEST_F(SequencerTest, UnusableHostTimeHoldsThePosition) {
    setReal(113, 0.0f);
    vst::VstTimeInfo info{};
    info.flags = vst::kVstTransportPlaying | vst::kVstTimeSigValid;
    host->timeInfo = &info;
    for (double tempo : {0.0, -120.0, std::nan(""), double(INFINITY)}) {
        info.tempo = tempo;
        info.ppqPos = 4.0;
        host->process(512);
        EXPECT_EQ(plugin->position(), 0.0);
    }
    info.tempo = 120;
    info.timeSigDenominator = 0;
    host->process(512);
    EXPECT_EQ(plugin->position(), 0.0);
    info.timeSigDenominator = 4;
    info.ppqPos = 1e300;
    host->process(512);
    EXPECT_EQ(plugin->position(), 0.0);
    host->timeInfo = nullptr;
    host->process(512);
    EXPECT_EQ(plugin->position(), 0.0);
}

TEST_F(SequencerTest, PatternRequestsWaitForTheNextPatternStartWhilePlaying) {
    stepSize(3);
    plugin->setStep(0, 0, true); // pattern 1: kick on the one
    plugin->selectPattern(1);
    neutralise();
    clearPattern();
    stepSize(3);
    plugin->setStep(1, 0, true); // pattern 2: snare on the one
    plugin->selectPattern(0);
    neutralise();
    playInternal(120.0f);
    render(44100);
    host->process(512, {midiEvent(0x90, 61, 100)});
    EXPECT_EQ(plugin->pendingPatternIndex(), 1);
    EXPECT_EQ(plugin->currentPatternIndex(), 0);
    render(88200);
    EXPECT_EQ(plugin->currentPatternIndex(), 1);
    EXPECT_EQ(noteOns(36).size(), 1u);
    ASSERT_EQ(noteOns(38).size(), 1u);
    EXPECT_NEAR(static_cast<double>(noteOns(38)[0]), 88200.0, 2.0);
}

// While stopped a pattern chosen by note or by the host switches with the next block, not at
// the end of the pattern; the host reads its choice at once.
TEST_F(SequencerTest, PatternRequestsSwitchAtTheNextBlockWhileStopped) {
    host->process(512, {midiEvent(0x90, 64, 100)});
    EXPECT_EQ(plugin->currentPatternIndex(), 4);
    set(114, 1.0f);
    EXPECT_EQ(get(114), 1.0f);
    host->process(512);
    EXPECT_EQ(plugin->currentPatternIndex(), 15);
}

TEST_F(SequencerTest, StepSizeChangeKeepsTheStepInsideThePattern) {
    stepSize(0);
    plugin->pattern().currentStep = 30;
    stepSize(4); // 12 steps
    EXPECT_EQ(plugin->pattern().currentStep, 0);
}

TEST_F(SequencerTest, MidiSyncStepsOnlyWithItsThreeNotes) {
    stepSize(3);
    plugin->setStep(0, 0, true);
    plugin->setStep(1, 1, true);
    host->process(512, {midiEvent(0x90, 86, 100)}); // not in MIDI sync: nothing
    EXPECT_TRUE(noteOns(36).empty());
    setReal(113, 2.0f);
    host->process(512, {midiEvent(0x90, 86, 100)});
    ASSERT_EQ(noteOns(36).size(), 1u); // restart plays step 0 at once
    host->process(512, {midiEvent(0x90, 84, 100)});
    EXPECT_EQ(plugin->pattern().currentStep, 1);
    EXPECT_EQ(noteOns(38).size(), 1u);
    host->process(512, {midiEvent(0x90, 83, 100)});
    EXPECT_EQ(plugin->pattern().currentStep, 0);
    EXPECT_EQ(noteOns(36).size(), 2u);
}

TEST_F(SequencerTest, ProbabilitiesGateProgrammedAndRandomBeats) {
    stepSize(3);
    for (int s = 0; s < 16; ++s) plugin->setStep(0, s, true);
    set(178, 0.0f); // Selected Beats 0 %: programmed steps never play
    playInternal(120.0f);
    render(88200);
    EXPECT_TRUE(noteOns(36).empty());
    set(109, 0.25f);      // rewind
    setReal(190, 100.0f); // Random Beats 100 % on a quarter-note grid
    setReal(202, 5.0f);
    host->clearRecords();
    render(88200 - 256);
    EXPECT_EQ(noteOns(36).size(), 4u);
}

namespace {

// Plays the kick on every sixteenth in host sync for four seconds at 120 BPM, the host
// reporting its position in quarter notes from the samples it has played, in the given meter
// and block size. Returns the frames of the note-ons and the length of the first note.
struct HostRun {
    std::vector<int64_t> onsets;
    int noteLength = -1;
};

class HostMeterTest : public SequencerTest {
protected:
    HostRun run(int numerator, int denominator, int block) {
        SetUp();
        host->suspend();
        host->start(44100.0f, block);
        stepSize(3);
        for (int s = 0; s < 16; ++s) plugin->setStep(0, s, true);
        vst::VstTimeInfo info{};
        info.sampleRate = 44100;
        info.tempo = 120;
        info.timeSigNumerator = numerator;
        info.timeSigDenominator = denominator;
        info.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid |
                     vst::kVstTimeSigValid;
        host->timeInfo = &info;
        setReal(113, 0.0f);
        for (int64_t done = 0; done < 4 * 44100; done += block) {
            info.samplePos = static_cast<double>(done);
            info.ppqPos = done * 120.0 / 60.0 / 44100.0;
            host->process(block);
        }
        HostRun result;
        result.onsets = noteOns(36);
        for (const auto& e : host->sentEvents())
            if ((e.midiData[0] & 0xf0) == 0x90) {
                result.noteLength = e.noteLength;
                break;
            }
        host->timeInfo = nullptr;
        TearDown();
        return result;
    }
};

} // namespace

// The host's position and tempo are in quarter notes in every meter: 6/8, 12/8 and 7/16 must
// not crawl inside a block and jump at the next, nor 2/2 and 3/2 race ahead into flams.
TEST_F(HostMeterTest, EveryMeterAndBlockSizePlaysTheQuarterNoteGrid) {
    const HostRun reference = run(4, 4, 512);
    ASSERT_EQ(reference.onsets.size(), 33u); // four seconds and the first of the next
    for (size_t k = 0; k < reference.onsets.size(); ++k)
        EXPECT_EQ(reference.onsets[k], static_cast<int64_t>(std::ceil(k * 5512.5))) << k;
    EXPECT_EQ(reference.noteLength, 2756);
    const int meters[][2] = {{4, 4}, {6, 8}, {12, 8}, {7, 16}, {2, 2}, {3, 2}};
    for (const auto& meter : meters)
        for (int block : {64, 512, 4096}) {
            const HostRun r = run(meter[0], meter[1], block);
            EXPECT_EQ(r.onsets, reference.onsets)
                << meter[0] << "/" << meter[1] << " in blocks of " << block;
            EXPECT_EQ(r.noteLength, reference.noteLength) << meter[0] << "/" << meter[1];
        }
    SetUp(); // the fixture tears down what the last run set up
}

// A tempo ramp with large blocks can hand a block start a few samples before the end of the
// last block. That is jitter and plays nothing again; a jump back of a bar replays.
TEST_F(SequencerTest, AHostPositionSteppingBackALittleReplaysNothing) {
    host->suspend();
    host->start(44100.0f, 1024);
    stepSize(3);
    for (int s = 0; s < 16; ++s) plugin->setStep(0, s, true);
    vst::VstTimeInfo info{};
    info.sampleRate = 44100;
    info.tempo = 120;
    info.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;
    host->timeInfo = &info;
    setReal(113, 0.0f);
    const double perSample = 120.0 / 60.0 / 44100.0;
    // Blocks of 1000 samples; the seventh starts 520 samples before the sixth ended, just
    // before the second sixteenth (5512.5) that the sixth block already played.
    const double starts[] = {0, 1000, 2000, 3000, 4000, 5000, 5480, 6480, 7480, 8480, 9480, 10480};
    for (double start : starts) {
        info.ppqPos = start * perSample;
        host->process(1000);
    }
    // The sixteenths at 0, 5512.5 and 11025 play once each.
    EXPECT_EQ(noteOns(36).size(), 3u);

    host->clearRecords();
    info.ppqPos = 0.0; // a loop back to the start
    host->process(512);
    EXPECT_EQ(noteOns(36).size(), 1u);
}

// A lane value belongs to its step: once no lane applies (the next pattern has none, its lock
// is removed, the transport stops) the voice plays the parameter's own value again.
TEST_F(SequencerTest, LaneValuesLeaveTheVoiceWhenNoLaneAppliesAnyMore) {
    const float ownTune = get(0);
    auto kickTune = [&] { return static_cast<kavrel_voice_kick&>(plugin->voice(0)).get_tune(); };
    stepSize(3);
    plugin->setStep(0, 0, true);
    plugin->setLaneValue(0, 0, 1.0f); // Kickdrum Tune lane at its top on step 0
    plugin->selectPattern(1);
    neutralise();
    clearPattern();
    stepSize(3);
    plugin->setStep(0, 0, true); // pattern 2: the kick, no lane
    plugin->selectPattern(0);
    neutralise();
    plugin->setLaneValue(0, 0, 1.0f);
    playInternal(120.0f);
    render(44100);
    const float laneTune = kickTune();
    EXPECT_GT(laneTune, 100.0f);
    // The pattern without the lane plays the kick at its own tune.
    plugin->requestPattern(1);
    render(88200 + 4410);
    EXPECT_EQ(plugin->currentPatternIndex(), 1);
    EXPECT_NEAR(kickTune(), plugin->parameters().getDspValue(0), 1e-3);
    // Back on the lane pattern, then the lock removed while it plays.
    plugin->requestPattern(0);
    render(88200 + 4410);
    EXPECT_NEAR(kickTune(), laneTune, 1e-3);
    plugin->removeLockParam(0);
    render(88200);
    EXPECT_NEAR(kickTune(), plugin->parameters().getDspValue(0), 1e-3);
    // With the lane back and the transport stopped, a live hit uses the parameter's value.
    plugin->setLaneValue(0, 0, 1.0f);
    render(88200);
    EXPECT_NEAR(kickTune(), laneTune, 1e-3);
    set(110, 1.0f); // stop
    host->process(512, {kavrel::test::noteOn(36)});
    EXPECT_NEAR(kickTune(), plugin->parameters().getDspValue(0), 1e-3);
    EXPECT_EQ(get(0), ownTune); // the host never saw the lane value
}

// Switching patterns reports to the host only the per-pattern values that differ.
TEST_F(SequencerTest, APatternSwitchAutomatesOnlyTheValuesThatChange) {
    plugin->selectPattern(1);
    neutralise();
    setReal(190 + 4, 50.0f); // pattern 2 differs in one Random Beats value
    plugin->selectPattern(0);
    neutralise();
    playInternal(120.0f);
    host->clearRecords();
    plugin->requestPattern(1);
    render(88200 + 512);
    ASSERT_EQ(plugin->currentPatternIndex(), 1);
    std::vector<int> reported;
    for (const auto& a : host->automations())
        if (a.index != 114) reported.push_back(a.index);
    EXPECT_EQ(reported, std::vector<int>{194});
}

// Hosts may read the event list after the call returns: all notes of a block arrive in one
// list, in delta order, and it stays intact until the next block.
TEST_F(SequencerTest, ABlocksNotesArriveInOneListThatStaysValid) {
    stepSize(3);
    for (int v = 0; v < 12; ++v) plugin->setStep(v, 0, true);
    playInternal(120.0f);
    host->clearRecords();
    host->process(512);
    EXPECT_EQ(host->eventListCallCount(), 1);
    const auto later = host->lastEventListNow();
    ASSERT_EQ(later.size(), 12u);
    static const int notes[12] = {36, 38, 40, 41, 43, 45, 42, 46, 49, 37, 39, 51};
    for (int v = 0; v < 12; ++v) {
        EXPECT_EQ(static_cast<uint8_t>(later[v].midiData[0]), 0x90);
        EXPECT_EQ(later[v].midiData[1], notes[v]);
        EXPECT_EQ(later[v].deltaFrames, 0);
    }
    // Offs falling in a later block come with that block's notes, sorted by delta.
    render(44100);
    const auto list = host->lastEventListNow();
    for (size_t i = 1; i < list.size(); ++i)
        EXPECT_LE(list[i - 1].deltaFrames, list[i].deltaFrames);
}

// Between ticks the clock skips ahead instead of testing every sample. Every step must still
// land on the very sample the sample-by-sample walk (blocks of one) finds, with swing, at odd
// tempos, on the internal clock and under a host's transport, for every 32nd of "1 x 32".
TEST_F(SequencerTest, StepsLandOnTheSameSampleWhateverTheClockSkips) {
    auto onsets = [&](bool hostSync, float swing, double bpm, int block) {
        TearDown();
        SetUp();
        host->suspend();
        host->start(44100.0f, block);
        stepSize(0);
        for (int s = 0; s < 32; ++s) plugin->setStep(0, s, true);
        set(kavrel::kParamSwing, swing);
        vst::VstTimeInfo info{};
        info.sampleRate = 44100;
        info.tempo = bpm;
        info.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;
        if (hostSync) {
            host->timeInfo = &info;
            setReal(113, 0.0f);
        } else {
            playInternal(static_cast<float>(bpm));
        }
        constexpr int64_t kFrames = 3 * 44100;
        for (int64_t done = 0; done < kFrames; done += block) {
            info.samplePos = static_cast<double>(done);
            info.ppqPos = 7.25 + done * bpm / 60.0 / 44100.0;
            host->process(static_cast<int>(std::min<int64_t>(block, kFrames - done)));
        }
        host->timeInfo = nullptr;
        return noteOns(36);
    };
    for (bool hostSync : {false, true})
        for (float swing : {0.0f, 0.37f, 1.0f})
            for (double bpm : {50.0, 137.0, 249.9}) {
                const auto reference = onsets(hostSync, swing, bpm, 1);
                ASSERT_GT(reference.size(), 10u);
                for (int block : {64, 512, 1000})
                    EXPECT_EQ(onsets(hostSync, swing, bpm, block), reference)
                        << (hostSync ? "host" : "internal") << " swing " << swing << " at " << bpm
                        << " BPM in blocks of " << block;
            }
}

// One thread renders audio without pause (the sequencer playing, pattern switches, MIDI in and
// out) while other threads do what a host and an editor do at the same time: parameter
// automation, program changes, program and bank chunks in both directions, pattern edits of
// every kind, copy and paste, controller learn and unlearn; program changes on the audio
// thread between blocks, as hosts that play program automation make them; and a host that
// reads names and texts back from inside its automation handler. Run under ThreadSanitizer and
// AddressSanitizer by the test command; in a plain build it still checks that nothing breaks
// and the output stays finite.
#include "core/Kavrel.h"
#include "core/KavrelRandom.h"
#include "editor/CHighlightFrame.h"
#include "editor/KavrelEditor.h"
#include "params/KavrelMidiAssignments.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace {

// The host's answers. Its callback is entered from several threads at once (automation from
// the editor, time and events from the audio thread), so it only touches atomics. Like many
// hosts, it reads the plug-in again from inside its automation handler.
std::atomic<long> sentEvents{0};
std::atomic<long> automations{0};
std::atomic<Kavrel*> readBackFrom{nullptr};
vst::VstTimeInfo hostTime{};
vst::intptr VST_CALLBACK stressHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr,
                                    void* ptr, float) {
    switch (opcode) {
    case vst::audioMasterVersion:
        return 2400;
    case vst::audioMasterGetTime:
        return reinterpret_cast<vst::intptr>(&hostTime); // written by the audio thread only
    case vst::audioMasterProcessEvents:
        sentEvents += static_cast<vst::VstEvents*>(ptr)->numEvents;
        return 1;
    case vst::audioMasterAutomate:
        ++automations;
        if (Kavrel* plugin = readBackFrom.load()) {
            char text[64];
            plugin->getProgramName(text);
            plugin->getParameterDisplay(static_cast<vst::int32>(automations % 263), text);
        }
        return 0;
    default:
        return 0;
    }
}

struct EventList {
    vst::int32 numEvents = 0;
    vst::intptr reserved = 0;
    vst::VstEvent* slots[8] = {};
    vst::VstMidiEvent events[8] = {};
    void add(int status, int d1, int d2, int delta) {
        vst::VstMidiEvent& e = events[numEvents];
        e = vst::VstMidiEvent{};
        e.type = vst::kVstMidiType;
        e.byteSize = sizeof e;
        e.deltaFrames = delta;
        e.midiData[0] = static_cast<char>(status);
        e.midiData[1] = static_cast<char>(d1);
        e.midiData[2] = static_cast<char>(d2);
        slots[numEvents++] = reinterpret_cast<vst::VstEvent*>(&e);
    }
};

// How long the threads run: long enough for thousands of blocks and edits in a plain build,
// and a few seconds under the sanitizers, which slow everything tenfold or more.
std::chrono::milliseconds runTime() {
    if (const char* ms = std::getenv("KAVREL_STRESS_MS"))
        return std::chrono::milliseconds(std::atoi(ms));
    return std::chrono::milliseconds(3000);
}

class Stress : public ::testing::Test {
protected:
    void SetUp() override {
        kavrel::test::isolateSettingsFolder();
        plugin = std::make_unique<Kavrel>(&stressHost);
        plugin->setSampleRate(44100.0f);
        plugin->setBlockSize(256);
        plugin->resume();
        plugin->setParameter(kavrel::kParamSync, 0.5f);
        plugin->setParameter(kavrel::kParamPlay, 1.0f);
    }
    void TearDown() override {
        readBackFrom = nullptr;
        plugin->suspend();
        plugin.reset();
    }

    // Runs `work(random)` on its own thread until the audio thread is done.
    template <typename Work> std::thread worker(unsigned seed, Work work) {
        return std::thread([this, seed, work] {
            std::mt19937 random(seed);
            while (!done.load(std::memory_order_acquire)) {
                work(random);
                ++operations;
            }
        });
    }

    void audio() {
        std::vector<float> buffer(12 * 256);
        float* outputs[12];
        for (int c = 0; c < 12; ++c) outputs[c] = buffer.data() + 256 * c;
        const auto end = std::chrono::steady_clock::now() + runTime();
        long block = 0;
        while (std::chrono::steady_clock::now() < end) {
            hostTime.tempo = 90.0 + block % 60;
            hostTime.ppqPos = block * 256 * 120.0 / 60.0 / 44100.0;
            hostTime.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;
            EventList events;
            events.add(0x90, 36 + block % 16, 100, static_cast<int>(block % 256));
            events.add(0x90, 60 + (block / 50) % 16, 100, 3); // pattern switches
            events.add(0xB0, 21, static_cast<int>(block % 128), 50);
            events.add(0xB0, 22 + block % 3, static_cast<int>(block * 7 % 128), 60);
            events.add(0x90, block % 5 == 0 ? 86 : 84, 100, 90); // steps in MIDI sync
            plugin->processEvents(reinterpret_cast<vst::VstEvents*>(&events));
            // Hosts that play program-change automation change programs on this thread.
            if (hostCallsOnAudioThread && block % 23 == 0) {
                plugin->setProgram(static_cast<vst::int32>(block / 23 % Kavrel::kNumPrograms));
                plugin->setParameter(kavrel::kParamSync, 0.5f);
                plugin->setParameter(kavrel::kParamPlay, 1.0f);
            }
            plugin->processReplacing(nullptr, outputs, 256);
            for (float s : buffer)
                if (!std::isfinite(s)) ++nonFinite;
            ++block;
        }
        blocks = block;
        done.store(true, std::memory_order_release);
    }

    std::unique_ptr<Kavrel> plugin;
    bool hostCallsOnAudioThread = false;
    std::atomic<bool> done{false};
    std::atomic<long> operations{0};
    long blocks = 0;
    long nonFinite = 0;
};

int pick(std::mt19937& random, int n) {
    return static_cast<int>(random() % static_cast<unsigned>(n));
}
float unit(std::mt19937& random) {
    return static_cast<float>(random() % 1001) / 1000.0f;
}

} // namespace

TEST_F(Stress, HostAndEditorThreadsWhileAudioRenders) {
    Kavrel& p = *plugin;
    std::vector<std::thread> threads;
    hostCallsOnAudioThread = true;
    readBackFrom = plugin.get();

    // Host automation: any parameter, including transport, sync, pattern and the pattern tools.
    threads.push_back(worker(1, [&p](std::mt19937& r) {
        for (int i = 0; i < 50; ++i) p.setParameter(pick(r, kavrel::kNumParams), unit(r));
        char text[vst::kVstMaxParamStrLen + 1];
        p.getParameterDisplay(pick(r, kavrel::kNumParams), text);
        std::this_thread::yield();
    }));

    // Host programs and chunks: program changes, preset and bank chunks out and back in.
    threads.push_back(worker(2, [&p](std::mt19937& r) {
        switch (pick(r, 4)) {
        case 0:
            p.setProgram(pick(r, Kavrel::kNumPrograms));
            break;
        case 1:
        case 2: {
            const bool preset = pick(r, 2) == 0;
            void* data = nullptr;
            const vst::int32 size = p.getChunk(&data, preset);
            ASSERT_GT(size, 0);
            std::vector<uint8_t> copy(static_cast<uint8_t*>(data),
                                      static_cast<uint8_t*>(data) + size);
            EXPECT_EQ(p.setChunk(copy.data(), size, preset), 1);
            break;
        }
        default: {
            char name[vst::kVstMaxProgNameLen];
            p.getProgramName(name);
            p.getProgramNameIndexed(0, pick(r, Kavrel::kNumPrograms), name);
            break;
        }
        }
    }));

    // The editor: every pattern edit, copy and paste, learn and unlearn.
    threads.push_back(worker(3, [&p](std::mt19937& r) {
        const int voice = pick(r, kavrel::kNumVoices);
        const int step = pick(r, kavrel::kPatternSteps);
        const int param = kavrel::kitParamAt(pick(r, kavrel::kKitParams));
        switch (pick(r, 16)) {
        case 0:
            p.setStep(voice, step, pick(r, 2));
            break;
        case 1:
            p.setVelocity(voice, step, unit(r));
            break;
        case 2:
            p.setLaneValue(param, step, unit(r));
            break;
        case 3:
            p.shapeVelocity(voice, pick(r, 5));
            break;
        case 4:
            p.shapeLane(param, pick(r, 5));
            break;
        case 5:
            p.setVelocityRandomize(voice, pick(r, 2));
            break;
        case 6:
            p.setLaneRandomize(param, pick(r, 2));
            break;
        case 7:
            p.addLockParam(param);
            break;
        case 8:
            p.removeLockParam(param);
            break;
        case 9:
            p.clearPatternSteps();
            break;
        case 10:
            p.copyPattern();
            break;
        case 11:
            p.pastePattern();
            break;
        case 12:
        case 13: // learn (the audio thread's controllers complete it) and unlearn
            p.toggleLearn(pick(r, 2) ? kavrel::kParamTempo + pick(r, 3) : pick(r, 108));
            break;
        case 14:
            p.flushAssignments();
            break;
        default:
            p.requestPattern(pick(r, kavrel::kPatternsPerProgram));
            break;
        }
    }));

    audio();
    for (std::thread& t : threads) t.join();
    EXPECT_GT(blocks, 10);
    EXPECT_GT(operations.load(), 30);
    EXPECT_EQ(nonFinite, 0);
    EXPECT_GT(sentEvents.load(), 0);
}

// The real editor on its own thread while the sequencer plays fast on the finest grid: the
// window idles (taking in every report of the audio thread), redraws, and edits patterns with
// gestures at the layout's coordinates; the host automates and MIDI comes in meanwhile.
TEST_F(Stress, TheEditorIdlesDrawsAndEditsWhileTheSequencerPlays) {
    Kavrel& p = *plugin;
    p.setParameter(kavrel::kParamStepSize, 0.0f); // "1 x 32"
    p.setParameter(kavrel::kParamTempo, 1.0f);    // 250 BPM
    auto* editor = static_cast<KavrelEditor*>(p.getEditor());
    std::vector<std::thread> threads;

    // Host automation of everything but the clock, so the sequencer keeps its pace.
    threads.push_back(worker(11, [&p](std::mt19937& r) {
        for (int i = 0; i < 20; ++i) {
            const int index = pick(r, kavrel::kNumParams);
            if (index >= kavrel::kParamStepSize && index <= kavrel::kParamSync) continue;
            p.setParameterAutomated(index, unit(r));
        }
        std::this_thread::yield();
    }));

    std::atomic<long> frames{0};
    std::thread window([&] {
        if (!editor->openOffscreen()) return;
        std::mt19937 r(12);
        auto* frame = editor->getHighlightFrame();
        auto gesture = [&](int x, int y, int dx, int dy, long buttons) {
            CPoint at(x, y);
            frame->onMouseDown(at, buttons);
            CPoint to(x + dx, y + dy);
            frame->onMouseMoved(to, buttons);
            frame->onMouseUp(to, 0);
        };
        while (!done.load(std::memory_order_acquire)) {
            editor->idle();
            ++frames;
            switch (pick(r, 10)) {
            case 0: // a step button
                gesture(110 + pick(r, 32) * 13 + 6, 451 - 13 * pick(r, 12), 0, 0, kLButton);
                break;
            case 1: // paint the lane
                gesture(116 + pick(r, 30) * 13, 205 + pick(r, 40), 26, 0, kLButton);
                break;
            case 2: // a sound knob: the lane switches to it
                gesture(47 + 60 * pick(r, 3), 61 + 64 * pick(r, 2), 0, -pick(r, 20), kLButton);
                break;
            case 3: // another voice page
                gesture(82, 307 + 13 * pick(r, 12), 0, 0, kLButton);
                break;
            case 4: // lane tools and the pattern buttons
                gesture(369 + 45 * pick(r, 4), 191, 0, 0, kLButton);
                gesture(412 + 46 * pick(r, 3), 467, 0, 0, kLButton);
                break;
            case 5: // the pattern selector
                gesture(323 + 13 * pick(r, 16), 482, 0, 0, kLButton);
                break;
            case 6: // learn and unlearn on the tempo knob
                gesture(585, 420, 0, 0, kLButton | kControl | kShift);
                break;
            case 7:
                frame->redrawAll();
                break;
            default:
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                break;
            }
        }
        editor->close();
    });

    audio();
    for (std::thread& t : threads) t.join();
    window.join();
    EXPECT_GT(blocks, 10);
    EXPECT_GT(frames.load(), 10);
    EXPECT_EQ(nonFinite, 0);
}

// A chunk written while the editor adds and removes locks and lanes is still one whole, valid
// chunk of the size reported (the host saves on a thread of its own, at any time).
TEST_F(Stress, ChunksStayWholeWhileTheEditorChangesLocksAndLanes) {
    Kavrel& p = *plugin;
    std::thread editor([&] {
        std::mt19937 r(4);
        while (!done.load(std::memory_order_acquire)) {
            const int param = kavrel::kitParamAt(pick(r, kavrel::kKitParams));
            if (pick(r, 2))
                p.setLaneValue(param, pick(r, kavrel::kPatternSteps), unit(r));
            else
                p.shapeLane(param, 0); // removes the lock
            p.pattern().clearLanes();
        }
    });
    int refused = 0;
    for (int i = 0; i < 60; ++i) {
        const bool preset = i % 3 != 0;
        void* data = nullptr;
        const vst::int32 size = p.getChunk(&data, preset);
        std::vector<uint8_t> copy(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        if (p.setChunk(copy.data(), size, preset) != 1) ++refused;
    }
    done.store(true, std::memory_order_release);
    editor.join();
    EXPECT_EQ(refused, 0);
}

// Instances in one process share the assignments file, and one instance writes it from the
// editor and from the host's threads: writers at the same time still leave one whole map.
TEST(AssignmentsFile, WritersAtTheSameTimeLeaveOneWholeMap) {
    const auto folder = kavrel::test::isolateSettingsFolder() / "concurrent-writers";
    constexpr int kWriters = 4;
    // Maps of very different lengths, so a mix of two is easy to tell from either.
    std::vector<std::unique_ptr<KavrelControllerMap>> maps;
    for (int w = 0; w < kWriters; ++w) {
        maps.push_back(std::make_unique<KavrelControllerMap>());
        for (int i = 0; i < 1 + w * 150; ++i) maps[w]->assign(i % 128, (i * 7 + w) % 263);
    }
    for (int round = 0; round < 20; ++round) {
        std::vector<std::thread> writers;
        for (int w = 0; w < kWriters; ++w)
            writers.emplace_back([&, w] { kavrel::assignments::write(folder, *maps[w]); });
        for (std::thread& t : writers) t.join();
        KavrelControllerMap read;
        ASSERT_TRUE(kavrel::assignments::read(folder, read));
        int same = 0;
        for (const auto& map : maps) {
            bool equal = true;
            for (int c = 0; c < 128 && equal; ++c)
                for (int p = 0; p < 263 && equal; ++p)
                    equal = map->contains(c, p) == read.contains(c, p);
            same += equal ? 1 : 0;
        }
        ASSERT_EQ(same, 1) << "round " << round;
    }
}

// The kick's waveform switches (host automation, a lane) while it sounds: the body must never
// read with one table's length from the other table.
TEST(KickWaveform, SwitchesFromAnotherThreadWhileSounding) {
    kavrel_voice_kick kick;
    kick.set_sample_rate(44100.0f);
    kick.set_amp_decay_time(5000.0f);
    kick.set_tune(2000.0f); // sweep the whole table quickly
    std::atomic<bool> stop{false};
    std::thread editor([&] {
        int w = 0;
        while (!stop.load(std::memory_order_relaxed)) kick.set_waveform(w++ & 1);
    });
    long nonFinite = 0;
    for (int hit = 0; hit < 40; ++hit) {
        kick.trigger(1.0f);
        for (int i = 0; i < 20000; ++i)
            if (!std::isfinite(kick.process())) ++nonFinite;
    }
    stop = true;
    editor.join();
    EXPECT_EQ(nonFinite, 0);
}

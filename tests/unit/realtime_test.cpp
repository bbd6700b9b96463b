// The audio thread never allocates: long renders with every feature of the sequencer, MIDI in
// and out, pattern switches and lanes, counted by the allocation counter.
#include "core/Kavrel.h"
#include "editor/KavrelEditor.h"
#include "support/AllocationCounter.h"
#include "support/IdlingEditor.h"
#include "support/MidiEvents.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using kavrel::test::midiEvent;

namespace {

// A host callback that answers without allocating (the recording test host would count).
vst::VstTimeInfo hostTime{};
int sentEvents = 0;
vst::intptr VST_CALLBACK quietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr,
                                   void* ptr, float) {
    switch (opcode) {
    case vst::audioMasterVersion:
        return 2400;
    case vst::audioMasterGetTime:
        return reinterpret_cast<vst::intptr>(&hostTime);
    case vst::audioMasterProcessEvents:
        sentEvents += static_cast<vst::VstEvents*>(ptr)->numEvents;
        return 1;
    default:
        return 0;
    }
}

struct EventList {
    vst::VstEvents header;
    vst::VstEvent* more[6];
    vst::VstMidiEvent events[8];
    void set(int n) {
        header.numEvents = n;
        auto** slots = header.events;
        for (int i = 0; i < n; ++i) slots[i] = reinterpret_cast<vst::VstEvent*>(&events[i]);
    }
};

} // namespace

TEST(RealTime, LongBusyRendersNeverAllocate) {
    kavrel::test::isolateSettingsFolder();
    auto plugin = std::make_unique<Kavrel>(&quietHost);
    plugin->setSampleRate(48000.0f);
    plugin->resume();
    // Every voice on every step, lanes on, probabilities, velocity and lane randomising.
    for (int p = 0; p < 2; ++p) {
        plugin->selectPattern(p);
        plugin->setParameter(108, 0.0f);
        for (int v = 0; v < 12; ++v) {
            for (int s = 0; s < 32; ++s) plugin->setStep(v, s, true);
            plugin->setVelocityRandomize(v, true);
            plugin->setParameter(190 + v, 0.5f);
        }
        plugin->setLaneValue(0, 3, 0.9f);
        plugin->setLaneRandomize(84, true);
        plugin->setLaneValue(133, 7, 0.1f);
        plugin->setParameter(250 + 3, 1.0f);
    }
    plugin->selectPattern(0);
    plugin->setParameter(113, 0.5f); // INT
    plugin->setParameter(111, 1.0f); // 250 BPM
    plugin->setParameter(112, 0.6f); // swing
    plugin->setParameter(109, 1.0f);

    std::vector<std::vector<float>> buffers(12, std::vector<float>(512));
    float* outputs[12];
    for (int c = 0; c < 12; ++c) outputs[c] = buffers[c].data();
    EventList list{};
    sentEvents = 0;

    // An open editor idling and drawing on its own thread all along: what the audio thread
    // reports to it must cost no allocation, lock or file either.
    auto* editor = static_cast<KavrelEditor*>(plugin->getEditor());
    kavrel::test::IdlingEditor window(editor);
    kavrel::test::AllocationCounter counter;
    for (int block = 0; block < 48000 * 120 / 512; ++block) {
        list.events[0] = midiEvent(0x90, 36 + block % 16, 100, block % 512);
        list.events[1] = midiEvent(0x90, 60 + (block / 200) % 2, 100, 7);
        list.events[2] = midiEvent(0xB0, 7, block % 128, 100);
        list.set(3);
        plugin->processEvents(&list.header);
        plugin->processReplacing(nullptr, outputs, 512);
        if (block == 3000) plugin->setParameter(113, 0.0f); // host sync for the rest
        hostTime.tempo = 133.0;
        hostTime.ppqPos += 512 * 133.0 / 60.0 / 48000.0;
        hostTime.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;
    }
    EXPECT_EQ(counter.allocations(), 0u);
    window.stop();
    EXPECT_TRUE(window.isOpen());
    if (window.isOpen()) {
        EXPECT_GT(window.idles(), 0);
        editor->close();
    }
    EXPECT_GT(sentEvents, 1000);
}

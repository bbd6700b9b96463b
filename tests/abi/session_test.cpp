// A host saves a session and opens it again: the bank chunk and the program number go into the
// project, and come back in whichever order the host hands them over.
#include "abi/PluginUnderTest.h"
#include "core/KavrelCompactChunk.h"
#include "support/MidiEvents.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using kavrel::test::PluginFixture;

namespace {

constexpr int kEditedProgram = 17;
constexpr int kEditedParameter = 3;
constexpr float kEditedValue = 0.3125f;
constexpr size_t kStepAt = 1080 + 2 * 32 + 5; // pattern 0, Snare 9, step 6
const char kEditedName[] = "My Edited Kit";

std::vector<uint8_t> chunkOf(kavrel::host::PluginHost& host, bool preset) {
    void* data = nullptr;
    const vst::intptr size = host.dispatch(vst::effGetChunk, preset ? 1 : 0, 0, &data);
    EXPECT_GT(size, 0);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + (size > 0 ? size : 0));
}

std::vector<uint8_t> expand(const std::vector<uint8_t>& compact) {
    std::vector<uint8_t> legacy;
    int32_t program = -1;
    EXPECT_TRUE(kavrel::chunk::decodeCompact(compact.data(), compact.size(), legacy, program));
    return legacy;
}

vst::intptr setChunk(kavrel::host::PluginHost& host, std::vector<uint8_t> bytes, bool preset) {
    return host.dispatch(vst::effSetChunk, preset ? 1 : 0, static_cast<vst::intptr>(bytes.size()),
                         bytes.data());
}

class Session : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        host->start(44100.0f, 512);
    }

    // Edits a program other than 0 the way a user would (a step, a knob, its name) and keeps
    // what the host would store in its project.
    void saveEditedSession() {
        host->dispatch(vst::effSetProgram, 0, kEditedProgram);
        auto program = expand(chunkOf(*host, true));
        step = program.at(kStepAt) ? 0 : 0xff;
        program[kStepAt] = step;
        ASSERT_EQ(setChunk(*host, program, true), 1);
        effect->setParameter(effect, kEditedParameter, kEditedValue);
        char name[sizeof kEditedName];
        std::memcpy(name, kEditedName, sizeof name);
        host->dispatch(vst::effSetProgramName, 0, 0, name);
        savedBank = chunkOf(*host, false);
        savedProgram = static_cast<int>(host->dispatch(vst::effGetProgram));
        ASSERT_EQ(savedProgram, kEditedProgram);
    }

    // A new instance, as the host makes when it opens the project.
    void reopen() {
        host = std::make_unique<kavrel::host::PluginHost>();
        std::string error;
        ASSERT_TRUE(host->load(kavrel::test::pluginPath(), error)) << error;
        effect = host->effect();
        host->start(44100.0f, 512);
        ASSERT_EQ(host->dispatch(vst::effGetProgram), 0);
    }

    void expectRestored(const char* order) {
        SCOPED_TRACE(order);
        EXPECT_EQ(host->dispatch(vst::effGetProgram), kEditedProgram);
        EXPECT_EQ(host->programName(), kEditedName);
        EXPECT_EQ(effect->getParameter(effect, kEditedParameter), kEditedValue);
        EXPECT_EQ(expand(chunkOf(*host, true)).at(kStepAt), step);
    }

    std::vector<uint8_t> savedBank;
    int savedProgram = 0;
    uint8_t step = 0;
};

} // namespace

TEST_F(Session, ComesBackInEveryOrderAHostRestoresIt) {
    saveEditedSession();
    ASSERT_TRUE(kavrel::chunk::isCompact(savedBank.data(), savedBank.size()));

    reopen();
    host->dispatch(vst::effSetProgram, 0, savedProgram);
    ASSERT_EQ(setChunk(*host, savedBank, false), 1);
    expectRestored("program, then bank");

    reopen();
    ASSERT_EQ(setChunk(*host, savedBank, false), 1);
    expectRestored("bank alone");

    reopen();
    ASSERT_EQ(setChunk(*host, savedBank, false), 1);
    host->dispatch(vst::effSetProgram, 0, savedProgram);
    expectRestored("bank, then program");
}

TEST_F(Session, ALegacyBankKeepsTheProgramTheHostSelected) {
    saveEditedSession();
    const auto legacy = expand(savedBank);
    ASSERT_EQ(legacy.at(0), 100); // the int32 100 every legacy program starts with

    reopen();
    host->dispatch(vst::effSetProgram, 0, savedProgram);
    ASSERT_EQ(setChunk(*host, legacy, false), 1);
    expectRestored("program, then legacy bank");

    reopen();
    ASSERT_EQ(setChunk(*host, legacy, false), 1);
    host->dispatch(vst::effSetProgram, 0, savedProgram);
    expectRestored("legacy bank, then program");
    // Once loaded, it goes out compact and the same as the bank it came from.
    EXPECT_EQ(chunkOf(*host, false), savedBank);
}

// The master compressor starts at rest: the first hit of a bounce is as loud as the later ones.
TEST_F(Session, TheFirstHitAfterLoadingIsAsLoudAsTheNext) {
    constexpr int kRate = 44100;
    constexpr int kBlock = 512;
    float peaks[3] = {};
    for (int frame = 0; frame < 3 * kRate; frame += kBlock) {
        std::vector<vst::VstMidiEvent> events;
        const int hit = (frame + kBlock - 1) / kRate;
        if (hit < 3 && hit * kRate >= frame && hit * kRate < frame + kBlock)
            events.push_back(kavrel::test::noteOn(36, 127, hit * kRate - frame));
        host->process(kBlock, events);
        for (const auto& channel : host->outputs())
            for (int i = 0; i < kBlock && frame + i < 3 * kRate; ++i) {
                float& peak = peaks[(frame + i) / kRate];
                peak = std::max(peak, std::fabs(channel[i]));
            }
    }
    for (int second = 0; second < 3; ++second) ASSERT_GT(peaks[second], 0.01f) << second;
    EXPECT_NEAR(20.0 * std::log10(peaks[0] / peaks[1]), 0.0, 0.1);
    EXPECT_NEAR(20.0 * std::log10(peaks[2] / peaks[1]), 0.0, 0.1);

    // Right after a hit, the host stops and starts again: the next hit starts from rest too.
    host->process(kBlock, {kavrel::test::noteOn(36, 127, 0)});
    host->suspend();
    host->resume();
    float resumed = 0.0f;
    for (int frame = 0; frame < kRate / 2; frame += kBlock) {
        std::vector<vst::VstMidiEvent> events;
        if (frame == 0) events.push_back(kavrel::test::noteOn(36, 127, 0));
        host->process(kBlock, events);
        for (const auto& channel : host->outputs())
            for (float sample : channel) resumed = std::max(resumed, std::fabs(sample));
    }
    EXPECT_NEAR(20.0 * std::log10(resumed / peaks[1]), 0.0, 0.1);
}

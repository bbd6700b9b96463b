// What a host sees of the binary: entry points, the AEffect record, pins, identity strings,
// capabilities and the answers to requests we leave to the base classes.
#include "abi/PluginUnderTest.h"

#include <cmath>
#include <cstring>

using kavrel::test::PluginFixture;

namespace {

vst::intptr VST_CALLBACK refusingHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr,
                                      void*, float) {
    return opcode == vst::audioMasterVersion ? 0 : 0;
}

} // namespace

TEST(EntryPoint, BothNamesAreExportedAndAHostAnsweringVersionZeroGetsNothing) {
    kavrel::host::PluginModule module;
    std::string error;
    ASSERT_TRUE(module.load(kavrel::test::pluginPath(), error)) << error;
    void* main = module.symbol("main");
    void* pluginMain = module.symbol("VSTPluginMain");
    ASSERT_NE(main, nullptr);
    ASSERT_NE(pluginMain, nullptr);
    EXPECT_EQ(module.entryPoint()(&refusingHost), nullptr);
    auto legacy = reinterpret_cast<vst::VstPluginMainProc>(main);
    EXPECT_EQ(legacy(&refusingHost), nullptr);
}

TEST(EntryPoint, LegacyMainBuildsAWorkingInstanceToo) {
    kavrel::host::PluginModule module;
    std::string error;
    ASSERT_TRUE(module.load(kavrel::test::pluginPath(), error)) << error;
    kavrel::host::PluginHost host;
    ASSERT_TRUE(
        host.instantiate(reinterpret_cast<vst::VstPluginMainProc>(module.symbol("main")), error))
        << error;
    EXPECT_EQ(host.effect()->numParams, 263);
    host.close();
}

TEST_F(PluginFixture, ReportsItsRecord) {
    EXPECT_EQ(effect->magic, vst::fourCC('V', 's', 't', 'P'));
    EXPECT_EQ(effect->numPrograms, 48);
    EXPECT_EQ(effect->numParams, 263);
    EXPECT_EQ(effect->numInputs, 0);
    EXPECT_EQ(effect->numOutputs, 12);
    const vst::int32 required =
        vst::effFlagsCanReplacing | vst::effFlagsProgramChunks | vst::effFlagsIsSynth;
    EXPECT_EQ(effect->flags & ~vst::effFlagsHasEditor, required);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_FLOAT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->uniqueID, 0x56586b76); // 'VXkv'
    EXPECT_EQ(effect->version, 1);
    EXPECT_NE(effect->processReplacing, nullptr);
}

TEST_F(PluginFixture, IdentifiesItself) {
    EXPECT_EQ(host->effectName(), "Kavrel");
    EXPECT_EQ(host->vendorString(), "Quellmark, Inc.");
    EXPECT_EQ(host->productString(), "Kavrel");
    EXPECT_EQ(host->dispatch(vst::effGetVendorVersion), 1120);
    EXPECT_EQ(host->dispatch(vst::effGetVstVersion), 2400);
    // An instrument, so that hosts sorting by category list it with the instruments.
    EXPECT_EQ(host->dispatch(vst::effGetPlugCategory), 2);
    EXPECT_EQ(host->dispatch(vst::effVendorSpecific, 1, 2, nullptr, 0.5f), 0);
}

TEST_F(PluginFixture, NamesSixStereoOutputPairs) {
    const char* expected[] = {"Kavrel A ", "Kavrel A ", "Kavrel B ", "Kavrel B ",
                              "Kavrel C ", "Kavrel C ", "Kavrel D ", "Kavrel D ",
                              "Kavrel E ", "Kavrel E ", "Kavrel F ", "Kavrel F "};
    for (int i = 0; i < 12; ++i) {
        vst::VstPinProperties pin{};
        ASSERT_EQ(host->dispatch(vst::effGetOutputProperties, i, 0, &pin), 1) << i;
        EXPECT_STREQ(pin.label, expected[i]);
        EXPECT_EQ(pin.flags, 3);
    }
    vst::VstPinProperties pin{};
    EXPECT_EQ(host->dispatch(vst::effGetOutputProperties, 12, 0, &pin), 0);
    EXPECT_EQ(host->dispatch(vst::effGetOutputProperties, -1, 0, &pin), 0);
    EXPECT_EQ(host->dispatch(vst::effGetInputProperties, 0, 0, &pin), 0);
}

TEST_F(PluginFixture, AnswersCanDoOnlyForWhatItDoes) {
    EXPECT_EQ(host->canDo("receiveVstEvents"), 1);
    EXPECT_EQ(host->canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(host->canDo("sendVstMidiEvent"), 1);
    EXPECT_EQ(host->canDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(host->canDo("sendVstEvents"), -1);
    EXPECT_EQ(host->canDo("offline"), -1);
    EXPECT_EQ(host->canDo(""), -1);
}

TEST_F(PluginFixture, LeavesTheBaseClassDefaults) {
    EXPECT_EQ(host->dispatch(vst::effCanBeAutomated, 5), 1);
    EXPECT_EQ(host->dispatch(vst::effGetTailSize), 0);
    char text[64] = "5";
    EXPECT_EQ(host->dispatch(vst::effString2Parameter, 0, 0, text), 0);
    char properties[256] = {};
    EXPECT_EQ(host->dispatch(vst::effGetParameterProperties, 0, 0, properties), 0);
    EXPECT_EQ(host->dispatch(vst::effGetCurrentMidiProgram, 0, 0, properties), -1);
    EXPECT_EQ(host->dispatch(vst::effGetMidiProgramName, 0, 0, properties), 0);
    EXPECT_EQ(host->dispatch(vst::effGetNumMidiInputChannels), 1);
    EXPECT_EQ(host->dispatch(vst::effGetNumMidiOutputChannels), 1);
}

TEST_F(PluginFixture, ResumeAsksForMidiAndTheLifecycleRunsCleanly) {
    host->start(48000.0f, 256);
    EXPECT_EQ(host->wantMidiCalls(), 1);
    host->process(256);
    host->suspend();
    host->resume();
    EXPECT_EQ(host->wantMidiCalls(), 2);
    host->process(100);
    for (const auto& channel : host->outputs())
        for (float sample : channel) ASSERT_TRUE(std::isfinite(sample));
}

TEST_F(PluginFixture, ProgramRequestsStayWithinTheBank) {
    host->dispatch(vst::effSetProgram, 0, 47);
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 47);
    host->dispatch(vst::effSetProgram, 0, 48);
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 47);
    host->dispatch(vst::effSetProgram, 0, -1);
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 47);
    char name[64] = {};
    EXPECT_EQ(host->dispatch(vst::effGetProgramNameIndexed, -1, 0, name), 0);
    EXPECT_EQ(host->dispatch(vst::effGetProgramNameIndexed, 48, 0, name), 0);
    EXPECT_EQ(host->dispatch(vst::effGetProgramNameIndexed, 3, 0, name), 1);
}

// Renders stay bit for bit what they were when these references were recorded: work that
// makes the engine cheaper must not change a single sample. The references are those of the
// native Linux build (any optimisation level, with or without sanitizers); other C libraries
// compute their sines and powers differently, so other platforms skip this check. They were
// last recorded when the master compressor began to start at rest rather than at full scale,
// which changes how every scene begins.
#include "stress/RenderScenes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace scenes = kavrel::test::scenes;

namespace {

class RenderIdentity : public ::testing::Test {
protected:
    void SetUp() override {
#if !defined(__linux__)
        GTEST_SKIP() << "the references are those of the Linux C library";
#endif
        kavrel::test::isolateSettingsFolder();
    }
};

// Ten seconds each at 44.1 kHz.
constexpr int kBlocks = 44100 * 10 / scenes::Scene::kBlock;

} // namespace

TEST_F(RenderIdentity, BusiestPattern) {
    EXPECT_EQ(scenes::busiestHash(kBlocks), 0x2dbe8c45b09e6605ull);
}

TEST_F(RenderIdentity, ProgramsWithLanesLocksAndPatternSwitches) {
    EXPECT_EQ(scenes::programHash(0, kBlocks), 0xde5de3cd9886d448ull);
    EXPECT_EQ(scenes::programHash(17, kBlocks), 0x0af9e85e8c883650ull);
}

TEST_F(RenderIdentity, MidiInputUnderHostSync) {
    EXPECT_EQ(scenes::midiHash(kBlocks), 0x086d801198217f26ull);
}

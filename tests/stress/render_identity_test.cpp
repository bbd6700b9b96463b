// Renders stay bit for bit what they were when these references were recorded, so that no
// change alters the sound unnoticed. A change that alters it on purpose (a cheaper form of the
// arithmetic, say) records them again and shows with scripts/compare-renders.py, old build
// against new, how far the sound moved. The references are those of the native Linux build
// (any optimisation level, with or without sanitizers); other C libraries compute their sines
// and powers differently, so other platforms skip this check. Last recorded when the master
// compressor stopped computing the level in dB below its threshold, which moves the last bit of
// a few samples that sit right at it.
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
    EXPECT_EQ(scenes::busiestHash(kBlocks), 0x0244782b057f3f55ull);
}

TEST_F(RenderIdentity, ProgramsWithLanesLocksAndPatternSwitches) {
    EXPECT_EQ(scenes::programHash(0, kBlocks), 0xfb12a89f90473334ull);
    EXPECT_EQ(scenes::programHash(17, kBlocks), 0x9409f5052fb91936ull);
}

TEST_F(RenderIdentity, MidiInputUnderHostSync) {
    EXPECT_EQ(scenes::midiHash(kBlocks), 0xb01351887f5a4037ull);
}

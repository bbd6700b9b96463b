// Renders stay bit for bit what they were when these references were recorded, so that no
// change alters the sound unnoticed. A change that alters it on purpose (a cheaper form of the
// arithmetic, say) records them again and shows with scripts/compare-renders.py, old build
// against new, how far the sound moved. The references are those of the native Linux build
// (any optimisation level, with or without sanitizers); other C libraries compute their sines
// and powers differently, so other platforms skip this check. Last recorded when the kick's
// and the toms' saturators began to read their curve from a table (within 2.5e-7 of full scale
// of the power they computed), the master compressor began at rest and stopped computing the
// level in dB below its threshold, lane values began to leave a voice once no lane applies,
// filters a lane moved during silence began to start over, the host clock began to take
// each sample's position from the block start, and the master compressor's gain became one
// power of the level over the threshold instead of a logarithm and a power (2.5e-7 apart).
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
    EXPECT_EQ(scenes::busiestHash(kBlocks), 0xba72fd67128965c3ull);
}

TEST_F(RenderIdentity, ProgramsWithLanesLocksAndPatternSwitches) {
    EXPECT_EQ(scenes::programHash(0, kBlocks), 0x4d8bc5583ee2ab14ull);
    EXPECT_EQ(scenes::programHash(17, kBlocks), 0xc5fe575651cab257ull);
}

TEST_F(RenderIdentity, MidiInputUnderHostSync) {
    EXPECT_EQ(scenes::midiHash(kBlocks), 0xad11bb938830f462ull);
}

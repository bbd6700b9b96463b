// Editing the current pattern: shapes, lanes and their locks, randomise flags, clearing,
// copy and paste, and the per-voice Clear and Random Fill parameters.
#include "core/KavrelRandom.h"
#include "support/InProcessPlugin.h"

#include <cmath>

using kavrel::test::InProcessPlugin;

namespace {
class PatternEditingTest : public InProcessPlugin {
protected:
    KavrelPattern& pattern() { return plugin->pattern(); }
};
} // namespace

TEST_F(PatternEditingTest, RampShapeCoversOnlyThePatternLength) {
    setReal(108, 3.0f); // 16 steps
    for (int s = 0; s < 32; ++s) plugin->setVelocity(4, s, 0.25f);
    plugin->shapeVelocity(4, 2);
    for (int s = 0; s < 16; ++s) EXPECT_FLOAT_EQ(pattern().velocities[4][s], 1.0f - s / 16.0f);
    for (int s = 16; s < 32; ++s) EXPECT_FLOAT_EQ(pattern().velocities[4][s], 0.25f);
    plugin->shapeVelocity(4, 1);
    EXPECT_FLOAT_EQ(pattern().velocities[4][4], 0.25f);
    plugin->shapeVelocity(4, 3);
    EXPECT_NEAR(pattern().velocities[4][4], 1.0f, 1e-6); // sine peaks a quarter in
    plugin->shapeVelocity(4, 0);
    EXPECT_EQ(pattern().velocities[4][0], 0.0f);
}

TEST_F(PatternEditingTest, DrawingALaneLocksItAndClearingUnlocks) {
    EXPECT_FALSE(pattern().isLocked(0, 0));
    plugin->setLaneValue(0, 3, 0.9f);
    EXPECT_TRUE(pattern().isLocked(0, 0));
    EXPECT_FLOAT_EQ(pattern().lanes[0][3], 0.9f);
    plugin->shapeLane(0, 0);
    EXPECT_FALSE(pattern().isLocked(0, 0));
    EXPECT_FLOAT_EQ(pattern().lanes[0][3], 0.5f);
    plugin->setLaneRandomize(134, true); // a pan lane belongs to its voice
    EXPECT_TRUE(pattern().isLocked(4, 134));
    plugin->setLaneValue(108, 0, 1.0f); // not a kit parameter: nothing happens
    EXPECT_EQ(pattern().lockCount(0), 0);
}

TEST_F(PatternEditingTest, ALockedLaneIsAppliedAtTheNextTrigger) {
    setReal(108, 3.0f);
    for (int v = 0; v < 12; ++v)
        for (int s = 0; s < 32; ++s) plugin->setStep(v, s, false);
    plugin->setStep(0, 0, true);
    plugin->setStep(0, 1, true);
    set(0, 0.5f);                     // Kickdrum Tune at mid range
    plugin->setLaneValue(0, 1, 1.0f); // step 1: full upward offset
    setReal(113, 1.0f);
    set(109, 1.0f);
    render(5000); // step 0 only
    // The lane changes the voice, not the parameter the host sees.
    EXPECT_FLOAT_EQ(get(0), 0.5f);
    render(2000);
    EXPECT_FLOAT_EQ(get(0), 0.5f);
}

TEST_F(PatternEditingTest, CopyChangeProgramPasteKeepsEverything) {
    plugin->setStep(2, 5, true);
    plugin->setLaneValue(14, 5, 0.8f);
    setReal(108, 2.0f);
    setReal(190 + 2, 50.0f);
    plugin->copyPattern();
    host->dispatch(vst::effSetProgram, 0, 9);
    land();
    EXPECT_EQ(plugin->pattern().steps[2][5], 0);
    plugin->pastePattern();
    EXPECT_NE(pattern().steps[2][5], 0);
    EXPECT_TRUE(pattern().isLocked(2, 14));
    EXPECT_FLOAT_EQ(pattern().lanes[14][5], 0.8f);
    EXPECT_EQ(pattern().length, 24);
    EXPECT_NEAR(plugin->parameters().getRealValue(192), 50.0f, 1e-3);
    EXPECT_EQ(plugin->program(9).patternValues[0][108], get(108));
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 9);
}

TEST_F(PatternEditingTest, ClearAndRandomFillActOnlyAtFullValue) {
    for (int s = 0; s < 32; ++s) plugin->setStep(7, s, true);
    set(238 + 7, 0.5f);
    for (int s = 0; s < 32; ++s) EXPECT_NE(pattern().steps[7][s], 0);
    set(226 + 7, 1.0f);
    for (int s = 0; s < 32; ++s) EXPECT_EQ(pattern().steps[7][s], 0);
    kavrel::srand(1234);
    set(238 + 7, 1.0f);
    int on = 0;
    for (int s = 0; s < 32; ++s) on += pattern().steps[7][s] != 0;
    EXPECT_GT(on, 4);
    EXPECT_LT(on, 28);
    plugin->clearPatternSteps();
    for (int v = 0; v < 12; ++v)
        for (int s = 0; s < 32; ++s) EXPECT_EQ(pattern().steps[v][s], 0);
}

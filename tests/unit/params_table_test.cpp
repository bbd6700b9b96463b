#include "params/KavrelParameterManager.h"

#include "params/KavrelParams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace kavrel;

// Host display (len 8) of every parameter at its default, index by index.
const char* const kDefaultDisplays[kNumParams] = {
    "  45", "0.000",  "  10", "0.000", " 360", "-0.380", "  10", "0.000", " 200",  "-0.550", "  66",
    "1000", "  -6",   "   0", " 130",  " 200", "  -1",   " 200", "  -1",  "10000", " 260",   "  -0",
    " 260", "  -0",   "   0", " 100",  "1000", " 200",   "   0", "55.0",  "  30",  " -12",   "   0",
    "   0", "   0",   "   0", "  -0",  " 400", "  -0",   "   0", "  -0",  " 200",  "  -0",   "75.0",
    "  30", " -12",   "   0", "   0",  "   0", "   0",   "  -0", " 400",  "  -0",  "   0",   "  -0",
    " 200", "  -0",   "95.0", "  30",  " -12", "   0",   "   0", "   0",  "   0",  "  -0",   " 400",
    "  -0", "   0",   "  -0", " 200",  "  -0", "1000",   " 200", " 587",  "1.440", "   0",   "  -0",
    " 200", "-0.500", "2640", "0.050", "Off",  "5000",   "5000", "   0",  "  50",  " 100",   "5000",
    "5000", "   0",   "  50", " 400",  "  -0", "   0",   " -10", " -10",  "7000",  "   0",   "  -0",
    "2000", "  -1",   "7000", "   0",  "  -0", "  10",   "  -1", "   0",  "1000",  "1 x 32", "   0",
    "Off",  " 120",   "   0", "HOST",  "01",   "   0",   "   0", "   0",  "   0",  "   0",   "   0",
    "   0", "   0",   "   0", "   0",  "   0", "   0",   "   0", "   0",  "   0",  "   0",   "   0",
    "   0", "   0",   "   0", "   0",  "   0", "   0",   "   0", "   0",  "   0",  "   0",   "A",
    "A",    "A",      "A",    "A",     "A",    "A",      "A",    "A",     "A",     "A",      "A",
    "Off",  "Off",    "Off",  "Off",   "Off",  "Off",    "Off",  "Off",   "Off",   "Off",    "Off",
    "Off",  "Off",    "Off",  "Off",   "Off",  "Off",    "Off",  "Off",   "Off",   "Off",    "Off",
    "Off",  "Off",    " 100", " 100",  " 100", " 100",   " 100", " 100",  " 100",  " 100",   " 100",
    " 100", " 100",   " 100", "   0",  "   0", "   0",   "   0", "   0",  "   0",  "   0",   "   0",
    "   0", "   0",   "   0", "   0",  "1/16", "1/16",   "1/16", "1/16",  "1/16",  "1/16",   "1/16",
    "1/16", "1/16",   "1/16", "1/16",  "1/16", "   1",   "   1", "   1",  "   1",  "   1",   "   1",
    "   1", "   1",   "   1", "   1",  "   1", "   1",   "Off",  "Off",   "Off",   "Off",    "Off",
    "Off",  "Off",    "Off",  "Off",   "Off",  "Off",    "Off",  "Off",   "Off",   "Off",    "Off",
    "Off",  "Off",    "Off",  "Off",   "Off",  "Off",    "Off",  "Off",   "Off",   "Off",    "Off",
    "Off",  "Off",    "Off",  "Off",   "Off",  "Off",    "Off",  "Off",   "Off",   "Off"};

class TableTest : public ::testing::Test {
protected:
    std::string display(int index, int len = 8) const {
        char buf[64];
        std::memset(buf, '#', sizeof buf);
        pm.getDisplay(index, buf, len);
        return buf;
    }
    std::string hostName(int index) const {
        char buf[64];
        pm.getName(index, buf, 8);
        return buf;
    }
    std::string shortName(int index) const {
        char buf[64];
        pm.getName(index, buf, 8);
        return buf;
    }
    std::string labelOf(int index) const {
        char buf[64];
        pm.getLabel(index, buf, 8);
        return buf;
    }

    KavrelParameterManager pm;
};

std::vector<int> range(int first, int count) {
    std::vector<int> indices;
    for (int i = 0; i < count; ++i) indices.push_back(first + i);
    return indices;
}

// ---------------------------------------------------------------------------------------------

TEST_F(TableTest, HostSeesAllParametersEndingWithMidiSwitch) {
    EXPECT_EQ(KavrelParameterManager::kNumParams, 263);
    EXPECT_EQ(pm.getParamCount(), kNumParams);
    EXPECT_EQ(hostName(kNumParams - 1), "MIDIOnly");
    EXPECT_EQ(pm.getLongName(kParamMidiOutputOnly), "MIDI Output Only");
    EXPECT_EQ(pm.getType(kParamMidiOutputOnly), 1);
}

TEST_F(TableTest, EveryParameterStartsAtItsDefault) {
    for (int i = 0; i < kNumParams; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pm.getRealValue(i), pm.getDefault(i));
        EXPECT_EQ(pm.getNormValue(i), pm.realToNorm(i, pm.getDefault(i)));
        EXPECT_GE(pm.getDefault(i), pm.getMin(i));
        EXPECT_LE(pm.getDefault(i), pm.getMax(i));
        EXPECT_LT(pm.getMin(i), pm.getMax(i));
        EXPECT_TRUE(pm.isRandomizable(i));
        EXPECT_FALSE(pm.getLongName(i).empty());
        EXPECT_FALSE(shortName(i).empty());
        EXPECT_EQ(display(i), kDefaultDisplays[i]);
    }
    EXPECT_FLOAT_EQ(pm.getNormValue(kParamTempo), 0.35f);
    EXPECT_FLOAT_EQ(pm.getNormValue(0), 5.0f / 70.0f);
}

TEST_F(TableTest, OnlyTheProductsTypeCodesAreUsed) {
    for (int i = 0; i < kNumParams; ++i) {
        const int type = pm.getType(i);
        EXPECT_TRUE(type == 0 || type == 1 || type == 2 || type == 4 || type == 5 || type == 6)
            << i;
        // Units follow the type: decibels and percent always carry their label.
        if (type == 5) {
            EXPECT_EQ(labelOf(i), "dB") << i;
        }
        if (type == 2) {
            EXPECT_EQ(labelOf(i), "%") << i;
        }
        if (type == 4) {
            EXPECT_EQ(labelOf(i), "Hz") << i;
        }
    }
}

TEST_F(TableTest, OddNamesAndLabelsAreKept) {
    EXPECT_EQ(pm.getLongName(14), "Snare9 Tune");
    EXPECT_EQ(pm.getLongName(kParamLevelFirst + 2), "Snare 9 Level");
    EXPECT_EQ(pm.getLongName(25), "Snare8 Tune");
    EXPECT_EQ(pm.getLongName(kParamLevelFirst + 1), "Snare 8 Level");
    EXPECT_EQ(shortName(105), "CUDgDyCv");
    EXPECT_EQ(shortName(19), "S9nsCol");
    EXPECT_EQ(labelOf(72), "ms");
    EXPECT_EQ(labelOf(kParamCompressorAttack), "ms");
    EXPECT_EQ(labelOf(2), "msec");
    EXPECT_EQ(labelOf(kParamTempo), "BPM");
    EXPECT_EQ(labelOf(1), "");

    // Names of nine or more characters reach the host cut to eight, the rest stays in store.
    char buf[32];
    pm.getName(58, buf, 16);
    EXPECT_STREQ(buf, "High Tom Pitch D");
    EXPECT_EQ(hostName(58), "HTTptchD");
    EXPECT_EQ(hostName(60), "HTTnoisL");
    EXPECT_EQ(hostName(30), "LTptchDp");
    EXPECT_EQ(hostName(44), "MTptchDp");
    EXPECT_EQ(hostName(kParamLevelFirst + 6), "CHH Leve");
    EXPECT_EQ(hostName(kParamLevelFirst + 7), "OHH Leve");
    EXPECT_EQ(hostName(kParamOutputFirst + 6), "CHH Out");
}

TEST_F(TableTest, PerVoiceGroupsFollowMixerOrder) {
    const char* const voices[kNumVoices] = {
        "Kickdrum",        "Snare 8",       "Snare 9", "Low Tom", "Mid Tom", "High Tom",
        "Closed High Hat", "Open High Hat", "Cymbal",  "Rimshot", "Clap",    "Cowbell"};
    const char* const tags[kNumVoices] = {"KD", "S8", "S9", "LT", "MT", "HT",
                                          "CH", "OH", "CY", "RS", "CL", "CB"};
    for (int v = 0; v < kNumVoices; ++v) {
        SCOPED_TRACE(v);
        EXPECT_EQ(pm.getLongName(kParamPanFirst + v), std::string(voices[v]) + " Pan");
        EXPECT_EQ(pm.getLongName(kParamSoloFirst + v), std::string(voices[v]) + " Solo");
        EXPECT_EQ(pm.getLongName(kParamRandomFillFirst + v), std::string(tags[v]) + " Random Fill");
        EXPECT_EQ(pm.getLongName(kParamSelectedBeatsFirst + v),
                  std::string(tags[v]) + " Selected Beats");
        EXPECT_EQ(shortName(kParamRandomResetFirst + v), std::string(tags[v]) + "rndrst");
        EXPECT_EQ(pm.getDefault(kParamRandomSizeFirst + v), 2.0f);
        EXPECT_EQ(pm.getMax(kParamRandomVelocityFirst + v), 127.0f);
    }
}

// ---------------------------------------------------------------------------------------------
// index sets and mementos

TEST_F(TableTest, KitSetHoldsSoundAndPanParameters) {
    std::vector<int> expected = range(0, 108);
    for (int index : range(kParamPanFirst, kNumVoices)) expected.push_back(index);
    EXPECT_EQ(pm.kitParamSet, expected);
    EXPECT_EQ(pm.kitParamSet.size(), 120u);
}

TEST_F(TableTest, PatternSetIsAscendingAndComplete) {
    std::vector<int> expected = {kParamStepSize};
    for (int index : range(kParamSelectedBeatsFirst, 48)) expected.push_back(index);
    for (int index : range(kParamRandomResetFirst, kNumVoices)) expected.push_back(index);
    EXPECT_EQ(pm.patternParamSet, expected);
    EXPECT_EQ(pm.patternParamSet.size(), 61u);
    EXPECT_TRUE(std::is_sorted(pm.patternParamSet.begin(), pm.patternParamSet.end()));
}

TEST_F(TableTest, ConstructionLeavesSixteenPatternMementosOfDefaults) {
    ASSERT_EQ(pm.getMementoCount(), KavrelParameterManager::kNumPatternMementos);
    for (int k = 0; k < 16; ++k) {
        const auto& memento = pm.getMemento(k);
        ASSERT_EQ(memento.size(), pm.patternParamSet.size()) << k;
        for (size_t j = 0; j < memento.size(); ++j) {
            const int index = pm.patternParamSet[j];
            EXPECT_EQ(memento[j].first, index);
            EXPECT_EQ(memento[j].second, pm.realToNorm(index, pm.getDefault(index)));
        }
    }
    // Selected Beats defaults to 100 % and Random Size to "1/16".
    EXPECT_EQ(pm.getMemento(0)[1].second, 1.0f);
    EXPECT_FLOAT_EQ(pm.getMemento(15).back().second, 0.0f);
    // Further mementos (the clipboard) are numbered after the pattern ones.
    EXPECT_EQ(pm.createMemento(pm.patternParamSet), 16);
}

TEST_F(TableTest, PatternMementosRestoreIndependently) {
    pm.setNormValue(kParamSwing, 0.7f); // not a per-pattern parameter
    pm.setRealValue(kParamSelectedBeatsFirst, 40.0f);
    pm.captureMemento(3);
    pm.restoreMemento(0);
    EXPECT_EQ(pm.getRealValue(kParamSelectedBeatsFirst), 100.0f);
    EXPECT_FLOAT_EQ(pm.getNormValue(kParamSwing), 0.7f);
    pm.restoreMemento(3);
    EXPECT_FLOAT_EQ(pm.getRealValue(kParamSelectedBeatsFirst), 40.0f);
}

TEST_F(TableTest, PanTablesFollowEqualPowerLaw) {
    EXPECT_EQ(pm.panCosTable[0], 1.0f);
    EXPECT_EQ(pm.panSinTable[0], 0.0f);
    EXPECT_NEAR(pm.panCosTable[500], std::sqrt(0.5f), 1e-6);
    EXPECT_NEAR(pm.panSinTable[500], std::sqrt(0.5f), 1e-6);
    for (size_t i = 0; i < pm.panCosTable.size(); ++i) {
        const float power =
            pm.panCosTable[i] * pm.panCosTable[i] + pm.panSinTable[i] * pm.panSinTable[i];
        EXPECT_NEAR(power, 1.0f, 1e-5) << i;
        if (i > 0) {
            EXPECT_LT(pm.panCosTable[i], pm.panCosTable[i - 1]) << i;
        }
    }
    EXPECT_GT(pm.panCosTable[999], 0.0f); // the last entry stops just short of hard right
}

TEST(TableVoices, SoundAndPanParametersBelongToTheirVoice) {
    std::vector<int> perVoice(kNumVoices, 0);
    for (int i = 0; i < kNumParams; ++i) {
        const int voice = KavrelParameterManager::voiceOfParam(i);
        const bool isKit = i < kParamStepSize || (i >= kParamPanFirst && i < kParamOutputFirst);
        EXPECT_EQ(voice >= 0, isKit) << i;
        if (voice >= 0) ++perVoice[static_cast<size_t>(voice)];
    }
    // Sound parameters + one pan each.
    EXPECT_EQ(perVoice, (std::vector<int>{15, 5, 12, 15, 15, 15, 6, 7, 14, 3, 3, 10}));
    EXPECT_EQ(KavrelParameterManager::voiceOfParam(14), 2);  // Snare9 Tune: the second snare
    EXPECT_EQ(KavrelParameterManager::voiceOfParam(25), 1);  // Snare8 Tune
    EXPECT_EQ(KavrelParameterManager::voiceOfParam(71), 10); // Clap Tone
    EXPECT_EQ(KavrelParameterManager::voiceOfParam(81), 11); // More Cowbell
    EXPECT_EQ(KavrelParameterManager::voiceOfParam(kParamPanFirst + 11), 11);
    EXPECT_EQ(KavrelParameterManager::voiceOfParam(kParamLevelFirst), -1);
    EXPECT_EQ(KavrelParameterManager::voiceOfParam(-1), -1);
    EXPECT_EQ(KavrelParameterManager::voiceOfParam(kNumParams), -1);
}

// ---------------------------------------------------------------------------------------------
// engine values

TEST_F(TableTest, GlobalEngineValues) {
    pm.setRealValue(kParamSwing, 0.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(kParamSwing), 1.0f);
    pm.setRealValue(kParamSwing, 100.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(kParamSwing), 0.2f);

    const float ticks[] = {3.0f, 6.0f, 4.0f, 6.0f, 8.0f};
    for (int s = 0; s < 5; ++s) {
        pm.setRealValue(kParamStepSize, static_cast<float>(s));
        EXPECT_EQ(pm.getDspValue(kParamStepSize), ticks[s]) << s;
    }
    const float sizes[] = {3.0f, 4.0f, 6.0f, 8.0f, 12.0f, 24.0f, 48.0f};
    for (int s = 0; s < 7; ++s) {
        pm.setRealValue(kParamRandomSizeFirst + 5, static_cast<float>(s));
        EXPECT_EQ(pm.getDspValue(kParamRandomSizeFirst + 5), sizes[s]) << s;
    }
    EXPECT_EQ(pm.getDspValue(kParamRandomSizeFirst), 6.0f); // default "1/16"
}

TEST_F(TableTest, VoiceEngineValues) {
    pm.setNormValue(84, 0.25f);
    EXPECT_FLOAT_EQ(pm.getDspValue(84), 0.75f);
    pm.setNormValue(84, 0.75f);
    EXPECT_FLOAT_EQ(pm.getDspValue(84), 1.5f);
    pm.setNormValue(93, 0.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(93), 0.5f);
    pm.setNormValue(106, 1.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(106), 2.0f);

    EXPECT_FLOAT_EQ(pm.getDspValue(10), 0.66f * 150.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(44), 0.3f * 200.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(85), 0.5f);    // percent as a fraction
    EXPECT_FLOAT_EQ(pm.getDspValue(0), 45.0f);    // real value
    EXPECT_FLOAT_EQ(pm.getDspValue(11), 1000.0f); // frequency in Hz
}

TEST_F(TableTest, LevelsAreLinearGainsFromSilence) {
    for (int v = 0; v < kNumVoices; ++v) {
        pm.setNormValue(kParamLevelFirst + v, 0.0f);
        EXPECT_EQ(pm.getDspValue(kParamLevelFirst + v), 0.0f) << v;
        pm.setNormValue(kParamLevelFirst + v, 1.0f);
        EXPECT_FLOAT_EQ(pm.getDspValue(kParamLevelFirst + v), 1.0f) << v;
    }
    pm.setNormValue(kParamOutputA, 1.0f);
    EXPECT_NEAR(pm.getDspValue(kParamOutputA), std::pow(10.0f, 3.0f / 20.0f), 1e-5);
    EXPECT_NEAR(pm.getDspValue(12), std::pow(10.0f, -6.0f / 20.0f), 1e-3); // kick click -6 dB
}

TEST_F(TableTest, OutputRoutingRoundsOnlyForTheLastThreeVoices) {
    for (int v = 0; v < kNumVoices; ++v) {
        const int index = kParamOutputFirst + v;
        pm.setNormValue(index, 0.19f);
        if (v < 9) {
            EXPECT_FLOAT_EQ(pm.getRealValue(index), 0.95f) << v;
            EXPECT_EQ(display(index), "A") << v;
        } else {
            EXPECT_EQ(pm.getRealValue(index), 1.0f) << v;
            EXPECT_EQ(display(index), "B") << v;
        }
        pm.setRealValue(index, 3.0f);
        EXPECT_EQ(display(index), "D") << v;
    }
}

TEST_F(TableTest, LaneOffsetsMoveAroundTheStoredValue) {
    // A lane value of 0.5 is no change.
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(0, 0.5f), 45.0f);
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(kParamPanFirst, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(0, 1.0f), 110.0f);
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(0, 0.0f), 40.0f);

    pm.setNormValue(10, 0.5f);
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(10, 0.75f), 150.0f);
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(30, 0.6f), (0.3f + 0.2f) * 200.0f);
    pm.setNormValue(84, 0.5f);
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(84, 0.4f), 0.8f); // position 0.3
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(84, 0.6f), 1.4f); // position 0.7

    EXPECT_EQ(pm.getDspValueOffset(13, 0.51f), 1.0f);
    EXPECT_EQ(pm.getDspValueOffset(13, 0.5f), 0.0f);

    EXPECT_FLOAT_EQ(pm.getDspValueOffset(85, 0.5f), 0.5f); // percent: the position
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(12, 0.5f), std::pow(10.0f, -6.0f / 20.0f));
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(12, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(11, 1.0f), 18000.0f);
}

TEST_F(TableTest, StrayLanesAndValuesStayInRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int index : pm.kitParamSet) {
        for (float x : {nan, -5.0f, 5.0f}) {
            const float v = pm.getDspValueOffset(index, x);
            EXPECT_FALSE(std::isnan(v)) << index;
        }
    }
    for (float r : {nan, -7.0f, 99.0f, 1e30f}) {
        pm.setRealValue(kParamStepSize, r);
        const float step = pm.getDspValue(kParamStepSize);
        EXPECT_TRUE(step == 3.0f || step == 8.0f) << r;
        pm.setRealValue(kParamRandomSizeFirst, r);
        const float size = pm.getDspValue(kParamRandomSizeFirst);
        EXPECT_TRUE(size == 3.0f || size == 48.0f) << r;
        for (int index : {kParamStepSize, kParamSync, kParamPattern, kParamRandomSizeFirst,
                          kParamOutputFirst, kParamOutputFirst + 11}) {
            pm.setRealValue(index, r);
            char buf[16];
            std::memset(buf, '#', sizeof buf);
            pm.getDisplay(index, buf, 8);
            EXPECT_LT(std::strlen(buf), 8u) << index;
            EXPECT_EQ(buf[8], '#') << index;
        }
    }
    pm.setRealValue(kParamOutputFirst, 9.0f);
    EXPECT_EQ(display(kParamOutputFirst), "F");
    pm.setRealValue(kParamSync, 7.0f);
    EXPECT_EQ(display(kParamSync), "MIDI");
}

// ---------------------------------------------------------------------------------------------
// displays

TEST_F(TableTest, ChoiceDisplays) {
    pm.setNormValue(kParamSync, 0.4f);
    EXPECT_EQ(pm.getRealValue(kParamSync), 1.0f);
    EXPECT_EQ(display(kParamSync), "INT");
    pm.setNormValue(kParamSync, 1.0f);
    EXPECT_EQ(display(kParamSync), "MIDI");

    pm.setNormValue(kParamPattern, 1.0f);
    EXPECT_EQ(display(kParamPattern), "16");
    pm.setNormValue(kParamPattern, 0.0f);
    EXPECT_EQ(display(kParamPattern), "01");

    const char* const steps[] = {"1 x 32", "2 x 16", "1 x 16T", "1 x 16", "1 x 8T"};
    for (int s = 0; s < 5; ++s) {
        pm.setRealValue(kParamStepSize, static_cast<float>(s));
        EXPECT_EQ(display(kParamStepSize), steps[s]);
    }
    const char* const sizes[] = {"1/32", "1/16T", "1/16", "1/8T", "1/8", "1/4", "1/2"};
    for (int s = 0; s < 7; ++s) {
        pm.setRealValue(kParamRandomSizeFirst + 11, static_cast<float>(s));
        EXPECT_EQ(display(kParamRandomSizeFirst + 11), sizes[s]);
    }
}

TEST_F(TableTest, DisplaysKeepWithinTheHostsLength) {
    pm.setRealValue(kParamStepSize, 2.0f);
    EXPECT_EQ(display(kParamStepSize, 4), "1 x");
    EXPECT_EQ(display(kParamStepSize, 40), "1 x 16T");
    pm.setRealValue(5, -0.38f);
    EXPECT_EQ(display(5, 5), "-0.3");
    EXPECT_EQ(display(kParamPattern, 2), "0");
    EXPECT_EQ(display(kParamOutputFirst, 1), "");

    char buf[4] = {'#', '#', '#', '#'};
    pm.getDisplay(kParamSync, buf, 0);
    pm.getDisplay(5, buf, -1);
    EXPECT_EQ(buf[0], '#');

    char compact[16];
    pm.getDisplayNoSpaces(kParamStepSize, compact, 16);
    EXPECT_STREQ(compact, "1x16T");
}

TEST_F(TableTest, ThreeDecimalDisplaysForShapeValues) {
    pm.setNormValue(74, 1.0f);
    EXPECT_EQ(display(74), "2.000");
    pm.setRealValue(80, 0.125f);
    EXPECT_EQ(display(80), "0.125");
    // Other curve values keep the plain whole-number display.
    EXPECT_EQ(display(16), "  -1");
}

} // namespace

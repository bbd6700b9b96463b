#include "params/vx_paramManager.h"

#include "core/KavrelRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

enum {
    kLinear,
    kOnOff,
    kPercent,
    kAuto,
    kFreq,
    kDecibel,
    kChoice,
    kNote,
    kTime,
    kRate,
    kTimeNorm,
    kRateNorm,
    kMidiNote,
    kOddType,
    kBinaryChoice,
    kNarrowFreq,
    kUndefined,
    kCapacity
};

// One parameter of every type code, plus a few shapes the edge cases need.
class ManagerTest : public ::testing::Test {
protected:
    ManagerTest() : pm(kCapacity) {
        pm.defineParam(kLinear, "Linear Thing", "Lin", "msec", 0.0f, 10.0f, 2.0f, 0);
        pm.defineParam(kOnOff, "Switch", "Sw", "", 0.0f, 1.0f, 0.0f, 1);
        pm.defineParam(kPercent, "Amount", "Amt", "%", 0.0f, 100.0f, 50.0f, 2);
        pm.defineParam(kAuto, "Auto", "Auto", "", 0.0f, 1000.0f, 0.5f, 3);
        pm.defineParam(kFreq, "Filter Frequency", "FilFrq", "Hz", 100.0f, 18000.0f, 1000.0f, 4);
        pm.defineParam(kDecibel, "Level", "Lvl", "dB", -60.0f, 0.0f, -6.0f, 5);
        pm.defineParam(kChoice, "Choice", "Choice", "", 0.0f, 4.0f, 1.0f, 6);
        pm.defineParam(kNote, "Note Value", "NoteVal", "", 0.0f, 15.0f, 8.0f, 7);
        pm.defineParam(kTime, "Delay Time", "DlyTime", "", 1.0f, 1001.0f, 101.0f, 8);
        pm.defineParam(kRate, "LFO Rate", "LfoRate", "", 0.1f, 20.0f, 1.0f, 9);
        pm.defineParam(kTimeNorm, "Delay Norm", "DlyNorm", "", 0.0f, 1000.0f, 0.25f, 10);
        pm.defineParam(kRateNorm, "Rate Norm", "RateNorm", "", 0.1f, 20.0f, 0.5f, 11);
        pm.defineParam(kMidiNote, "Root Note", "Root", "", 0.0f, 127.0f, 60.0f, 12);
        pm.defineParam(kOddType, "Odd Type", "Odd", "", 0.0f, 10.0f, 5.0f, 42);
        pm.defineParam(kBinaryChoice, "Binary", "Bin", "", 0.0f, 1.0f, 0.0f, 6);
        pm.defineParam(kNarrowFreq, "Narrow", "Narrow", "Hz", 100.0f, 1000.0f, 500.0f, 4);
    }

    std::string display(int index, int len = 8) const {
        char buf[64];
        std::memset(buf, '#', sizeof buf);
        pm.getDisplay(index, buf, len);
        return buf;
    }

    std::string format(int index, float r, int len = 8) const {
        char buf[64];
        std::memset(buf, '#', sizeof buf);
        pm.formatValue(index, buf, r, len);
        return buf;
    }

    std::string label(int index, int len) const {
        char buf[64];
        std::memset(buf, '#', sizeof buf);
        pm.getLabel(index, buf, len);
        return buf;
    }

    vx_paramManager pm;
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// ---------------------------------------------------------------------------------------------

TEST_F(ManagerTest, DefinitionDerivesNormalisedValueFromDefault) {
    EXPECT_EQ(pm.getParamCount(), kUndefined);
    EXPECT_FLOAT_EQ(pm.getRealValue(kLinear), 2.0f);
    EXPECT_FLOAT_EQ(pm.getNormValue(kLinear), 0.2f);
    EXPECT_FLOAT_EQ(pm.getNormValue(kFreq), std::log(10.0f) / std::log(180.0f));
    EXPECT_FLOAT_EQ(pm.getNormValue(kDecibel), 0.9f);
    EXPECT_FLOAT_EQ(pm.getNormValue(kNote), 8.0f / 15.0f);
    for (int i = 0; i < kUndefined; ++i) {
        EXPECT_TRUE(pm.isRandomizable(i)) << i;
        EXPECT_EQ(pm.getRealValue(i), pm.getDefault(i)) << i;
    }
    EXPECT_EQ(pm.getLongName(kFreq), "Filter Frequency");
    EXPECT_FALSE(pm.storesRealValues());
    pm.setNormValue(kLinear, 0.7f);
    EXPECT_FLOAT_EQ(pm.getStoredValue(kLinear), 0.7f);
}

TEST_F(ManagerTest, RedefiningAnIndexCountsItOnceAndReplacesItsCurve) {
    pm.defineParam(kFreq, "Now a Level", "NowLvl", "dB", -60.0f, 0.0f, -60.0f, 5);
    EXPECT_EQ(pm.getParamCount(), kUndefined);
    EXPECT_EQ(pm.getDspValue(kFreq), 0.0f);
}

TEST_F(ManagerTest, UndefinedIndexInsideCapacityReadsAsEmptyEntry) {
    EXPECT_EQ(pm.getType(kUndefined), 0);
    EXPECT_EQ(pm.getRealValue(kUndefined), 0.0f);
    EXPECT_FALSE(pm.isRandomizable(kUndefined));
    EXPECT_EQ(pm.getLongName(kUndefined), "");
    pm.setRealValue(kUndefined, 0.0f); // empty range: 0 / 0 must not become a NaN position
    EXPECT_EQ(pm.getNormValue(kUndefined), 0.0f);
    pm.setRealValue(kUndefined, 3.0f);
    EXPECT_EQ(pm.getNormValue(kUndefined), 1.0f);
}

// ---------------------------------------------------------------------------------------------
// conversions

TEST_F(ManagerTest, DecibelEngineValueRunsFromSilenceToUnity) {
    pm.setNormValue(kDecibel, 0.0f);
    EXPECT_FLOAT_EQ(pm.getRealValue(kDecibel), -60.0f);
    EXPECT_EQ(pm.getDspValue(kDecibel), 0.0f);
    pm.setNormValue(kDecibel, 1.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(kDecibel), 1.0f);
    pm.setNormValue(kDecibel, 0.5f);
    EXPECT_FLOAT_EQ(pm.getRealValue(kDecibel), -30.0f);
    EXPECT_NEAR(pm.getDspValue(kDecibel), std::pow(10.0f, -30.0f / 20.0f), 1e-4);
    // The engine value of a real value follows the same curve.
    EXPECT_NEAR(pm.realToDsp(kDecibel, -30.0f), pm.getDspValue(kDecibel), 1e-6);
    EXPECT_EQ(pm.realToDsp(kDecibel, -60.0f), 0.0f);
}

TEST_F(ManagerTest, FrequencyIsLogarithmic) {
    pm.setNormValue(kFreq, 0.5f);
    EXPECT_NEAR(pm.getRealValue(kFreq), std::sqrt(100.0 * 18000.0), 0.5);
    EXPECT_FLOAT_EQ(pm.realToNorm(kFreq, 1000.0f), std::log(10.0f) / std::log(180.0f));
    pm.setNormValue(kFreq, 0.0f);
    EXPECT_FLOAT_EQ(pm.getRealValue(kFreq), 100.0f);
    pm.setNormValue(kFreq, 1.0f);
    EXPECT_FLOAT_EQ(pm.getRealValue(kFreq), 18000.0f);
    // Engine value of a frequency is the frequency itself, kept inside the range.
    EXPECT_FLOAT_EQ(pm.realToDsp(kFreq, 50000.0f), 18000.0f);
}

TEST_F(ManagerTest, OnOffSwitchesAboveHalf) {
    pm.setNormValue(kOnOff, 0.5f);
    EXPECT_EQ(pm.getRealValue(kOnOff), 0.0f);
    EXPECT_EQ(display(kOnOff), "Off");
    pm.setNormValue(kOnOff, 0.51f);
    EXPECT_EQ(pm.getRealValue(kOnOff), 1.0f);
    EXPECT_EQ(display(kOnOff), "On");
}

TEST_F(ManagerTest, IntegerChoiceRoundsToNearest) {
    pm.setNormValue(kChoice, 0.6f);
    EXPECT_EQ(pm.getRealValue(kChoice), 2.0f);
    pm.setNormValue(kChoice, 0.65f);
    EXPECT_EQ(pm.getRealValue(kChoice), 3.0f);
    EXPECT_EQ(display(kChoice), "   3");
}

TEST_F(ManagerTest, PercentEngineValueIsFraction) {
    pm.setRealValue(kPercent, 25.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(kPercent), 0.25f);
    EXPECT_FLOAT_EQ(pm.realToDsp(kPercent, 300.0f), 1.0f);
}

TEST_F(ManagerTest, RealToNormClampsButNormToRealDoesNot) {
    EXPECT_EQ(pm.realToNorm(kLinear, 50.0f), 1.0f);
    EXPECT_EQ(pm.realToNorm(kLinear, -50.0f), 0.0f);
    EXPECT_FLOAT_EQ(pm.normToReal(kLinear, 2.0f), 20.0f);
    EXPECT_FLOAT_EQ(pm.normToReal(kLinear, -0.5f), -5.0f);
    EXPECT_EQ(pm.realToNorm(kFreq, 0.0f), 0.0f);
    EXPECT_EQ(pm.realToNorm(kFreq, -10.0f), 0.0f);
}

TEST_F(ManagerTest, SettersStoreTheirValueUnchanged) {
    pm.setNormValue(kLinear, 1.5f);
    EXPECT_EQ(pm.getNormValue(kLinear), 1.5f);
    EXPECT_FLOAT_EQ(pm.getRealValue(kLinear), 15.0f);
    pm.setRealValue(kLinear, 12.0f);
    EXPECT_EQ(pm.getRealValue(kLinear), 12.0f);
    EXPECT_EQ(pm.getNormValue(kLinear), 1.0f);
}

TEST_F(ManagerTest, UnknownTypeCodeBehavesLinear) {
    pm.setNormValue(kOddType, 0.3f);
    EXPECT_FLOAT_EQ(pm.getRealValue(kOddType), 3.0f);
    EXPECT_EQ(display(kOddType), "   3");
}

TEST_F(ManagerTest, NoteValueStaysInsideItsTables) {
    pm.setNormValue(kNote, 1.0f);
    EXPECT_EQ(pm.getRealValue(kNote), 14.0f);
    EXPECT_EQ(pm.getDspValue(kNote), 4.0f);
    pm.setRealValue(kNote, 8.0f);
    EXPECT_EQ(pm.getDspValue(kNote), 1.0f);
    EXPECT_EQ(display(kNote), "1/4  ");
    pm.setRealValue(kNote, 1.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(kNote), 1.0f / 6.0f);
    EXPECT_EQ(display(kNote), "1/16T");
    EXPECT_EQ(format(kNote, 15.0f), "1/1  ");
}

TEST_F(ManagerTest, SyncableTimeSwitchesBetweenMillisecondsAndNoteValues) {
    EXPECT_FALSE(pm.isSynced(kTime));
    EXPECT_EQ(label(kTime, 4), "ms");
    EXPECT_EQ(label(kTime, 8), "msec");
    EXPECT_FLOAT_EQ(pm.getDspValue(kTime), 101.0f);
    EXPECT_EQ(display(kTime), " 101");

    pm.setNormValue(kTime, 0.5f);
    pm.setSynced(kTime, true);
    EXPECT_TRUE(pm.isSynced(kTime));
    EXPECT_EQ(pm.getSyncFlag(kTime), 1);
    EXPECT_EQ(pm.getRealValue(kTime), 7.0f); // re-derived: floor(0.5 * 15)
    EXPECT_FLOAT_EQ(pm.getDspValue(kTime), 0.75f);
    EXPECT_EQ(display(kTime), "1/8. ");
    EXPECT_EQ(label(kTime, 8), "");
    pm.setNormValue(kTime, 1.0f);
    EXPECT_EQ(pm.getDspValue(kTime), 4.0f);

    float out = 0.0f;
    EXPECT_TRUE(pm.parseValue(kTime, "1/4 T", out));
    EXPECT_EQ(out, 6.0f);
}

TEST_F(ManagerTest, SyncFlagOnlyCountsForSyncableTypes) {
    pm.setSyncFlag(kLinear, 1);
    EXPECT_EQ(pm.getSyncFlag(kLinear), 1);
    EXPECT_FALSE(pm.isSynced(kLinear));
    pm.setSynced(kFreq, true);
    EXPECT_EQ(pm.getSyncFlag(kFreq), 0);
}

TEST_F(ManagerTest, SyncableRateIsLogarithmicOrAnInvertedNoteValue) {
    EXPECT_EQ(label(kRate, 8), "Hz");
    pm.setNormValue(kRate, 0.0f);
    EXPECT_FLOAT_EQ(pm.getRealValue(kRate), 0.1f);
    EXPECT_EQ(display(kRate), "0.100");

    pm.setSynced(kRate, true);
    EXPECT_EQ(label(kRate, 8), "");
    EXPECT_EQ(pm.getRealValue(kRate), 15.0f); // floor((1 - 0) * 15)
    EXPECT_EQ(pm.getDspValue(kRate), 0.25f);  // 1 / four beats
    pm.setRealValue(kRate, 2.0f);
    EXPECT_FLOAT_EQ(pm.getNormValue(kRate), 1.0f - 2.0f / 15.0f);
    EXPECT_EQ(display(kRate), "1/16 ");
    EXPECT_EQ(pm.getDspValue(kRate), 4.0f);

    // Typing the name that is displayed gives that very value.
    float out = 0.0f;
    EXPECT_TRUE(pm.parseValue(kRate, "1/16", out));
    EXPECT_EQ(out, 2.0f);
    EXPECT_EQ(format(kRate, out), "1/16 ");
}

TEST_F(ManagerTest, EveryNoteValueDisplaysItsOwnName) {
    pm.setSynced(kTime, true);
    pm.setSynced(kRate, true);
    for (int r = 0; r < 15; ++r) {
        const std::string name = vx_paramManager::kNoteValueNames[r];
        EXPECT_EQ(format(kNote, static_cast<float>(r)), name) << r;
        EXPECT_EQ(format(kTime, static_cast<float>(r)), name) << r;
        EXPECT_EQ(format(kRate, static_cast<float>(r)), name) << r;
        pm.setRealValue(kNote, static_cast<float>(r));
        EXPECT_EQ(pm.getDspValue(kNote), vx_paramManager::kNoteValueBeats[r]) << r;
    }
}

TEST_F(ManagerTest, NormalisedSyncableTypesKeepTheirPosition) {
    EXPECT_EQ(pm.getRealValue(kTimeNorm), 0.25f);
    EXPECT_FLOAT_EQ(pm.getDspValue(kTimeNorm), 250.0f);
    EXPECT_EQ(display(kTimeNorm), " 250");
    EXPECT_EQ(label(kTimeNorm, 3), "ms");
    pm.setSynced(kTimeNorm, true);
    EXPECT_FLOAT_EQ(pm.getDspValue(kTimeNorm), 1.0f / 3.0f); // 0.25 of the way: 1/8 T
    EXPECT_EQ(display(kTimeNorm), "1/8 T");

    pm.setNormValue(kRateNorm, 1.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(kRateNorm), 20.0f);
    EXPECT_EQ(display(kRateNorm), "1.00"); // real value is the position itself
    pm.setSynced(kRateNorm, true);
    EXPECT_EQ(pm.getDspValue(kRateNorm), 8.0f); // 1 / beats[0]
}

TEST_F(ManagerTest, MidiNoteNamesCarryTheOctave) {
    EXPECT_EQ(display(kMidiNote), "C3");
    EXPECT_EQ(format(kMidiNote, 0.0f), "C-2");
    EXPECT_EQ(format(kMidiNote, 61.0f), "C#3");
    EXPECT_EQ(format(kMidiNote, 127.0f), "G8");
    EXPECT_EQ(format(kMidiNote, -1.0f), "B-3");
}

TEST_F(ManagerTest, GetDspValueOffsetMovesTheStoredPosition) {
    pm.setNormValue(kLinear, 0.5f);
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(kLinear, 0.2f), 7.0f);
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(kLinear, 0.9f), 10.0f);
    EXPECT_FLOAT_EQ(pm.getDspValueOffset(kLinear, -0.9f), 0.0f);
    EXPECT_FLOAT_EQ(pm.getNormValue(kLinear), 0.5f);
}

// ---------------------------------------------------------------------------------------------
// texts

TEST_F(ManagerTest, FormatValueChoosesPrecisionAutomatically) {
    EXPECT_EQ(format(kAuto, 0.5f), "0.500");
    EXPECT_EQ(format(kAuto, 5.0f), "5.00");
    EXPECT_EQ(format(kAuto, 12.34f), "12.3");
    EXPECT_EQ(format(kAuto, 250.0f), " 250");
    EXPECT_EQ(format(kFreq, 1341.6f), "1342");
    EXPECT_EQ(format(kLinear, 2.4f), "   2");
}

TEST_F(ManagerTest, FormatValueKeepsWithinLenBytes) {
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    pm.formatValue(kAuto, buf, 0.5f, 4);
    EXPECT_STREQ(buf, "0.5");
    EXPECT_EQ(buf[4], '#');

    std::memset(buf, '#', sizeof buf);
    pm.formatValue(kAuto, buf, 0.5f, 1);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(buf[1], '#');

    std::memset(buf, '#', sizeof buf);
    pm.formatValue(kAuto, buf, 0.5f, 0);
    pm.formatValue(kAuto, buf, 0.5f, -3);
    EXPECT_EQ(buf[0], '#');
}

TEST_F(ManagerTest, FormatNormValueUsesEightBytes) {
    char buf[16];
    std::memset(buf, '#', sizeof buf);
    pm.formatNormValue(kFreq, buf, 1.0f);
    EXPECT_STREQ(buf, "18000");
    pm.formatNormValue(kMidiNote, buf, 0.0f);
    EXPECT_STREQ(buf, "C-2");
}

TEST_F(ManagerTest, GetNameGivesShortNameUpToEightCharacters) {
    char buf[32];
    pm.getName(kFreq, buf, 8);
    EXPECT_STREQ(buf, "FilFrq");
    pm.getName(kFreq, buf, 9);
    EXPECT_STREQ(buf, "Filter Fr");
    pm.getName(kFreq, buf, 24);
    EXPECT_STREQ(buf, "Filter Frequency");

    std::memset(buf, '#', sizeof buf);
    pm.getName(kFreq, buf, 3);
    EXPECT_STREQ(buf, "Fil");
    EXPECT_EQ(buf[4], '#');
    pm.getName(kFreq, buf, 0);
    EXPECT_STREQ(buf, "");
    std::memset(buf, '#', sizeof buf);
    pm.getName(kFreq, buf, -1);
    EXPECT_EQ(buf[0], '#');
}

TEST_F(ManagerTest, GetLabelGivesStoredLabelCutToLen) {
    EXPECT_EQ(label(kFreq, 8), "Hz");
    EXPECT_EQ(label(kLinear, 8), "msec");
    EXPECT_EQ(label(kLinear, 2), "ms");
    EXPECT_EQ(label(kOnOff, 8), "");
}

TEST_F(ManagerTest, NormTextIsAtMostEightCharacters) {
    char buf[16];
    std::memset(buf, '#', sizeof buf);
    pm.setNormValue(kLinear, 0.25f);
    pm.getNormText(kLinear, buf);
    EXPECT_STREQ(buf, "0.250000");
    pm.setNormValue(kLinear, 1234.5f);
    pm.getNormText(kLinear, buf);
    EXPECT_STREQ(buf, "1234.500");
    EXPECT_EQ(buf[9], '#');
}

TEST_F(ManagerTest, DisplayWithoutBlanks) {
    char buf[16];
    pm.getDisplayNoSpaces(kLinear, buf, 8);
    EXPECT_STREQ(buf, "2");
    pm.getDisplayNoSpaces(kNote, buf, 8);
    EXPECT_STREQ(buf, "1/4");
    std::memset(buf, '#', sizeof buf);
    pm.getDisplayNoSpaces(kNote, buf, 3);
    EXPECT_STREQ(buf, "1/");
    std::memset(buf, '#', sizeof buf);
    pm.getDisplayNoSpaces(kNote, buf, 0);
    EXPECT_STREQ(buf, "");
    std::memset(buf, '#', sizeof buf);
    pm.getDisplayNoSpaces(kNote, buf, -2);
    EXPECT_EQ(buf[0], '#');
}

TEST_F(ManagerTest, FormatFrequencySwitchesToKilohertz) {
    char buf[16];
    pm.formatFrequency(buf, 440.0f, 8);
    EXPECT_STREQ(buf, "440");
    pm.formatFrequency(buf, 12345.0f, 8);
    EXPECT_STREQ(buf, "12.345");
    pm.formatFrequency(buf, 12345.0f, 3);
    EXPECT_STREQ(buf, "12.");
}

// ---------------------------------------------------------------------------------------------
// stepping and randomising

TEST_F(ManagerTest, IncrementWrapsChoicesAndStopsOthers) {
    pm.setRealValue(kChoice, 4.0f);
    pm.incrementValue(kChoice);
    EXPECT_EQ(pm.getRealValue(kChoice), 0.0f);
    pm.setRealValue(kLinear, 9.5f);
    pm.incrementValue(kLinear);
    EXPECT_EQ(pm.getRealValue(kLinear), 10.0f);
    pm.incrementValue(kLinear);
    EXPECT_EQ(pm.getRealValue(kLinear), 10.0f);
    pm.setRealValue(kMidiNote, 127.0f);
    pm.incrementValue(kMidiNote);
    EXPECT_EQ(pm.getRealValue(kMidiNote), 0.0f);
    pm.setRealValue(kNote, 15.0f);
    pm.incrementValue(kNote);
    EXPECT_EQ(pm.getRealValue(kNote), 0.0f);
}

TEST_F(ManagerTest, DecrementWrapsChoicesButNotMidiNotes) {
    pm.setRealValue(kChoice, 0.0f);
    pm.decrementValue(kChoice);
    EXPECT_EQ(pm.getRealValue(kChoice), 4.0f);
    pm.setRealValue(kMidiNote, 0.0f);
    pm.decrementValue(kMidiNote);
    EXPECT_EQ(pm.getRealValue(kMidiNote), 0.0f);
    pm.setRealValue(kLinear, 0.5f);
    pm.decrementValue(kLinear);
    EXPECT_EQ(pm.getRealValue(kLinear), 0.0f);
    pm.setRealValue(kLinear, 5.0f);
    pm.decrementValue(kLinear);
    EXPECT_EQ(pm.getRealValue(kLinear), 4.0f);
    EXPECT_FLOAT_EQ(pm.getNormValue(kLinear), 0.4f);
}

TEST_F(ManagerTest, StepsToggleOnOff) {
    pm.incrementValue(kOnOff);
    EXPECT_EQ(pm.getRealValue(kOnOff), 1.0f);
    pm.incrementValue(kOnOff);
    EXPECT_EQ(pm.getRealValue(kOnOff), 0.0f);
    pm.decrementValue(kOnOff);
    EXPECT_EQ(pm.getRealValue(kOnOff), 1.0f);
}

TEST_F(ManagerTest, RandomizeRespectsFlagAndSpreadsOverRange) {
    kavrel::srand(1234);
    pm.setRandomizable(kLinear, false);
    EXPECT_FALSE(pm.isRandomizable(kLinear));
    for (int i = 0; i < 20; ++i) pm.randomizeParam(kLinear);
    EXPECT_EQ(pm.getRealValue(kLinear), 2.0f);

    float lowest = 1.0f;
    float highest = 0.0f;
    for (int i = 0; i < 200; ++i) {
        pm.randomizeParam(kPercent);
        const float n = pm.getNormValue(kPercent);
        ASSERT_GE(n, 0.0f);
        ASSERT_LE(n, 1.0f);
        lowest = std::min(lowest, n);
        highest = std::max(highest, n);
    }
    EXPECT_LT(lowest, 0.1f);
    EXPECT_GT(highest, 0.9f);
}

TEST_F(ManagerTest, RandomizeTwoStateParametersToEnds) {
    kavrel::srand(99);
    int ones = 0;
    for (int i = 0; i < 100; ++i) {
        for (int index : {kOnOff, kBinaryChoice}) {
            pm.randomizeParam(index);
            const float n = pm.getNormValue(index);
            ASSERT_TRUE(n == 0.0f || n == 1.0f) << n;
            ones += n == 1.0f;
        }
    }
    EXPECT_GT(ones, 50);
    EXPECT_LT(ones, 150);
}

TEST_F(ManagerTest, RandomizeIsReproducibleFromSeed) {
    kavrel::srand(7);
    pm.randomizeParam(kFreq);
    const float first = pm.getNormValue(kFreq);
    kavrel::srand(7);
    pm.randomizeParam(kFreq);
    EXPECT_EQ(pm.getNormValue(kFreq), first);
}

// ---------------------------------------------------------------------------------------------
// parsing

TEST_F(ManagerTest, ParseValueClampsToRange) {
    float out = 0.0f;
    EXPECT_TRUE(pm.parseValue(kNarrowFreq, "5000", out));
    EXPECT_EQ(out, 1000.0f);
    EXPECT_TRUE(pm.parseValue(kNarrowFreq, "250.5 Hz", out));
    EXPECT_EQ(out, 250.5f);
    out = -3.0f;
    EXPECT_FALSE(pm.parseValue(kNarrowFreq, "abc", out));
    EXPECT_EQ(out, 100.0f);
    EXPECT_FALSE(pm.parseValue(kNarrowFreq, nullptr, out));
}

TEST_F(ManagerTest, ParseValueRefusesOnOffAndReadsNoteNames) {
    float out = 7.0f;
    EXPECT_FALSE(pm.parseValue(kOnOff, "1", out));
    EXPECT_EQ(out, 1.0f); // still clamped
    EXPECT_TRUE(pm.parseValue(kNote, "1/2.", out));
    EXPECT_EQ(out, 13.0f);
    EXPECT_FALSE(pm.parseValue(kNote, "1/64", out));
    EXPECT_TRUE(pm.parseValue(kTime, "500", out)); // unsynced: a number of msec
    EXPECT_EQ(out, 500.0f);
}

TEST_F(ManagerTest, ParseNoteValueIgnoresBlanksInFirstSixCharacters) {
    int out = -1;
    EXPECT_TRUE(pm.parseNoteValue("1/32", out));
    EXPECT_EQ(out, 0);
    EXPECT_TRUE(pm.parseNoteValue(" 1/8 T", out));
    EXPECT_EQ(out, 3);
    EXPECT_TRUE(pm.parseNoteValue("1/16 .", out));
    EXPECT_EQ(out, 4);
    EXPECT_TRUE(pm.parseNoteValue("1/1  ", out));
    EXPECT_EQ(out, 14);
    EXPECT_TRUE(pm.parseNoteValue("1/4   junk", out)); // beyond six characters is ignored
    EXPECT_EQ(out, 8);
    out = -1;
    EXPECT_FALSE(pm.parseNoteValue("1/3", out));
    EXPECT_FALSE(pm.parseNoteValue("", out));
    EXPECT_FALSE(pm.parseNoteValue(nullptr, out));
    EXPECT_EQ(out, -1);
}

TEST_F(ManagerTest, IntChoicesListEveryInteger) {
    std::vector<std::string> choices = {"stale"};
    pm.getIntChoices(kChoice, choices);
    EXPECT_EQ(choices, (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    choices = {"kept"};
    pm.getIntChoices(kLinear, choices);
    EXPECT_EQ(choices, std::vector<std::string>{"kept"});
}

// ---------------------------------------------------------------------------------------------
// mementos

TEST_F(ManagerTest, MementosCaptureAndRestoreNormalisedValues) {
    pm.setNormValue(kLinear, 0.3f);
    pm.setNormValue(kFreq, 0.6f);
    const int k = pm.createMemento({kFreq, kLinear, kFreq, -1, kCapacity});
    EXPECT_EQ(k, 0);
    EXPECT_EQ(pm.createMemento({}), 1);
    EXPECT_EQ(pm.getMementoCount(), 2);
    const auto& saved = pm.getMemento(k);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].first, kLinear);
    EXPECT_FLOAT_EQ(saved[0].second, 0.3f);
    EXPECT_EQ(saved[1].first, kFreq);

    pm.setNormValue(kLinear, 0.9f);
    pm.restoreMemento(k);
    EXPECT_FLOAT_EQ(pm.getNormValue(kLinear), 0.3f);
    EXPECT_FLOAT_EQ(pm.getRealValue(kLinear), 3.0f);

    pm.setNormValue(kLinear, 0.8f);
    pm.captureMemento(k);
    pm.setNormValue(kLinear, 0.1f);
    pm.restoreMemento(k);
    EXPECT_FLOAT_EQ(pm.getNormValue(kLinear), 0.8f);
    EXPECT_FLOAT_EQ(pm.getNormValue(kFreq), 0.6f);
}

TEST_F(ManagerTest, UnknownMementoNumbersAreIgnored) {
    pm.createMemento({kLinear});
    pm.setNormValue(kLinear, 0.9f);
    pm.restoreMemento(1);
    pm.restoreMemento(-1);
    pm.captureMemento(5);
    EXPECT_FLOAT_EQ(pm.getNormValue(kLinear), 0.9f);
    EXPECT_TRUE(pm.getMemento(3).empty());
}

// ---------------------------------------------------------------------------------------------
// bad input

TEST_F(ManagerTest, OutOfRangeIndicesReadAsNothingAndWriteNothing) {
    for (int index : {-1, -100000, static_cast<int>(kCapacity), kCapacity + 1000}) {
        pm.setNormValue(index, 0.5f);
        pm.setRealValue(index, 5.0f);
        pm.incrementValue(index);
        pm.decrementValue(index);
        pm.setSyncFlag(index, 1);
        pm.setSynced(index, true);
        pm.setRandomizable(index, true);
        pm.randomizeParam(index);
        pm.defineParam(index, "X", "X", "X", 0.0f, 1.0f, 1.0f, 0);
        EXPECT_EQ(pm.getNormValue(index), 0.0f);
        EXPECT_EQ(pm.getRealValue(index), 0.0f);
        EXPECT_EQ(pm.getDspValue(index), 0.0f);
        EXPECT_EQ(pm.getDspValueOffset(index, 0.3f), 0.0f);
        EXPECT_EQ(pm.getDefault(index), 0.0f);
        EXPECT_EQ(pm.getMin(index), 0.0f);
        EXPECT_EQ(pm.getMax(index), 0.0f);
        EXPECT_EQ(pm.getSyncFlag(index), 0);
        EXPECT_FALSE(pm.isSynced(index));
        EXPECT_FALSE(pm.isRandomizable(index));
        EXPECT_EQ(pm.getType(index), 0);
        EXPECT_EQ(pm.getLongName(index), "");
        EXPECT_EQ(pm.realToNorm(index, 3.0f), 0.0f);
        EXPECT_EQ(pm.normToReal(index, 0.3f), 0.0f);
        EXPECT_EQ(pm.realToDsp(index, 0.3f), 0.0f);
        EXPECT_EQ(pm.getStoredValue(index), 0.0f);

        char buf[32];
        std::memset(buf, '#', sizeof buf);
        pm.getName(index, buf, 8);
        EXPECT_STREQ(buf, "");
        std::memset(buf, '#', sizeof buf);
        pm.getLabel(index, buf, 8);
        EXPECT_STREQ(buf, "");
        std::memset(buf, '#', sizeof buf);
        pm.getDisplay(index, buf, 8);
        EXPECT_STREQ(buf, "");
        std::memset(buf, '#', sizeof buf);
        pm.getNormText(index, buf);
        EXPECT_STREQ(buf, "");
        std::memset(buf, '#', sizeof buf);
        pm.getDisplayNoSpaces(index, buf, 8);
        EXPECT_STREQ(buf, "");

        float out = 42.0f;
        EXPECT_FALSE(pm.parseValue(index, "0.5", out));
        EXPECT_EQ(out, 42.0f);
        std::vector<std::string> choices = {"kept"};
        pm.getIntChoices(index, choices);
        EXPECT_EQ(choices.size(), 1u);
    }
    EXPECT_EQ(pm.getParamCount(), kUndefined);
}

TEST(ManagerCapacity, EmptyOrNegativeCapacityHoldsNothing) {
    vx_paramManager none(-5);
    EXPECT_EQ(none.getCapacity(), 0);
    none.defineParam(0, "A", "A", "", 0.0f, 1.0f, 0.5f, 0);
    EXPECT_EQ(none.getParamCount(), 0);
    EXPECT_EQ(none.getNormValue(0), 0.0f);
}

TEST_F(ManagerTest, StrayPositionsNeverLeaveTheTables) {
    for (float n : {kNaN, kInf, -kInf, -1.0f, 2.0f, 1e30f, -1e30f}) {
        for (int index = 0; index < kUndefined; ++index) {
            pm.setNormValue(index, n);
            pm.getDspValue(index);
            pm.getDspValueOffset(index, n);
            pm.getDspValueOffset(index, 0.5f);
            char buf[16];
            std::memset(buf, '#', sizeof buf);
            pm.getDisplay(index, buf, 8);
            EXPECT_LT(std::strlen(buf), 8u) << index;
            EXPECT_EQ(buf[8], '#');
        }
    }
    // Curve lookups clamp their position.
    pm.setNormValue(kFreq, 3.0f);
    EXPECT_EQ(pm.getNormValue(kFreq), 3.0f);
    EXPECT_FLOAT_EQ(pm.getRealValue(kFreq), 18000.0f);
    pm.setNormValue(kFreq, kNaN);
    EXPECT_FLOAT_EQ(pm.getRealValue(kFreq), 100.0f);
    pm.setNormValue(kDecibel, kNaN);
    EXPECT_EQ(pm.getDspValue(kDecibel), 0.0f);
    pm.setNormValue(kDecibel, 5.0f);
    EXPECT_FLOAT_EQ(pm.getDspValue(kDecibel), 1.0f);
    EXPECT_EQ(pm.realToNorm(kLinear, kNaN), 0.0f);
    EXPECT_EQ(pm.realToDsp(kLinear, kNaN), 0.0f);
}

TEST_F(ManagerTest, HugeValuesFormatWithoutOverflow) {
    char buf[16];
    for (int index = 0; index < kUndefined; ++index) {
        for (float r : {3.4e38f, -3.4e38f, kNaN, kInf}) {
            std::memset(buf, '#', sizeof buf);
            pm.formatValue(index, buf, r, 8);
            EXPECT_LT(std::strlen(buf), 8u) << index;
            EXPECT_EQ(buf[8], '#') << index;
        }
    }
    std::memset(buf, '#', sizeof buf);
    pm.formatFrequency(buf, 3.4e38f, 8);
    EXPECT_EQ(std::strlen(buf), 8u);
    EXPECT_EQ(buf[9], '#');
    pm.setNormValue(kLinear, 3.4e38f);
    std::memset(buf, '#', sizeof buf);
    pm.getNormText(kLinear, buf);
    EXPECT_EQ(std::strlen(buf), 8u);
    EXPECT_EQ(buf[9], '#');
}

} // namespace

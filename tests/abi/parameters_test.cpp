// Parameters as a host reaches them: through the AEffect function pointers and the
// dispatcher's text requests, including indices and values a host should never send.
#include "abi/PluginUnderTest.h"

#include <cmath>
#include <limits>

using kavrel::test::PluginFixture;

TEST_F(PluginFixture, EveryParameterHasShortTextsThroughTheDispatcher) {
    for (int i = 0; i < effect->numParams; ++i) {
        std::string name = host->parameterName(i);
        EXPECT_FALSE(name.empty()) << i;
        EXPECT_LE(name.size(), 8u) << i;
        EXPECT_LE(host->parameterLabel(i).size(), 8u) << i;
        EXPECT_LE(host->parameterDisplay(i).size(), 8u) << i;
        float value = effect->getParameter(effect, i);
        EXPECT_GE(value, 0.0f) << i;
        EXPECT_LE(value, 1.0f) << i;
    }
}

TEST_F(PluginFixture, KnownParametersReadAsTabled) {
    EXPECT_EQ(host->parameterName(0), "KD Tune");
    EXPECT_EQ(host->parameterLabel(0), "Hz");
    EXPECT_EQ(host->parameterName(262), "MIDIOnly");
    EXPECT_EQ(host->parameterName(58), "HTTptchD"); // nine characters, cut to eight
    EXPECT_EQ(host->parameterName(111), "Tempo");
    EXPECT_EQ(host->parameterLabel(111), "BPM");
    // The factory program decides the values; set the ones shown here.
    effect->setParameter(effect, 111, 0.35f);
    EXPECT_EQ(host->parameterDisplay(111), " 120");
    effect->setParameter(effect, 113, 0.0f);
    EXPECT_EQ(host->parameterDisplay(113), "HOST");
    effect->setParameter(effect, 114, 0.0f);
    EXPECT_EQ(host->parameterDisplay(114), "01");
    effect->setParameter(effect, 108, 0.0f);
    EXPECT_EQ(host->parameterDisplay(108), "1 x 32");
    effect->setParameter(effect, 142, 0.0f);
    EXPECT_EQ(host->parameterDisplay(142), "A");
}

TEST_F(PluginFixture, SetParameterReachesDisplays) {
    effect->setParameter(effect, 113, 0.4f);
    EXPECT_EQ(host->parameterDisplay(113), "INT");
    effect->setParameter(effect, 114, 1.0f);
    EXPECT_EQ(host->parameterDisplay(114), "16");
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 114), 1.0f);
    effect->setParameter(effect, 145, 0.6f);
    EXPECT_EQ(host->parameterDisplay(145), "D");
}

TEST_F(PluginFixture, HostileIndicesAndValuesAreHarmless) {
    for (int index : {-1, -1000, 263, 264, 1 << 30}) {
        effect->setParameter(effect, index, 0.5f);
        EXPECT_EQ(effect->getParameter(effect, index), 0.0f) << index;
        EXPECT_EQ(host->parameterName(index), "") << index;
        EXPECT_EQ(host->parameterLabel(index), "") << index;
        EXPECT_EQ(host->parameterDisplay(index), "") << index;
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int index : {0, 11, 14, 108, 113, 114, 115, 118, 202, 262}) {
        for (float value : {nan, inf, -inf, -3.0f, 7.5f}) {
            effect->setParameter(effect, index, value);
            float stored = effect->getParameter(effect, index);
            EXPECT_GE(stored, 0.0f) << index;
            EXPECT_LE(stored, 1.0f) << index;
            EXPECT_LE(host->parameterDisplay(index).size(), 8u) << index;
        }
    }
    host->start(44100.0f, 64);
    host->process(64);
    for (const auto& channel : host->outputs())
        for (float sample : channel) ASSERT_TRUE(std::isfinite(sample));
}

TEST_F(PluginFixture, NullPointersFromTheHostAreIgnored) {
    EXPECT_EQ(host->dispatch(vst::effGetParamName, 0, 0, nullptr), 0);
    EXPECT_EQ(host->dispatch(vst::effGetParamDisplay, 0, 0, nullptr), 0);
    EXPECT_EQ(host->dispatch(vst::effGetEffectName, 0, 0, nullptr), 0);
    EXPECT_EQ(host->dispatch(vst::effCanDo, 0, 0, nullptr), 0);
    EXPECT_EQ(host->dispatch(vst::effGetOutputProperties, 0, 0, nullptr), 0);
    EXPECT_EQ(host->dispatch(vst::effProcessEvents, 0, 0, nullptr), 0);
    EXPECT_EQ(host->dispatch(vst::effSetChunk, 0, 100, nullptr), 0);
    EXPECT_EQ(host->dispatch(vst::effEditGetRect, 0, 0, nullptr), 0);
}

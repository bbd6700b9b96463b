#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/vxsp_compressor.h"

namespace {

// The settings the engine starts the master compressor with.
void configure_as_master(vxsp_compressor& c) {
    c.set_input_gain(0.0f);
    c.set_threshold(0.0f);
    c.set_attack(0.0005f);
    c.set_release(0.05f);
    c.set_ratio(1000.0f);
    c.set_output_gain(0.0f);
}

float run(vxsp_compressor& c, float x, int n) {
    float y = 0.0f;
    for (int i = 0; i < n; ++i) y = c.process(x);
    return y;
}

TEST(DspCompressor, LimitsALoudSignalJustAboveFullScale) {
    // A detector that follows the peak exactly (instant attack) settles on the input level,
    // and ratio 1000 leaves 1/1000 of the 20 dB excess.
    vxsp_compressor c;
    configure_as_master(c);
    c.set_attack(0.0f);
    const float out = run(c, 10.0f, 10000);
    EXPECT_NEAR(20.0 * std::log10(out), 0.02, 1e-3);
    EXPECT_NEAR(c.get_gain_reduction_db(), -19.98f, 1e-3f);

    // With the real attack and release the detector ripples a little below the peak.
    vxsp_compressor master;
    configure_as_master(master);
    const float limited = run(master, 10.0f, 44100);
    EXPECT_GT(20.0 * std::log10(limited), 0.0);
    EXPECT_LT(20.0 * std::log10(limited), 0.2);
}

TEST(DspCompressor, SignalBelowThresholdPassesUnchanged) {
    vxsp_compressor c;
    configure_as_master(c);
    run(c, 0.5f, 44100);
    EXPECT_EQ(c.process(0.5f), 0.5f);
    EXPECT_EQ(c.get_gain_reduction_db(), 0.0f);
    EXPECT_EQ(c.process(-0.5f), -0.5f);
}

TEST(DspCompressor, GainsAndRatioShapeTheStaticCurve) {
    // Threshold -20 dB, ratio 4, 6 dB in, 3 dB out: a 0 dB tone reads +6 dB, 26 dB over,
    // reduced by 19.5 dB.
    vxsp_compressor c;
    c.set_threshold(-20.0f);
    c.set_ratio(4.0f);
    c.set_input_gain(6.0f);
    c.set_output_gain(3.0f);
    c.set_attack(0.0f);
    const float y = run(c, 1.0f, 1000);
    EXPECT_NEAR(c.get_gain_reduction_db(), -0.75f * 26.0f, 0.01f);
    EXPECT_NEAR(20.0 * std::log10(y), 6.0 - 19.5 + 3.0, 0.01);
}

TEST(DspCompressor, GainIsTheHardKneeCurveInDecibelsOverADenseGrid) {
    // The gain is one power of the level over the threshold level; the curve is defined in
    // dB (ratio-th of each dB over the threshold). Reference in double precision over
    // thresholds -60..0 dB, ratios 1..1000 and levels from the threshold to 60 dB over it.
    // The power's argument is rounded once more than the dB form's, so the bound is a few
    // float roundings: 2.5e-7 relative at worst here (2e-6 dB), held to 1e-6.
    double worst = 0.0;
    for (float threshold = -60.0f; threshold <= 0.0f; threshold += 7.5f) {
        for (float ratio : {1.0f, 1.5f, 2.0f, 4.0f, 10.0f, 100.0f, 1000.0f}) {
            for (int step = 0; step <= 600; ++step) {
                const double level_db = threshold + step * 0.1;
                const float level = static_cast<float>(std::pow(10.0, level_db / 20.0));
                vxsp_compressor c;
                c.set_threshold(threshold);
                c.set_ratio(ratio);
                c.set_attack(0.0f);
                c.set_release(1000.0f);
                c.process(level); // from rest, an instant attack reads the level exactly
                const double over = 20.0 * std::log10(static_cast<double>(level)) - threshold;
                const double want =
                    over < 0.0 ? 1.0 : std::pow(10.0, (1.0 / ratio - 1.0) * over / 20.0);
                worst = std::max(worst, std::fabs(c.get_gain_reduction() / want - 1.0));
            }
        }
    }
    EXPECT_LT(worst, 1e-6);
}

TEST(DspCompressor, DetectorFloorReadsMinus100Db) {
    vxsp_compressor c;
    c.set_release(0.0001f); // the envelope falls below 0.00001 within a few samples
    c.set_threshold(-110.0f);
    c.set_ratio(2.0f);
    for (int i = 0; i < 100; ++i) c.process(0.0f);
    EXPECT_LT(c.get_envelope(), 0.00001f);
    // (1/2 - 1) * (-100 - -110)
    EXPECT_FLOAT_EQ(c.get_gain_reduction_db(), -5.0f);
    EXPECT_TRUE(std::isfinite(c.process(0.0f)));
}

TEST(DspCompressor, StartsAndResetsAtRestSoTheFirstHitIsLikeTheNext) {
    // A quiet signal well under the threshold passes untouched from its very first sample, both
    // after construction and after a reset that follows a loud passage.
    vxsp_compressor c;
    configure_as_master(c);
    c.set_threshold(-10.0f);
    EXPECT_EQ(c.get_envelope(), 0.0f);
    EXPECT_FLOAT_EQ(c.process(0.01f), 0.01f);
    run(c, 3.0f, 4410);
    EXPECT_LT(c.get_gain_reduction_db(), -10.0f);
    c.reset();
    EXPECT_EQ(c.get_envelope(), 0.0f);
    EXPECT_FLOAT_EQ(c.process(0.01f), 0.01f);

    // The same hit at the start and after a long silence comes out the same.
    auto hit = [](vxsp_compressor& comp) {
        float peak = 0.0f;
        for (int i = 0; i < 2000; ++i) {
            const float x = 0.9f * std::exp(-i / 400.0f) * (i % 40 < 20 ? 1.0f : -1.0f);
            peak = std::fmax(peak, std::fabs(comp.process(x)));
        }
        return peak;
    };
    vxsp_compressor d;
    configure_as_master(d);
    d.set_threshold(-12.0f);
    const float first = hit(d);
    run(d, 0.0f, 44100);
    EXPECT_NEAR(hit(d), first, first * 1e-4f);
}

TEST(DspCompressor, StereoPathLinksBothChannels) {
    vxsp_compressor c;
    configure_as_master(c);
    c.set_attack(0.0f);
    float l = 0.0f, r = 0.0f;
    for (int i = 0; i < 1000; ++i) c.process_stereo(4.0f, 0.5f, &l, &r);
    const float g = c.get_gain_reduction();
    EXPECT_NEAR(20.0 * std::log10(g), c.get_gain_reduction_db(), 1e-4);
    EXPECT_FLOAT_EQ(l, 4.0f * g);
    EXPECT_FLOAT_EQ(r, 0.5f * g); // the quiet side is turned down with the loud one
    EXPECT_NEAR(20.0 * std::log10(l), 20.0 * std::log10(4.0) / 1000.0, 1e-3);

    // Swapping channels gives the same gain.
    vxsp_compressor d;
    configure_as_master(d);
    d.set_attack(0.0f);
    for (int i = 0; i < 1000; ++i) d.process_stereo(0.5f, -4.0f, &l, &r);
    EXPECT_FLOAT_EQ(d.get_gain_reduction(), g);
}

TEST(DspCompressor, AttackTimeIsInSecondsAtEveryRate) {
    // Samples for the detector to climb 63 % of the way to a step (one time constant).
    auto samples_to_settle = [](float rate) {
        vxsp_compressor c;
        c.set_sample_rate(rate);
        c.set_attack(0.01f);
        c.set_release(1000.0f);
        c.reset();
        int n = 0;
        while (c.get_envelope() < 10.0f * 0.632f && n < 100000) {
            c.process(10.0f);
            ++n;
        }
        return n;
    };
    EXPECT_NEAR(samples_to_settle(44100.0f), 441, 3);
    EXPECT_NEAR(samples_to_settle(48000.0f), 480, 3);
    EXPECT_NEAR(samples_to_settle(96000.0f), 960, 3);
}

TEST(DspCompressor, InvalidSettingsDoNotBreakTheDetector) {
    vxsp_compressor c;
    configure_as_master(c);
    c.set_sample_rate(0.0f);
    c.set_sample_rate(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(c.get_sample_rate(), 44100.0f);
    c.set_attack(-1.0f);
    c.set_release(-1.0f);
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(std::isfinite(c.process(i % 2 ? 2.0f : -2.0f)));
}

TEST(DspCompressor, NonFiniteSampleDoesNotStickInTheDetector) {
    vxsp_compressor c;
    configure_as_master(c);
    c.process(std::numeric_limits<float>::infinity());
    c.process(std::numeric_limits<float>::quiet_NaN());
    float l = 0.0f, r = 0.0f;
    c.process_stereo(std::numeric_limits<float>::infinity(), 0.0f, &l, &r);
    EXPECT_TRUE(std::isfinite(c.get_envelope()));
    run(c, 0.5f, 44100);
    EXPECT_EQ(c.process(0.5f), 0.5f);
}

// The run form must give every sample the per-sample form gives, including the shortcut
// through silence once the detector has come to rest: silence, a hit out of silence (its
// first sample exact), the decay back to rest, silence again and a second hit, cut into runs
// of uneven lengths.
TEST(DspCompressor, RunsGiveTheSamplesOfThePerSampleForm) {
    std::vector<float> left(320000, 0.0f), right(320000, 0.0f);
    for (int start : {1000, 200000})
        for (int i = 0; i < 2000; ++i) {
            left[start + i] = 1.5f * std::sin(0.05f * static_cast<float>(i));
            right[start + i] = 0.5f * std::cos(0.03f * static_cast<float>(i));
        }
    for (float amount : {0.0f, 0.7f}) {
        vxsp_compressor one, runs;
        for (vxsp_compressor* c : {&one, &runs}) {
            configure_as_master(*c);
            c->set_input_gain(10.0f * amount);
            c->set_threshold(-30.0f * amount);
            c->set_output_gain(18.0f * amount);
            c->reset();
        }
        const float gain = 0.8f;
        std::vector<float> expected_left(left.size()), expected_right(left.size());
        for (size_t i = 0; i < left.size(); ++i) {
            one.process_stereo(left[i], right[i], &expected_left[i], &expected_right[i]);
            expected_left[i] *= gain;
            expected_right[i] *= gain;
        }
        std::vector<float> out_left(left.size()), out_right(left.size());
        size_t at = 0;
        for (int n = 1; at < left.size(); n = n % 300 + 37) {
            const int frames = static_cast<int>(std::min<size_t>(n, left.size() - at));
            runs.process_stereo_run(&left[at], &right[at], &out_left[at], &out_right[at], frames,
                                    gain);
            at += frames;
        }
        for (size_t i = 0; i < left.size(); ++i) {
            ASSERT_EQ(out_left[i], expected_left[i]) << amount << " " << i;
            ASSERT_EQ(out_right[i], expected_right[i]) << amount << " " << i;
        }
        EXPECT_EQ(runs.get_envelope(), one.get_envelope());
        EXPECT_EQ(runs.get_envelope(), 0.0f); // the detector did come to rest
        EXPECT_NE(expected_right[200000], 0.0f);
    }
}

} // namespace

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/vxsp_eg_breakpoint.h"
#include "dsp/vxsp_eg_breakpoint_ar.h"

namespace {

// Runs the curved walk n times.
std::vector<float> render(vxsp_eg_breakpoint& eg, int n) {
    std::vector<float> out(n);
    for (float& v : out) v = eg.process(0.0f);
    return out;
}

// Samples until the envelope reports finished (the finishing sample included).
std::vector<float> render_to_end(vxsp_eg_breakpoint& eg, int limit = 1000000) {
    std::vector<float> out;
    while (eg.is_running() && static_cast<int>(out.size()) < limit) out.push_back(eg.process(0));
    return out;
}

TEST(DspEnvelope, UntriggeredEnvelopeHoldsLastBreakpointLevel) {
    vxsp_eg_breakpoint_ar eg;
    EXPECT_TRUE(eg.is_finished());
    EXPECT_FALSE(eg.is_running());
    for (float v : render(eg, 100)) EXPECT_EQ(v, 0.0f);

    vxsp_eg plain;
    plain.trigger();
    EXPECT_EQ(plain.process(0.7f), 0.0f);
}

TEST(DspEnvelope, DefaultAttackDecayAt44100HasExactSegmentLengths) {
    vxsp_eg_breakpoint_ar eg;
    ASSERT_EQ(eg.get_breakpoint_samples(1), 44);
    ASSERT_EQ(eg.get_breakpoint_samples(2), 11025);

    eg.trigger();
    std::vector<float> attack = render(eg, 44);
    EXPECT_EQ(attack[0], 0.0f);
    for (int i = 0; i < 44; ++i) EXPECT_NEAR(attack[i], i / 44.0f, 1e-6f) << i;
    for (int i = 1; i < 44; ++i) EXPECT_GT(attack[i], attack[i - 1]);

    // The decay starts exactly on the peak and runs 11025 samples; the envelope reports
    // finished on the call that produces the last of them, not one later.
    std::vector<float> decay;
    for (int i = 0; i < 11025; ++i) {
        ASSERT_TRUE(eg.is_running()) << "decay sample " << i;
        decay.push_back(eg.process(0.0f));
    }
    EXPECT_TRUE(eg.is_finished());
    EXPECT_EQ(decay[0], 1.0f);
    EXPECT_NEAR(decay[11024], 1.0f / 11025.0f, 1e-6f);
    for (int i = 1; i < 11025; ++i) ASSERT_LT(decay[i], decay[i - 1]);
    for (float v : render(eg, 50)) EXPECT_EQ(v, 0.0f);
}

TEST(DspEnvelope, SlowAttackRetriggerGlidesToRestLevelInFiveSamples) {
    vxsp_eg_breakpoint_ar eg;
    eg.set_attack_time(10.0f);
    // Park the output at 0.6 by ending on that level.
    eg.set_breakpoint_level(2, 0.6f);
    eg.stop();
    ASSERT_EQ(eg.process(0.0f), 0.6f);

    eg.trigger();
    const std::vector<float> out = render(eg, 7);
    const float expected[] = {0.6f, 0.48f, 0.36f, 0.24f, 0.12f, 0.0f};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(out[i], expected[i], 1e-6f) << i;
    EXPECT_EQ(out[5], 0.0f);
    EXPECT_GT(out[6], 0.0f); // the 10 ms attack is under way
    EXPECT_EQ(eg.get_segment_index(), 1);
}

TEST(DspEnvelope, ShortAttackRetriggerRestartsAtOnce) {
    vxsp_eg_breakpoint_ar eg;
    eg.trigger();
    render(eg, 500); // into the decay
    ASSERT_GT(eg.get_output(), 0.5f);
    eg.trigger();
    EXPECT_EQ(eg.process(0.0f), 0.0f);
    EXPECT_EQ(eg.get_segment_index(), 1);
}

TEST(DspEnvelope, SegmentsAreNeverShorterThanOneSample) {
    vxsp_eg_breakpoint_ar eg;
    eg.set_attack_time(0.0f);
    EXPECT_EQ(eg.get_breakpoint_samples(1), 1);
    eg.set_decay_time(-5.0f);
    EXPECT_EQ(eg.get_breakpoint_samples(2), 1);
    eg.set_decay_time(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(eg.get_breakpoint_samples(2), 1);

    eg.trigger();
    EXPECT_EQ(eg.process(0.0f), 0.0f);
    EXPECT_TRUE(eg.is_running());
    EXPECT_EQ(eg.process(0.0f), 1.0f);
    EXPECT_TRUE(eg.is_finished());
    EXPECT_EQ(eg.process(0.0f), 0.0f);
}

TEST(DspEnvelope, OverlongTimeIsClampedNotOverflowed) {
    vxsp_eg_breakpoint_ar eg;
    eg.set_decay_time(1e30f);
    EXPECT_GT(eg.get_breakpoint_samples(2), 2000000000);
    eg.trigger();
    render(eg, 100);
    EXPECT_TRUE(eg.is_running());
    EXPECT_GT(eg.get_output(), 0.99f);
}

TEST(DspEnvelope, BreakpointZeroHasNoTravelTime) {
    vxsp_eg_breakpoint_ar eg;
    const float time0 = eg.get_breakpoint_time(0);
    const int samples0 = eg.get_breakpoint_samples(0);
    eg.set_breakpoint_time(0, 77.0f);
    EXPECT_EQ(eg.get_breakpoint_time(0), time0);
    EXPECT_EQ(eg.get_breakpoint_samples(0), samples0);
    EXPECT_EQ(samples0, 220); // the 5 ms default
}

TEST(DspEnvelope, OutOfRangeBreakpointIndicesAreIgnored) {
    vxsp_eg_breakpoint_ar eg;
    eg.set_breakpoint_level(3, 1.0f);
    eg.set_breakpoint_level(-1, 1.0f);
    eg.set_breakpoint_time(7, 1.0f);
    eg.set_breakpoint_curve(-2, 1.0f);
    eg.update_breakpoint_samples(99);
    EXPECT_EQ(eg.get_breakpoint_count(), 3);
    eg.trigger();
    EXPECT_EQ(render_to_end(eg).size(), 44u + 11025u);
}

// Sample j of an n-sample decay from 1 to 0 under each curve.
TEST(DspEnvelope, DecayCurvesFollowThePowerLaws) {
    struct Case {
        float curve;
        double (*shape)(double phase);
    };
    const Case cases[] = {
        {0.0f, [](double p) { return 1.0 - p; }},
        {1.0f, [](double p) { return 1.0 - std::pow(p, 10.0); }},
        {-1.0f, [](double p) { return std::pow(1.0 - p, 10.0); }},
        {0.5f, [](double p) { return 1.0 - std::pow(p, std::sqrt(10.0)); }},
    };
    for (const Case& c : cases) {
        vxsp_eg_breakpoint_ar eg;
        eg.set_attack_time(0.0f);
        eg.set_decay_time(10.0f); // 441 samples
        eg.set_decay_curve(c.curve);
        eg.trigger();
        eg.process(0.0f);
        const std::vector<float> decay = render_to_end(eg);
        ASSERT_EQ(decay.size(), 441u);
        for (int j = 0; j < 441; ++j)
            ASSERT_NEAR(decay[j], c.shape(j / 441.0), 2e-6) << "curve " << c.curve << " j " << j;
    }
}

TEST(DspEnvelope, PositiveCurveBowsAboveTheLineBothWays) {
    for (float curve : {0.7f, -0.7f}) {
        vxsp_eg_breakpoint_ar eg;
        eg.set_attack_time(5.0f);
        eg.set_attack_curve(curve);
        eg.set_decay_time(5.0f);
        eg.set_decay_curve(curve);
        eg.trigger();
        render(eg, 5); // de-click glide from rest
        const std::vector<float> attack = render(eg, eg.get_segment_length());
        const std::vector<float> decay = render(eg, eg.get_segment_length());
        const int n = static_cast<int>(attack.size());
        for (int j = 1; j < n; ++j) {
            const float line_up = static_cast<float>(j) / n;
            const float line_down = 1.0f - line_up;
            if (curve > 0) {
                EXPECT_GT(attack[j], line_up) << j;
                EXPECT_GT(decay[j], line_down) << j;
            } else {
                EXPECT_LT(attack[j], line_up) << j;
                EXPECT_LT(decay[j], line_down) << j;
            }
        }
    }
}

TEST(DspEnvelope, CurveChangeWaitsForTheNextSegment) {
    vxsp_eg_breakpoint_ar eg;
    eg.set_attack_time(0.0f);
    eg.set_decay_time(10.0f);
    eg.trigger();
    render(eg, 101); // attack sample + 100 decay samples
    eg.set_decay_curve(-1.0f);
    std::vector<float> rest = render_to_end(eg);
    for (size_t j = 0; j < rest.size(); ++j)
        ASSERT_NEAR(rest[j], 1.0 - (100.0 + j) / 441.0, 2e-6) << j;

    eg.trigger();
    eg.process(0.0f);
    const std::vector<float> curved = render(eg, 101);
    EXPECT_NEAR(curved[100], std::pow(1.0 - 100.0 / 441.0, 10.0), 2e-6);
}

TEST(DspEnvelope, StopHoldsTheFinalLevelAtOnce) {
    vxsp_eg_breakpoint_ar eg;
    eg.trigger();
    render(eg, 300);
    eg.stop();
    EXPECT_TRUE(eg.is_finished());
    EXPECT_EQ(eg.process(0.0f), 0.0f);
}

TEST(DspEnvelope, GeneralBreakpointListWalksEverySegment) {
    // A clap-like burst: segments of 2, 529, 2, 573 samples at 44100 Hz.
    vxsp_eg_breakpoint eg;
    eg.set_breakpoint_level(0, 0.0f);
    eg.set_breakpoint_level(1, 1.0f);
    eg.set_breakpoint_time(1, 0.05f);
    eg.set_breakpoint_curve(1, -0.8f);
    EXPECT_EQ(eg.add_breakpoint(0.0f, 12.0f), 2);
    EXPECT_EQ(eg.add_breakpoint(1.0f, 0.05f), 3);
    EXPECT_EQ(eg.add_breakpoint(0.2f, 13.0f), 4);
    const int expected_lengths[] = {2, 529, 2, 573};
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(eg.get_breakpoint_samples(i), expected_lengths[i - 1]);

    eg.trigger();
    const std::vector<float> out = render_to_end(eg);
    ASSERT_EQ(out.size(), 2u + 529u + 2u + 573u);
    // Each segment starts on the level it leaves.
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[2], 1.0f);
    EXPECT_EQ(out[531], 0.0f);
    EXPECT_EQ(out[533], 1.0f);
    EXPECT_EQ(eg.process(0.0f), 0.2f);
}

TEST(DspEnvelope, LinearWalkUsesStraightIncrements) {
    vxsp_eg_breakpoint_ar eg;
    eg.set_attack_time(0.1f); // 4 samples
    eg.set_decay_time(0.2f);  // 8 samples
    EXPECT_EQ(eg.start(), 4);
    std::vector<float> out;
    while (eg.is_running()) out.push_back(eg.process_linear());
    const float expected[] = {0.0f,  0.25f,  0.5f, 0.75f,  1.0f,  0.875f,
                              0.75f, 0.625f, 0.5f, 0.375f, 0.25f, 0.125f};
    ASSERT_EQ(out.size(), 12u);
    for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(out[i], expected[i]) << i;
    EXPECT_EQ(eg.process_linear(), 0.0f);
}

TEST(DspEnvelope, SampleRateChangesRescaleEverySegment) {
    struct Case {
        float rate;
        int attack, decay;
    };
    for (const Case& c :
         {Case{48000.0f, 48, 12000}, Case{96000.0f, 96, 24000}, Case{44100.0f, 44, 11025}}) {
        vxsp_eg_breakpoint_ar eg;
        eg.set_sample_rate(c.rate);
        EXPECT_EQ(eg.get_breakpoint_samples(1), c.attack);
        EXPECT_EQ(eg.get_breakpoint_samples(2), c.decay);
        eg.trigger();
        EXPECT_EQ(render_to_end(eg).size(), static_cast<size_t>(c.attack + c.decay));
    }
}

TEST(DspEnvelope, SampleRateChangeMidSegmentResizesThatSegment) {
    vxsp_eg_breakpoint_ar eg;
    eg.trigger();
    render(eg, 44 + 1000);
    eg.set_sample_rate(96000.0f);
    EXPECT_EQ(eg.get_segment_length(), 24000);
    // The counter carries on from 1000.
    EXPECT_EQ(render_to_end(eg).size(), 23000u);
}

// Voices render their envelopes a run at a time. A run must give what as many process() calls
// give, and running_for must count the samples before the end, even when the decay is moved
// mid-segment (shorter than what has been walked, longer again), the hit repeats with the same
// settings (the kept powers) or is cut by stop().
TEST(DspEnvelope, RunsWalkTheSameValuesAsOneSampleAtATime) {
    vxsp_eg_breakpoint_ar runs, one;
    for (auto* eg : {&runs, &one}) {
        eg->set_sample_rate(44100.0f);
        eg->set_attack_time(3.0f);
        eg->set_attack_curve(0.4f);
        eg->set_decay_time(60.0f);
        eg->set_decay_curve(-0.7f);
    }
    const int lengths[] = {1, 256, 37, 200, 5, 256, 129};
    int cut = 0;
    auto step = [&](int n) {
        std::vector<float> a(static_cast<size_t>(n)), b(static_cast<size_t>(n));
        const int before = runs.running_for(n);
        runs.process_run(a.data(), n);
        int sounding = n;
        for (int i = 0; i < n; ++i) {
            if (one.is_finished() && sounding == n) sounding = i;
            b[static_cast<size_t>(i)] = one.process(0.0f);
        }
        ASSERT_EQ(before, sounding);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(a[static_cast<size_t>(i)], b[static_cast<size_t>(i)]) << i;
    };
    for (int hit = 0; hit < 4; ++hit) {
        runs.trigger();
        one.trigger();
        for (int k = 0; k < 20; ++k) step(lengths[cut++ % 7]);
        if (hit == 1) {
            // Far into the decay: now shorter than what it has walked, then longer again.
            runs.set_decay_time(2.0f);
            one.set_decay_time(2.0f);
            step(3);
            runs.set_decay_time(60.0f);
            one.set_decay_time(60.0f);
        }
        if (hit == 2) {
            runs.stop();
            one.stop();
        }
        for (int k = 0; k < 20; ++k) step(lengths[cut++ % 7]);
    }
}

TEST(DspEnvelope, InvalidSampleRatesAreIgnored) {
    vxsp_eg_breakpoint_ar eg;
    eg.set_sample_rate(48000.0f);
    for (float bad : {0.0f, -44100.0f, std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN(), 1e-40f}) {
        eg.set_sample_rate(bad);
        EXPECT_EQ(eg.get_sample_rate(), 48000.0f);
        EXPECT_EQ(eg.get_breakpoint_samples(2), 12000);
    }
}

} // namespace

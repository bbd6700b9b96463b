#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/vxsp_filter_rbj_band_pass.h"
#include "dsp/vxsp_filter_rbj_high_pass.h"
#include "dsp/vxsp_filter_rbj_low_pass.h"
#include "support/SignalAnalysis.h"

using kavrel::test::biquad_magnitude;
using kavrel::test::kPi;
using kavrel::test::tone_amplitude;

namespace {

enum class Kind { low, high, band };

std::unique_ptr<vxsp_filter_rbj> make(Kind kind) {
    switch (kind) {
    case Kind::low:
        return std::make_unique<vxsp_filter_rbj_low_pass>();
    case Kind::high:
        return std::make_unique<vxsp_filter_rbj_high_pass>();
    case Kind::band:
        return std::make_unique<vxsp_filter_rbj_band_pass>();
    }
    return nullptr;
}

const char* name(Kind kind) {
    return kind == Kind::low ? "low-pass" : kind == Kind::high ? "high-pass" : "band-pass";
}

double response_from_coefficients(const vxsp_filter_rbj& f, double hz) {
    return biquad_magnitude(f.get_b0(), f.get_b1(), f.get_b2(), f.get_a1(), f.get_a2(), hz,
                            f.get_sample_rate());
}

// Steady-state gain for a sine of hz, measured on the filter's output.
double measured_gain(vxsp_filter_rbj& f, double hz) {
    const double rate = f.get_sample_rate();
    const int settle = static_cast<int>(rate / 2);
    const int n = static_cast<int>(rate / 2);
    std::vector<float> out;
    out.reserve(n);
    for (int i = 0; i < settle + n; ++i) {
        const float y = f.process(static_cast<float>(std::sin(2.0 * kPi * hz * i / rate)));
        if (i >= settle) out.push_back(y);
    }
    return tone_amplitude(out, hz, rate);
}

float settle_on(vxsp_filter_rbj& f, float constant, int n) {
    float y = 0.0f;
    for (int i = 0; i < n; ++i) y = f.process(constant);
    return y;
}

TEST(DspFilter, MeasuredResponseMatchesItsCoefficients) {
    for (Kind kind : {Kind::low, Kind::high, Kind::band}) {
        for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
            auto f = make(kind);
            f->set_sample_rate(rate);
            f->set_frequency(2000.0f);
            f->set_q(2.0f);
            for (double hz : {100.0, 1000.0, 2000.0, 4000.0, 12000.0}) {
                const double expected = response_from_coefficients(*f, hz);
                EXPECT_NEAR(measured_gain(*f, hz), expected, 1e-3 + expected * 1e-3)
                    << name(kind) << " at " << rate << " Hz, " << hz << " Hz";
            }
        }
    }
}

TEST(DspFilter, LowPassHasUnityGainAtDcAndRollsOffAboveTheCorner) {
    vxsp_filter_rbj_low_pass f;
    EXPECT_EQ(f.get_frequency(), 1000.0f);
    EXPECT_EQ(f.get_q(), 0.707f);
    EXPECT_NEAR(f.get_b0() + f.get_b1() + f.get_b2(), 1.0f + f.get_a1() + f.get_a2(), 1e-7f);
    EXPECT_NEAR(settle_on(f, 1.0f, 20000), 1.0f, 1e-5f);

    vxsp_filter_rbj_low_pass g;
    // The sinh form of alpha damps a little more than the textbook Q: -3.7 dB at the corner.
    const double corner = kavrel::test::to_db(measured_gain(g, 1000.0));
    EXPECT_NEAR(corner, 20.0 * std::log10(1.0 / (2.0 * std::sinh(1.0 / (2.0 * 0.707)))), 0.01);
    EXPECT_LT(corner, -3.0);
    EXPECT_GT(corner, -4.0);
    // Two poles: about -12 dB per octave well above the corner (and below the zero the
    // bilinear transform puts at the Nyquist frequency).
    vxsp_filter_rbj_low_pass fast;
    fast.set_sample_rate(96000.0f);
    const double octave = kavrel::test::to_db(measured_gain(fast, 4000.0)) -
                          kavrel::test::to_db(measured_gain(fast, 8000.0));
    EXPECT_NEAR(octave, 12.0, 1.5);
}

TEST(DspFilter, HighPassBlocksDcAndPassesTheTop) {
    vxsp_filter_rbj_high_pass f;
    EXPECT_NEAR(settle_on(f, 1.0f, 20000), 0.0f, 1e-5f);
    vxsp_filter_rbj_high_pass g;
    float y = 0.0f;
    for (int i = 0; i < 20000; ++i) y = g.process(i % 2 ? -1.0f : 1.0f);
    EXPECT_NEAR(std::fabs(y), 1.0f, 1e-4f);
}

TEST(DspFilter, BandPassPeaksAtUnityOnItsCentre) {
    for (float q : {0.707f, 1.7f, 3.1f, 8.0f}) {
        vxsp_filter_rbj_band_pass f;
        f.set_frequency(2640.0f);
        f.set_q(q);
        EXPECT_NEAR(measured_gain(f, 2640.0), 1.0, 2e-3) << q;
        EXPECT_LT(measured_gain(f, 2640.0 / 3.0), 0.8) << q;
        EXPECT_LT(measured_gain(f, 2640.0 * 3.0), 0.8) << q;
        EXPECT_NEAR(settle_on(f, 1.0f, 40000), 0.0f, 1e-5f) << q;
    }
}

TEST(DspFilter, ResonanceMapsToQ) {
    vxsp_filter_rbj_low_pass lp;
    vxsp_filter_rbj_high_pass hp;
    vxsp_filter_rbj_band_pass bp;
    lp.set_resonance(0.0f);
    EXPECT_EQ(lp.get_q(), 1.0f);
    lp.set_resonance(1.0f);
    hp.set_resonance(1.0f);
    bp.set_resonance(1.0f);
    EXPECT_EQ(lp.get_q(), 11.0f);
    EXPECT_EQ(hp.get_q(), 11.0f);
    EXPECT_EQ(bp.get_q(), 8.0f);
    bp.set_resonance(0.1f);
    EXPECT_FLOAT_EQ(bp.get_q(), 1.7f);
}

TEST(DspFilter, SettingTheSameValueTouchesNothing) {
    vxsp_filter_rbj_low_pass a, b;
    for (int i = 0; i < 100; ++i) {
        const float x = static_cast<float>(std::sin(i * 0.3));
        a.process(x);
        b.process(x);
    }
    a.set_frequency(1000.0f);
    a.set_q(0.707f);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(a.process(0.25f), b.process(0.25f)) << i;

    // A new corner changes the coefficients but keeps the history: no jump to zero.
    const float before = a.process(0.25f);
    a.set_frequency(1100.0f);
    EXPECT_NEAR(a.process(0.25f), before, 0.05f);
}

TEST(DspFilter, SilenceNeverDecaysIntoSubnormals) {
    for (Kind kind : {Kind::low, Kind::high, Kind::band}) {
        auto f = make(kind);
        f->process(1.0f);
        bool nonzero_tail = false;
        for (int i = 0; i < 200000; ++i) {
            const float y = f->process(0.0f);
            ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL) << name(kind) << " sample " << i;
            ASSERT_LT(std::fabs(y), 1e-3f + (i < 2000 ? 1.0f : 0.0f));
            if (i > 190000 && y != 0.0f) nonzero_tail = true;
        }
        EXPECT_TRUE(nonzero_tail) << name(kind);
    }
    // The plain path has no offset: silence in, silence out.
    vxsp_filter_rbj_low_pass plain;
    for (int i = 0; i < 100; ++i) ASSERT_EQ(plain.process_plain(0.0f), 0.0f);
}

// Voices hold a filter's history for a run; the run must be the filter, sample for sample,
// through a corner moved between runs and a non-finite input that restarts it mid-run.
TEST(DspFilter, ARunGivesTheSamplesOfTheFilterAndHandsBackItsHistory) {
    for (Kind kind : {Kind::low, Kind::high, Kind::band}) {
        auto alone = make(kind);
        auto in_runs = make(kind);
        int n = 0;
        auto input = [&n] {
            ++n;
            if (n == 700) return std::numeric_limits<float>::quiet_NaN();
            return static_cast<float>(std::sin(0.37 * n) + 0.3 * std::sin(0.011 * n));
        };
        for (int length : {1, 5, 256, 1000, 2, 333}) {
            for (auto* f : {alone.get(), in_runs.get()}) f->set_frequency(200.0f + 3.0f * length);
            auto run = in_runs->begin_run();
            for (int i = 0; i < length; ++i) {
                const float x = input();
                ASSERT_EQ(run.process(x), alone->process(x)) << name(kind) << " sample " << n;
            }
            in_runs->end_run(run);
            // Between runs the filter carries on from where the run left it.
            const float x = input();
            ASSERT_EQ(in_runs->process(x), alone->process(x)) << name(kind) << " sample " << n;
        }
    }
}

TEST(DspFilter, SampleRateChangeClearsHistoryAndMovesNothingAudible) {
    vxsp_filter_rbj_low_pass f;
    settle_on(f, 1.0f, 1000);
    f.set_sample_rate(96000.0f);
    EXPECT_NEAR(f.get_omega(), 2.0 * kPi * 1000.0 / 96000.0, 1e-6);
    EXPECT_FLOAT_EQ(f.process(0.0f), 0.0f);
    // The corner stays at 1000 Hz in Hz, not in samples.
    const double at_48k = [] {
        vxsp_filter_rbj_low_pass g;
        g.set_sample_rate(48000.0f);
        return measured_gain(g, 1000.0);
    }();
    vxsp_filter_rbj_low_pass h;
    h.set_sample_rate(96000.0f);
    EXPECT_NEAR(measured_gain(h, 1000.0), at_48k, 0.01);
}

TEST(DspFilter, InvalidSampleRateKeepsStateAndCoefficients) {
    vxsp_filter_rbj_low_pass a, b;
    settle_on(a, 0.5f, 100);
    settle_on(b, 0.5f, 100);
    for (float bad : {0.0f, -48000.0f, std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN()})
        a.set_sample_rate(bad);
    EXPECT_EQ(a.get_sample_rate(), 44100.0f);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(a.process(0.1f), b.process(0.1f));
}

TEST(DspFilter, BypassPassesThroughAndReturns) {
    vxsp_filter_rbj_high_pass f;
    f.set_bypass(true);
    for (float x : {0.3f, -0.7f, 1.0f}) EXPECT_EQ(f.process(x), x);
    f.set_bypass(false);
    EXPECT_NEAR(settle_on(f, 1.0f, 20000), 0.0f, 1e-5f);
}

TEST(DspFilter, OutOfRangeSettingsStayStable) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (Kind kind : {Kind::low, Kind::high, Kind::band}) {
        for (float hz : {30000.0f, 22050.0f, -100.0f, 0.0f, nan}) {
            for (float q : {0.707f, 0.0f, -1.0f, 1e-6f, nan}) {
                auto f = make(kind);
                f->set_frequency(hz);
                f->set_q(q);
                double biggest = 0.0;
                for (int i = 0; i < 20000; ++i) {
                    const float y = f->process(i % 7 == 0 ? 1.0f : -0.2f);
                    ASSERT_TRUE(std::isfinite(y)) << name(kind) << " " << hz << " " << q;
                    biggest = std::max(biggest, static_cast<double>(std::fabs(y)));
                }
                EXPECT_LT(biggest, 100.0) << name(kind) << " " << hz << " " << q;
            }
        }
    }
    // The stored setting is what was asked for; only the arithmetic is kept in range.
    vxsp_filter_rbj_low_pass f;
    f.set_frequency(30000.0f);
    EXPECT_EQ(f.get_frequency(), 30000.0f);
}

} // namespace

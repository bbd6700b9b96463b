#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "dsp/vxsp_distort_exponential.h"
#include "dsp/vxsp_distort_parabolic.h"

namespace {

TEST(DspDistortParabolic, ThreeRegionsWithUnitDrive) {
    vxsp_distort_parabolic d;
    EXPECT_FLOAT_EQ(d.process(0.2f), 0.4f);
    EXPECT_NEAR(d.process(0.5f), 0.916667f, 1e-6f);
    EXPECT_EQ(d.process(-0.9f), -1.0f);
    EXPECT_EQ(d.process(0.9f), 1.0f);
    EXPECT_NEAR(d.process(-0.5f), -0.916667f, 1e-6f);
    EXPECT_EQ(d.process(0.0f), 0.0f);
}

TEST(DspDistortParabolic, CurveIsContinuousOddAndMonotonic) {
    vxsp_distort_parabolic d;
    d.set_drive(1.0f);
    float previous = d.process(-1.5f);
    for (int i = -1499; i <= 1500; ++i) {
        const float x = i / 1000.0f;
        const float y = d.process(x);
        ASSERT_GE(y, previous) << x;
        ASSERT_LE(y - previous, 0.0021f) << x; // slope never above 2
        ASSERT_FLOAT_EQ(d.process(-x), -y) << x;
        previous = y;
    }
}

TEST(DspDistortParabolic, DriveScalesTheInput) {
    vxsp_distort_parabolic d;
    d.set_drive(2.0f);
    EXPECT_FLOAT_EQ(d.process(0.1f), 0.4f);
    EXPECT_NEAR(d.process(0.25f), 0.916667f, 1e-6f); // 0.5 after the drive
    EXPECT_EQ(d.process(0.34f), 1.0f);
}

TEST(DspDistortExponential, SaturatesTowardsFullScale) {
    vxsp_distort_exponential d;
    d.set_amount(1.0f);
    EXPECT_EQ(d.get_exponent(), 11.0f);
    EXPECT_NEAR(d.process(0.5f), 0.999512f, 1e-6f);
    EXPECT_NEAR(d.process(-0.5f), -0.999512f, 1e-6f);
    EXPECT_EQ(d.process(0.0f), 0.0f);
    EXPECT_EQ(d.process(1.0f), 1.0f);
    EXPECT_EQ(d.process(-1.0f), -1.0f);
}

TEST(DspDistortExponential, ZeroAmountIsTheIdentity) {
    vxsp_distort_exponential d;
    d.set_amount(0.0f);
    for (float x : {-1.0f, -0.3f, 0.0f, 0.123f, 0.77f, 1.0f}) EXPECT_FLOAT_EQ(d.process(x), x);
}

TEST(DspDistortExponential, MoreAmountBendsHarder) {
    vxsp_distort_exponential soft, hard;
    soft.set_amount(0.2f);
    hard.set_amount(0.6f);
    for (float x : {0.05f, 0.2f, 0.5f, 0.9f}) {
        EXPECT_GT(soft.process(x), x);
        EXPECT_GT(hard.process(x), soft.process(x));
        EXPECT_LE(hard.process(x), 1.0f);
    }
}

TEST(DspDistortExponential, InputsBeyondFullScaleClipInsteadOfNan) {
    vxsp_distort_exponential d;
    d.set_amount(0.35f); // k = 4.5: a fractional power of a negative base would be NaN
    EXPECT_EQ(d.process(1.5f), 1.0f);
    EXPECT_EQ(d.process(-3.0f), -1.0f);
}

// The curve comes from a table of cubic pieces instead of a power per sample. Against the
// formula in double (from the same float 1 - |x|), for every amount in steps of 0.01 and inputs
// across [-1, 1] in steps of 1e-5: within 2.5e-7 of full scale everywhere (-132 dBFS; the float
// formula itself is off by up to 4.5e-8), and within 1e-6 of the value wherever it is above -20
// dBFS, where the saturation is heard directly.
TEST(DspDistortExponential, CurveTableFollowsThePowerWithinItsBound) {
    double worst_absolute = 0.0;
    double worst_relative = 0.0;
    for (int a = 0; a <= 100; ++a) {
        vxsp_distort_exponential d;
        d.set_amount(static_cast<float>(a) / 100.0f);
        const double k = d.get_exponent();
        for (int i = -100000; i <= 100000; ++i) {
            const float x = static_cast<float>(i) / 100000.0f;
            const double sign = x > 0.0f ? 1.0 : -1.0;
            // 1 - |x| is rounded to float as the saturator rounds it: what is measured is the
            // curve, not the rounding of its input that the formula always had.
            const double u = 1.0f - std::fabs(x);
            const double exact = i == 0 ? 0.0 : sign * (1.0 - std::pow(u, k));
            const double error = std::fabs(d.process(x) - exact);
            worst_absolute = std::max(worst_absolute, error);
            if (std::fabs(exact) >= 0.1)
                worst_relative = std::max(worst_relative, error / std::fabs(exact));
        }
    }
    EXPECT_LT(worst_absolute, 2.5e-7);
    EXPECT_LT(worst_relative, 1e-6);
}

// A new amount takes effect at the next sample, whoever set it.
TEST(DspDistortExponential, TableFollowsEveryNewAmount) {
    vxsp_distort_exponential d;
    for (float amount : {0.3f, 0.9f, 0.05f, 0.3f}) {
        d.set_amount(amount);
        const double k = 10.0 * amount + 1.0;
        EXPECT_NEAR(d.process(0.4f), 1.0 - std::pow(0.6, k), 3e-7) << amount;
        EXPECT_NEAR(d.process(-0.999f), -(1.0 - std::pow(0.001, k)), 3e-7) << amount;
    }
}

// Voices saturate a run at a time; the run must give what sample by sample gives, for every
// amount the table serves and those it leaves to the power (below 1, not a number), across
// the first interval, full scale, beyond it, signed zeros and a run length that leaves a tail.
TEST(DspDistortExponential, RunsGiveTheSameSamplesAsOneByOne) {
    std::vector<float> inputs;
    for (int i = -30000; i <= 30000; ++i) inputs.push_back(static_cast<float>(i) / 25000.0f);
    for (float x : {0.0f, -0.0f, 0.9999f, -0.9999f, 0.99999994f, 1e-30f, -1e-30f,
                    std::numeric_limits<float>::quiet_NaN(), 3.0f, -7.0f})
        inputs.push_back(x);
    inputs.push_back(0.5f); // an odd length: the last samples go one by one
    for (float amount : {0.0f, 0.001f, 0.25f, 0.5f, 1.0f, -0.05f, NAN}) {
        vxsp_distort_exponential one_by_one, runs;
        one_by_one.set_amount(amount);
        runs.set_amount(amount);
        std::vector<float> expected(inputs.size()), got = inputs;
        for (std::size_t i = 0; i < inputs.size(); ++i) expected[i] = one_by_one.process(inputs[i]);
        for (std::size_t at = 0; at < got.size(); at += 97)
            runs.process_run(&got[at],
                             static_cast<int>(std::min<std::size_t>(97, got.size() - at)));
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            if (std::isnan(expected[i])) {
                ASSERT_TRUE(std::isnan(got[i])) << amount << " " << inputs[i];
            } else {
                uint32_t a, b;
                std::memcpy(&a, &expected[i], 4);
                std::memcpy(&b, &got[i], 4);
                ASSERT_EQ(a, b) << "amount " << amount << " input " << inputs[i];
            }
        }
    }
}

} // namespace

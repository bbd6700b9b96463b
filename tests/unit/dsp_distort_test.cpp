#include <gtest/gtest.h>

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

} // namespace

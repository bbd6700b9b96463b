#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "voice_test_support.h"
#include "voices/kavrel_voice_cowbell.h"
#include "voices/kavrel_voice_cymbal_110.h"
#include "voices/kavrel_voice_hihat.h"

using kavrel::test::has_peak;
using kavrel::test::kVoiceRate;
using kavrel::test::render;
using kavrel::test::tone_amplitude;

namespace {

// The pulse waves alone, through filters opened down to 1 kHz, with a long decay.
kavrel_voice_hihat metal_hat(float ratio) {
    kavrel_voice_hihat hat;
    hat.set_sample_rate(kVoiceRate);
    hat.set_tune(ratio);
    hat.set_noise_mix(0.0f);
    hat.set_highpass_frequency(1000.0f);
    hat.set_bandpass_frequency(1000.0f);
    hat.set_amp_decay_time(2000.0f);
    hat.set_amp_decay_curve(0.0f);
    return hat;
}

TEST(HihatVoice, AHitAfterTheFiltersMovedIsNoLouderThanAFreshOne) {
    auto setup = [](kavrel_voice_hihat& v) { v.set_noise_mix(1.0f); };
    EXPECT_LT((kavrel::test::leftover_ratio<kavrel_voice_hihat>(
                  setup,
                  [](auto& v) {
                      v.set_bandpass_frequency(16000.0f);
                      v.set_highpass_frequency(12000.0f);
                  },
                  [](auto& v) {
                      v.set_bandpass_frequency(400.0f);
                      v.set_highpass_frequency(200.0f);
                  })),
              1.5f);
}

TEST(HihatVoice, TuneRatioScalesTheSixPartials) {
    const double base[] = {584.0, 690.0, 1062.0, 530.0, 458.0, 363.0};
    kavrel_voice_hihat one = metal_hat(1.0f);
    kavrel_voice_hihat two = metal_hat(2.0f);
    one.trigger(1.0f);
    two.trigger(1.0f);
    const std::vector<float> a = render(one, 44100);
    const std::vector<float> b = render(two, 44100);
    for (double f : base) {
        EXPECT_TRUE(has_peak(a, f, 10.0)) << f;
        EXPECT_TRUE(has_peak(b, 2.0 * f, 10.0)) << 2.0 * f;
    }
    for (double f : {584.0, 690.0, 458.0, 363.0})
        EXPECT_LT(tone_amplitude(b, f, kVoiceRate), 0.05 * tone_amplitude(a, f, kVoiceRate)) << f;
}

TEST(HihatVoice, FullNoiseMixLeavesNoTraceOfTheTuning) {
    kavrel_voice_hihat one = metal_hat(1.0f);
    kavrel_voice_hihat two = metal_hat(2.0f);
    one.set_noise_mix(1.0f);
    two.set_noise_mix(1.0f);
    one.trigger(1.0f);
    two.trigger(1.0f);
    EXPECT_EQ(render(one, 3000), render(two, 3000));
}

TEST(HihatVoice, ChokeSilencesTheNextSampleAndAllowsAnImmediateHit) {
    kavrel_voice_hihat hat;
    hat.set_sample_rate(kVoiceRate);
    hat.set_amp_decay_time(400.0f);
    hat.trigger(1.0f);
    const std::vector<float> ringing = render(hat, 200);
    EXPECT_NE(ringing.back(), 0.0f);
    hat.choke();
    for (float s : render(hat, 1000)) ASSERT_EQ(s, 0.0f);
    hat.trigger(1.0f);
    EXPECT_GT(kavrel::test::peak(render(hat, 50)), 0.0);
}

// The hat's envelope multiplies after its filters, so two identical hats differ only by
// their envelopes: their output ratio is the envelope ratio.
TEST(VoiceRetrigger, LongAttackGlidesToSilenceInFiveSamplesThenRisesAgain) {
    kavrel_voice_hihat steady = metal_hat(1.0f);
    kavrel_voice_hihat again = metal_hat(1.0f);
    for (auto* hat : {&steady, &again}) {
        hat->set_amp_attack_time(10.0f);
        hat->trigger(1.0f);
    }
    const std::vector<float> before = render(steady, 2000);
    EXPECT_EQ(before, render(again, 2000));

    again.trigger(1.0f);
    const std::vector<float> a = render(again, 60);
    const std::vector<float> s = render(steady, 60);
    // Level when the new hit arrives (the steady hat's envelope barely moves over 60 samples).
    std::vector<double> env(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) env[i] = s[i] != 0.0f ? a[i] / s[i] : 0.0;
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(env[i], 1.0 - i / 5.0, 2e-3) << i;
    EXPECT_NEAR(env[5], 0.0, 1e-6);
    double largest_step = 0.0;
    for (std::size_t i = 1; i < env.size(); ++i)
        largest_step = std::fmax(largest_step, std::fabs(env[i] - env[i - 1]));
    EXPECT_LT(largest_step, 0.2 + 2e-3);
    EXPECT_GT(env.back(), 0.05); // the new attack (441 samples) is under way
}

TEST(CowbellVoice, RatioPlacesTheSecondOscillatorWhicheverIsSetFirst) {
    auto bell = [](bool ratio_first, float ratio) {
        kavrel_voice_cowbell cowbell;
        cowbell.set_sample_rate(kVoiceRate);
        cowbell.set_amp_decay_time(1000.0f);
        cowbell.set_filter_frequency(700.0f);
        if (ratio_first) cowbell.set_ratio(ratio);
        cowbell.set_tune(587.0f);
        if (!ratio_first) cowbell.set_ratio(ratio);
        cowbell.trigger(1.0f);
        return render(cowbell, 22050);
    };
    for (bool ratio_first : {false, true}) {
        const std::vector<float> out = bell(ratio_first, 1.4395f);
        EXPECT_TRUE(has_peak(out, 587.0, 15.0, 10.0));
        EXPECT_TRUE(has_peak(out, 845.0, 15.0, 10.0));
    }
    const std::vector<float> unison = bell(false, 1.0f);
    EXPECT_TRUE(has_peak(unison, 587.0, 15.0, 10.0));
    EXPECT_LT(tone_amplitude(unison, 845.0, kVoiceRate),
              0.01 * tone_amplitude(unison, 587.0, kVoiceRate));
}

TEST(Cymbal110Voice, WithoutNoiseOnlyItsOwnTunedPulseWavesSound) {
    auto cymbal = [](float ratio) {
        kavrel_voice_cymbal_110 cy;
        cy.set_sample_rate(kVoiceRate);
        cy.set_noise_level(0.0f);
        cy.set_ding_level(0.0f);
        cy.set_body_frequency(1000.0f);
        cy.set_amp_decay_time(2000.0f);
        cy.set_tune(ratio);
        cy.trigger(1.0f);
        return render(cy, 44100);
    };
    const std::vector<float> one = cymbal(1.0f);
    const std::vector<float> two = cymbal(2.0f);
    for (double f : {317.0, 465.0, 823.0, 1190.0}) {
        EXPECT_TRUE(has_peak(one, f, 10.0)) << f;
        EXPECT_TRUE(has_peak(two, 2.0 * f, 10.0)) << 2.0 * f;
    }
}

} // namespace

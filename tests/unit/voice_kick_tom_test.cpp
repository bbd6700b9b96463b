#include <cmath>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "voice_test_support.h"
#include "voices/kavrel_kick_wave.h"
#include "voices/kavrel_voice_kick.h"
#include "voices/kavrel_voice_tom.h"

using kavrel::test::has_peak;
using kavrel::test::kVoiceRate;
using kavrel::test::render;
using kavrel::test::slice;
using kavrel::test::sounding_length;
using kavrel::test::tone_amplitude;
using kavrel::test::zero_crossing_frequency;

namespace {

TEST(KickWave, PassesThroughItsAnchorsAsOneSmoothSkewedCycle) {
    const struct {
        int index;
        float value;
    } anchors[] = {{0, -0.00595f},   {50, 0.35524f},   {100, 0.67527f},  {150, 0.88699f},
                   {200, 0.96316f},  {266, 0.98686f},  {300, 0.92268f},  {350, 0.76381f},
                   {400, 0.46028f},  {450, 0.00058f},  {451, -0.00854f}, {500, -0.41261f},
                   {550, -0.75029f}, {600, -0.94695f}, {674, -1.0f},     {700, -0.97506f},
                   {750, -0.86560f}, {800, -0.67258f}, {850, -0.32703f}, {890, -0.00758f}};
    for (const auto& a : anchors) EXPECT_NEAR(kavrel_kick_wave[a.index], a.value, 1e-5) << a.index;

    const float* w = kavrel_kick_wave;
    const int n = kavrel_kick_wave_length;
    double sum = 0.0, squares = 0.0, worst_bend = 0.0;
    int top = 0, bottom = 0;
    for (int i = 0; i < n; ++i) {
        sum += w[i];
        squares += static_cast<double>(w[i]) * w[i];
        if (w[i] > w[top]) top = i;
        if (w[i] < w[bottom]) bottom = i;
        // The cycle's own seam (890 -> 0) is the one place allowed to bend sharply.
        if (i != 0 && i != n - 1)
            worst_bend = std::fmax(worst_bend, std::fabs(w[i + 1] - 2.0 * w[i] + w[i - 1]));
    }
    EXPECT_EQ(top, 266);
    EXPECT_EQ(bottom, 674);
    EXPECT_NEAR(std::sqrt(squares / n), 0.742, 0.002);
    EXPECT_NEAR(sum / n, 0.0058, 0.001);
    EXPECT_LT(worst_bend, 3e-4);
    EXPECT_TRUE(w[0] < 0.0f && w[1] > 0.0f);
    EXPECT_TRUE(w[450] > 0.0f && w[451] < 0.0f);
}

kavrel_voice_kick quiet_kick() {
    kavrel_voice_kick kick;
    kick.set_sample_rate(kVoiceRate);
    kick.set_tune(50.0f);
    kick.set_pitch_depth(0.0f);
    kick.set_saturation(0.0f);
    kick.set_click_level(0.0f);
    kick.set_amp_decay_time(2000.0f);
    return kick;
}

TEST(KickVoice, ClickPulseLastsEightyEightSamplesUnderItsEnvelope) {
    kavrel_voice_kick kick = quiet_kick();
    kick.set_tone_level(0.0f);
    kick.set_click_level(1.0f);
    kick.set_click_noise_amount(0.0f);
    kick.trigger(1.0f);
    const std::vector<float> out = render(kick, 400);
    // The click envelope's one-sample attack starts at 0, then decays from 1.
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[1], 1.0f);
    for (int i = 1; i < 88; ++i) ASSERT_GT(out[i], 0.0f) << i;
    for (int i = 2; i < 88; ++i) ASSERT_LT(out[i], out[i - 1]) << i;
    EXPECT_EQ(sounding_length(out), 88u);
}

TEST(KickVoice, WaveformSwitchesBetweenTheStoredCycleAndASine) {
    for (int waveform : {0, 1}) {
        kavrel_voice_kick kick = quiet_kick();
        kick.set_waveform(waveform);
        EXPECT_EQ(kick.get_waveform(), waveform);
        kick.trigger(1.0f);
        const std::vector<float> out = slice(render(kick, 44100), 22050, 44100);
        EXPECT_NEAR(zero_crossing_frequency(out, kVoiceRate), 50.0, 0.2);
        const double fundamental = tone_amplitude(out, 50.0, kVoiceRate);
        const double overtones =
            tone_amplitude(out, 100.0, kVoiceRate) + tone_amplitude(out, 150.0, kVoiceRate);
        if (waveform == 0)
            EXPECT_GT(overtones, 0.01 * fundamental);
        else
            EXPECT_LT(overtones, 0.001 * fundamental);
    }
    kavrel_voice_kick kick;
    kick.set_waveform(7);
    EXPECT_EQ(kick.get_waveform(), 0);
}

TEST(KickVoice, PitchSweepsOnlyWithDepthAndTheAmpEnvelopeCutsTheClick) {
    for (float depth : {0.0f, 100.0f}) {
        kavrel_voice_kick kick = quiet_kick();
        kick.set_pitch_depth(depth);
        kick.set_pitch_decay_time(200.0f);
        kick.trigger(1.0f);
        const std::vector<float> out = render(kick, 44100);
        const double early = zero_crossing_frequency(slice(out, 0, 4410), kVoiceRate);
        const double late = zero_crossing_frequency(slice(out, 22050, 44100), kVoiceRate);
        EXPECT_NEAR(late, 50.0, 0.2);
        if (depth == 0.0f)
            EXPECT_NEAR(early, 50.0, 1.0);
        else
            EXPECT_GT(early, 100.0);
    }

    kavrel_voice_kick kick = quiet_kick();
    kick.set_click_level(1.0f);
    kick.set_amp_decay_time(10.0f); // the 80 ms click would outlast it
    kick.trigger(1.0f);
    EXPECT_EQ(sounding_length(render(kick, 5000)), 44u + 441u);
}

// The tom's three oscillators, each heard alone.
std::vector<float> tom_part(int part) {
    kavrel_voice_tom tom;
    tom.set_sample_rate(kVoiceRate);
    tom.set_tune(100.0f);
    tom.set_pitch_depth(0.0f);
    tom.set_noise_level(0.0f);
    tom.set_click_level(part == 2 ? 1.0f : 0.0f);
    tom.set_tone_level(part == 2 ? 0.0f : 1.0f);
    tom.set_tone1_decay_time(part == 1 ? 2000.0f : 0.0f);
    tom.set_tone2_decay_time(part == 0 ? 2000.0f : 0.0f);
    tom.set_click_decay_time(2000.0f);
    tom.trigger(1.0f);
    return render(tom, 22050);
}

TEST(TomVoice, TuneSetsFundamentalUpperPartialAndClickPartial) {
    const std::vector<float> fundamental = tom_part(0);
    const std::vector<float> upper = tom_part(1);
    const std::vector<float> click = tom_part(2);
    EXPECT_TRUE(has_peak(fundamental, 100.0));
    EXPECT_TRUE(has_peak(upper, 183.33));
    EXPECT_TRUE(has_peak(click, 300.0));
    EXPECT_LT(tone_amplitude(upper, 100.0, kVoiceRate),
              0.01 * tone_amplitude(upper, 183.33, kVoiceRate));
    EXPECT_LT(tone_amplitude(click, 100.0, kVoiceRate),
              0.01 * tone_amplitude(click, 300.0, kVoiceRate));
}

TEST(TomVoice, KeepsSoundingUntilTheClickEnvelopeEnds) {
    kavrel_voice_tom tom;
    tom.set_sample_rate(kVoiceRate);
    tom.set_tune(80.0f);
    tom.set_decay(10.0f); // tone 1 10 ms, tone 2 12 ms, both under the 100 ms click
    tom.set_click_decay_curve(0.0f);
    tom.trigger(1.0f);
    EXPECT_EQ(sounding_length(render(tom, 8000)), 22u + 4410u);
}

} // namespace

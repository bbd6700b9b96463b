#include <cmath>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "voice_test_support.h"
#include "voices/kavrel_voice_claps.h"
#include "voices/kavrel_voice_rimshot.h"
#include "voices/kavrel_voice_snare808.h"
#include "voices/kavrel_voice_snare909.h"

using kavrel::test::energy;
using kavrel::test::has_peak;
using kavrel::test::kVoiceRate;
using kavrel::test::render;
using kavrel::test::slice;
using kavrel::test::sounding_length;
using kavrel::test::zero_crossing_frequency;

namespace {

TEST(SnareVoices, Snare8PlaysTuneAndEleventhSixthsWithoutSweep) {
    kavrel_voice_snare808 snare;
    snare.set_sample_rate(kVoiceRate);
    snare.set_tune(180.0f);
    snare.set_noise_level(0.0f);
    snare.set_click_level(0.0f);
    snare.trigger(1.0f);
    const std::vector<float> out = render(snare, 8000);
    EXPECT_TRUE(has_peak(out, 180.0));
    EXPECT_TRUE(has_peak(out, 330.0));
    EXPECT_FALSE(has_peak(out, 252.0));
}

// A lane may move a noise filter between hits; what the filter kept from a hit long gone
// must not come out as a thump on the next one.
TEST(SnareVoices, AHitAfterTheNoiseColourMovedIsNoLouderThanAFreshOne) {
    using kavrel::test::leftover_ratio;
    auto s8 = [](kavrel_voice_snare808& v) {
        v.set_noise_decay(120.0f);
        v.set_click_level(0.0f);
    };
    EXPECT_LT((leftover_ratio<kavrel_voice_snare808>(
                  s8, [](auto& v) { v.set_noise_color(18000.0f); },
                  [](auto& v) { v.set_noise_color(300.0f); })),
              1.5f);
    auto s9 = [](kavrel_voice_snare909& v) { v.set_noise_decay(120.0f); };
    for (auto [from, to] : {std::pair{300.0f, 15000.0f}, std::pair{15000.0f, 300.0f}})
        EXPECT_LT((leftover_ratio<kavrel_voice_snare909>(
                      s9, [from = from](auto& v) { v.set_noise_color(from); },
                      [to = to](auto& v) { v.set_noise_color(to); })),
                  1.5f)
            << from << " -> " << to;
}

TEST(SnareVoices, Snare9PlaysTuneAndSevenFifthsAfterAnUpwardSweep) {
    kavrel_voice_snare909 snare;
    snare.set_sample_rate(kVoiceRate);
    snare.set_tune(180.0f);
    snare.set_noise_level(0.0f);
    snare.set_tone_decay(1000.0f);
    snare.trigger(1.0f);
    const std::vector<float> settled = slice(render(snare, 30000), 8000, 30000);
    EXPECT_TRUE(has_peak(settled, 180.0));
    EXPECT_TRUE(has_peak(settled, 252.0));

    // The first partial alone: up by as much as 200 Hz at the hit, gliding back in 75 ms.
    snare.set_partial2_decay_time(0.0f);
    snare.trigger(1.0f);
    const std::vector<float> out = render(snare, 9000);
    const double start = zero_crossing_frequency(slice(out, 0, 441), kVoiceRate);
    const double middle = zero_crossing_frequency(slice(out, 882, 1764), kVoiceRate);
    const double end = zero_crossing_frequency(slice(out, 4410, 9000), kVoiceRate);
    EXPECT_GT(start, 280.0);
    EXPECT_LE(start, 381.0);
    EXPECT_GT(middle, end + 5.0);
    EXPECT_LT(middle, start);
    EXPECT_NEAR(end, 180.0, 1.0);
}

TEST(SnareVoices, Snare9NoiseDecayShortensBothNoiseEnvelopes) {
    auto noise_only = [] {
        kavrel_voice_snare909 snare;
        snare.set_sample_rate(kVoiceRate);
        snare.set_tone_level(0.0f);
        return snare;
    };
    kavrel_voice_snare909 both = noise_only();
    both.set_noise_decay(50.0f);
    both.trigger(1.0f);
    EXPECT_EQ(sounding_length(render(both, 12000)), 44u + 2205u);

    kavrel_voice_snare909 one = noise_only();
    one.set_lowpass_noise_decay_time(50.0f);
    one.trigger(1.0f);
    EXPECT_EQ(sounding_length(render(one, 12000)), 44u + 11025u);
}

// The clipper leaves the 7 ms partial 3 (1000 Hz × ratio) without a peak of its own in the
// spectrum, so the two longer partials carry the measurement.
TEST(RimshotVoice, TuningRatioScalesItsPartials) {
    for (float ratio : {1.0f, 0.5f}) {
        kavrel_voice_rimshot rim;
        rim.set_sample_rate(kVoiceRate);
        rim.set_tuning(ratio);
        rim.set_highpass_frequency(100.0f);
        rim.trigger(1.0f);
        const std::vector<float> out = render(rim, 1631);
        for (double f : {500.0, 220.0})
            EXPECT_TRUE(has_peak(out, f * ratio, 40.0, 1.5)) << f * ratio;
    }
}

TEST(ClapVoice, FourBurstsAtTheirOffsetsAndAllOfThemDespiteAShortReverb) {
    kavrel_voice_claps clap;
    clap.set_sample_rate(kVoiceRate);
    clap.set_tone(1000.0f);
    clap.set_reverb(20.0f); // shorter than the bursts
    clap.trigger(1.0f);
    const std::vector<float> out = render(clap, 6000);
    // 0.05 ms rises (2 samples) and falls of 12, 13 and 8 ms (529, 573 and 352 samples).
    for (std::size_t onset : {531u, 1106u, 1460u})
        EXPECT_GT(energy(out, onset, onset + 48), 4.0 * energy(out, onset - 48, onset)) << onset;
    // The last burst dies away in 70 ms (3087 samples).
    EXPECT_EQ(sounding_length(out), 1462u + 3087u);
}

} // namespace

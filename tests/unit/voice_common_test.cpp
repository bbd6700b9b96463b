#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/AllocationCounter.h"
#include "voice_test_support.h"
#include "voices/kavrel_voice_claps.h"
#include "voices/kavrel_voice_cowbell.h"
#include "voices/kavrel_voice_cymbal_110.h"
#include "voices/kavrel_voice_hihat.h"
#include "voices/kavrel_voice_kick.h"
#include "voices/kavrel_voice_rimshot.h"
#include "voices/kavrel_voice_snare808.h"
#include "voices/kavrel_voice_snare909.h"
#include "voices/kavrel_voice_tom.h"

using kavrel::test::kVoiceRate;
using kavrel::test::render;
using kavrel::test::sounding_length;

namespace {

// Every decay made straight where a voice allows it: a curved decay reaches exactly 0 in
// single precision a few samples before its envelope ends, which would hide where the voice
// stops.
struct VoiceCase {
    const char* name;
    std::unique_ptr<kavrel_voice> (*make)();
    float full_velocity_gain;
    std::size_t length; // samples at 44100 Hz with the defaults below
};

const VoiceCase kCases[] = {
    {"kick",
     [] {
         auto v = std::make_unique<kavrel_voice_kick>();
         v->set_tune(45.0f);
         return std::unique_ptr<kavrel_voice>(std::move(v));
     },
     1.0f, 44 + 11025},
    {"tom",
     [] {
         auto v = std::make_unique<kavrel_voice_tom>();
         v->set_tune(55.0f);
         v->set_tone1_decay_curve(0.0f);
         v->set_tone2_decay_curve(0.0f);
         return std::unique_ptr<kavrel_voice>(std::move(v));
     },
     0.8f, 22 + 11025},
    {"snare8",
     [] {
         auto v = std::make_unique<kavrel_voice_snare808>();
         v->set_tune(100.0f);
         v->set_partial1_decay_curve(0.0f);
         v->set_noise_decay_curve(0.0f);
         return std::unique_ptr<kavrel_voice>(std::move(v));
     },
     0.45f, 44 + 11025},
    {"snare9",
     [] {
         auto v = std::make_unique<kavrel_voice_snare909>();
         v->set_tune(130.0f);
         return std::unique_ptr<kavrel_voice>(std::move(v));
     },
     0.45f, 44 + 11025},
    // Ends with envelope B (36 ms); its output filter rings on until then.
    {"rimshot",
     [] {
         auto v = std::make_unique<kavrel_voice_rimshot>();
         v->set_tuning(1.0f);
         return std::unique_ptr<kavrel_voice>(std::move(v));
     },
     0.7f, 44 + 1587},
    {"clap",
     [] {
         auto v = std::make_unique<kavrel_voice_claps>();
         v->set_amp_decay_curve(0.0f);
         return std::unique_ptr<kavrel_voice>(std::move(v));
     },
     6.0f, 4 + 8820},
    {"hihat",
     [] {
         auto v = std::make_unique<kavrel_voice_hihat>();
         v->set_amp_decay_curve(0.0f);
         return std::unique_ptr<kavrel_voice>(std::move(v));
     },
     4.0f, 1 + 11025},
    {"cymbal110",
     [] {
         auto v = std::make_unique<kavrel_voice_cymbal_110>();
         v->set_noise_level(0.3f);
         v->set_ding_level(0.3f);
         return std::unique_ptr<kavrel_voice>(std::move(v));
     },
     0.3f, 1 + 11025},
    {"cymbal",
     [] {
         auto v = std::make_unique<kavrel_voice_cymbal>();
         v->set_noise_level(0.3f);
         return std::unique_ptr<kavrel_voice>(std::move(v));
     },
     0.3f, 1 + 11025},
    {"cowbell",
     [] { return std::unique_ptr<kavrel_voice>(std::make_unique<kavrel_voice_cowbell>()); }, 1.0f,
     44 + 11025},
};

class VoiceCommon : public ::testing::TestWithParam<VoiceCase> {
protected:
    std::unique_ptr<kavrel_voice> make(float rate = kVoiceRate) const {
        auto v = GetParam().make();
        v->set_sample_rate(rate);
        return v;
    }
};

TEST_P(VoiceCommon, SilentUntilTriggeredAndExactlySilentOnceItsEnvelopesEnd) {
    auto voice = make();
    for (float s : render(*voice, 2000)) ASSERT_EQ(s, 0.0f);

    voice->trigger(1.0f);
    const std::size_t length = GetParam().length;
    const std::vector<float> hit = render(*voice, length + 5000);
    EXPECT_EQ(sounding_length(hit), length);
    for (float s : hit) ASSERT_TRUE(std::isfinite(s));

    // A second hit sounds exactly as long; reset (the engine's suspend) changes nothing.
    voice->reset();
    voice->trigger(1.0f);
    EXPECT_EQ(sounding_length(render(*voice, length + 5000)), length);
}

TEST_P(VoiceCommon, VelocityGainIsVelocitySquaredTimesTheVoicesFactor) {
    auto full = make();
    auto half = make();
    full->trigger(1.0f);
    half->trigger(0.5f);
    EXPECT_FLOAT_EQ(full->get_velocity_gain(), GetParam().full_velocity_gain);
    EXPECT_FLOAT_EQ(half->get_velocity_gain(), 0.25f * GetParam().full_velocity_gain);

    const std::vector<float> a = render(*full, 3000);
    const std::vector<float> b = render(*half, 3000);
    const double scale = kavrel::test::peak(a);
    ASSERT_GT(scale, 0.0);
    for (std::size_t i = 0; i < a.size(); ++i) ASSERT_NEAR(b[i], 0.25 * a[i], 1e-6 * scale) << i;

    // Velocity beyond 0..1 (or not a number) is clamped, so nothing can blow up the output.
    auto wild = make();
    wild->trigger(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(wild->get_velocity_gain(), 0.0f);
    wild->trigger(7.0f);
    EXPECT_FLOAT_EQ(wild->get_velocity_gain(), GetParam().full_velocity_gain);
}

// The engine cuts a voice's samples into runs wherever an event or a clock tick falls, so the
// runs must not show: hits that overlap, hits after silence (with an attack slow enough to
// glide from where the last hit left its envelope), tails that end inside a run or exactly at
// its end, and run lengths from one sample to more than a voice renders at once.
TEST_P(VoiceCommon, RunsGiveTheSameSamplesWhereverTheyAreCut) {
    constexpr int kVoices = 3;
    std::unique_ptr<kavrel_voice> voices[kVoices] = {make(), make(), make()};
    const int hits[] = {0, 3000, 3001, 9000, 40000, 64000};
    const int lengths[] = {7, 97, 256, 300, 2, 1000, 255, 257, 1};
    const int total = 90000;
    std::vector<float> out[kVoices];
    for (auto& o : out) o.assign(total, 0.0f);
    for (auto& v : voices) v->set_amp_attack_time(3.0f);
    int at = 0;
    int cut = 0;
    while (at < total) {
        int next = total;
        for (int h : hits) {
            if (h == at)
                for (auto& v : voices) v->trigger(0.8f);
            if (h > at) next = std::min(next, h);
        }
        const int n = next - at;
        // As one run, as runs of many lengths, and one sample at a time.
        voices[0]->process_block(&out[0][static_cast<std::size_t>(at)], n);
        for (int done = 0; done < n;) {
            const int len = std::min(lengths[cut++ % 9], n - done);
            voices[1]->process_block(&out[1][static_cast<std::size_t>(at + done)], len);
            done += len;
        }
        for (int i = at; i < next; ++i) out[2][static_cast<std::size_t>(i)] = voices[2]->process();
        at = next;
    }
    for (int k = 1; k < kVoices; ++k)
        for (int i = 0; i < total; ++i)
            ASSERT_EQ(out[0][i], out[k][i]) << "form " << k << " sample " << i;
    EXPECT_GT(kavrel::test::loudest(out[0]), 0.0f);
}

TEST_P(VoiceCommon, TriggerAndProcessNeverAllocate) {
    auto voice = make();
    kavrel::test::AllocationCounter counter;
    float sum = 0.0f;
    for (int hit = 0; hit < 3; ++hit) {
        voice->trigger(0.9f);
        for (int i = 0; i < 6000; ++i) sum += voice->process();
    }
    EXPECT_EQ(counter.allocations(), 0u);
    EXPECT_TRUE(std::isfinite(sum));
}

TEST_P(VoiceCommon, SampleRateReachesEveryEnvelope) {
    auto voice = make(48000.0f);
    voice->trigger(1.0f);
    const double expected = GetParam().length * 48000.0 / 44100.0;
    const double got = static_cast<double>(sounding_length(render(*voice, 20000)));
    EXPECT_NEAR(got, expected, 3.0);
}

INSTANTIATE_TEST_SUITE_P(AllVoices, VoiceCommon, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<VoiceCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace

// Cost of the drum voices per output sample: each voice sounding and idle, and the whole kit
// sounding at once, as the engine calls them (through the voice base, a run of samples per
// call).
//
//   build with -DKAVREL_BENCH=ON, then: kavrel_bench --benchmark_filter=Voice
//
// "per_sample" is the time of one sample of the voice (for the kit: of all twelve), mixing
// included.

#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "voices/kavrel_voice_claps.h"
#include "voices/kavrel_voice_cowbell.h"
#include "voices/kavrel_voice_cymbal_110.h"
#include "voices/kavrel_voice_hihat.h"
#include "voices/kavrel_voice_kick.h"
#include "voices/kavrel_voice_rimshot.h"
#include "voices/kavrel_voice_snare808.h"
#include "voices/kavrel_voice_snare909.h"
#include "voices/kavrel_voice_tom.h"

namespace {

constexpr int kBlock = 256;
// Hits every 1024 samples keep even the rimshot (1631 samples) sounding throughout.
constexpr int kHitInterval = 1024;

using VoicePtr = std::unique_ptr<kavrel_voice>;

// The voices set up with the parameter table's defaults, as a fresh kit plays them.
VoicePtr kick() {
    auto v = std::make_unique<kavrel_voice_kick>();
    v->set_tune(45.0f);
    v->set_amp_attack_time(10.0f);
    v->set_amp_decay_time(360.0f);
    v->set_amp_decay_curve(-0.38f);
    v->set_pitch_attack_time(10.0f);
    v->set_pitch_decay_time(200.0f);
    v->set_pitch_decay_curve(-0.55f);
    v->set_pitch_depth(99.0f);
    v->set_click_level(0.5f);
    return v;
}

VoicePtr snare8() {
    auto v = std::make_unique<kavrel_voice_snare808>();
    v->set_tune(100.0f);
    v->set_noise_color(1000.0f);
    v->set_noise_decay(200.0f);
    v->set_noise_level(1.0f);
    return v;
}

VoicePtr snare9() {
    auto v = std::make_unique<kavrel_voice_snare909>();
    v->set_tune(130.0f);
    v->set_tone_decay(200.0f);
    v->set_tone_decay_curve(-0.7f);
    v->set_noise_color(10000.0f);
    v->set_noise_decay(260.0f);
    v->set_noise_decay_curve(-0.5f);
    v->set_noise_level(1.0f);
    return v;
}

VoicePtr tom(float hz) {
    auto v = std::make_unique<kavrel_voice_tom>();
    v->set_tune(hz);
    v->set_pitch_depth(60.0f);
    v->set_click_level(0.25f);
    v->set_noise_level(1.0f);
    v->set_tone_level(1.0f);
    v->set_tone1_attack_curve(-0.5f);
    v->set_tone1_decay_time(400.0f);
    v->set_tone1_decay_curve(-0.5f);
    v->set_tone2_attack_curve(-0.5f);
    v->set_tone2_decay_time(200.0f);
    v->set_tone2_decay_curve(-0.5f);
    return v;
}

VoicePtr low_tom() {
    return tom(55.0f);
}

VoicePtr hihat(float decay_ms) {
    auto v = std::make_unique<kavrel_voice_hihat>();
    v->set_bandpass_frequency(5000.0f);
    v->set_highpass_frequency(5000.0f);
    v->set_tune(1.0f);
    v->set_noise_mix(0.5f);
    v->set_amp_decay_time(decay_ms);
    return v;
}

VoicePtr closed_hat() {
    return hihat(100.0f);
}

VoicePtr cymbal() {
    auto v = std::make_unique<kavrel_voice_cymbal_110>();
    v->set_tune(1.0f);
    v->set_noise_level(0.316f);
    v->set_ding_level(0.316f);
    v->set_body_frequency(7000.0f);
    v->set_ding_frequency(7000.0f);
    v->set_amp_attack_time(0.1f);
    v->set_amp_decay_time(2000.0f);
    v->set_amp_decay_curve(-0.8f);
    v->set_ding_decay_time(10.0f);
    v->set_ding_decay_curve(-0.9f);
    return v;
}

VoicePtr rimshot() {
    auto v = std::make_unique<kavrel_voice_rimshot>();
    v->set_tuning(1.0f);
    v->set_highpass_frequency(1000.0f);
    return v;
}

VoicePtr clap() {
    auto v = std::make_unique<kavrel_voice_claps>();
    v->set_tone(1000.0f);
    v->set_reverb(200.0f);
    return v;
}

VoicePtr cowbell() {
    auto v = std::make_unique<kavrel_voice_cowbell>();
    v->set_tune(587.0f);
    v->set_ratio(1.44f);
    v->set_amp_decay_time(200.0f);
    v->set_amp_decay_curve(-0.5f);
    v->set_filter_resonance(0.05f);
    return v;
}

void count_samples(benchmark::State& state) {
    state.counters["per_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// One engine-sized run of the voice, summed the way the engine mixes it.
float render(kavrel_voice& voice) {
    float run[kBlock];
    if (!voice.process_block(run, kBlock)) return 0.0f;
    float sum = 0.0f;
    for (float s : run) sum += s;
    return sum;
}

void BM_VoiceSounding(benchmark::State& state, VoicePtr (*make)()) {
    VoicePtr owned = make();
    kavrel_voice* voice = owned.get();
    voice->set_sample_rate(44100.0f);
    int until_hit = 0;
    float sum = 0.0f;
    for (auto _ : state) {
        if (until_hit <= 0) {
            voice->trigger(0.8f);
            until_hit = kHitInterval;
        }
        sum += render(*voice);
        until_hit -= kBlock;
        benchmark::DoNotOptimize(sum);
    }
    count_samples(state);
}

void BM_VoiceIdle(benchmark::State& state, VoicePtr (*make)()) {
    VoicePtr owned = make();
    kavrel_voice* voice = owned.get();
    voice->set_sample_rate(44100.0f);
    float sum = 0.0f;
    for (auto _ : state) {
        sum += render(*voice);
        benchmark::DoNotOptimize(sum);
    }
    count_samples(state);
}

// The twelve voices in the engine's order, all sounding.
void BM_VoiceKitSounding(benchmark::State& state) {
    std::vector<VoicePtr> kit;
    kit.push_back(kick());
    kit.push_back(snare8());
    kit.push_back(snare9());
    kit.push_back(tom(55.0f));
    kit.push_back(tom(75.0f));
    kit.push_back(tom(95.0f));
    kit.push_back(hihat(100.0f));
    kit.push_back(hihat(400.0f));
    kit.push_back(cymbal());
    kit.push_back(rimshot());
    kit.push_back(clap());
    kit.push_back(cowbell());
    for (auto& v : kit) v->set_sample_rate(44100.0f);
    int until_hit = 0;
    float sum = 0.0f;
    for (auto _ : state) {
        if (until_hit <= 0) {
            for (auto& v : kit) v->trigger(0.8f);
            until_hit = kHitInterval;
        }
        for (auto& v : kit) sum += render(*v);
        until_hit -= kBlock;
        benchmark::DoNotOptimize(sum);
    }
    count_samples(state);
}

} // namespace

BENCHMARK_CAPTURE(BM_VoiceSounding, kick, kick);
BENCHMARK_CAPTURE(BM_VoiceSounding, snare8, snare8);
BENCHMARK_CAPTURE(BM_VoiceSounding, snare9, snare9);
BENCHMARK_CAPTURE(BM_VoiceSounding, tom, low_tom);
BENCHMARK_CAPTURE(BM_VoiceSounding, hihat, closed_hat);
BENCHMARK_CAPTURE(BM_VoiceSounding, cymbal110, cymbal);
BENCHMARK_CAPTURE(BM_VoiceSounding, rimshot, rimshot);
BENCHMARK_CAPTURE(BM_VoiceSounding, clap, clap);
BENCHMARK_CAPTURE(BM_VoiceSounding, cowbell, cowbell);
BENCHMARK_CAPTURE(BM_VoiceIdle, kick, kick);
BENCHMARK_CAPTURE(BM_VoiceIdle, snare8, snare8);
BENCHMARK_CAPTURE(BM_VoiceIdle, snare9, snare9);
BENCHMARK_CAPTURE(BM_VoiceIdle, tom, low_tom);
BENCHMARK_CAPTURE(BM_VoiceIdle, hihat, closed_hat);
BENCHMARK_CAPTURE(BM_VoiceIdle, cymbal110, cymbal);
BENCHMARK_CAPTURE(BM_VoiceIdle, rimshot, rimshot);
BENCHMARK_CAPTURE(BM_VoiceIdle, clap, clap);
BENCHMARK_CAPTURE(BM_VoiceIdle, cowbell, cowbell);
BENCHMARK(BM_VoiceKitSounding);

#include "voices/kavrel_voice_cymbal.h"

#include <algorithm>

namespace {

constexpr float kCymbalFrequencies[kavrel_voice_cymbal_base::oscillator_count] = {
    1168.0f, 1380.0f, 2124.0f, 1060.0f, 916.0f, 726.0f};

} // namespace

kavrel_voice_cymbal::kavrel_voice_cymbal() {
    for (int i = 0; i < oscillator_count; ++i) {
        oscillators[i].set_frequency(kCymbalFrequencies[i]);
        oscillators[i].build_waveform(vxsp_oscillator_wavetable::waveform_pulse, 50.0f, 16);
    }
    tone_filter.set_frequency(2500.0f);
    tone_filter.set_q(0.707f);
    ding_filter.set_frequency(1000.0f);
    ding_filter.set_q(0.707f);
    body_filter.set_frequency(8000.0f);
    body_filter.set_q(0.707f);
    ding_env.set_attack_time(0.0f);
    ding_env.set_decay_time(20.0f);
    ding_env.set_decay_curve(-0.8f);
}

kavrel_voice_cymbal::~kavrel_voice_cymbal() = default;

void kavrel_voice_cymbal::set_sample_rate(float hz) {
    kavrel_voice_cymbal_base::set_sample_rate(hz);
    tone_filter.set_sample_rate(hz);
    ding_filter.set_sample_rate(hz);
    body_filter.set_sample_rate(hz);
    ding_env.set_sample_rate(hz);
    noise.set_sample_rate(hz);
}

void kavrel_voice_cymbal::trigger(float velocity) {
    amp_env.trigger();
    ding_env.trigger();
    velocity_gain = velocity_squared(velocity) * 0.3f;
}

bool kavrel_voice_cymbal::is_idle() const {
    return amp_env.is_finished() && ding_env.is_finished();
}

[[gnu::flatten]] bool kavrel_voice_cymbal::process_block(float* out, int frames) {
    if (is_idle()) return false;
    return render_runs(out, frames, [this](float* __restrict run, int n) {
        float amp[kMaxRun], ding_amp[kMaxRun];
        const int live = std::max(ding_env.running_for(n), amp_env.running_for(n));
        ding_env.process_run(ding_amp, live);
        amp_env.process_run(amp, live);
        for (int i = 0; i < live; ++i) {
            const float m0 = oscillators[0].process_free();
            const float p1 = oscillators[1].process(m0 * modulation_depth);
            const float m2 = oscillators[2].process_free();
            const float p2 = oscillators[3].process(m2 * modulation_depth);
            const float m4 = oscillators[4].process_free();
            const float p3 = oscillators[5].process(m4 * modulation_depth);
            const float s = p1 + p2 + p3;
            const float d = ding_amp[i];
            const float a = amp[i];
            // Both filters follow their envelopes, so their coefficients are recomputed on
            // every sample in which an envelope moves.
            ding_filter.set_frequency(d * ding_sweep + 1000.0f);
            tone_filter.set_frequency(a * tone_sweep + 1000.0f);
            const float tone = tone_filter.process(s) * a * noise_complement;
            const float ding = ding_filter.process(s) * d * noise_level;
            run[i] = (tone + ding) * velocity_gain;
        }
        return live;
    });
}

void kavrel_voice_cymbal::set_tune(float ratio) {
    for (int i = 0; i < oscillator_count; ++i)
        oscillators[i].set_frequency(ratio * kCymbalFrequencies[i]);
}

void kavrel_voice_cymbal::set_noise_level(float level) {
    noise_level = level;
    noise_complement = 1.0f - level;
}

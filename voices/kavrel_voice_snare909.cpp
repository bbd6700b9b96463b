#include "voices/kavrel_voice_snare909.h"

#include <algorithm>

kavrel_voice_snare909::kavrel_voice_snare909() {
    noise_lowpass.set_frequency(1000.0f);
    noise_lowpass.set_q(0.707f);
    noise_highpass.set_frequency(1000.0f);
    noise_highpass.set_q(0.707f);
    partial2_env.set_decay_time(250.0f);
    partial2_env.set_decay_curve(0.0f);
    lowpass_noise_env.set_decay_time(250.0f);
    lowpass_noise_env.set_decay_curve(0.0f);
    highpass_noise_env.set_decay_time(250.0f);
    highpass_noise_env.set_decay_curve(0.0f);

    amp_env.set_decay_time(250.0f);
    amp_env.set_decay_curve(0.0f);
    pitch_env.set_decay_time(75.0f);
    pitch_env.set_decay_curve(-0.5f);
    pitch_depth = 200.0f;
    tone_level = 0.707945764f; // -3 dB
}

kavrel_voice_snare909::~kavrel_voice_snare909() = default;

void kavrel_voice_snare909::set_sample_rate(float hz) {
    kavrel_voice_pitched::set_sample_rate(hz);
    oscillator2.set_sample_rate(hz);
    noise_lowpass.set_sample_rate(hz);
    noise_highpass.set_sample_rate(hz);
    noise.set_sample_rate(hz);
    partial2_env.set_sample_rate(hz);
    lowpass_noise_env.set_sample_rate(hz);
    highpass_noise_env.set_sample_rate(hz);
}

void kavrel_voice_snare909::trigger(float velocity) {
    // See the Snare 8: history the colour no longer fits is replaced by a settled filter.
    if (is_idle() && filter_moved) {
        noise_highpass.reset();
        noise_lowpass.reset();
        for (int i = 0; i < kFilterSettleSamples; ++i) {
            const float n = noise.next();
            noise_highpass.process(n);
            noise_lowpass.process(n);
        }
    }
    filter_moved = false;
    kavrel_voice_pitched::trigger(velocity);
    partial2_env.trigger();
    lowpass_noise_env.trigger();
    highpass_noise_env.trigger();
    oscillator2.set_phase(0.0f);
    velocity_gain *= 0.45f;
}

bool kavrel_voice_snare909::is_idle() const {
    return amp_env.is_finished() && partial2_env.is_finished() && lowpass_noise_env.is_finished() &&
           highpass_noise_env.is_finished();
}

[[gnu::flatten]] bool kavrel_voice_snare909::process_block(float* out, int frames) {
    if (is_idle()) return false;
    return render_runs(out, frames, [this](float* __restrict run, int n) {
        float amp[kMaxRun], partial2[kMaxRun], high_amp[kMaxRun], low_amp[kMaxRun];
        float pitch[kMaxRun];
        const int live =
            std::max({amp_env.running_for(n), partial2_env.running_for(n),
                      lowpass_noise_env.running_for(n), highpass_noise_env.running_for(n)});
        amp_env.process_run(amp, live);
        partial2_env.process_run(partial2, live);
        lowpass_noise_env.process_run(low_amp, live);
        highpass_noise_env.process_run(high_amp, live);
        pitch_env.process_run(pitch, live);
        const float noise_gain = noise_level * noise.get_band_gain();
        auto o1 = oscillator.begin_run();
        auto o2 = oscillator2.begin_run();
        auto nr = noise.begin_run();
        auto hp = noise_highpass.begin_run();
        auto lp = noise_lowpass.begin_run();
        for (int i = 0; i < live; ++i) {
            const float d = pitch[i] * pitch_depth;
            const float t1 = o1.next(d) * amp[i];
            const float t2 = o2.next(d) * partial2[i];
            const float tone = (t1 + t2) * tone_level;
            // One noise value feeds both filters.
            const float nz = nr.next();
            const float high = hp.process(nz) * high_amp[i];
            const float low = lp.process(nz) * low_amp[i];
            run[i] = (tone + (high + low) * noise_gain) * velocity_gain;
        }
        oscillator.end_run(o1);
        oscillator2.end_run(o2);
        noise.end_run(nr);
        noise_highpass.end_run(hp);
        noise_lowpass.end_run(lp);
        return live;
    });
}

void kavrel_voice_snare909::set_tune(float hz) {
    oscillator.set_frequency(hz);
    oscillator2.set_frequency(1.4f * hz);
}

void kavrel_voice_snare909::set_tone_decay(float ms) {
    amp_env.set_decay_time(ms);
    partial2_env.set_decay_time(ms);
}

void kavrel_voice_snare909::set_tone_decay_curve(float c) {
    amp_env.set_decay_curve(c);
    partial2_env.set_decay_curve(c);
}

void kavrel_voice_snare909::set_noise_decay(float ms) {
    lowpass_noise_env.set_decay_time(ms);
    highpass_noise_env.set_decay_time(ms);
}

void kavrel_voice_snare909::set_noise_decay_curve(float c) {
    lowpass_noise_env.set_decay_curve(c);
    highpass_noise_env.set_decay_curve(c);
}

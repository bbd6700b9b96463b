#include "voices/kavrel_voice_hihat.h"

kavrel_voice_hihat::kavrel_voice_hihat() {
    highpass.set_frequency(4000.0f);
    highpass.set_q(0.707f);
    bandpass.set_frequency(10000.0f);
    bandpass.set_q(0.707f);
    amp_env.set_decay_curve(-1.0f);
}

kavrel_voice_hihat::~kavrel_voice_hihat() = default;

void kavrel_voice_hihat::set_sample_rate(float hz) {
    kavrel_voice_cymbal_base::set_sample_rate(hz);
    highpass.set_sample_rate(hz);
    bandpass.set_sample_rate(hz);
    noise.set_sample_rate(hz);
}

void kavrel_voice_hihat::trigger(float velocity) {
    // As in the snares: a silent hat kept its filters' history from the last hit.
    if (is_idle()) {
        highpass.reset();
        bandpass.reset();
    }
    amp_env.trigger();
    velocity_gain = velocity_squared(velocity) * 4.0f;
}

bool kavrel_voice_hihat::is_idle() const {
    return amp_env.is_finished();
}

[[gnu::flatten]] bool kavrel_voice_hihat::process_block(float* out, int frames) {
    return render_block(*this, out, frames);
}

float kavrel_voice_hihat::process() {
    if (is_idle()) return 0.0f;
    float metal = oscillators[0].process_free();
    for (int i = 1; i < oscillator_count; ++i) metal += oscillators[i].process_free();
    const float x = noise.next() * noise_mix + metal * tone_mix * 0.26f;
    const float y = bandpass.process(highpass.process(x));
    return y * amp_env.process(0.0f) * velocity_gain;
}

void kavrel_voice_hihat::set_noise_mix(float mix) {
    noise_mix = mix;
    tone_mix = 1.0f - mix;
}

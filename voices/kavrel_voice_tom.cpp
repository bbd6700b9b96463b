#include "voices/kavrel_voice_tom.h"

#include "voices/kavrel_kick_wave.h"

#include <algorithm>

kavrel_voice_tom::kavrel_voice_tom() {
    // The click partial: odd harmonics falling as 1/j².
    oscillator.build_waveform(vxsp_oscillator_wavetable::waveform_odd_harmonics, 0.0f, 16);
    fundamental.resize_table(kavrel_kick_wave_length);
    fundamental.load_table(kavrel_kick_wave);
    upper_partial.resize_table(kavrel_kick_wave_length);
    upper_partial.load_table(kavrel_kick_wave);
    noise_filter.set_frequency(2500.0f);
    noise_filter.set_q(0.707f);
    saturator1.set_amount(0.0f);
    saturator2.set_amount(0.0f);
    click_env.set_attack_time(0.5f);
    click_env.set_decay_time(100.0f);
    click_env.set_decay_curve(-0.606f);
    tone2_env.set_attack_time(0.5f);
    tone2_env.set_decay_curve(-0.598f);

    amp_env.set_attack_time(0.5f);
    amp_env.set_decay_curve(-0.598f);
    pitch_env.set_decay_time(855.0f);
    pitch_env.set_decay_curve(-0.6f);
    pitch_depth = 16.0f;
    tone_level = 0.281838293f; // -11 dB
}

kavrel_voice_tom::~kavrel_voice_tom() = default;

void kavrel_voice_tom::set_sample_rate(float hz) {
    kavrel_voice_pitched::set_sample_rate(hz);
    fundamental.set_sample_rate(hz);
    upper_partial.set_sample_rate(hz);
    noise_filter.set_sample_rate(hz);
    saturator1.set_sample_rate(hz);
    saturator2.set_sample_rate(hz);
    click_env.set_sample_rate(hz);
    tone2_env.set_sample_rate(hz);
    noise.set_sample_rate(hz);
}

void kavrel_voice_tom::trigger(float velocity) {
    kavrel_voice_pitched::trigger(velocity);
    click_env.trigger();
    tone2_env.trigger();
    fundamental.set_phase(0.0f);
    upper_partial.set_phase(0.0f);
    velocity_gain *= 0.8f;
}

bool kavrel_voice_tom::is_idle() const {
    return amp_env.is_finished() && tone2_env.is_finished() && click_env.is_finished();
}

[[gnu::flatten]] bool kavrel_voice_tom::process_block(float* out, int frames) {
    if (is_idle()) return false;
    return render_runs(out, frames, [this](float* __restrict run, int n) {
        float amp[kMaxRun], tone2[kMaxRun], click[kMaxRun], pitch[kMaxRun];
        const int live =
            std::max({amp_env.running_for(n), tone2_env.running_for(n), click_env.running_for(n)});
        amp_env.process_run(amp, live);
        tone2_env.process_run(tone2, live);
        click_env.process_run(click, live);
        pitch_env.process_run(pitch, live);
        // The oscillators, noise and filter carry their state from sample to sample; the
        // saturators and the mix do not, so they go in a second pass that the processor can
        // overlap from one sample to the next. Each array holds a later stage in place.
        float* upper = amp;
        float* fund = tone2;
        float* high = pitch;
        const float noise_gain = noise_level * noise.get_band_gain();
        auto up = upper_partial.begin_run();
        auto fu = fundamental.begin_run();
        auto cl = oscillator.begin_run();
        auto nr = noise.begin_run();
        auto nf = noise_filter.begin_run();
        for (int i = 0; i < live; ++i) {
            // One offset in Hz for all three oscillators, not scaled by their ratios.
            const float d = pitch[i] * pitch_depth;
            upper[i] = up.next(d) * amp[i];
            fund[i] = fu.next(d) * tone2[i];
            const float nz = nf.process(nr.next());
            high[i] = cl.next(d) * click_level + nz * noise_gain;
        }
        upper_partial.end_run(up);
        fundamental.end_run(fu);
        oscillator.end_run(cl);
        noise.end_run(nr);
        noise_filter.end_run(nf);
        saturator2.process_run(upper, live);
        saturator1.process_run(fund, live);
        for (int i = 0; i < live; ++i)
            run[i] = (click[i] * high[i] + (upper[i] + fund[i]) * tone_level) * velocity_gain;
        return live;
    });
}

void kavrel_voice_tom::set_tune(float hz) {
    fundamental.set_frequency(hz);
    upper_partial.set_frequency(1.8333f * hz);
    oscillator.set_frequency(3.0f * hz);
}

void kavrel_voice_tom::set_decay(float ms) {
    amp_env.set_decay_time(ms);
    tone2_env.set_decay_time(1.2f * ms);
}

void kavrel_voice_tom::set_saturation(float amount) {
    saturator1.set_amount(amount);
    saturator2.set_amount(amount);
}

#include "voices/kavrel_voice_snare808.h"

#include <algorithm>

kavrel_voice_snare808::kavrel_voice_snare808() {
    noise_filter.set_frequency(1000.0f);
    noise_filter.set_q(0.707f);
    click_filter.set_frequency(2000.0f);
    click_filter.set_q(0.707f);
    partial2_env.set_decay_time(180.0f);
    partial2_env.set_decay_curve(0.0f);
    noise_env.set_decay_time(250.0f);
    noise_env.set_decay_curve(-0.4f);
    click_pulse.set_length(2.0f);

    amp_env.set_decay_time(234.0f);
    amp_env.set_decay_curve(-0.5f);
    pitch_depth = 0.0f;
    tone_level = 0.398107171f; // -8 dB
}

kavrel_voice_snare808::~kavrel_voice_snare808() = default;

void kavrel_voice_snare808::set_sample_rate(float hz) {
    kavrel_voice_pitched::set_sample_rate(hz);
    oscillator2.set_sample_rate(hz);
    noise_filter.set_sample_rate(hz);
    click_filter.set_sample_rate(hz);
    noise.set_sample_rate(hz);
    partial2_env.set_sample_rate(hz);
    noise_env.set_sample_rate(hz);
    click_pulse.set_sample_rate(hz);
}

void kavrel_voice_snare808::trigger(float velocity) {
    // A silent voice stops its noise and its filter together, so a hit carries on where the
    // last one stopped. Once a lane has moved the colour in between, that history no longer
    // fits the filter and comes out as a thump far louder than the snare: the filter starts
    // again and settles on the noise before the hit.
    if (is_idle() && filter_moved) {
        noise_filter.reset();
        for (int i = 0; i < kFilterSettleSamples; ++i) noise_filter.process(noise.next());
    }
    filter_moved = false;
    kavrel_voice_pitched::trigger(velocity);
    partial2_env.trigger();
    noise_env.trigger();
    oscillator2.set_phase(0.0f);
    click_pulse.trigger();
    velocity_gain *= 0.45f;
}

bool kavrel_voice_snare808::is_idle() const {
    return amp_env.is_finished() && partial2_env.is_finished() && noise_env.is_finished();
}

[[gnu::flatten]] bool kavrel_voice_snare808::process_block(float* out, int frames) {
    if (is_idle()) return false;
    return render_runs(out, frames, [this](float* __restrict run, int n) {
        float amp[kMaxRun], partial2[kMaxRun], noise_amp[kMaxRun], pitch[kMaxRun];
        const int live = std::max(
            {amp_env.running_for(n), partial2_env.running_for(n), noise_env.running_for(n)});
        amp_env.process_run(amp, live);
        partial2_env.process_run(partial2, live);
        noise_env.process_run(noise_amp, live);
        pitch_env.process_run(pitch, live);
        const float noise_gain = noise_level * noise.get_band_gain();
        auto o1 = oscillator.begin_run();
        auto o2 = oscillator2.begin_run();
        auto nr = noise.begin_run();
        auto nf = noise_filter.begin_run();
        auto cf = click_filter.begin_run();
        for (int i = 0; i < live; ++i) {
            const float d = pitch[i] * pitch_depth;
            const float t1 = o1.next(d) * amp[i];
            const float t2 = o2.next(d) * partial2[i];
            const float tone = (t1 + t2) * tone_level;
            const float nz = nf.process(nr.next());
            const float noise_part = nz * noise_amp[i] * noise_gain;
            const float click = cf.process(click_pulse.next()) * click_level;
            run[i] = (tone + noise_part + click) * velocity_gain;
        }
        oscillator.end_run(o1);
        oscillator2.end_run(o2);
        noise.end_run(nr);
        noise_filter.end_run(nf);
        click_filter.end_run(cf);
        return live;
    });
}

void kavrel_voice_snare808::set_tune(float hz) {
    oscillator.set_frequency(hz);
    oscillator2.set_frequency(1.8333f * hz);
}

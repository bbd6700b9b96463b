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

float kavrel_voice_hihat::source(const metal_lanes& o, vxsp_noise_white_fast::run& nr,
                                 float noise_gain) {
    float metal = o[0];
    for (int i = 1; i < oscillator_count; ++i) metal += o[i];
    return nr.next() * noise_gain + metal * tone_mix * 0.26f;
}

void kavrel_voice_hihat::trigger(float velocity) {
    // A silent hat stops its sources and filters together and a hit carries on where the
    // last one stopped; once a lane has moved a filter in between, that history no longer
    // fits and comes out as a thump, so the filters start again and settle first.
    if (is_idle() && filter_moved) {
        highpass.reset();
        bandpass.reset();
        metal_lanes metal[kFilterSettleSamples];
        render_metal(metal, kFilterSettleSamples);
        const float noise_gain = noise_mix * noise.get_band_gain();
        auto nr = noise.begin_run();
        for (int i = 0; i < kFilterSettleSamples; ++i)
            bandpass.process(highpass.process(source(metal[i], nr, noise_gain)));
        noise.end_run(nr);
    }
    filter_moved = false;
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
    if (is_idle()) return false;
    return render_runs(out, frames, [this](float* __restrict run, int n) {
        float amp[kMaxRun];
        const int live = amp_env.running_for(n);
        amp_env.process_run(amp, live);
        metal_lanes metal[kMaxRun];
        render_metal(metal, live);
        const float noise_gain = noise_mix * noise.get_band_gain();
        auto nr = noise.begin_run();
        auto hp = highpass.begin_run();
        auto bp = bandpass.begin_run();
        for (int i = 0; i < live; ++i) {
            const float y = bp.process(hp.process(source(metal[i], nr, noise_gain)));
            run[i] = y * amp[i] * velocity_gain;
        }
        noise.end_run(nr);
        highpass.end_run(hp);
        bandpass.end_run(bp);
        return live;
    });
}

void kavrel_voice_hihat::set_noise_mix(float mix) {
    noise_mix = mix;
    tone_mix = 1.0f - mix;
}

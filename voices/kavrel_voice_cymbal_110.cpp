#include "voices/kavrel_voice_cymbal_110.h"

#include <algorithm>

namespace {

constexpr float kWidths[kavrel_voice_cymbal_base::oscillator_count] = {41.0f, 42.0f, 43.0f,
                                                                       42.0f, 41.0f, 43.0f};

} // namespace

kavrel_voice_cymbal_110::kavrel_voice_cymbal_110() {
    for (int i = 0; i < oscillator_count; ++i) {
        oscillators[i].set_frequency(base_frequencies[i]);
        // No partial above 22 kHz at the untransposed tuning.
        const int harmonics = static_cast<int>(22000.0f / base_frequencies[i]);
        oscillators[i].build_waveform(vxsp_oscillator_wavetable::waveform_pulse, kWidths[i],
                                      harmonics);
    }
    attach_bank();
    ding_filter.set_frequency(3570.0f);
    ding_filter.set_q(2.0f);
    body_filter.set_frequency(7190.0f);
    body_filter.set_q(2.25f);
    set_noise_level(6.0f);
}

kavrel_voice_cymbal_110::~kavrel_voice_cymbal_110() = default;

bool kavrel_voice_cymbal_110::is_idle() const {
    return amp_env.is_finished() && ding_env.is_finished();
}

[[gnu::flatten]] bool kavrel_voice_cymbal_110::process_block(float* out, int frames) {
    if (is_idle()) return false;
    return render_runs(out, frames, [this](float* __restrict run, int n) {
        float amp[kMaxRun], ding[kMaxRun];
        const int live = std::max(amp_env.running_for(n), ding_env.running_for(n));
        amp_env.process_run(amp, live);
        ding_env.process_run(ding, live);
        metal_lanes metal[kMaxRun];
        render_metal(metal, live);
        const float noise_gain = noise_level * noise.get_band_gain();
        auto nr = noise.begin_run();
        auto body = body_filter.begin_run();
        auto ring = ding_filter.begin_run();
        for (int i = 0; i < live; ++i) {
            const metal_lanes& o = metal[i];
            const float nz = nr.next();
            const float s = (1.1f * o[0] + 1.1f * o[1] + 0.25f * o[2] + 1.25f * o[3] + 0.5f * o[4] +
                             2.04f * o[5] + nz * noise_gain * 6.0f) *
                            velocity_gain;
            const float b = body.process(s) * amp[i];
            run[i] = b + ring.process(s) * ding[i] * ding_level;
        }
        noise.end_run(nr);
        body_filter.end_run(body);
        ding_filter.end_run(ring);
        return live;
    });
}

void kavrel_voice_cymbal_110::set_tune(float ratio) {
    for (int i = 0; i < oscillator_count; ++i)
        oscillators[i].set_frequency(ratio * base_frequencies[i]);
}

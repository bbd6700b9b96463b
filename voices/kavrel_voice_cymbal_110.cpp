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
        metal_run m = begin_metal_run();
        for (int i = 0; i < live; ++i) {
            const float o1 = m[1].next();
            const float o0 = m[0].next();
            const float o2 = m[2].next();
            const float o3 = m[3].next();
            const float o4 = m[4].next();
            const float o5 = m[5].next();
            const float nz = noise.next();
            const float s = (1.1f * o0 + 1.1f * o1 + 0.25f * o2 + 1.25f * o3 + 0.5f * o4 +
                             2.04f * o5 + nz * noise_level * 6.0f) *
                            velocity_gain;
            const float b = body_filter.process(s) * amp[i];
            run[i] = b + ding_filter.process(s) * ding[i] * ding_level;
        }
        end_metal_run(m);
        return live;
    });
}

void kavrel_voice_cymbal_110::set_tune(float ratio) {
    for (int i = 0; i < oscillator_count; ++i)
        oscillators[i].set_frequency(ratio * base_frequencies[i]);
}

#include "voices/kavrel_voice_rimshot.h"

kavrel_voice_rimshot::kavrel_voice_rimshot() {
    output_filter.set_frequency(1000.0f);
    output_filter.set_q(0.707f);
    shaper.set_drive(2.0f);
    env_b.set_decay_time(36.0f);
    env_b.set_decay_curve(-0.5f);
    env_c.set_decay_time(7.0f);
    env_c.set_decay_curve(-0.5f);

    amp_env.set_decay_time(29.0f);
    amp_env.set_decay_curve(-0.5f);
}

kavrel_voice_rimshot::~kavrel_voice_rimshot() = default;

void kavrel_voice_rimshot::set_sample_rate(float hz) {
    kavrel_voice_pitched::set_sample_rate(hz);
    partial2.set_sample_rate(hz);
    partial3.set_sample_rate(hz);
    output_filter.set_sample_rate(hz);
    shaper.set_sample_rate(hz);
    env_b.set_sample_rate(hz);
    env_c.set_sample_rate(hz);
}

void kavrel_voice_rimshot::trigger(float velocity) {
    kavrel_voice_pitched::trigger(velocity);
    // One whole table length: the same point as 0, the start of the cycle.
    const float cycle_start = static_cast<float>(oscillator.get_table_size());
    oscillator.set_phase(cycle_start);
    partial2.set_phase(static_cast<float>(partial2.get_table_size()));
    partial3.set_phase(static_cast<float>(partial3.get_table_size()));
    env_b.trigger();
    env_c.trigger();
    velocity_gain *= 0.7f;
}

bool kavrel_voice_rimshot::is_idle() const {
    return env_b.is_finished();
}

[[gnu::flatten]] bool kavrel_voice_rimshot::process_block(float* out, int frames) {
    if (is_idle()) return false;
    return render_runs(out, frames, [this](float* __restrict run, int n) {
        float env2[kMaxRun], amp[kMaxRun], env3[kMaxRun];
        const int live = env_b.running_for(n);
        env_b.process_run(env2, live);
        amp_env.process_run(amp, live);
        env_c.process_run(env3, live);
        for (int i = 0; i < live; ++i) {
            const float b = env2[i] * partial2.process_free();
            const float a = amp[i] * oscillator.process_free();
            const float c = env3[i] * partial3.process_free();
            const float sum = b + a + c;
            run[i] = output_filter.process(shaper.process(sum)) * velocity_gain;
        }
        return live;
    });
}

void kavrel_voice_rimshot::set_tuning(float ratio) {
    oscillator.set_frequency(500.0f * ratio);
    partial2.set_frequency(220.0f * ratio);
    partial3.set_frequency(1000.0f * ratio);
}

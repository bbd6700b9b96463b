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
        auto o2 = partial2.begin_run();
        auto o1 = oscillator.begin_run();
        auto o3 = partial3.begin_run();
        auto out_filter = output_filter.begin_run();
        for (int i = 0; i < live; ++i) {
            const float b = env2[i] * o2.next();
            const float a = amp[i] * o1.next();
            const float c = env3[i] * o3.next();
            const float sum = b + a + c;
            run[i] = out_filter.process(shaper.process(sum)) * velocity_gain;
        }
        partial2.end_run(o2);
        oscillator.end_run(o1);
        partial3.end_run(o3);
        output_filter.end_run(out_filter);
        return live;
    });
}

void kavrel_voice_rimshot::set_tuning(float ratio) {
    oscillator.set_frequency(500.0f * ratio);
    partial2.set_frequency(220.0f * ratio);
    partial3.set_frequency(1000.0f * ratio);
}

#include "voices/kavrel_voice_claps.h"

#include <algorithm>

kavrel_voice_claps::kavrel_voice_claps() {
    tone_filter.set_frequency(500.0f);
    tone_filter.set_resonance(0.3f);

    // Each clap rises in 0.05 ms and falls fast (curve -0.8); the third only falls to 0.2, so
    // the fourth grows out of it.
    bursts.set_breakpoint_level(0, 0.0f);
    bursts.set_breakpoint_level(1, 1.0f);
    bursts.set_breakpoint_time(1, 0.05f);
    bursts.set_breakpoint_curve(1, -0.8f);
    bursts.add_breakpoint(0.0f, 12.0f);
    bursts.set_breakpoint_curve(bursts.add_breakpoint(1.0f, 0.05f), -0.8f);
    bursts.add_breakpoint(0.0f, 13.0f);
    bursts.set_breakpoint_curve(bursts.add_breakpoint(1.0f, 0.05f), -0.8f);
    bursts.add_breakpoint(0.2f, 8.0f);
    bursts.set_breakpoint_curve(bursts.add_breakpoint(1.0f, 0.05f), -0.5f);
    bursts.add_breakpoint(0.0f, 70.0f);

    amp_env.set_attack_time(0.1f);
    amp_env.set_decay_time(200.0f);
    amp_env.set_decay_curve(-1.0f);
}

kavrel_voice_claps::~kavrel_voice_claps() = default;

void kavrel_voice_claps::set_sample_rate(float hz) {
    vxsp_block::set_sample_rate(hz);
    amp_env.set_sample_rate(hz);
    tone_filter.set_sample_rate(hz);
    bursts.set_sample_rate(hz);
    noise.set_sample_rate(hz);
}

void kavrel_voice_claps::trigger(float velocity) {
    amp_env.trigger();
    bursts.trigger();
    velocity_gain = velocity_squared(velocity) * 6.0f;
}

bool kavrel_voice_claps::is_idle() const {
    return amp_env.is_finished() && bursts.is_finished();
}

[[gnu::flatten]] bool kavrel_voice_claps::process_block(float* out, int frames) {
    if (is_idle()) return false;
    return render_runs(out, frames, [this](float* __restrict run, int n) {
        float amp[kMaxRun], burst[kMaxRun];
        const int live = std::max(amp_env.running_for(n), bursts.running_for(n));
        amp_env.process_run(amp, live);
        bursts.process_run(burst, live);
        // Noise is all there is, so its gain goes with the velocity's.
        const float gain = velocity_gain * noise.get_band_gain();
        auto nr = noise.begin_run();
        auto tone = tone_filter.begin_run();
        for (int i = 0; i < live; ++i) {
            const float tail = amp[i] * nr.next() * 0.1f;
            // A fresh noise value, not the tail's.
            const float claps = burst[i] * nr.next();
            run[i] = tone.process(claps + tail) * gain;
        }
        noise.end_run(nr);
        tone_filter.end_run(tone);
        return live;
    });
}

#include "voices/kavrel_voice_cowbell.h"

kavrel_voice_cowbell::kavrel_voice_cowbell() {
    oscillator.build_waveform(vxsp_oscillator_wavetable::waveform_pulse, 50.0f, 16);
    oscillator2.build_waveform(vxsp_oscillator_wavetable::waveform_pulse, 50.0f, 16);
    oscillator.set_frequency(587.0f);
    oscillator2.set_frequency(845.0f);
    filter.set_frequency(2640.0f);
    filter.set_resonance(0.1f);
}

kavrel_voice_cowbell::~kavrel_voice_cowbell() = default;

void kavrel_voice_cowbell::set_sample_rate(float hz) {
    kavrel_voice_pitched::set_sample_rate(hz);
    oscillator2.set_sample_rate(hz);
    filter.set_sample_rate(hz);
}

void kavrel_voice_cowbell::trigger(float velocity) {
    kavrel_voice_pitched::trigger(velocity);
    oscillator2.set_phase(0.0f);
}

bool kavrel_voice_cowbell::is_idle() const {
    return amp_env.is_finished();
}

[[gnu::flatten]] bool kavrel_voice_cowbell::process_block(float* out, int frames) {
    if (is_idle()) return false;
    return render_runs(out, frames, [this](float* __restrict run, int n) {
        float amp[kMaxRun];
        const int live = amp_env.running_for(n);
        amp_env.process_run(amp, live);
        auto r1 = oscillator.begin_run();
        auto r2 = oscillator2.begin_run();
        auto f = filter.begin_run();
        for (int i = 0; i < live; ++i) {
            const float a = amp[i] * velocity_gain;
            const float o1 = r1.next();
            const float o2 = r2.next();
            run[i] = f.process(a * (o1 + o2));
        }
        oscillator.end_run(r1);
        oscillator2.end_run(r2);
        filter.end_run(f);
        return live;
    });
}

void kavrel_voice_cowbell::set_tune(float hz) {
    oscillator.set_frequency(hz);
    oscillator2.set_frequency(hz * ratio);
}

void kavrel_voice_cowbell::set_ratio(float r) {
    ratio = r;
    oscillator2.set_frequency(oscillator.get_frequency() * r);
}

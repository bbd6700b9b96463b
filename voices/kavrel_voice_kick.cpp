#include "voices/kavrel_voice_kick.h"

#include "voices/kavrel_kick_wave.h"

kavrel_voice_kick::kavrel_voice_kick() {
    body.select_table(0);
    body.resize_table(kavrel_kick_wave_length);
    body.load_table(kavrel_kick_wave);
    body.select_table(1);
    body.build_current_table(vxsp_oscillator_wavetable::waveform_sine, 0.0f);
    body.select_table(waveform.load());

    click_env.set_attack_time(0.0f);
    click_env.set_attack_curve(0.0f);
    click_env.set_decay_time(80.0f);
    click_env.set_decay_curve(-1.0f);
    // No shaping until "Kickdrum Saturation" arrives.
    saturator.set_amount(0.0f);
    click_pulse.set_length(2.0f);
    click_noise_filter.set_frequency(1000.0f);
    click_noise_filter.set_q(0.707f);
}

kavrel_voice_kick::~kavrel_voice_kick() = default;

void kavrel_voice_kick::set_sample_rate(float hz) {
    kavrel_voice_pitched::set_sample_rate(hz);
    body.set_sample_rate(hz);
    click_env.set_sample_rate(hz);
    saturator.set_sample_rate(hz);
    click_pulse.set_sample_rate(hz);
    click_noise_filter.set_sample_rate(hz);
    noise.set_sample_rate(hz);
}

void kavrel_voice_kick::trigger(float velocity) {
    kavrel_voice_pitched::trigger(velocity);
    body.set_phase(0.0f);
    click_env.trigger();
    click_pulse.trigger();
}

// A waveform switch still pending counts as work: the next run makes it even while silent.
bool kavrel_voice_kick::is_idle() const {
    return amp_env.is_finished() && waveform.load() == body.current_table();
}

[[gnu::flatten]] bool kavrel_voice_kick::process_block(float* out, int frames) {
    const int wanted = waveform.load();
    if (wanted != body.current_table()) body.select_table(wanted);
    if (amp_env.is_finished()) return false;
    return render_runs(out, frames, [this](float* __restrict run, int n) {
        float amp[kMaxRun], sweep[kMaxRun], click[kMaxRun];
        const int live = amp_env.running_for(n);
        amp_env.process_run(amp, live);
        pitch_env.process_run(sweep, live);
        click_env.process_run(click, live);
        // The saturator carries nothing from sample to sample: it goes over the run after
        // the oscillator, noise and filter, which do. Each array holds a later stage in place.
        float* tone = amp;
        float* clicks = click;
        const float noise_gain = noise_amount * noise.get_band_gain();
        auto osc = body.begin_run();
        auto nr = noise.begin_run();
        auto nf = click_noise_filter.begin_run();
        for (int i = 0; i < live; ++i) {
            tone[i] = osc.next(sweep[i] * pitch_depth) * amp[i];
            const float nz = nf.process(nr.next());
            const float pulse = click_pulse.next() * pulse_amount;
            clicks[i] = (pulse + nz * noise_gain) * click[i] * click_level;
        }
        body.end_run(osc);
        noise.end_run(nr);
        click_noise_filter.end_run(nf);
        saturator.process_run(tone, live);
        for (int i = 0; i < live; ++i) run[i] = (clicks[i] + tone[i] * tone_level) * velocity_gain;
        return live;
    });
}

void kavrel_voice_kick::set_waveform(int index) {
    if (index < 0 || index >= body.get_table_count()) return;
    waveform.store(index);
}

#pragma once

#include "dsp/vxsp_eg_breakpoint_ar.h"
#include "dsp/vxsp_filter_rbj_high_pass.h"
#include "dsp/vxsp_filter_rbj_low_pass.h"
#include "dsp/vxsp_noise_white_fast.h"
#include "dsp/vxsp_oscillator_wavetable.h"
#include "dsp/vxsp_pulsegen.h"
#include "voices/kavrel_voice_pitched.h"

// Snare 8: two sine partials (the tune and 1.8333 × it, no sweep), high-passed noise under
// its own envelope, and a 2 ms pulse through a low-pass as the stick click.
class kavrel_voice_snare808 : public kavrel_voice_pitched {
public:
    kavrel_voice_snare808();
    ~kavrel_voice_snare808() override;

    void set_sample_rate(float hz) override;
    void trigger(float velocity) override;
    bool process_block(float* out, int frames) override;
    bool is_idle() const;
    void set_tune(float hz) override;
    // The first partial's envelope is the amplitude envelope.
    virtual void set_partial1_decay_time(float ms) { set_amp_decay_time(ms); }
    virtual void set_partial1_decay_curve(float c) { set_amp_decay_curve(c); }
    virtual void set_partial2_decay_time(float ms) { partial2_env.set_decay_time(ms); }
    virtual void set_partial2_decay_curve(float c) { partial2_env.set_decay_curve(c); }
    virtual void set_noise_decay(float ms) { noise_env.set_decay_time(ms); }
    virtual void set_noise_decay_curve(float c) { noise_env.set_decay_curve(c); }
    virtual void set_noise_level(float gain) { noise_level = gain; }
    virtual void set_click_level(float gain) { click_level = gain; }

    // "Snare8 Noise Color": the noise high-pass's cutoff in Hz.
    void set_noise_color(float hz) {
        if (is_idle() && hz != noise_filter.get_frequency()) filter_moved = true;
        noise_filter.set_frequency(hz);
    }

private:
    vxsp_oscillator_wavetable oscillator2;
    vxsp_filter_rbj_high_pass noise_filter;
    vxsp_filter_rbj_low_pass click_filter;
    vxsp_noise_white_fast noise;
    vxsp_eg_breakpoint_ar partial2_env;
    vxsp_eg_breakpoint_ar noise_env;
    vxsp_pulsegen click_pulse;
    float noise_level = 0.5f;
    float click_level = 1.0f;
    bool filter_moved = false; // the noise colour changed while the voice was silent
};

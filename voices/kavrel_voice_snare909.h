#pragma once

#include "dsp/vxsp_eg_breakpoint_ar.h"
#include "dsp/vxsp_filter_rbj_high_pass.h"
#include "dsp/vxsp_filter_rbj_low_pass.h"
#include "dsp/vxsp_noise_white_fast.h"
#include "dsp/vxsp_oscillator_wavetable.h"
#include "voices/kavrel_voice_pitched.h"

// Snare 9: two sine partials (the tune and 1.4 × it) swept up by 200 Hz at the hit and
// gliding back over 75 ms, and one noise source through a low-pass (the noise colour) and a
// fixed 1000 Hz high-pass, each under its own envelope. Its attacks stay at 1 ms, curve 0:
// the attack parameters reach no setter, so the factory kits keep their sound.
class kavrel_voice_snare909 : public kavrel_voice_pitched {
public:
    kavrel_voice_snare909();
    ~kavrel_voice_snare909() override;

    void set_sample_rate(float hz) override;
    void trigger(float velocity) override;
    bool process_block(float* out, int frames) override;
    bool is_idle() const;
    void set_tune(float hz) override;
    // Both tonal partials.
    virtual void set_tone_decay(float ms);
    virtual void set_partial1_decay_time(float ms) { set_amp_decay_time(ms); }
    virtual void set_partial1_decay_curve(float c) { set_amp_decay_curve(c); }
    // Both tonal partials.
    virtual void set_tone_decay_curve(float c);
    virtual void set_partial2_decay_time(float ms) { partial2_env.set_decay_time(ms); }
    virtual void set_partial2_decay_curve(float c) { partial2_env.set_decay_curve(c); }
    // Both noise envelopes.
    virtual void set_noise_decay(float ms);
    virtual void set_lowpass_noise_decay_time(float ms) { lowpass_noise_env.set_decay_time(ms); }
    // Both noise envelopes.
    virtual void set_noise_decay_curve(float c);
    virtual void set_lowpass_noise_decay_curve(float c) { lowpass_noise_env.set_decay_curve(c); }
    virtual void set_highpass_noise_decay_time(float ms) { highpass_noise_env.set_decay_time(ms); }
    virtual void set_highpass_noise_decay_curve(float c) { highpass_noise_env.set_decay_curve(c); }
    virtual void set_noise_level(float gain) { noise_level = gain; }

    // "Snare9 Noise Color": the noise low-pass's cutoff in Hz.
    void set_noise_color(float hz) {
        if (is_idle() && hz != noise_lowpass.get_frequency()) filter_moved = true;
        noise_lowpass.set_frequency(hz);
    }

private:
    vxsp_oscillator_wavetable oscillator2;
    vxsp_filter_rbj_low_pass noise_lowpass;
    bool filter_moved = false; // the noise colour changed while the voice was silent
    vxsp_filter_rbj_high_pass noise_highpass;
    vxsp_noise_white_fast noise;
    vxsp_eg_breakpoint_ar partial2_env;
    vxsp_eg_breakpoint_ar lowpass_noise_env;
    vxsp_eg_breakpoint_ar highpass_noise_env;
    float noise_level = 0.5f;
};

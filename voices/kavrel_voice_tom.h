#pragma once

#include "dsp/vxsp_distort_exponential.h"
#include "dsp/vxsp_eg_breakpoint_ar.h"
#include "dsp/vxsp_filter_rbj_low_pass.h"
#include "dsp/vxsp_noise_white_fast.h"
#include "dsp/vxsp_oscillator_wavetable_resizeable.h"
#include "voices/kavrel_voice_pitched.h"

// A tom: two partials of the stored cycle (the fundamental under the tone-2 envelope, an
// upper partial at 1.8333 × the tune under the amplitude envelope, which the parameters call
// "Tone 1"), a click partial at 3 × the tune with low-passed noise under a click envelope. All
// three oscillators receive the same pitch sweep in Hz. The hit lasts until all three
// envelopes have finished.
class kavrel_voice_tom : public kavrel_voice_pitched {
public:
    kavrel_voice_tom();
    ~kavrel_voice_tom() override;

    void set_sample_rate(float hz) override;
    void trigger(float velocity) override;
    bool process_block(float* out, int frames) override;
    bool is_idle() const;
    void set_tune(float hz) override;
    // Tone 1 decays in ms, tone 2 in 1.2 × ms.
    virtual void set_decay(float ms);
    virtual void set_tone1_attack_time(float ms) { set_amp_attack_time(ms); }
    virtual void set_tone1_attack_curve(float c) { set_amp_attack_curve(c); }
    virtual void set_tone1_decay_time(float ms) { set_amp_decay_time(ms); }
    virtual void set_tone1_decay_curve(float c) { set_amp_decay_curve(c); }
    virtual void set_tone2_attack_time(float ms) { tone2_env.set_attack_time(ms); }
    virtual void set_tone2_attack_curve(float c) { tone2_env.set_attack_curve(c); }
    virtual void set_tone2_decay_time(float ms) { tone2_env.set_decay_time(ms); }
    virtual void set_tone2_decay_curve(float c) { tone2_env.set_decay_curve(c); }
    virtual void set_click_level(float gain) { click_level = gain; }
    virtual void set_noise_level(float gain) { noise_level = gain; }
    virtual void set_click_decay_time(float ms) { click_env.set_decay_time(ms); }
    virtual void set_click_decay_curve(float c) { click_env.set_decay_curve(c); }
    // Saturation 0..1 on both tonal partials.
    virtual void set_saturation(float amount);

private:
    vxsp_oscillator_wavetable_resizeable fundamental;
    vxsp_oscillator_wavetable_resizeable upper_partial;
    vxsp_filter_rbj_low_pass noise_filter;
    vxsp_distort_exponential saturator1;
    vxsp_distort_exponential saturator2;
    vxsp_eg_breakpoint_ar click_env;
    vxsp_eg_breakpoint_ar tone2_env;
    vxsp_noise_white_fast noise;
    float click_level = 1.0f;
    float noise_level = 0.223872114f; // -13 dB
};

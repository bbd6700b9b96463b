#pragma once

#include "dsp/vxsp_eg_breakpoint_ar.h"
#include "dsp/vxsp_filter_rbj_band_pass.h"
#include "dsp/vxsp_filter_rbj_high_pass.h"
#include "dsp/vxsp_noise_white_fast.h"
#include "voices/kavrel_voice_cymbal_base.h"

// A cymbal: the six oscillators as square waves in three frequency-modulated pairs, through a
// tone high-pass under the amplitude envelope and a swept "ding" band-pass under a short ding
// envelope. The engine plays the kavrel_voice_cymbal_110 variant; this mix is kept for it to
// build on.
class kavrel_voice_cymbal : public kavrel_voice_cymbal_base {
public:
    kavrel_voice_cymbal();
    ~kavrel_voice_cymbal() override;

    void set_sample_rate(float hz) override;
    void trigger(float velocity) override;
    bool process_block(float* out, int frames) override;
    bool is_idle() const;
    void set_tune(float ratio) override;
    // Here the ding filter's sweep in Hz above 1000 Hz at the ding envelope's peak.
    virtual void set_ding_frequency(float hz) { ding_sweep = hz; }
    virtual void set_body_frequency(float hz) { body_filter.set_frequency(hz); }
    // The tone filter's sweep in Hz above 1000 Hz at the amplitude envelope's peak.
    virtual void set_tone_sweep(float hz) { tone_sweep = hz; }
    virtual void set_noise_level(float level);
    // Frequency-modulation depth of each oscillator pair, in Hz per unit of the modulator.
    virtual void set_modulation_depth(float depth) { modulation_depth = depth; }
    // No ding level in this mix.
    virtual void set_ding_level(float) {}
    virtual void set_ding_attack_time(float ms) { ding_env.set_attack_time(ms); }
    virtual void set_ding_attack_curve(float c) { ding_env.set_attack_curve(c); }
    virtual void set_ding_decay_time(float ms) { ding_env.set_decay_time(ms); }
    virtual void set_ding_decay_curve(float c) { ding_env.set_decay_curve(c); }

protected:
    vxsp_filter_rbj_high_pass tone_filter;
    vxsp_filter_rbj_band_pass ding_filter;
    vxsp_filter_rbj_band_pass body_filter;
    vxsp_eg_breakpoint_ar ding_env;
    vxsp_noise_white_fast noise;
    float noise_level = 0.0f;
    float noise_complement = 1.0f;
    float modulation_depth = 0.0f;
    float ding_sweep = 0.0f;
    float tone_sweep = 0.0f;
};

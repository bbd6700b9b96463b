#pragma once

#include "dsp/vxsp_filter_rbj_band_pass.h"
#include "dsp/vxsp_filter_rbj_high_pass.h"
#include "dsp/vxsp_noise_white_fast.h"
#include "voices/kavrel_voice_cymbal_base.h"

// A hi-hat (the engine owns a closed and an open one): noise and the six pulse waves, mixed
// by the noise mix, through a high-pass and a band-pass. The closed hat silences the open
// one through choke().
class kavrel_voice_hihat : public kavrel_voice_cymbal_base {
public:
    kavrel_voice_hihat();
    ~kavrel_voice_hihat() override;

    void set_sample_rate(float hz) override;
    void trigger(float velocity) override;
    bool process_block(float* out, int frames) override;
    bool is_idle() const;
    virtual void set_bandpass_frequency(float hz) {
        if (is_idle() && hz != bandpass.get_frequency()) filter_moved = true;
        bandpass.set_frequency(hz);
    }
    virtual void set_highpass_frequency(float hz) {
        if (is_idle() && hz != highpass.get_frequency()) filter_moved = true;
        highpass.set_frequency(hz);
    }
    // 0 = the pulse waves only, 1 = noise only.
    virtual void set_noise_mix(float mix);
    // Silent from the next sample on, without a ramp; a new hit may follow at once.
    virtual void choke() { amp_env.stop(); }

private:
    vxsp_filter_rbj_high_pass highpass;
    vxsp_filter_rbj_band_pass bandpass;
    vxsp_noise_white_fast noise;
    float noise_mix = 0.5f;
    float tone_mix = 0.5f;
    bool filter_moved = false; // a filter moved while the hat was silent

    // Noise and metal, before the filters.
    float source(const metal_lanes& o, vxsp_noise_white_fast::run& nr, float noise_gain);
};

#pragma once

#include "dsp/vxsp_eg_breakpoint.h"
#include "dsp/vxsp_filter_rbj_band_pass.h"
#include "dsp/vxsp_noise_white_fast.h"
#include "voices/kavrel_voice.h"

// The hand clap: noise under a burst envelope of four claps (12, 13 and 8 ms apart, the last
// dying away in 70 ms) plus a quieter noise tail under the amplitude envelope (the "reverb"),
// through one band-pass. The hit lasts until both the bursts and the tail have ended, so a
// short reverb never cuts the bursts.
class kavrel_voice_claps : public kavrel_voice {
public:
    kavrel_voice_claps();
    ~kavrel_voice_claps() override;

    void set_sample_rate(float hz) override;
    void trigger(float velocity) override;
    bool process_block(float* out, int frames) override;
    bool is_idle() const;
    // Band-pass centre in Hz.
    virtual void set_tone(float hz) { tone_filter.set_frequency(hz); }
    // Tail length in ms.
    virtual void set_reverb(float ms) { set_amp_decay_time(ms); }

private:
    vxsp_filter_rbj_band_pass tone_filter;
    vxsp_eg_breakpoint bursts;
    vxsp_noise_white_fast noise;
};

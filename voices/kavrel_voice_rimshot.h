#pragma once

#include "dsp/vxsp_distort_parabolic.h"
#include "dsp/vxsp_eg_breakpoint_ar.h"
#include "dsp/vxsp_filter_rbj_high_pass.h"
#include "dsp/vxsp_oscillator_wavetable.h"
#include "voices/kavrel_voice_pitched.h"

// The rimshot: three short sine partials (500, 220 and 1000 Hz at ratio 1), each under its
// own envelope, clipped by a parabolic shaper and high-passed. The hit ends with envelope B,
// the longest of the three by default. The pitch envelope runs but is never heard.
class kavrel_voice_rimshot : public kavrel_voice_pitched {
public:
    kavrel_voice_rimshot();
    ~kavrel_voice_rimshot() override;

    void set_sample_rate(float hz) override;
    void trigger(float velocity) override;
    bool process_block(float* out, int frames) override;
    bool is_idle() const;

    // "Rimshot Tune", 0.5..2: the partials at 500, 220 and 1000 Hz × ratio. All three run at
    // 440 Hz until the first call.
    void set_tuning(float ratio);
    // "Rimshot HPF Freq": the output high-pass's cutoff in Hz.
    void set_highpass_frequency(float hz) { output_filter.set_frequency(hz); }

private:
    vxsp_oscillator_wavetable partial2;
    vxsp_oscillator_wavetable partial3;
    vxsp_filter_rbj_high_pass output_filter;
    vxsp_distort_parabolic shaper;
    vxsp_eg_breakpoint_ar env_b;
    vxsp_eg_breakpoint_ar env_c;
};

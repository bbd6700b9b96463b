#pragma once

#include "dsp/vxsp_filter_rbj_band_pass.h"
#include "dsp/vxsp_oscillator_wavetable.h"
#include "voices/kavrel_voice_pitched.h"

// The cowbell: two square waves a ratio apart through a band-pass. Its attack stays at 1 ms,
// curve 0: the attack parameters reach no setter, so the factory kits keep their sound. The
// pitch envelope is triggered but never heard.
class kavrel_voice_cowbell : public kavrel_voice_pitched {
public:
    kavrel_voice_cowbell();
    ~kavrel_voice_cowbell() override;

    void set_sample_rate(float hz) override;
    void trigger(float velocity) override;
    bool process_block(float* out, int frames) override;
    bool is_idle() const;
    // First oscillator at hz, the second at hz × ratio.
    void set_tune(float hz) override;

    // "Cowbell Ratio": stored, and the second oscillator follows the first at once.
    void set_ratio(float r);
    // "Cowbell Filter Freq" and "Cowbell Filter Resonance" (0..1, Q = 1 + 7 r).
    void set_filter_frequency(float hz) { filter.set_frequency(hz); }
    void set_filter_resonance(float r) { filter.set_resonance(r); }

private:
    vxsp_oscillator_wavetable oscillator2;
    vxsp_filter_rbj_band_pass filter;
    float ratio = 1.0f;
};

#pragma once

#include "dsp/vxsp_oscillator_bank.h"
#include "dsp/vxsp_oscillator_wavetable.h"
#include "voices/kavrel_voice.h"

// Metallic voices: six detuned pulse-wave oscillators that run freely (never re-phased) and an
// amplitude envelope with an instant attack. Each subclass has its own table of six
// frequencies; set_tune scales that table.
class kavrel_voice_cymbal_base : public kavrel_voice {
public:
    static constexpr int oscillator_count = 6;

    kavrel_voice_cymbal_base();
    ~kavrel_voice_cymbal_base() override;

    void set_sample_rate(float hz) override;
    // Ratio 0.5..2 applied to the class's frequency table.
    virtual void set_tune(float ratio);

protected:
    // The six oscillators' next n samples, read together: metal[i][k] is oscillator k's.
    using metal_lanes = float[vxsp_oscillator_bank::max_oscillators];
    void render_metal(metal_lanes* metal, int n) { bank.render(oscillators, metal, n); }
    // After the oscillators' tables were built.
    void attach_bank() { bank.attach(oscillators, oscillator_count); }

    vxsp_oscillator_wavetable oscillators[oscillator_count];
    vxsp_oscillator_bank bank;
};

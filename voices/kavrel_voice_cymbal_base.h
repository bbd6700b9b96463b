#pragma once

#include <array>

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
    // The six oscillators read freely over one run, their state in the caller's hands.
    using metal_run = std::array<vxsp_oscillator_wavetable::free_run, oscillator_count>;
    metal_run begin_metal_run() const {
        metal_run m;
        for (int i = 0; i < oscillator_count; ++i) m[i] = oscillators[i].begin_free_run();
        return m;
    }
    void end_metal_run(const metal_run& m) {
        for (int i = 0; i < oscillator_count; ++i) oscillators[i].end_free_run(m[i]);
    }

    vxsp_oscillator_wavetable oscillators[oscillator_count];
};

#pragma once

#include "dsp/vxsp_oscillator_wavetable.h"

// Wavetable oscillator whose table may have any positive length (a stored single cycle, for
// instance). The read position wraps by subtraction instead of a bit mask.
class vxsp_oscillator_wavetable_resizeable : public vxsp_oscillator_wavetable {
public:
    vxsp_oscillator_wavetable_resizeable() = default;
    ~vxsp_oscillator_wavetable_resizeable() override;

    float process(float fm_hz) override;
    // The mask lookups of the base would fold a length that is not a power of two onto the
    // wrong samples, so every lookup here wraps by length.
    float process_ratio(float ratio, float fm_hz) override;
    float process_free() override;
    float process_ratio_truncating(float ratio, float fm_hz) override;
    // New unfilled (silent) table of n samples; phase restarts at 0. n < 1 is ignored.
    virtual void resize_table(int n);

protected:
    // Interpolated read at position p (table samples), wrapping by the table length.
    float lookup_by_length(float p);
    // Index of p's integer part inside the table; p's fractional part goes to fraction.
    int32_t wrap_by_length(float p);
};

inline int32_t vxsp_oscillator_wavetable_resizeable::wrap_by_length(float p) {
    const int32_t i = static_cast<int32_t>(p);
    fraction = p - static_cast<float>(i);
    // Inside the table, i + fraction is p exactly; taking p keeps the integer conversions off
    // the sample-to-sample dependency chain.
    if (static_cast<uint32_t>(i) < static_cast<uint32_t>(table_size)) {
        phase = p;
        return i;
    }
    int32_t index = i - table_size;
    // Increments stay far below the table length in use, so one subtraction is enough there;
    // the remainder only catches a position pushed out of range (a frequency beyond the
    // sample rate, a large negative modulation, a phase set past the end).
    if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(table_size)) {
        index = i % table_size;
        if (index < 0) index += table_size;
    }
    phase = static_cast<float>(index) + fraction;
    return index;
}

inline float vxsp_oscillator_wavetable_resizeable::lookup_by_length(float p) {
    const int32_t i = wrap_by_length(p);
    const int32_t next = i + 1 >= table_size ? 0 : i + 1;
    return (1.0f - fraction) * table[i] + fraction * table[next];
}

inline float vxsp_oscillator_wavetable_resizeable::process(float fm_hz) {
    return lookup_by_length(fm_hz * increment_per_hz + increment + phase);
}

inline float vxsp_oscillator_wavetable_resizeable::process_ratio(float ratio, float fm_hz) {
    return lookup_by_length(ratio * increment + fm_hz * increment_per_hz + phase);
}

inline float vxsp_oscillator_wavetable_resizeable::process_free() {
    return lookup_by_length(increment + phase);
}

inline float vxsp_oscillator_wavetable_resizeable::process_ratio_truncating(float ratio,
                                                                            float fm_hz) {
    return table[wrap_by_length(ratio * increment + fm_hz * increment_per_hz + phase)];
}

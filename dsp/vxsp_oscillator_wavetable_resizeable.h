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

    // As the base's run, wrapping by the table length (the base's would use its mask).
    struct run {
        const float* table;
        int32_t size;
        float increment;
        float increment_per_hz;
        float phase;
        float next() {
            float fraction;
            return read_by_length(table, size, increment + phase, phase, fraction);
        }
        float next(float fm_hz) {
            float fraction;
            return read_by_length(table, size, fm_hz * increment_per_hz + increment + phase, phase,
                                  fraction);
        }
    };
    run begin_run() const { return {table, table_size, increment, increment_per_hz, phase}; }
    void end_run(const run& r) {
        phase = r.phase;
        fraction = phase - static_cast<float>(static_cast<int32_t>(phase));
    }

protected:
    // Interpolated read at position p (table samples), wrapping by the table length.
    float lookup_by_length(float p) {
        return read_by_length(table, table_size, p, phase, fraction);
    }
    static float read_by_length(const float* table, int32_t size, float p, float& phase,
                                float& fraction);
    // Index of p's integer part inside the table; p's fractional part goes to fraction.
    int32_t wrap_by_length(float p) { return wrap(table_size, p, phase, fraction); }
    static int32_t wrap(int32_t table_size, float p, float& phase, float& fraction);
};

inline int32_t vxsp_oscillator_wavetable_resizeable::wrap(int32_t table_size, float p, float& phase,
                                                          float& fraction) {
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

inline float vxsp_oscillator_wavetable_resizeable::read_by_length(const float* table, int32_t size,
                                                                  float p, float& phase,
                                                                  float& fraction) {
    const int32_t i = wrap(size, p, phase, fraction);
    const int32_t next = i + 1 >= size ? 0 : i + 1;
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

#pragma once

#include <cstdint>
#include <memory>

#include "dsp/vxsp_oscillator.h"

// Table-lookup oscillator with linear interpolation and a frequency-modulation input in Hz.
// The table length is a power of two, so the read position wraps with a bit mask.
class vxsp_oscillator_wavetable : public vxsp_oscillator {
public:
    // Waveform types of build_waveform.
    enum waveform_type {
        waveform_sine = 0,
        waveform_saw = 4,             // band-limited falling sawtooth
        waveform_pulse = 5,           // band-limited pulse; param is the width in percent
        waveform_odd_harmonics = 6,   // odd harmonics falling as 1/j^2
        waveform_sine_plus_third = 7, // sin + sin 3 / 9
        waveform_seven_partials = 8,  // fixed spectrum of seven partials
        // Earlier names of types 6 to 8, still accepted.
        waveform_odd_square = waveform_odd_harmonics,
        waveform_two_odd = waveform_sine_plus_third,
        waveform_bell = waveform_seven_partials
    };

    vxsp_oscillator_wavetable();
    vxsp_oscillator_wavetable(const vxsp_oscillator_wavetable& other);
    vxsp_oscillator_wavetable& operator=(const vxsp_oscillator_wavetable& other);
    ~vxsp_oscillator_wavetable() override;

    void set_sample_rate(float hz) override;
    // One interpolated sample; fm_hz is a frequency offset for this sample only.
    float process(float fm_hz) override;
    void set_frequency(float hz) override;
    // Builds a new table of the present length and makes it current. Unknown types (1, 2, 3,
    // above 8, negative) leave the table as it is.
    virtual void build_waveform(int type, float param, int harmonics);
    // Copies table-size values into the current table.
    virtual void load_table(const float* values);
    // Reads from the caller's array from now on; the caller keeps it alive and sized.
    virtual void set_table(float* values);
    virtual void set_table_size(int n);
    virtual int get_table_size() const { return table_size; }
    // table[i] = sum over h of amplitudes[h - 1] * sin(h * 2 pi i / N).
    virtual void build_from_harmonics(int count, const float* amplitudes);
    // In table samples; voices restart with 0 (or one table length) on each hit.
    virtual void set_phase(float p) { phase = p; }
    virtual float process_ratio(float ratio, float fm_hz);
    virtual float process_free();
    virtual float process_ratio_truncating(float ratio, float fm_hz);

    // The oscillator over one run, its state held by the caller: a voice writing its samples
    // through a float pointer would otherwise store the phase and reload it and the table
    // pointer every sample, because the store may alias them. The same samples as
    // process_free() and process(); hand the phase back with end_run() after the run. A
    // frequency another thread sets mid-run applies from the next run.
    struct run {
        const float* table;
        int32_t mask;
        float increment;
        float increment_per_hz;
        float phase;
        float next() {
            float fraction;
            return read(table, mask, increment + phase, phase, fraction);
        }
        float next(float fm_hz) {
            float fraction;
            return read(table, mask, fm_hz * increment_per_hz + increment + phase, phase, fraction);
        }
    };
    run begin_run() const { return {table, table_mask, increment, increment_per_hz, phase}; }
    // The fraction of the last read is the phase's (the same unless the read wrapped).
    void end_run(const run& r) {
        phase = r.phase;
        fraction = phase - static_cast<float>(static_cast<int32_t>(phase));
    }

    float get_phase() const { return phase; }
    float get_fraction() const { return fraction; }
    float get_increment() const { return increment; }
    float get_increment_per_hz() const { return increment_per_hz; }
    const float* get_table() const { return table; }

protected:
    // Makes a zeroed table of n samples the current one, owned by this oscillator.
    float* allocate_owned_table(int n);
    // Hands the owned table (if any) to the caller; the oscillator no longer frees it.
    std::unique_ptr<float[]> release_owned_table() { return std::move(owned_table); }
    // Interpolated read at position p (table samples), wrapping with the mask.
    float lookup(float p) { return read(table, table_mask, p, phase, fraction); }
    static float read(const float* table, int32_t mask, float p, float& phase, float& fraction);
    void recompute_increment() {
        increment = static_cast<float>(table_size) * frequency * inverse_sample_rate;
    }

    int32_t table_size = 4096;
    int32_t table_mask = 4095;
    float* table = nullptr;
    // Set when the table is the oscillator's own; empty for a caller's array.
    std::unique_ptr<float[]> owned_table;
    float phase = 0.0f;
    float fraction = 0.0f;
    float increment = 0.0f;
    float increment_per_hz = 0.0f;
};

inline float vxsp_oscillator_wavetable::read(const float* table, int32_t mask, float p,
                                             float& phase, float& fraction) {
    const int32_t i = static_cast<int32_t>(p);
    fraction = p - static_cast<float>(i);
    const int32_t index = i & mask;
    // Without a wrap, index + fraction equals p exactly (p - i is exact for the truncated i),
    // so the next position need not wait for the integer conversions: a long dependency
    // chain that would otherwise set the cost of every sample.
    phase = index == i ? p : static_cast<float>(index) + fraction;
    return (1.0f - fraction) * table[index] + fraction * table[(index + 1) & mask];
}

inline float vxsp_oscillator_wavetable::process(float fm_hz) {
    return lookup(fm_hz * increment_per_hz + increment + phase);
}

inline float vxsp_oscillator_wavetable::process_ratio(float ratio, float fm_hz) {
    return lookup(ratio * increment + fm_hz * increment_per_hz + phase);
}

inline float vxsp_oscillator_wavetable::process_free() {
    return lookup(increment + phase);
}

inline float vxsp_oscillator_wavetable::process_ratio_truncating(float ratio, float fm_hz) {
    const float p = ratio * increment + fm_hz * increment_per_hz + phase;
    const int32_t i = static_cast<int32_t>(p);
    fraction = p - static_cast<float>(i);
    const int32_t index = i & table_mask;
    phase = index == i ? p : static_cast<float>(index) + fraction;
    return table[index];
}

#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "dsp/vxsp_eg.h"

// Envelope walking a list of level/time/curve breakpoints one sample at a time. Breakpoint 0
// is the rest level; breakpoint i (i >= 1) is reached time[i] ms after breakpoint i - 1, along a
// segment shaped by curve[i - 1]. After the last breakpoint the envelope idles at its level.
class vxsp_eg_breakpoint : public vxsp_eg {
public:
    struct breakpoint {
        float level;
        float time;      // ms from the previous breakpoint
        int32_t samples; // time in samples, at least 1
        float curve;     // shape of the segment leaving this breakpoint; 0 is a straight line
    };

    vxsp_eg_breakpoint();
    ~vxsp_eg_breakpoint() override;

    void set_sample_rate(float hz) override;
    // Curved walk; the input is ignored.
    float process(float) override;
    void trigger() override;
    virtual int add_breakpoint(float level, float time_ms);
    virtual void reserved_slot_9() {}
    virtual void reserved_slot_10() {}
    virtual void set_breakpoint_level(int i, float level);
    // Breakpoint 0 has no travel time, so i < 1 is ignored.
    virtual void set_breakpoint_time(int i, float ms);
    // A segment already running keeps its shape.
    virtual void set_breakpoint_curve(int i, float curve);
    // Restarts the walk: a 5-sample glide to the rest level when the attack is longer than
    // 1 ms, otherwise straight into the attack. Returns the new segment length in samples.
    virtual int start();
    // Jumps to idle at the last breakpoint's level.
    virtual void stop();
    virtual bool is_running() const { return index >= 0; }
    virtual bool is_finished() const { return index == -1; }
    // How many of the next n samples come before the envelope is finished.
    int running_for(int n) const;
    // The next n outputs, exactly as n process() calls would give them. Stretches whose powers
    // are kept go in one pass the compiler can vectorise; the rest goes sample by sample.
    void process_run(float* out, int n);
    // Straight-line walk, using the per-sample increments that start() sets up.
    virtual float process_linear();
    virtual void update_breakpoint_samples(int i);

    int get_breakpoint_count() const { return static_cast<int>(breakpoints.size()); }
    float get_breakpoint_level(int i) const;
    float get_breakpoint_time(int i) const;
    int get_breakpoint_samples(int i) const;
    float get_breakpoint_curve(int i) const;
    // Breakpoint being travelled towards; -1 when idle.
    int get_segment_index() const { return index; }
    int get_segment_length() const { return length; }
    float get_output() const { return output; }

protected:
    // Sets the exponent 10^|k| used by process() from the present k and power-form flag.
    void update_shape() { shape_exponent = std::pow(10.0f, power_form ? k : -k); }
    bool valid_index(int i) const { return i >= 0 && i < static_cast<int>(breakpoints.size()); }

    std::vector<breakpoint> breakpoints;
    int32_t index = -1;  // breakpoint travelled towards; -1 idle/finished
    int32_t counter = 0; // samples produced in the present segment
    float start_level = 0.0f;
    int32_t length = 1; // samples in the present segment
    float k = 0.0f;     // curve exponent (curved walk) or increment (straight-line walk)
    float delta = 0.0f; // end level minus start level
    bool power_form = false;
    float output = 0.0f;
    // 10^|k| of the present segment, so that a sample costs one power evaluation.
    float shape_exponent = 1.0f;

    // The power of a curved segment depends only on the sample's position in it, the segment
    // length, the exponent and the form, so a drum hit again with the same settings walks the
    // very same values. The first samples of the attack and the decay (segments 1 and 2) keep
    // the powers they computed, and a segment with the same settings reads them back instead
    // of calling pow again: the same floats, a fraction of the cost. Only the audio thread
    // (process, trigger) touches these.
    static constexpr int curve_cache_segments = 2;
    static constexpr int curve_cache_samples = 16384;
    struct curve_cache {
        int32_t length = 0;
        float exponent = 0.0f;
        bool power_form = false;
        int32_t filled = 0; // values[0..filled) are valid for the settings above
        // Never read beyond `filled`, so left unwritten: pages of it that no hit reaches are
        // never touched, which keeps them out of an instance's construction time and memory.
        float values[curve_cache_samples];
    };
    float curve_power(float base);
    // The power kept for the present sample, when there is one: such a sample needs neither
    // its phase (a division) nor a power.
    bool cached_power(float& p) const;
    // Moves on to the next breakpoint once the present segment is done; returns the output.
    float next_segment();
    curve_cache curve_caches[curve_cache_segments];
};

inline float vxsp_eg_breakpoint::curve_power(float base) {
    const int slot = index - 1;
    if (slot < 0 || slot >= curve_cache_segments || counter >= curve_cache_samples)
        return std::pow(base, shape_exponent);
    curve_cache& cache = curve_caches[slot];
    // A NaN exponent never equals itself, so such a segment is always computed afresh.
    if (cache.length != length || !(cache.exponent == shape_exponent) ||
        cache.power_form != power_form) {
        cache.length = length;
        cache.exponent = shape_exponent;
        cache.power_form = power_form;
        cache.filled = 0;
    }
    if (counter < cache.filled) return cache.values[counter];
    const float p = std::pow(base, shape_exponent);
    if (counter == cache.filled) cache.values[cache.filled++] = p;
    return p;
}

inline bool vxsp_eg_breakpoint::cached_power(float& p) const {
    const int slot = index - 1;
    if (slot < 0 || slot >= curve_cache_segments || counter >= curve_cache_samples) return false;
    const curve_cache& cache = curve_caches[slot];
    if (cache.length != length || !(cache.exponent == shape_exponent) ||
        cache.power_form != power_form || counter >= cache.filled)
        return false;
    p = cache.values[counter];
    return true;
}

inline float vxsp_eg_breakpoint::process(float) {
    if (index < 0) {
        output = start_level;
        return output;
    }
    float kept = 0.0f;
    // A kept power was computed for this very position and length, where the phase was at
    // most 1: the same output as computing it again.
    if (shape_exponent != 1.0f && cached_power(kept)) {
        output = start_level + (power_form ? kept : 1.0f - kept) * delta;
        if (++counter < length) return output;
        return next_segment();
    }
    const float phase = static_cast<float>(counter) / static_cast<float>(length);
    if (phase <= 1.0f) {
        // y = phase^e (power form) or 1 - (1 - phase)^e. A linear segment (e == 1) skips the
        // power call; x^1 is x exactly, so the values are the same.
        const float base = power_form ? phase : 1.0f - phase;
        const float p = shape_exponent == 1.0f ? base : curve_power(base);
        const float y = power_form ? p : 1.0f - p;
        output = start_level + y * delta;
    }
    if (++counter < length) return output;
    return next_segment();
}

inline int vxsp_eg_breakpoint::running_for(int n) const {
    if (index < 0) return 0;
    // A segment shortened below the samples it has already walked still takes one more.
    int64_t left = length > counter ? length - counter : 1;
    const int count = static_cast<int>(breakpoints.size());
    for (int j = index + 1; j < count && left < n; ++j) left += breakpoints[j].samples;
    return left < n ? static_cast<int>(left) : n;
}

inline void vxsp_eg_breakpoint::process_run(float* out, int n) {
    int i = 0;
    while (i < n) {
        if (index < 0) {
            output = start_level;
            for (int j = i; j < n; ++j) out[j] = output;
            return;
        }
        const int slot = index - 1;
        // Another thread may shorten the segment at any time (a lane or a knob moving the
        // decay); reading its length once keeps the stretch within the run and the cache.
        const int32_t segment = length;
        if (shape_exponent != 1.0f && slot >= 0 && slot < curve_cache_segments &&
            counter < segment) {
            const curve_cache& cache = curve_caches[slot];
            if (cache.length == segment && cache.exponent == shape_exponent &&
                cache.power_form == power_form && counter < cache.filled) {
                int m = n - i;
                if (m > cache.filled - counter) m = cache.filled - counter;
                if (m > segment - counter) m = segment - counter;
                const float* kept = cache.values + counter;
                const float from = start_level;
                const float by = delta;
                float* to = out + i;
                if (power_form) {
                    for (int j = 0; j < m; ++j) to[j] = from + kept[j] * by;
                } else {
                    for (int j = 0; j < m; ++j) to[j] = from + (1.0f - kept[j]) * by;
                }
                output = to[m - 1];
                counter += m;
                i += m;
                if (counter >= segment) next_segment();
                continue;
            }
        }
        out[i++] = process(0.0f);
    }
}

inline float vxsp_eg_breakpoint::next_segment() {
    const breakpoint* bp = breakpoints.data();
    start_level = bp[index].level;
    ++index;
    if (index >= static_cast<int32_t>(breakpoints.size())) {
        index = -1;
        return output;
    }
    length = bp[index].samples;
    delta = bp[index].level - bp[index - 1].level;
    k = bp[index - 1].curve;
    if (delta > 0.0f) k = -k;
    power_form = k > 0.0f;
    update_shape();
    counter = 0;
    return output;
}

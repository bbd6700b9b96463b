#pragma once

// Base of every sound-producing or sound-shaping object: a private copy of the sample rate
// and a per-sample process call. The virtual operations keep a fixed order (destructor,
// reset, set_sample_rate, a spare hook, process, process_buffer, set_bypass); subclasses
// append their own after these.
class vxsp_block {
public:
    vxsp_block() = default;
    virtual ~vxsp_block();

    // Clears running state; nothing to clear here.
    virtual void reset() {}
    // Stores the rate with its reciprocal and samples per millisecond. A rate that is zero,
    // negative or not finite is ignored: the block keeps the rate it had.
    virtual void set_sample_rate(float hz);
    // Spare hook kept so that the slots after it stay where every block expects them.
    virtual void reserved_slot_3() {}
    // Pass-through.
    virtual float process(float in) { return in; }
    // out[i] = process(in[i]); in == out is allowed.
    virtual void process_buffer(const float* in, float* out, int count);
    // Only the biquad filters act on this.
    virtual void set_bypass(bool) {}

    float get_sample_rate() const { return sample_rate; }
    float get_inverse_sample_rate() const { return inverse_sample_rate; }
    float get_samples_per_ms() const { return samples_per_ms; }

    // True for a rate a block can run at: finite, positive, with a finite reciprocal.
    static bool is_valid_sample_rate(float hz);

protected:
    float sample_rate = 44100.0f;
    float inverse_sample_rate = 1.0f / 44100.0f;
    // Single-precision product on purpose: 44100 gives 44.100002, and envelope lengths are
    // truncated from it.
    float samples_per_ms = 44100.0f * 0.001f;
};

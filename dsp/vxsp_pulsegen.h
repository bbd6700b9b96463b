#pragma once

#include <cstdint>

#include "dsp/vxsp_block.h"

// Rectangular gate: after trigger, exactly length-in-samples values of 1.0, then 0.0.
class vxsp_pulsegen : public vxsp_block {
public:
    vxsp_pulsegen();
    ~vxsp_pulsegen() override;

    void set_sample_rate(float hz) override;
    // Length rounded to the nearest sample; a negative or not-a-number length is no pulse.
    virtual void set_length(float ms);
    virtual void trigger() { remaining = length_samples; }
    virtual float next();

    float get_length_ms() const { return length_ms; }
    int get_length_samples() const { return length_samples; }
    int get_remaining() const { return remaining; }

protected:
    float length_ms = 10.0f;
    int32_t length_samples = 441;
    int32_t remaining = 0;
};

inline float vxsp_pulsegen::next() {
    const bool on = remaining > 0;
    remaining -= on ? 1 : 0;
    return on ? 1.0f : 0.0f;
}

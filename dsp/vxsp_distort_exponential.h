#pragma once

#include <cmath>

#include "dsp/vxsp_distort.h"

// Saturator sign(x) (1 - (1 - |x|)^k): identity for k = 1, bending towards +-1 as k grows.
class vxsp_distort_exponential : public vxsp_distort {
public:
    vxsp_distort_exponential() = default;
    ~vxsp_distort_exponential() override;

    // Inputs beyond +-1 give +-1 (the curve's end point) instead of the power of a negative
    // number.
    float process(float x) override;
    // Spare hook that keeps set_amount in the slot after it.
    virtual void reserved_slot_7() {}
    // Saturation amount 0..1, giving k = 1..11.
    virtual void set_amount(float s) { k = 10.0f * s + 1.0f; }

    float get_exponent() const { return k; }

protected:
    float k = 1.0f;
};

inline float vxsp_distort_exponential::process(float x) {
    const float sigma = x > 0.0f ? 1.0f : -1.0f;
    float u = 1.0f - sigma * x;
    u = u > 0.0f ? u : 0.0f;
    // Voices leave k at 1 (no saturation) most of the time; u^1 is u, so skip the power.
    return sigma * (1.0f - (k == 1.0f ? u : std::pow(u, k)));
}

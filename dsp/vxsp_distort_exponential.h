#pragma once

#include <cmath>
#include <cstdint>

#include "dsp/vxsp_distort.h"

// Saturator sign(x) (1 - (1 - |x|)^k): identity for k = 1, bending towards +-1 as k grows.
//
// The power is read from a table of cubic pieces rather than computed per sample: u^k over
// 0 <= u <= 1 in 512 intervals, each interpolated between its ends with the exact values and
// slopes (Hermite). Within 3e-7 of the C library's value for every k from 1 to 11, far below
// anything audible (tests/unit/dsp_distort_test.cpp pins the bound), and a fraction of the cost
// of a power evaluation. The table follows k on the audio thread, at the first sample after k
// changed; other threads only ever write k.
class vxsp_distort_exponential : public vxsp_distort {
public:
    vxsp_distort_exponential() = default;
    ~vxsp_distort_exponential() override;
    // Inputs beyond +-1 give +-1 (the curve's end point) instead of the power of a negative
    // number.
    float process(float x) override;
    // process() over a run, in place: the same values, four samples at a time where the
    // processor offers it.
    void process_run(float* x, int n);
    // Spare hook that keeps set_amount in the slot after it.
    virtual void reserved_slot_7() {}
    // Saturation amount 0..1, giving k = 1..11.
    virtual void set_amount(float s) { k = 10.0f * s + 1.0f; }
    float get_exponent() const { return k; }

    static constexpr int curve_intervals = 512;

protected:
    // u^k for u in [0, 1], from the table.
    float curve(float u);
    // Fills the table for the present k.
    void build_curve();
    static int32_t clamp_index(int32_t i) {
        return i < 0 ? 0 : i > curve_intervals ? curve_intervals : i;
    }

    float k = 1.0f;
    // The k the table holds; NaN until it is first built.
    float curve_k = NAN;
    // False for a k the table cannot follow closely (below 1, where the curve is infinitely
    // steep at 0, or not a number): such a k is computed per sample.
    bool curve_usable = false;
    // Per interval i, the cubic a + s (b + s (c + s d)) in s = u * intervals - i.
    struct piece {
        float a, b, c, d;
    };
    piece pieces[curve_intervals + 1];
};

inline float vxsp_distort_exponential::curve(float u) {
    if (!(k == curve_k)) build_curve();
    // The first interval holds the curve's bend at 0, too sharp for a cubic when k is near 1.
    if (!curve_usable || u < 1.0f / curve_intervals) return std::pow(u, k);
    const float t = u * static_cast<float>(curve_intervals);
    int32_t i = static_cast<int32_t>(t);
    // u = 1 reads the extra piece past the end, which holds 1^k = 1 exactly.
    i = clamp_index(i);
    const float s = t - static_cast<float>(i);
    const piece& p = pieces[i];
    return p.a + s * (p.b + s * (p.c + s * p.d));
}

inline float vxsp_distort_exponential::process(float x) {
    const float sigma = x > 0.0f ? 1.0f : -1.0f;
    float u = 1.0f - sigma * x;
    u = u > 0.0f ? u : 0.0f;
    // Voices leave k at 1 (no saturation) most of the time; u^1 is u, so skip the curve.
    return sigma * (1.0f - (k == 1.0f ? u : curve(u)));
}

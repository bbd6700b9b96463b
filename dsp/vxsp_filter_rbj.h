#pragma once

#include <cmath>

#include "dsp/vxsp_filter.h"

// Second-order (biquad) filter on the cookbook formulas, with alpha = sin w * sinh(1 / 2Q).
// This class computes the shared terms (w, cos w, sin w, alpha) and is a pass-through; the
// low-, high- and band-pass subclasses set the coefficients.
class vxsp_filter_rbj : public vxsp_filter {
public:
    vxsp_filter_rbj();
    ~vxsp_filter_rbj() override;

    // Clears the history; the denormal offset keeps its sign.
    void reset() override;
    // Clears the history and recomputes the coefficients (an invalid rate is ignored).
    void set_sample_rate(float hz) override;
    float process(float x) override;
    // On: plain pass-through. Off: history cleared, coefficients recomputed.
    void set_bypass(bool on) override;
    // Recomputes only when the value differs from the stored one (a NaN always differs).
    virtual void set_frequency(float hz);
    virtual void set_q(float q);
    virtual float get_frequency() const { return frequency; }
    virtual float get_q() const { return q; }
    // Resonance 0..1 mapped to Q = 1 + 10 r.
    virtual void set_resonance(float r) { set_q(1.0f + 10.0f * r); }
    virtual void update_coefficients();
    // Biquad without the denormal offset.
    virtual float process_plain(float x);

    // The filter over one run, its coefficients and history held by the caller: a voice
    // writing its samples through a float pointer would otherwise store the history and load
    // it again every sample, because the store may alias it, and the reload lands on the
    // filter's own feedback path. Coefficients another thread changes mid-run apply from the
    // next run. Hand the history back with end_run() after the run.
    struct run {
        float b0, b1, b2, a1, a2;
        float x1, x2, y1, y2, previous_y2, denormal_offset;
        float process(float x);
    };
    run begin_run() const {
        return {b0, b1, b2, a1, a2, x1, x2, y1, y2, previous_y2, denormal_offset};
    }
    void end_run(const run& r) {
        x1 = r.x1;
        x2 = r.x2;
        y1 = r.y1;
        y2 = r.y2;
        previous_y2 = r.previous_y2;
        denormal_offset = r.denormal_offset;
    }

    // Coefficients normalised by a0, for measuring the response.
    float get_b0() const { return b0; }
    float get_b1() const { return b1; }
    float get_b2() const { return b2; }
    float get_a1() const { return a1; }
    float get_a2() const { return a2; }
    float get_alpha() const { return alpha; }
    float get_omega() const { return omega; }

protected:
    // Factor on 1 / 2Q in alpha for a corner of hz (at least 1 Hz, not yet held below half the
    // rate); 1 here.
    virtual float bandwidth_scale(float) const { return 1.0f; }

    float frequency = 1000.0f;
    float q = 0.707f;
    float a1 = 0.0f;
    float a2 = 0.0f;
    float b0 = 1.0f;
    float b1 = 0.0f;
    float b2 = 0.0f;
    float x1 = 0.0f;
    float x2 = 0.0f;
    float y1 = 0.0f;
    float y2 = 0.0f;
    float previous_y2 = 0.0f;
    float omega = 0.0f;
    float cos_omega = 1.0f;
    float sin_omega = 0.0f;
    float alpha = 0.0f;
    // Added to the output history with alternating sign so that a filter fed silence never
    // decays into subnormal numbers.
    float denormal_offset = 1e-12f;
};

inline float vxsp_filter_rbj::run::process(float x) {
    const float y = b1 * x1 + b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
    // Coefficients changed by another thread in the middle of a sample, or a non-finite input,
    // can blow the state up; a filter that held NaN or infinity would stay silent or poisoned
    // for ever, so it starts again from rest instead.
    if (!std::isfinite(y)) {
        x1 = x2 = y1 = y2 = previous_y2 = 0.0f;
        return 0.0f;
    }
    x2 = x1;
    x1 = x;
    previous_y2 = y2;
    y2 = y1 + denormal_offset;
    y1 = y;
    denormal_offset = -denormal_offset;
    return y;
}

inline float vxsp_filter_rbj::process(float x) {
    run r = begin_run();
    const float y = r.process(x);
    end_run(r);
    return y;
}

inline float vxsp_filter_rbj::process_plain(float x) {
    const float y = b1 * x1 + b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    previous_y2 = y2;
    y2 = y1;
    y1 = y;
    return y;
}

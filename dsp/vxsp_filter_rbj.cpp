#include "dsp/vxsp_filter_rbj.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;
// Below this the hyperbolic sine overflows single precision and the coefficients turn to NaN.
constexpr float kMinimumQ = 0.01f;
// The largest argument the minimum Q gives, which a bandwidth scale may not push past either.
const float kMaximumSinhArgument = 1.0f / (2.0f * kMinimumQ);
// Past the Nyquist frequency sin w changes sign and the poles leave the unit circle.
constexpr float kMaximumFrequencyRatio = 0.49f;
constexpr float kMinimumFrequency = 1.0f;

} // namespace

vxsp_filter_rbj::vxsp_filter_rbj() {
    vxsp_filter_rbj::update_coefficients();
}

vxsp_filter_rbj::~vxsp_filter_rbj() = default;

void vxsp_filter_rbj::reset() {
    x1 = x2 = y1 = y2 = 0.0f;
    previous_y2 = 0.0f;
}

void vxsp_filter_rbj::set_sample_rate(float hz) {
    if (!is_valid_sample_rate(hz)) return;
    vxsp_filter::set_sample_rate(hz);
    reset();
    update_coefficients();
}

void vxsp_filter_rbj::set_bypass(bool on) {
    if (on) {
        b0 = 1.0f;
        b1 = b2 = a1 = a2 = 0.0f;
    } else {
        reset();
        update_coefficients();
    }
}

void vxsp_filter_rbj::set_frequency(float hz) {
    if (hz == frequency) return;
    frequency = hz;
    update_coefficients();
}

void vxsp_filter_rbj::set_q(float new_q) {
    if (new_q == q) return;
    q = new_q;
    update_coefficients();
}

void vxsp_filter_rbj::update_coefficients() {
    // The stored settings stay as given; only a corner beyond what a biquad can realise (or
    // a Q that overflows the hyperbolic sine) is pulled into range for the arithmetic, so an
    // out-of-range setting cannot make the filter blow up and poison its history.
    float f = frequency;
    const float nyquist_limit = kMaximumFrequencyRatio * sample_rate;
    if (!(f >= kMinimumFrequency)) f = kMinimumFrequency;
    const float scale = bandwidth_scale(f);
    if (f > nyquist_limit) f = nyquist_limit;
    float qq = q;
    if (!(qq >= kMinimumQ)) qq = kMinimumQ;

    omega = static_cast<float>(f * kTwoPi / sample_rate);
    cos_omega = std::cos(omega);
    sin_omega = std::sin(omega);
    alpha = sin_omega * std::sinh(std::min(scale / (2.0f * qq), kMaximumSinhArgument));
}

#include "dsp/vxsp_filter_rbj_band_pass.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;
// The rate the kits were voiced at.
constexpr float kVoicedRate = 44100.0f;

// sin w / w for a centre of hz held below 0.49 of the rate, as the coefficients hold it.
double squeeze(double hz, double rate) {
    const double w = kTwoPi * std::fmin(hz, 0.49 * rate) / rate;
    return std::sin(w) / w;
}

} // namespace

vxsp_filter_rbj_band_pass::vxsp_filter_rbj_band_pass() {
    vxsp_filter_rbj_band_pass::update_coefficients();
}

vxsp_filter_rbj_band_pass::~vxsp_filter_rbj_band_pass() = default;

// The bilinear transform squeezes a band towards half the rate, the more the nearer its centre
// is to it: at 44.1 kHz a band is sin w / w as wide in octaves as the same Q gives at a far
// higher rate. The kits' bands were set by ear at 44.1 kHz, so at any other rate the width is
// scaled to the one they have there, and a noise or a set of partials through the band keeps
// its level at every rate.
float vxsp_filter_rbj_band_pass::bandwidth_scale(float hz) const {
    if (sample_rate == kVoicedRate) return 1.0f;
    return static_cast<float>(squeeze(hz, kVoicedRate) / squeeze(hz, sample_rate));
}

void vxsp_filter_rbj_band_pass::update_coefficients() {
    vxsp_filter_rbj::update_coefficients();
    const float c = cos_omega;
    const float g = 1.0f / (1.0f + alpha);
    b0 = alpha * g;
    b1 = 0.0f;
    b2 = -alpha * g;
    a1 = -2.0f * c * g;
    a2 = (1.0f - alpha) * g;
}

#include "dsp/vxsp_filter_rbj_band_pass.h"

vxsp_filter_rbj_band_pass::vxsp_filter_rbj_band_pass() {
    vxsp_filter_rbj_band_pass::update_coefficients();
}

vxsp_filter_rbj_band_pass::~vxsp_filter_rbj_band_pass() = default;

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

#include "dsp/vxsp_filter_rbj_high_pass.h"

vxsp_filter_rbj_high_pass::vxsp_filter_rbj_high_pass() {
    vxsp_filter_rbj_high_pass::update_coefficients();
}

vxsp_filter_rbj_high_pass::~vxsp_filter_rbj_high_pass() = default;

void vxsp_filter_rbj_high_pass::update_coefficients() {
    vxsp_filter_rbj::update_coefficients();
    const float c = cos_omega;
    const float g = 1.0f / (1.0f + alpha);
    b0 = (1.0f + c) / 2.0f * g;
    b2 = b0;
    b1 = -(1.0f + c) * g;
    a1 = -2.0f * c * g;
    a2 = (1.0f - alpha) * g;
}

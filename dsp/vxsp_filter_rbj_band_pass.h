#pragma once

#include "dsp/vxsp_filter_rbj.h"

// Two-pole band-pass with a 0 dB peak at the centre frequency.
class vxsp_filter_rbj_band_pass : public vxsp_filter_rbj {
public:
    vxsp_filter_rbj_band_pass();
    ~vxsp_filter_rbj_band_pass() override;

    // Q = 1 + 7 r here (up to 8), where the other filters reach 11.
    void set_resonance(float r) override { set_q(1.0f + 7.0f * r); }
    void update_coefficients() override;

protected:
    float bandwidth_scale(float hz) const override;
};

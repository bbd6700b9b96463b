#pragma once

#include "dsp/vxsp_filter_rbj.h"

// Two-pole high-pass; unity gain at the Nyquist frequency.
class vxsp_filter_rbj_high_pass : public vxsp_filter_rbj {
public:
    vxsp_filter_rbj_high_pass();
    ~vxsp_filter_rbj_high_pass() override;

    void update_coefficients() override;
};

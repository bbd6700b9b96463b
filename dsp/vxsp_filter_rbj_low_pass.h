#pragma once

#include "dsp/vxsp_filter_rbj.h"

// Two-pole low-pass; unity gain at DC.
class vxsp_filter_rbj_low_pass : public vxsp_filter_rbj {
public:
    vxsp_filter_rbj_low_pass();
    ~vxsp_filter_rbj_low_pass() override;

    void update_coefficients() override;
};

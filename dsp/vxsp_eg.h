#pragma once

#include "dsp/vxsp_block.h"

// Abstract envelope: silent, and trigger does nothing.
class vxsp_eg : public vxsp_block {
public:
    vxsp_eg() = default;
    ~vxsp_eg() override;

    float process(float) override { return 0.0f; }
    virtual void trigger() {}
};

#pragma once

#include "dsp/vxsp_block.h"

// Groups the dynamics processors; adds nothing.
class vxsp_dynamics : public vxsp_block {
public:
    vxsp_dynamics() = default;
    ~vxsp_dynamics() override;
};

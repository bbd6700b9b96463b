#pragma once

#include "dsp/vxsp_block.h"

// Groups the static waveshapers; adds nothing.
class vxsp_distort : public vxsp_block {
public:
    vxsp_distort() = default;
    ~vxsp_distort() override;
};

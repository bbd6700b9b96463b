#pragma once

#include "dsp/vxsp_block.h"

// Groups the filter family; adds nothing.
class vxsp_filter : public vxsp_block {
public:
    vxsp_filter() = default;
    ~vxsp_filter() override;
};

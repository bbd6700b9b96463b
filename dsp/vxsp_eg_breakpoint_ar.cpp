#include "dsp/vxsp_eg_breakpoint_ar.h"

vxsp_eg_breakpoint_ar::vxsp_eg_breakpoint_ar() {
    add_breakpoint(0.0f, 250.0f);
    set_breakpoint_level(0, 0.0f);
    set_breakpoint_level(1, 1.0f);
    set_breakpoint_level(2, 0.0f);
    set_breakpoint_time(1, 1.0f);
    set_breakpoint_time(2, 250.0f);
    for (int i = 0; i < 3; ++i) set_breakpoint_curve(i, 0.0f);
}

vxsp_eg_breakpoint_ar::~vxsp_eg_breakpoint_ar() = default;

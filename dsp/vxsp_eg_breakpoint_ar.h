#pragma once

#include "dsp/vxsp_eg_breakpoint.h"

// Attack/decay envelope: 0 -> 1 (attack, 1 ms) -> 0 (decay, 250 ms), straight lines until
// curves are set. Breakpoint 1 is the peak.
class vxsp_eg_breakpoint_ar : public vxsp_eg_breakpoint {
public:
    vxsp_eg_breakpoint_ar();
    ~vxsp_eg_breakpoint_ar() override;

    virtual void set_attack_time(float ms) { set_breakpoint_time(1, ms); }
    virtual void set_attack_curve(float c) { set_breakpoint_curve(0, c); }
    virtual void set_decay_time(float ms) { set_breakpoint_time(2, ms); }
    virtual void set_decay_curve(float c) { set_breakpoint_curve(1, c); }
};

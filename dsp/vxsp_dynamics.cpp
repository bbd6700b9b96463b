#include "dsp/vxsp_dynamics.h"

vxsp_dynamics::~vxsp_dynamics() = default;

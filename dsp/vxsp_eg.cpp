#include "dsp/vxsp_eg.h"

vxsp_eg::~vxsp_eg() = default;

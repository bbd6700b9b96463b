#include "dsp/vxsp_distort_parabolic.h"

vxsp_distort_parabolic::~vxsp_distort_parabolic() = default;

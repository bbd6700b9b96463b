#include "dsp/vxsp_distort_exponential.h"

vxsp_distort_exponential::~vxsp_distort_exponential() = default;

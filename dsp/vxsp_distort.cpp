#include "dsp/vxsp_distort.h"

vxsp_distort::~vxsp_distort() = default;

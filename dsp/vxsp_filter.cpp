#include "dsp/vxsp_filter.h"

vxsp_filter::~vxsp_filter() = default;

#include "dsp/vxsp_noise_white_fast.h"

#include <cmath>

vxsp_noise_white_fast::vxsp_noise_white_fast(double seed) {
    set_seed(seed);
}

vxsp_noise_white_fast::~vxsp_noise_white_fast() = default;

void vxsp_noise_white_fast::set_seed(double seed) {
    // The first square is truncated to a 32-bit integer: 46340^2 is the largest that fits.
    state = std::isfinite(seed) && std::fabs(seed) < 46340.0 ? seed : default_seed;
}

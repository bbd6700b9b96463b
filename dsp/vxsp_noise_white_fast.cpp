#include "dsp/vxsp_noise_white_fast.h"

#include <cmath>

vxsp_noise_white_fast::vxsp_noise_white_fast(double seed) {
    set_seed(seed);
}

vxsp_noise_white_fast::~vxsp_noise_white_fast() = default;

void vxsp_noise_white_fast::set_sample_rate(float hz) {
    if (!is_valid_sample_rate(hz)) return;
    vxsp_block::set_sample_rate(hz);
    band_gain = static_cast<float>(std::sqrt(static_cast<double>(hz) / 44100.0));
}

void vxsp_noise_white_fast::set_seed(double seed) {
    // The first square is truncated to a 32-bit integer: 46340^2 is the largest that fits.
    state = std::isfinite(seed) && std::fabs(seed) < 46340.0 ? seed : default_seed;
}

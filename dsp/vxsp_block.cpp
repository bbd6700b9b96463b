#include "dsp/vxsp_block.h"

#include <cmath>

vxsp_block::~vxsp_block() = default;

bool vxsp_block::is_valid_sample_rate(float hz) {
    return std::isfinite(hz) && hz > 0.0f && std::isfinite(1.0f / hz);
}

void vxsp_block::set_sample_rate(float hz) {
    if (!is_valid_sample_rate(hz)) return;
    sample_rate = hz;
    inverse_sample_rate = 1.0f / hz;
    samples_per_ms = hz * 0.001f;
}

void vxsp_block::process_buffer(const float* in, float* out, int count) {
    for (int i = 0; i < count; ++i) out[i] = process(in[i]);
}

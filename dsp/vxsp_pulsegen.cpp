#include "dsp/vxsp_pulsegen.h"

vxsp_pulsegen::vxsp_pulsegen() {
    set_length(10.0f);
}

vxsp_pulsegen::~vxsp_pulsegen() = default;

void vxsp_pulsegen::set_sample_rate(float hz) {
    if (!is_valid_sample_rate(hz)) return;
    vxsp_block::set_sample_rate(hz);
    set_length(length_ms);
}

void vxsp_pulsegen::set_length(float ms) {
    length_ms = ms;
    const float rounded = ms * samples_per_ms + 0.5f;
    // A negative count would never reach zero in next(); clamp instead of wrapping.
    if (!(rounded >= 0.0f)) {
        length_samples = 0;
    } else if (rounded >= 2147483520.0f) {
        length_samples = 2147483520;
    } else {
        length_samples = static_cast<int32_t>(rounded);
    }
}

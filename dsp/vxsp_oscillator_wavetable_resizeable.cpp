#include "dsp/vxsp_oscillator_wavetable_resizeable.h"

vxsp_oscillator_wavetable_resizeable::~vxsp_oscillator_wavetable_resizeable() = default;

void vxsp_oscillator_wavetable_resizeable::resize_table(int n) {
    if (n < 1) return;
    allocate_owned_table(n);
    table_size = n;
    table_mask = n - 1;
    phase = 0.0f;
    fraction = 0.0f;
    increment_per_hz = static_cast<float>(n) * inverse_sample_rate;
    // The pitch must not jump by the ratio of the two lengths until the next set_frequency.
    recompute_increment();
}

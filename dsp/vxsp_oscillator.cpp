#include "dsp/vxsp_oscillator.h"

#include <cmath>

vxsp_oscillator::~vxsp_oscillator() = default;

void vxsp_oscillator::set_note(float note) {
    set_frequency(440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f));
}

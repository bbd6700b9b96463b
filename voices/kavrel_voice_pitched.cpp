#include "voices/kavrel_voice_pitched.h"

kavrel_voice_pitched::~kavrel_voice_pitched() = default;

void kavrel_voice_pitched::set_sample_rate(float hz) {
    vxsp_block::set_sample_rate(hz);
    amp_env.set_sample_rate(hz);
    pitch_env.set_sample_rate(hz);
    oscillator.set_sample_rate(hz);
}

void kavrel_voice_pitched::trigger(float velocity) {
    amp_env.trigger();
    pitch_env.trigger();
    oscillator.set_phase(0.0f);
    velocity_gain = velocity_squared(velocity);
}

#include "voices/kavrel_voice.h"

kavrel_voice::~kavrel_voice() = default;

float kavrel_voice::velocity_squared(float velocity) {
    // Written so that NaN falls to 0.
    const float v = velocity > 0.0f ? (velocity < 1.0f ? velocity : 1.0f) : 0.0f;
    return v * v;
}

float kavrel_voice::process() {
    float sample = 0.0f;
    process_block(&sample, 1);
    return sample;
}

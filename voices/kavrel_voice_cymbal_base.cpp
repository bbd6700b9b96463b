#include "voices/kavrel_voice_cymbal_base.h"

namespace {

constexpr float kBaseFrequencies[kavrel_voice_cymbal_base::oscillator_count] = {
    584.0f, 690.0f, 1062.0f, 530.0f, 458.0f, 363.0f};
constexpr float kBaseWidths[kavrel_voice_cymbal_base::oscillator_count] = {41.0f, 42.0f, 41.0f,
                                                                           42.0f, 41.0f, 42.0f};

} // namespace

kavrel_voice_cymbal_base::kavrel_voice_cymbal_base() {
    for (int i = 0; i < oscillator_count; ++i) {
        oscillators[i].set_frequency(kBaseFrequencies[i]);
        oscillators[i].build_waveform(vxsp_oscillator_wavetable::waveform_pulse, kBaseWidths[i],
                                      16);
    }
    attach_bank();
    amp_env.set_attack_time(0.0f);
}

kavrel_voice_cymbal_base::~kavrel_voice_cymbal_base() = default;

void kavrel_voice_cymbal_base::set_sample_rate(float hz) {
    vxsp_block::set_sample_rate(hz);
    amp_env.set_sample_rate(hz);
    for (auto& o : oscillators) o.set_sample_rate(hz);
}

void kavrel_voice_cymbal_base::set_tune(float ratio) {
    for (int i = 0; i < oscillator_count; ++i)
        oscillators[i].set_frequency(ratio * kBaseFrequencies[i]);
}

#pragma once

#include "voices/kavrel_voice_cymbal.h"

// The cymbal the engine plays: six weighted pulse waves on their own tuning plus noise, the
// mix scaled by velocity before it is split into a body band-pass under the amplitude
// envelope and a ding band-pass under the ding envelope.
class kavrel_voice_cymbal_110 : public kavrel_voice_cymbal {
public:
    kavrel_voice_cymbal_110();
    ~kavrel_voice_cymbal_110() override;

    bool process_block(float* out, int frames) override;
    bool is_idle() const;
    void set_tune(float ratio) override;
    // Here the ding band-pass's centre in Hz.
    void set_ding_frequency(float hz) override { ding_filter.set_frequency(hz); }
    // Ding gain is 3 × level.
    void set_ding_level(float level) override { ding_level = 3.0f * level; }

private:
    float base_frequencies[oscillator_count] = {1190.0f, 823.0f, 317.0f, 465.0f, 1797.0f, 3570.0f};
    // Replaced by "Cymbal Ding Level" before any hit.
    float ding_level = 0.0f;
};

#pragma once

#include "dsp/vxsp_eg_breakpoint_ar.h"
#include "dsp/vxsp_oscillator_wavetable.h"
#include "voices/kavrel_voice.h"

// A voice with a tuned oscillator and a pitch envelope whose output (0..1) times the pitch
// depth is fed to the oscillators as a frequency offset in Hz.
class kavrel_voice_pitched : public kavrel_voice {
public:
    kavrel_voice_pitched() = default;
    ~kavrel_voice_pitched() override;

    void set_sample_rate(float hz) override;
    // Restarts the amplitude and pitch envelopes and the oscillator's cycle; velocity gain is
    // velocity².
    void trigger(float velocity) override;
    virtual void set_tune(float hz) { oscillator.set_frequency(hz); }
    virtual void set_pitch_depth(float hz) { pitch_depth = hz; }
    virtual void set_tone_level(float gain) { tone_level = gain; }
    virtual void set_pitch_attack_time(float ms) { pitch_env.set_attack_time(ms); }
    virtual void set_pitch_attack_curve(float c) { pitch_env.set_attack_curve(c); }
    virtual void set_pitch_decay_time(float ms) { pitch_env.set_decay_time(ms); }
    virtual void set_pitch_decay_curve(float c) { pitch_env.set_decay_curve(c); }

protected:
    vxsp_oscillator_wavetable oscillator;
    vxsp_eg_breakpoint_ar pitch_env;
    float tone_level = 1.0f;
    float pitch_depth = 0.0f;
};

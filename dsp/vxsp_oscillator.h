#pragma once

#include "dsp/vxsp_block.h"

// Frequency holder shared by the tone sources.
class vxsp_oscillator : public vxsp_block {
public:
    vxsp_oscillator() = default;
    ~vxsp_oscillator() override;

    virtual void set_frequency(float hz) { frequency = hz; }
    virtual float get_frequency() const { return frequency; }
    virtual void set_note(int note) { set_note(static_cast<float>(note)); }
    // MIDI note number; 69 is A at 440 Hz.
    virtual void set_note(float note);

protected:
    float frequency = 440.0f;
};

#pragma once

#include "dsp/vxsp_dynamics.h"

// Feed-forward peak compressor: a one-pole attack/release detector, a hard-knee gain
// computer in dB, input and output gains. process_stereo links both channels to one detector.
// Setters do nothing when handed the value they already hold.
class vxsp_compressor : public vxsp_dynamics {
public:
    vxsp_compressor();
    ~vxsp_compressor() override;

    // The detector restarts at rest, as after a long silence: starting it at full scale would
    // turn down the first hit after loading or resuming as if something loud had just played.
    void reset() override { envelope = 0.0f; }
    void set_sample_rate(float hz) override;
    // Mono path.
    float process(float x) override;
    virtual void set_ratio(float ratio);
    virtual void set_threshold(float db);
    virtual void set_input_gain(float db);
    virtual void set_output_gain(float db);
    // Times in seconds; zero or less means an instant response.
    virtual void set_attack(float seconds);
    virtual void set_release(float seconds);
    virtual void process_stereo(float left, float right, float* out_left, float* out_right);
    // process_stereo over a run, each output then scaled by gain.
    void process_stereo_run(const float* left, const float* right, float* out_left,
                            float* out_right, int frames, float gain);
    // Last gain reduction in dB (0 or negative).
    virtual float get_gain_reduction_db() const;
    // Last linear gain factor.
    virtual float get_gain_reduction() const { return gain_reduction; }

    float get_ratio() const { return ratio; }
    float get_threshold() const { return threshold_db; }
    float get_attack() const { return attack_seconds; }
    float get_release() const { return release_seconds; }
    float get_input_gain_db() const { return input_gain_db; }
    float get_output_gain_db() const { return output_gain_db; }
    float get_envelope() const { return envelope; }

protected:
    // The detector over one run, its settings and state held by the caller so that the state
    // stays in registers; settings another thread changes mid-run apply from the next run.
    struct detector {
        float envelope, gain_reduction;
        float attack_coefficient, release_coefficient;
        float threshold_level, inverse_threshold_level;
        // 1 / ratio - 1: the power of the level over the threshold that gives the gain.
        float exponent;
        // Runs the detector on one (already input-scaled) level and returns the gain factor.
        float detect(float level);
        // Both channels, scaled by the input gain, to one detector; the outputs with its gain.
        void stereo(float left, float right, float input_gain, float output_gain, float* out_left,
                    float* out_right);
    };
    detector begin_detector() const {
        return {envelope,        gain_reduction,          attack_coefficient, release_coefficient,
                threshold_level, inverse_threshold_level, 1.0f / ratio - 1.0f};
    }
    void end_detector(const detector& d) {
        envelope = d.envelope;
        gain_reduction = d.gain_reduction;
    }
    float detect(float level) {
        detector d = begin_detector();
        const float g = d.detect(level);
        end_detector(d);
        return g;
    }
    // 1 - e^(-1 / (seconds * rate)); 1 (instant) for a time that is not positive.
    float time_coefficient(float seconds) const;

    float ratio = 2.0f;
    float threshold_db = -10.0f;
    float attack_seconds = 10.0f;
    float release_seconds = 100.0f;
    float input_gain_db = 0.0f;
    float output_gain_db = 0.0f;
    float gain_reduction = 1.0f;
    float threshold_level = 0.316227766f;        // 10^(threshold / 20)
    float inverse_threshold_level = 3.16227766f; // its inverse, from the dB directly
    float attack_coefficient = 0.0f;
    float release_coefficient = 0.0f;
    float input_gain = 1.0f;
    float output_gain = 1.0f;
    float envelope = 0.0f;
};

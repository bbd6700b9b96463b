#pragma once

#include <algorithm>

#include "dsp/vxsp_block.h"
#include "dsp/vxsp_eg_breakpoint_ar.h"

// A drum sound: owns its blocks, starts a hit on trigger and renders mono runs of samples.
// There is no note-off; a hit plays its envelopes to the end. Once every envelope that can
// sound has finished, the voice gives exactly 0.0 without touching any block, so an idle voice
// costs a branch.
class kavrel_voice : public vxsp_block {
public:
    // Samples a filter runs on its own input, before a hit, to settle after it was moved
    // while the voice was silent: a few time constants of the lowest corner a voice uses.
    static constexpr int kFilterSettleSamples = 256;
    // Longest run a voice renders at once; longer requests go in pieces.
    static constexpr int kMaxRun = 256;

    kavrel_voice() = default;
    ~kavrel_voice() override;

    // The block's one-argument pass-through stays reachable; voices are driven through the
    // argument-less process() below.
    using vxsp_block::process;

    // Every voice stores the rate and forwards it to each of its blocks.
    void set_sample_rate(float hz) override = 0;
    // Starts a hit; velocity 0..1, 1 is full strength.
    virtual void trigger(float velocity) = 0;
    // Next output sample, before the engine's level and pan: a run of one.
    float process();
    // The next `frames` samples into out, the same whatever runs they are cut into. Answers
    // false, leaving out untouched, when the voice is idle: every one of those samples would
    // be 0.0.
    virtual bool process_block(float* out, int frames) = 0;
    virtual void set_amp_attack_time(float ms) { amp_env.set_attack_time(ms); }
    virtual void set_amp_attack_curve(float c) { amp_env.set_attack_curve(c); }
    virtual void set_amp_decay_time(float ms) { amp_env.set_decay_time(ms); }
    virtual void set_amp_decay_curve(float c) { amp_env.set_decay_curve(c); }

    // Gain the last hit's velocity gave the output (with the voice's own fixed factor).
    float get_velocity_gain() const { return velocity_gain; }

protected:
    // velocity², with velocity clamped to 0..1: a stray value from a controller or a
    // corrupted pattern must not blow up the output or poison the filters with NaN.
    static float velocity_squared(float velocity);

    // The loop behind each voice's process_block. A voice computes each run's envelopes first,
    // in passes the compiler can vectorise, then the rest sample by sample while the voice
    // still sounds: `run(out, n)` renders n <= kMaxRun samples and answers how many came before
    // the voice fell silent; the rest of the run is exact silence, as an idle voice gives.
    template <class Run> static bool render_runs(float* out, int frames, Run&& run) {
        while (frames > 0) {
            const int n = frames < kMaxRun ? frames : kMaxRun;
            const int live = run(out, n);
            std::fill(out + live, out + n, 0.0f);
            out += n;
            frames -= n;
        }
        return true;
    }

    vxsp_eg_breakpoint_ar amp_env;
    float velocity_gain = 0.0f;
};

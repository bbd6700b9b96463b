#pragma once

#include <cstdint>

#include "dsp/vxsp_oscillator_wavetable.h"

// Up to eight free-running wavetable oscillators read together, four at a time, for a voice
// that sums several of them every sample. The oscillators keep their own state (frequency,
// phase); the bank reads them over a run and hands their phases back, giving each oscillator
// the same samples, to the bit, as its own process_free().
//
// Each table is read from a copy that holds every sample beside the one after it, so that one
// load fetches both ends of the interpolation. The copies are made when the bank is attached
// (never on the audio thread) and shared by every bank in the process that reads the same
// table contents.
class vxsp_oscillator_bank {
public:
    static constexpr int max_oscillators = 8;

    // Reads oscillators[0 .. count - 1] from now on (count is clamped to 0..8). Attach again
    // after a table is rebuilt; a table that no longer matches what was attached is read by
    // the oscillator's own arithmetic, one lane at a time.
    void attach(const vxsp_oscillator_wavetable* oscillators, int count);
    int get_count() const { return count; }

    // The next n samples of every attached oscillator: out[i][k] is oscillator k's sample i
    // (lanes past count hold nothing of use). The oscillators' phases move on by n samples.
    void render(vxsp_oscillator_wavetable* oscillators, float (*out)[max_oscillators], int n) const;

private:
    int count = 0;
    // Per oscillator: the pairs (table[i], table[i + 1]) of the table it was attached with.
    const float* pairs[max_oscillators] = {};
    const float* source[max_oscillators] = {};
    int32_t sizes[max_oscillators] = {};
};

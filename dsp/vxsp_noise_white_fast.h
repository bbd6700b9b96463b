#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dsp/vxsp_block.h"

// Very cheap white noise in [-0.5, 0.5): the fractional part of the squared state, with the
// state kept in [19, 20). The sequence continues across hits; owners seed it once.
class vxsp_noise_white_fast : public vxsp_block {
public:
    // The seed every voice uses: 19.191919 in single precision, widened.
    static constexpr double default_seed = static_cast<double>(19.191919f);

    explicit vxsp_noise_white_fast(double seed = default_seed);
    ~vxsp_noise_white_fast() override;

    virtual float next();

    // The generator over one run, its state held by the caller so that it stays in a
    // register: the same values as next(). Hand it back with end_run() after the run.
    struct run {
        double state;
        // The state is in [19, 20), as it is from the second value of a sequence on.
        bool settled;
        float next();
    };
    run begin_run() const { return {state, state >= 19.0 && state < 20.0}; }
    void end_run(const run& r) { state = r.state; }

    // Restarts the sequence. A seed whose square would not fit the generator's integer step
    // (not finite, or magnitude 46340 or more) is replaced by the default seed.
    void set_seed(double seed);
    double get_state() const { return state; }

    // One value per sample spreads the noise's power up to half the rate, so at a higher rate
    // less of it falls in any band below that. Scaled by this gain the noise has the power
    // per Hz it has at 44.1 kHz, where the gain is exactly 1, and so the same level in every
    // audible band at every rate. The values themselves are left unscaled: each owner folds
    // the gain into a level it multiplies by anyway.
    void set_sample_rate(float hz) override;
    float get_band_gain() const { return band_gain; }

protected:
    double state = default_seed;
    float band_gain = 1.0f;
};

inline float vxsp_noise_white_fast::run::next() {
    const double s = state * state;
    // Each value waits for the one before it, so the time from one to the next is the cost
    // of every voice's noise. Once the state is in [19, 20) (from the second value on),
    // s is in [361, 400): binary exponent 8, so its whole part is s with the 44 fraction bits
    // of the mantissa cleared, one logical operation instead of a round trip through an
    // integer. The same value as the conversion gives.
    double whole;
    if (settled) {
#if defined(__SSE2__)
        // In the vector registers: a round trip through an integer register would add its
        // own latency to the chain.
        const __m128d mask = _mm_castsi128_pd(_mm_set1_epi64x(~((int64_t{1} << 44) - 1)));
        whole = _mm_cvtsd_f64(_mm_and_pd(_mm_set_sd(s), mask));
#else
        uint64_t bits;
        std::memcpy(&bits, &s, sizeof bits);
        bits &= ~((uint64_t{1} << 44) - 1);
        std::memcpy(&whole, &bits, sizeof whole);
#endif
    } else {
        whole = static_cast<double>(static_cast<int32_t>(s));
    }
    const double r = s - whole;
    // r is in [0, 1), so the state is in [19, 20] from here on; 20 itself (r rounded up from
    // an unsettled seed) squares to 400, whose exponent is 8 too, and clearing gives 400.
    state = r + 19.0;
    settled = true;
    return static_cast<float>(r - 0.5);
}

inline float vxsp_noise_white_fast::next() {
    run r = begin_run();
    const float value = r.next();
    end_run(r);
    return value;
}

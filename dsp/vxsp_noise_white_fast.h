#pragma once

#include <cstdint>

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

    // Restarts the sequence. A seed whose square would not fit the generator's integer step
    // (not finite, or magnitude 46340 or more) is replaced by the default seed.
    void set_seed(double seed);
    double get_state() const { return state; }

protected:
    double state = default_seed;
};

inline float vxsp_noise_white_fast::next() {
    const double s = state * state;
    const double r = s - static_cast<double>(static_cast<int32_t>(s));
    state = r + 19.0;
    return static_cast<float>(r - 0.5);
}

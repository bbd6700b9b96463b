#pragma once

#include "dsp/vxsp_distort.h"

// Soft clipper: gain 2 for small signals, a parabola between 1/3 and 2/3, hard +-1 beyond
// (all measured after the drive).
class vxsp_distort_parabolic : public vxsp_distort {
public:
    vxsp_distort_parabolic() = default;
    ~vxsp_distort_parabolic() override;

    float process(float x) override;
    virtual void set_drive(float d) { drive = d; }

    float get_drive() const { return drive; }

protected:
    float drive = 1.0f;
};

inline float vxsp_distort_parabolic::process(float x) {
    const float y = x * drive;
    const float a = y < 0.0f ? -y : y;
    if (a < 0.333333f) return 2.0f * y;
    if (a > 0.666666f) return y > 0.0f ? 1.0f : -1.0f;
    const float t = 2.0f - 3.0f * a;
    const float r = (3.0f - t * t) / 3.0f;
    return y < 0.0f ? -r : r;
}

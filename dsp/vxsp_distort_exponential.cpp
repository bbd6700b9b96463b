#include "dsp/vxsp_distort_exponential.h"

vxsp_distort_exponential::~vxsp_distort_exponential() = default;

void vxsp_distort_exponential::build_curve() {
    // Read k once: another thread may set it again while the table is filled, and the table
    // must describe one curve (the next sample sees the newer k and builds again).
    const double e = k;
    curve_k = static_cast<float>(e);
    const double h = 1.0 / curve_intervals;
    curve_usable = e >= 1.0 && e <= 1e6;
    if (!curve_usable) return;
    // Values at the 513 ends, and slopes per interval from them: d/ds u^k = h k u^k / u.
    double values[curve_intervals + 1];
    for (int i = 0; i <= curve_intervals; ++i) values[i] = std::pow(i * h, e);
    auto slope = [&](int i) { return i > 0 ? h * e * values[i] / (i * h) : (e == 1.0 ? h : 0.0); };
    for (int i = 0; i < curve_intervals; ++i) {
        const double f0 = values[i], f1 = values[i + 1];
        const double d0 = slope(i), d1 = slope(i + 1);
        pieces[i] = {static_cast<float>(f0), static_cast<float>(d0),
                     static_cast<float>(3.0 * (f1 - f0) - 2.0 * d0 - d1),
                     static_cast<float>(2.0 * (f0 - f1) + d0 + d1)};
    }
    pieces[curve_intervals] = {1.0f, 0.0f, 0.0f, 0.0f};
}

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
    auto value = [&](double u) { return std::pow(u, e); };
    // Slope per interval: d/ds u^k = h k u^(k - 1).
    auto slope = [&](double u) {
        return u > 0.0 ? h * e * std::pow(u, e - 1.0) : (e == 1.0 ? h : 0.0);
    };
    for (int i = 0; i < curve_intervals; ++i) {
        const double u0 = i * h;
        const double u1 = (i + 1) * h;
        const double f0 = value(u0), f1 = value(u1);
        const double d0 = slope(u0), d1 = slope(u1);
        pieces[i] = {static_cast<float>(f0), static_cast<float>(d0),
                     static_cast<float>(3.0 * (f1 - f0) - 2.0 * d0 - d1),
                     static_cast<float>(2.0 * (f0 - f1) + d0 + d1)};
    }
    pieces[curve_intervals] = {1.0f, 0.0f, 0.0f, 0.0f};
}

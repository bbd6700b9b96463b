#pragma once

#include <cmath>
#include <complex>
#include <cstddef>
#include <vector>

// Measurements on rendered test signals, computed in double precision so that the
// measuring never limits what a test can tell about single-precision DSP.
namespace kavrel::test {

constexpr double kPi = 3.141592653589793238462643383280;

// Amplitude of the component at frequency_hz in x (Goertzel). Exact for a whole number of
// cycles; a Hann window keeps the leakage of other components small otherwise.
inline double tone_amplitude(const std::vector<float>& x, double frequency_hz, double sample_rate,
                             bool hann = true) {
    const std::size_t n = x.size();
    if (n == 0) return 0.0;
    const double w = 2.0 * kPi * frequency_hz / sample_rate;
    const double coeff = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0, window_sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double win = hann ? 0.5 - 0.5 * std::cos(2.0 * kPi * i / n) : 1.0;
        window_sum += win;
        const double s0 = x[i] * win + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double re = s1 - s2 * std::cos(w);
    const double im = s2 * std::sin(w);
    return 2.0 * std::sqrt(re * re + im * im) / window_sum;
}

// Upward zero crossings per second, with linear interpolation of each crossing instant.
inline double zero_crossing_frequency(const std::vector<float>& x, double sample_rate) {
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double t = (i - 1) + x[i - 1] / static_cast<double>(x[i - 1] - x[i]);
            if (first < 0.0) first = t;
            last = t;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) * sample_rate / (last - first);
}

// |H(e^jw)| of a biquad with a0 = 1: (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
inline double biquad_magnitude(double b0, double b1, double b2, double a1, double a2,
                               double frequency_hz, double sample_rate) {
    const double w = 2.0 * kPi * frequency_hz / sample_rate;
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((b0 + b1 * z1 + b2 * z2) / (1.0 + a1 * z1 + a2 * z2));
}

// Largest absolute value.
inline double peak(const std::vector<float>& x) {
    double p = 0.0;
    for (float v : x) p = std::fabs(v) > p ? std::fabs(v) : p;
    return p;
}

inline double to_db(double gain) {
    return 20.0 * std::log10(gain);
}

} // namespace kavrel::test

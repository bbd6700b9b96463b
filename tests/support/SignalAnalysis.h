#pragma once

#include <cmath>
#include <complex>
#include <cstddef>
#include <utility>
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

// Energy of x between lo_hz and hi_hz in squared amplitude times seconds, so that renders of
// one sound at different rates compare: Parseval over the spectrum of x padded to a power of
// two, from a complex FFT of half that length.
inline double band_energy(const std::vector<float>& x, double sample_rate, double lo_hz,
                          double hi_hz) {
    std::size_t n = 2;
    while (n < x.size()) n <<= 1;
    const std::size_t m = n / 2;
    // Even samples as the real parts, odd ones as the imaginary parts; real and imaginary
    // parts apart, since complex<double> products check for NaN at every step.
    std::vector<double> re(m, 0.0), im(m, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i) (i % 2 ? im : re)[i / 2] = x[i];
    for (std::size_t i = 1, j = 0; i < m; ++i) {
        std::size_t bit = m >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    std::vector<double> wr(m), wi(m);
    for (std::size_t k = 0; k < m; ++k) {
        wr[k] = std::cos(2.0 * kPi * k / n);
        wi[k] = -std::sin(2.0 * kPi * k / n);
    }
    for (std::size_t half = 1; half < m; half <<= 1) {
        const std::size_t stride = n / (2 * half);
        for (std::size_t i = 0; i < m; i += 2 * half) {
            for (std::size_t k = 0; k < half; ++k) {
                const std::size_t a = i + k, b = a + half;
                const double cr = wr[k * stride], ci = wi[k * stride];
                const double vr = re[b] * cr - im[b] * ci;
                const double vi = re[b] * ci + im[b] * cr;
                re[b] = re[a] - vr;
                im[b] = im[a] - vi;
                re[a] += vr;
                im[a] += vi;
            }
        }
    }
    // Bin k of x from bins k and m - k of the half-length transform.
    double e = 0.0;
    for (std::size_t k = 1; k < m; ++k) {
        const double f = k * sample_rate / n;
        if (f < lo_hz || f > hi_hz) continue;
        const double zr = re[k], zi = im[k], cr = re[m - k], ci = -im[m - k];
        const double er = 0.5 * (zr + cr), ei = 0.5 * (zi + ci);
        const double orr = 0.5 * (zi - ci), oi = -0.5 * (zr - cr);
        const double xr = er + wr[k] * orr - wi[k] * oi;
        const double xi = ei + wr[k] * oi + wi[k] * orr;
        e += xr * xr + xi * xi;
    }
    // Each bin below half the rate stands for its mirror image too.
    return 2.0 * e / (static_cast<double>(n) * sample_rate);
}

inline double to_db(double gain) {
    return 20.0 * std::log10(gain);
}

} // namespace kavrel::test

#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "support/SignalAnalysis.h"
#include "voices/kavrel_voice.h"

// Rendering and measuring helpers shared by the voice tests.
namespace kavrel::test {

constexpr float kVoiceRate = 44100.0f;

inline std::vector<float> render(kavrel_voice& voice, std::size_t samples) {
    std::vector<float> out(samples);
    for (float& s : out) s = voice.process();
    return out;
}

inline std::vector<float> slice(const std::vector<float>& x, std::size_t from, std::size_t to) {
    return std::vector<float>(x.begin() + static_cast<std::ptrdiff_t>(from),
                              x.begin() + static_cast<std::ptrdiff_t>(to));
}

// One past the last sample that is not exactly zero.
inline std::size_t sounding_length(const std::vector<float>& x) {
    std::size_t n = x.size();
    while (n > 0 && x[n - 1] == 0.0f) --n;
    return n;
}

// The component at f stands out from the spectrum `offset` Hz to either side by `factor`.
inline bool has_peak(const std::vector<float>& x, double f, double offset = 15.0,
                     double factor = 4.0, double rate = kVoiceRate) {
    const double at = tone_amplitude(x, f, rate);
    return at > factor * tone_amplitude(x, f - offset, rate) &&
           at > factor * tone_amplitude(x, f + offset, rate);
}

inline double energy(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double e = 0.0;
    for (std::size_t i = from; i < to; ++i) e += static_cast<double>(x[i]) * x[i];
    return e;
}

} // namespace kavrel::test

#pragma once

#include <algorithm>
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

inline float loudest(const std::vector<float>& x) {
    float top = 0.0f;
    for (float s : x) top = std::max(top, std::fabs(s));
    return top;
}

// How much louder than a fresh voice's a hit is that follows hits played with `before`
// applied, once they have fallen silent and `after` has changed the voice (a lane moving a
// filter between hits). The worst of a dozen hits, each earlier series stopped at another
// point of the noise.
template <class Voice, class Setup, class Before, class After>
float leftover_ratio(Setup setup, Before before, After after) {
    Voice fresh;
    fresh.set_sample_rate(kVoiceRate);
    setup(fresh);
    after(fresh);
    fresh.trigger(1.0f);
    const float expected = loudest(render(fresh, 4000));
    float worst = 0.0f;
    for (int hits = 1; hits <= 12; ++hits) {
        Voice voice;
        voice.set_sample_rate(kVoiceRate);
        setup(voice);
        before(voice);
        for (int i = 0; i < hits; ++i) {
            voice.trigger(1.0f);
            render(voice, 97 + 131 * static_cast<std::size_t>(i));
        }
        render(voice, static_cast<std::size_t>(2 * kVoiceRate));
        after(voice);
        voice.trigger(1.0f);
        worst = std::max(worst, loudest(render(voice, 4000)) / expected);
    }
    return worst;
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

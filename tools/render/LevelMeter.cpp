#include "render/LevelMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kavrel::render {

void LevelMeter::add(int channel, const float* samples, int frames) {
    double peak = peaks[channel], sum = 0.0;
    for (int i = 0; i < frames; ++i) {
        double s = samples[i];
        if (!std::isfinite(s)) s = 0.0; // written as silence too; the writer counts them
        peak = std::max(peak, std::fabs(s));
        sum += s * s;
    }
    peaks[channel] = peak;
    squares[channel] += sum;
}

double LevelMeter::peakDb(int first, int channels) const {
    double peak = 0.0;
    for (int c = first; c < first + channels; ++c) peak = std::max(peak, peaks[c]);
    return peak > 0.0 ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
}

double LevelMeter::rmsDb(int first, int channels) const {
    double sum = 0.0;
    for (int c = first; c < first + channels; ++c) sum += squares[c];
    double samples = static_cast<double>(count) * channels;
    if (!(sum > 0.0) || samples <= 0.0) return -std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(sum / samples);
}

void BarPeaks::add(int channel, const float* samples, int frames, long long position) {
    int i = 0;
    while (i < frames) {
        const long long frame = position + i;
        const int bar = static_cast<int>(std::floor(static_cast<double>(frame) / barFrames));
        // The first frame of the next bar, found the same way as `bar`, so rounding cannot put
        // a frame in two bars or none.
        long long next = static_cast<long long>(std::ceil((bar + 1) * barFrames));
        while (next > frame + 1 && std::floor(static_cast<double>(next - 1) / barFrames) > bar)
            --next;
        while (std::floor(static_cast<double>(next) / barFrames) <= bar) ++next;
        const int end = static_cast<int>(std::min<long long>(frames, next - position));
        if (bar >= bars()) peaks.resize(bar + 1, std::vector<float>(channelCount, 0.0f));
        // In floats, without a branch: the bank measurement reads hours of audio through here.
        float peak = peaks[bar][channel];
        long long bad = 0;
        for (; i < end; ++i) {
            const float magnitude = std::fabs(samples[i]);
            const bool finite = magnitude <= std::numeric_limits<float>::max();
            bad += finite ? 0 : 1;
            peak = finite && magnitude > peak ? magnitude : peak;
        }
        nonFinite += bad;
        peaks[bar][channel] = peak;
    }
}

double BarPeaks::peakDb(int bar, int first, int channels) const {
    double peak = 0.0;
    if (bar >= 0 && bar < bars())
        for (int c = first; c < first + channels; ++c)
            peak = std::max(peak, static_cast<double>(peaks[bar][c]));
    return peak > 0.0 ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
}

std::string LevelMeter::format(double db) {
    if (std::isinf(db) && db < 0) return "-inf";
    if (std::isnan(db)) return "nan";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", db);
    return text;
}

} // namespace kavrel::render

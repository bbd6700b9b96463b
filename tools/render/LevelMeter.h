#pragma once
#include <string>
#include <vector>

namespace kavrel::render {

// Peak and RMS of each channel over a whole render, read out per group of channels (a stereo
// pair) in dBFS: 0 dBFS is a sample of magnitude 1.0, so a full-scale sine reads 0 dBFS peak
// and -3.0 dBFS RMS.
class LevelMeter {
public:
    explicit LevelMeter(int channels) : peaks(channels, 0.0), squares(channels, 0.0) {}

    void add(int channel, const float* samples, int frames);
    void addFrames(long long frames) { count += frames; }

    // Over channels [first, first + channels).
    double peakDb(int first, int channels) const;
    double rmsDb(int first, int channels) const;

    // "-inf" for silence, else one decimal.
    static std::string format(double db);

private:
    std::vector<double> peaks;
    std::vector<double> squares;
    long long count = 0;
};

// The peak of each channel in each bar, so that a long render can say where it went loudest.
// Bars need not be whole frames; a frame belongs to the bar its start falls in.
class BarPeaks {
public:
    BarPeaks(int channels, double framesPerBar) : channelCount(channels), barFrames(framesPerBar) {}

    // `samples` are `frames` frames of one channel starting at frame `position` of the render.
    void add(int channel, const float* samples, int frames, long long position);

    int bars() const { return static_cast<int>(peaks.size()); }
    // Over channels [first, first + channels) of bar `bar` (0-based), in dBFS.
    double peakDb(int bar, int first, int channels) const;
    // Samples that were not numbers or infinite; they count towards no peak.
    long long nonFiniteSamples() const { return nonFinite; }

private:
    int channelCount;
    double barFrames;
    std::vector<std::vector<float>> peaks; // [bar][channel]
    long long nonFinite = 0;
};

} // namespace kavrel::render

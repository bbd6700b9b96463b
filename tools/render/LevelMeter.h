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

} // namespace kavrel::render

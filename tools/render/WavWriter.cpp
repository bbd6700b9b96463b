#include "render/WavWriter.h"

#include <cmath>
#include <cstdio>
#include <sndfile.h>
#include <sys/stat.h>

namespace kavrel::render {
namespace {

int bytesPerSample(SampleFormat format) {
    switch (format) {
    case SampleFormat::Pcm16:
        return 2;
    case SampleFormat::Pcm24:
        return 3;
    case SampleFormat::Float32:
        return 4;
    }
    return 4;
}

int subtype(SampleFormat format) {
    switch (format) {
    case SampleFormat::Pcm16:
        return SF_FORMAT_PCM_16;
    case SampleFormat::Pcm24:
        return SF_FORMAT_PCM_24;
    case SampleFormat::Float32:
        return SF_FORMAT_FLOAT;
    }
    return SF_FORMAT_FLOAT;
}

} // namespace

const char* describe(SampleFormat format) {
    switch (format) {
    case SampleFormat::Pcm16:
        return "16-bit PCM";
    case SampleFormat::Pcm24:
        return "24-bit PCM";
    case SampleFormat::Float32:
        return "32-bit float";
    }
    return "?";
}

WavWriter::~WavWriter() {
    if (file) sf_close(file);
}

bool WavWriter::open(const std::string& path, int channels, int sampleRate, SampleFormat format,
                     int64_t expectedFrames, std::string& error) {
    if (file) sf_close(file);
    file = nullptr;
    // A RIFF header counts its size in 32 bits; leave room for the header chunks themselves.
    double dataBytes = static_cast<double>(expectedFrames) * channels * bytesPerSample(format);
    rf64 = dataBytes > 4294967295.0 - 65536.0;
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = (rf64 ? SF_FORMAT_RF64 : SF_FORMAT_WAV) | subtype(format);
    if (!sf_format_check(&info)) {
        error = "cannot write " + path + ": unsupported channel count or sample format";
        return false;
    }
    file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    if (format != SampleFormat::Float32) sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    filePath = path;
    channelCount = channels;
    written = overFullScale = nonFinite = 0;
    return true;
}

bool WavWriter::write(float* samples, int frames, std::string& error) {
    if (!file) {
        error = "no file open";
        return false;
    }
    size_t count = static_cast<size_t>(frames) * static_cast<size_t>(channelCount);
    for (size_t i = 0; i < count; ++i) {
        if (!std::isfinite(samples[i])) {
            samples[i] = 0.0f;
            ++nonFinite;
        } else if (samples[i] > 1.0f || samples[i] < -1.0f) {
            ++overFullScale;
        }
    }
    sf_count_t done = sf_writef_float(file, samples, frames);
    if (done != frames) {
        error = "cannot write " + filePath + ": " + sf_strerror(file);
        return false;
    }
    written += frames;
    return true;
}

bool WavWriter::close(std::string& error) {
    if (!file) return true;
    int result = sf_close(file);
    file = nullptr;
    if (result != 0) {
        error = "cannot finish " + filePath + ": " + sf_error_number(result);
        return false;
    }
    return true;
}

void WavWriter::discard() {
    if (file) sf_close(file);
    file = nullptr;
    // Only a regular file is ours to delete: the output may also be a device or a pipe.
    using FileStatus = struct stat;
    FileStatus status{};
    if (!filePath.empty() && stat(filePath.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        std::remove(filePath.c_str());
}

} // namespace kavrel::render

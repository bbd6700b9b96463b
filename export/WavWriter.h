#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace kavrel::exporting {

enum class SampleFormat { Pcm16, Pcm24, Float32 };

// Writes interleaved float frames to a WAV file. Integer formats clip at full scale instead of
// wrapping around, and non-finite samples are written as silence; both are counted so that the
// caller can warn. Files too large for a RIFF header become RF64. Self-contained (the plug-in
// writes its exports with it, and it may depend on nothing but the system).
class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // `expectedFrames` chooses between WAV and RF64. False with a message when the file cannot
    // be created.
    bool open(const std::filesystem::path& path, int channels, int sampleRate, SampleFormat format,
              int64_t expectedFrames, std::string& error);
    // Writes `frames` frames of `channels` interleaved samples; `samples` may be modified
    // (non-finite values are replaced). False with a message on a write error.
    bool write(float* samples, int frames, std::string& error);
    // Finishes the header. False with a message when the file could not be completed.
    bool close(std::string& error);
    // Closes and deletes a file that could not be completed.
    void discard();

    bool isRf64() const { return rf64; }
    int64_t framesWritten() const { return written; }
    int64_t samplesOverFullScale() const { return overFullScale; }
    int64_t nonFiniteSamples() const { return nonFinite; }

private:
    bool writeHeader(uint64_t dataBytes);

    std::FILE* file = nullptr;
    std::filesystem::path filePath;
    int channelCount = 0;
    int rate = 0;
    SampleFormat sampleFormat = SampleFormat::Float32;
    bool rf64 = false;
    bool failed = false;
    int64_t written = 0;
    int64_t overFullScale = 0;
    int64_t nonFinite = 0;
    std::vector<unsigned char> encoded;
};

const char* describe(SampleFormat format);

// A path as text for messages, whatever characters it holds.
std::string displayPath(const std::filesystem::path& path);

// Opens a file for writing in binary, with the path's own characters on every platform.
std::FILE* openForWriting(const std::filesystem::path& path);

} // namespace kavrel::exporting

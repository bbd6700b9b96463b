#include "export/WavWriter.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <system_error>

namespace kavrel::exporting {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
// The RIFF and RF64 headers are laid out alike: 12 bytes, a 28-byte ds64 (RF64) or JUNK
// (RIFF) chunk that keeps the size of the header the same in both, the format chunk (with
// the two bytes of extra size that a float format carries) and the data chunk's own header.
// Plain format tags, also for many channels: that is what the tool's renders always were.
constexpr size_t kSizeChunkBytes = 36;

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

void put16(std::vector<unsigned char>& out, uint32_t value) {
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}
void put32(std::vector<unsigned char>& out, uint32_t value) {
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}
void put64(std::vector<unsigned char>& out, uint64_t value) {
    put32(out, static_cast<uint32_t>(value));
    put32(out, static_cast<uint32_t>(value >> 32));
}
void putTag(std::vector<unsigned char>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

int32_t toInteger(float sample, double scale) {
    const double value = std::nearbyint(static_cast<double>(sample) * scale);
    if (value >= scale - 1.0) return static_cast<int32_t>(scale - 1.0);
    if (value <= -scale) return static_cast<int32_t>(-scale);
    return static_cast<int32_t>(value);
}

std::string systemError() {
    return std::error_code(errno, std::generic_category()).message();
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

std::string displayPath(const std::filesystem::path& path) {
    try {
        return path.u8string();
    } catch (...) {
        return "(unprintable path)";
    }
}

std::FILE* openForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

WavWriter::~WavWriter() {
    if (file) std::fclose(file);
}

bool WavWriter::writeHeader(uint64_t dataBytes) {
    const int sampleBytes = bytesPerSample(sampleFormat);
    const uint32_t formatBytes = sampleFormat == SampleFormat::Float32 ? 18 : 16;
    const uint64_t riffBytes =
        4 + 8 + kSizeChunkBytes - 8 + 8 + formatBytes + 8 + dataBytes + (dataBytes & 1);
    std::vector<unsigned char> header;
    putTag(header, rf64 ? "RF64" : "RIFF");
    put32(header, rf64 ? 0xffffffffu : static_cast<uint32_t>(riffBytes));
    putTag(header, "WAVE");
    putTag(header, rf64 ? "ds64" : "JUNK");
    put32(header, kSizeChunkBytes - 8);
    put64(header, rf64 ? riffBytes : 0);
    put64(header, rf64 ? dataBytes : 0);
    put64(header, rf64 ? static_cast<uint64_t>(written) : 0);
    put32(header, 0); // no table of other chunk sizes
    const uint16_t tag = sampleFormat == SampleFormat::Float32 ? kFormatFloat : kFormatPcm;
    putTag(header, "fmt ");
    put32(header, formatBytes);
    put16(header, tag);
    put16(header, static_cast<uint32_t>(channelCount));
    put32(header, static_cast<uint32_t>(rate));
    put32(header, static_cast<uint32_t>(rate * channelCount * sampleBytes));
    put16(header, static_cast<uint32_t>(channelCount * sampleBytes));
    put16(header, static_cast<uint32_t>(8 * sampleBytes));
    if (formatBytes > 16) put16(header, 0);
    putTag(header, "data");
    put32(header, rf64 ? 0xffffffffu : static_cast<uint32_t>(dataBytes));
    return std::fwrite(header.data(), 1, header.size(), file) == header.size();
}

bool WavWriter::open(const std::filesystem::path& path, int channels, int sampleRate,
                     SampleFormat format, int64_t expectedFrames, std::string& error) {
    if (file) std::fclose(file);
    file = nullptr;
    if (channels < 1 || channels > 256 || sampleRate < 1) {
        error = "cannot write " + displayPath(path) + ": unsupported channel count or sample rate";
        return false;
    }
    // A RIFF header counts its size in 32 bits; leave room for the header chunks themselves.
    double dataBytes = static_cast<double>(expectedFrames) * channels * bytesPerSample(format);
    rf64 = dataBytes > 4294967295.0 - 65536.0;
    filePath = path;
    channelCount = channels;
    rate = sampleRate;
    sampleFormat = format;
    written = overFullScale = nonFinite = 0;
    failed = false;
    file = openForWriting(path);
    if (!file) {
        error = "cannot write " + displayPath(path) + ": " + systemError();
        return false;
    }
    if (!writeHeader(0)) {
        error = "cannot write " + displayPath(path) + ": " + systemError();
        discard();
        return false;
    }
    return true;
}

bool WavWriter::write(float* samples, int frames, std::string& error) {
    if (!file) {
        error = "no file open";
        return false;
    }
    const size_t count = static_cast<size_t>(frames) * static_cast<size_t>(channelCount);
    const int sampleBytes = bytesPerSample(sampleFormat);
    encoded.resize(count * static_cast<size_t>(sampleBytes));
    unsigned char* out = encoded.data();
    for (size_t i = 0; i < count; ++i) {
        if (!std::isfinite(samples[i])) {
            samples[i] = 0.0f;
            ++nonFinite;
        } else if (samples[i] > 1.0f || samples[i] < -1.0f) {
            ++overFullScale;
        }
        uint32_t bits;
        switch (sampleFormat) {
        case SampleFormat::Pcm16:
            bits = static_cast<uint32_t>(toInteger(samples[i], 32768.0));
            break;
        case SampleFormat::Pcm24:
            bits = static_cast<uint32_t>(toInteger(samples[i], 8388608.0));
            break;
        default:
            std::memcpy(&bits, &samples[i], 4);
            break;
        }
        for (int b = 0; b < sampleBytes; ++b) *out++ = static_cast<unsigned char>(bits >> (8 * b));
    }
    if (std::fwrite(encoded.data(), 1, encoded.size(), file) != encoded.size()) {
        failed = true;
        error = "cannot write " + displayPath(filePath) + ": " + systemError();
        return false;
    }
    written += frames;
    return true;
}

bool WavWriter::close(std::string& error) {
    if (!file) return true;
    const uint64_t dataBytes = static_cast<uint64_t>(written) *
                               static_cast<uint64_t>(channelCount * bytesPerSample(sampleFormat));
    bool ok = !failed;
    std::string reason;
    if (ok && !rf64 && dataBytes > 4294967295ull - 65536ull) {
        reason = "more audio than a WAV file holds";
        ok = false;
    }
    // RIFF chunks are padded to an even length.
    if (ok && (dataBytes & 1)) ok = std::fputc(0, file) != EOF;
    if (ok) ok = std::fseek(file, 0, SEEK_SET) == 0 && writeHeader(dataBytes);
    if (std::fclose(file) != 0) ok = false;
    file = nullptr;
    if (!ok)
        error = "cannot finish " + displayPath(filePath) + ": " +
                (reason.empty() ? systemError() : reason);
    return ok;
}

void WavWriter::discard() {
    if (file) std::fclose(file);
    file = nullptr;
    // Only a regular file is ours to delete: the output may also be a device or a pipe.
    std::error_code ignored;
    if (!filePath.empty() && std::filesystem::is_regular_file(filePath, ignored))
        std::filesystem::remove(filePath, ignored);
}

} // namespace kavrel::exporting

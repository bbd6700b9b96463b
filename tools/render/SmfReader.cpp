#include "render/SmfReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kavrel::render {
namespace {

// Real song files are a few hundred kilobytes; anything far larger is not one, and reading it
// whole would only exhaust memory.
constexpr size_t kMaxFileSize = 16u << 20;

std::string hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

class Parser {
public:
    Parser(const unsigned char* data, size_t size, SmfContents& out, std::string& error)
        : data(data), size(size), out(out), error(error) {}

    bool run() {
        out = SmfContents{};
        if (!header()) return false;
        size_t offset = 8 + headerLength;
        int found = 0;
        // Chunks other than MTrk are skipped, as the format asks of readers. Bytes after the
        // announced tracks are ignored: some writers pad their files.
        while (found < out.tracks && offset + 8 <= size) {
            uint32_t length = be32(offset + 4);
            if (length > size - offset - 8)
                return fail(offset, "chunk runs past the end of the file (truncated file?)");
            if (std::memcmp(data + offset, "MTrk", 4) == 0) {
                if (!track(offset + 8, offset + 8 + length, found)) return false;
                ++found;
            }
            offset += 8 + static_cast<size_t>(length);
        }
        if (found < out.tracks)
            return fail(offset, "the header announces " + std::to_string(out.tracks) +
                                    (out.tracks == 1 ? " track" : " tracks") +
                                    " but the file holds " + std::to_string(found) +
                                    " (truncated file?)");
        std::stable_sort(out.events.begin(), out.events.end(),
                         [](const auto& a, const auto& b) { return a.tick < b.tick; });
        std::stable_sort(out.tempoChanges.begin(), out.tempoChanges.end(),
                         [](const auto& a, const auto& b) { return a.tick < b.tick; });
        return true;
    }

private:
    bool header() {
        if (size < 14 || std::memcmp(data, "MThd", 4) != 0)
            return fail(0, "not a Standard MIDI File (no MThd header)");
        headerLength = be32(4);
        if (headerLength < 6 || headerLength > size - 8)
            return fail(4, "header chunk has an invalid length");
        out.format = be16(8);
        out.tracks = be16(10);
        unsigned division = be16(12);
        if (out.format > 2) return fail(8, "unknown file format " + std::to_string(out.format));
        if (out.format == 2)
            return fail(8, "format 2 files (independent sequences) are not supported");
        if (out.tracks == 0) return fail(10, "the file declares no tracks");
        if (division & 0x8000) {
            int fps = -static_cast<int>(static_cast<signed char>(division >> 8));
            out.smpteFramesPerSecond = fps;
            out.ticksPerFrame = static_cast<int>(division & 0xff);
            if (fps != 24 && fps != 25 && fps != 29 && fps != 30)
                return fail(12, "invalid timecode frame rate " + std::to_string(fps));
            if (out.ticksPerFrame == 0) return fail(12, "timecode division of zero ticks");
        } else {
            out.ticksPerQuarter = static_cast<int>(division);
            if (division == 0) return fail(12, "division of zero ticks per quarter note");
        }
        return true;
    }

    bool track(size_t begin, size_t end, int index) {
        size_t at = begin;
        int64_t tick = 0;
        unsigned running = 0;
        while (at < end) {
            uint32_t delta = 0;
            if (!quantity(at, end, delta, "delta time")) return false;
            tick += delta;
            if (at >= end) return fail(at, "track ends inside an event");
            unsigned status = data[at];
            if (status & 0x80) {
                ++at;
            } else if (running) {
                // Running status is kept across meta and system exclusive events: strictly they
                // cancel it, but files that rely on it mean nothing else.
                status = running;
            } else {
                return fail(at, "data byte " + hex(status) + " where a status byte is needed");
            }

            if (status == 0xFF) {
                if (at >= end) return fail(at, "track ends inside a meta event");
                unsigned type = data[at++];
                uint32_t length = 0;
                if (!quantity(at, end, length, "meta event length")) return false;
                if (length > end - at) return fail(at, "meta event runs past the end of its track");
                if (type == 0x2F) {
                    out.endTick = std::max(out.endTick, tick);
                    return true; // anything after the end-of-track event is not part of it
                }
                if (type == 0x51) {
                    if (length < 3) return fail(at, "tempo event shorter than three bytes");
                    uint32_t tempo =
                        (uint32_t{data[at]} << 16) | (uint32_t{data[at + 1]} << 8) | data[at + 2];
                    if (tempo == 0) return fail(at, "tempo event of zero microseconds per beat");
                    out.tempoChanges.push_back({tick, tempo});
                }
                at += length;
            } else if (status == 0xF0 || status == 0xF7) {
                uint32_t length = 0;
                if (!quantity(at, end, length, "system exclusive length")) return false;
                if (length > end - at)
                    return fail(at, "system exclusive event runs past the end of its track");
                at += length;
            } else if (status >= 0xF1) {
                return fail(at - 1, "system message " + hex(status) + " cannot occur in a file");
            } else {
                unsigned kind = status & 0xF0;
                size_t count = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
                unsigned char bytes[3] = {static_cast<unsigned char>(status), 0, 0};
                for (size_t k = 0; k < count; ++k) {
                    if (at >= end) return fail(at, "track ends inside a channel message");
                    if (data[at] & 0x80)
                        return fail(at,
                                    "status byte " + hex(data[at]) + " inside a channel message");
                    bytes[1 + k] = data[at++];
                }
                running = status;
                if (kind == 0x80 || kind == 0x90 || kind == 0xB0)
                    out.events.push_back({tick, index, {bytes[0], bytes[1], bytes[2]}});
                else
                    ++out.otherChannelMessages;
            }
        }
        // A missing end-of-track event loses nothing: the chunk length says where it ends.
        out.endTick = std::max(out.endTick, tick);
        return true;
    }

    // Variable-length quantity: at most four bytes (28 bits), as the format defines it.
    bool quantity(size_t& at, size_t end, uint32_t& value, const char* what) {
        value = 0;
        for (int k = 0; k < 4; ++k) {
            if (at >= end) return fail(at, std::string("track ends inside a ") + what);
            unsigned byte = data[at++];
            value = (value << 7) | (byte & 0x7F);
            if (!(byte & 0x80)) return true;
        }
        return fail(at - 4, std::string(what) + " longer than four bytes");
    }

    uint32_t be32(size_t at) const {
        return (uint32_t{data[at]} << 24) | (uint32_t{data[at + 1]} << 16) |
               (uint32_t{data[at + 2]} << 8) | data[at + 3];
    }
    unsigned be16(size_t at) const { return (unsigned{data[at]} << 8) | data[at + 1]; }

    bool fail(size_t at, const std::string& what) {
        error = what + " at byte " + std::to_string(at);
        return false;
    }

    const unsigned char* data;
    size_t size;
    SmfContents& out;
    std::string& error;
    size_t headerLength = 0;
};

} // namespace

bool readSmf(const unsigned char* data, size_t size, SmfContents& out, std::string& error) {
    if (!data) size = 0;
    return Parser(data, size, out, error).run();
}

bool readSmfFile(const std::string& path, SmfContents& out, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t got = 0;
    bool tooLarge = false;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes.size() + got > kMaxFileSize) {
            tooLarge = true;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    bool readError = std::ferror(file) != 0;
    int readErrno = errno;
    std::fclose(file);
    if (readError) {
        error = "cannot read " + path + ": " + std::strerror(readErrno);
        return false;
    }
    if (tooLarge) {
        error = path + " is larger than " + std::to_string(kMaxFileSize >> 20) +
                " MiB: not a MIDI file";
        return false;
    }
    if (!readSmf(bytes.data(), bytes.size(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace kavrel::render

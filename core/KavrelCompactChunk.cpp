#include "core/KavrelCompactChunk.h"

#include <zlib.h>

#include <climits>
#include <cstring>
#include <new>

namespace kavrel::chunk {
namespace {

uint32_t le32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
           (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

void putLe32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t checksum(const uint8_t* header, const uint8_t* payload, size_t payloadSize) {
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, header, 20);
    crc = crc32(crc, payload, static_cast<uInt>(payloadSize));
    return static_cast<uint32_t>(crc);
}

constexpr size_t kFirstOutput = 64 * 1024;

} // namespace

bool isCompact(const uint8_t* bytes, size_t size) {
    return bytes && size >= sizeof kCompactMarker &&
           std::memcmp(bytes, kCompactMarker, sizeof kCompactMarker) == 0;
}

struct CompactEncoder::Stream {
    z_stream z{};
    bool open = false;
    bool ok = false;
    int32_t program = 0;
    uint64_t taken = 0;
    std::vector<uint8_t> out;

    size_t used() const { return static_cast<size_t>(z.next_out - out.data()); }
    // Room for deflate to write into, doubling the buffer when it is full.
    void makeRoom() {
        if (z.avail_out > 0) return;
        const size_t at = used();
        out.resize(out.size() * 2);
        z.next_out = out.data() + at;
        const size_t room = out.size() - at;
        z.avail_out = static_cast<uInt>(room > UINT_MAX ? UINT_MAX : room);
    }
};

CompactEncoder::CompactEncoder(int32_t program) : stream(new (std::nothrow) Stream) {
    if (!stream) return;
    stream->program = program;
    try {
        stream->out.resize(kCompactHeaderSize + kFirstOutput);
    } catch (const std::bad_alloc&) {
        return;
    }
    z_stream& z = stream->z;
    z.next_out = stream->out.data() + kCompactHeaderSize;
    z.avail_out = static_cast<uInt>(kFirstOutput);
    // The default level: a factory bank deflates to about 220 kB in about 0.1 s. Faster levels
    // leave it at 300 to 650 kB, which every project file and undo snapshot would carry.
    stream->open = deflateInit(&z, Z_DEFAULT_COMPRESSION) == Z_OK;
    stream->ok = stream->open;
}

CompactEncoder::~CompactEncoder() {
    if (stream && stream->open) deflateEnd(&stream->z);
}

bool CompactEncoder::add(const uint8_t* legacy, size_t size) {
    if (!stream || !stream->ok) return false;
    Stream& s = *stream;
    if (size > kMaxExpandedSize - s.taken) return s.ok = false;
    s.taken += size;
    try {
        while (size > 0) {
            const size_t piece = size > (1u << 30) ? (1u << 30) : size;
            s.z.next_in = const_cast<Bytef*>(legacy);
            s.z.avail_in = static_cast<uInt>(piece);
            while (s.z.avail_in > 0) {
                s.makeRoom();
                const int result = deflate(&s.z, Z_NO_FLUSH);
                if (result != Z_OK && result != Z_BUF_ERROR) return s.ok = false;
            }
            legacy += piece;
            size -= piece;
        }
    } catch (const std::bad_alloc&) {
        return s.ok = false;
    }
    return true;
}

bool CompactEncoder::finish(std::vector<uint8_t>& out) {
    out.clear();
    if (!stream || !stream->ok) return false;
    Stream& s = *stream;
    s.ok = false; // one chunk per encoder
    try {
        s.z.next_in = nullptr;
        s.z.avail_in = 0;
        for (;;) {
            s.makeRoom();
            const int result = deflate(&s.z, Z_FINISH);
            if (result == Z_STREAM_END) break;
            if (result != Z_OK && result != Z_BUF_ERROR) return false;
        }
        const size_t compressed = s.used() - kCompactHeaderSize;
        if (compressed > UINT32_MAX) return false;
        s.out.resize(s.used());
        s.out.shrink_to_fit();
        uint8_t* header = s.out.data();
        std::memcpy(header, kCompactMarker, sizeof kCompactMarker);
        putLe32(header + 4, kCompactVersion);
        putLe32(header + 8, static_cast<uint32_t>(s.program));
        putLe32(header + 12, static_cast<uint32_t>(s.taken));
        putLe32(header + 16, static_cast<uint32_t>(compressed));
        putLe32(header + 20, checksum(header, header + kCompactHeaderSize, compressed));
    } catch (const std::bad_alloc&) {
        return false;
    }
    out.swap(s.out);
    return true;
}

bool encodeCompact(const uint8_t* legacy, size_t size, int32_t program, std::vector<uint8_t>& out) {
    CompactEncoder encoder(program);
    return encoder.add(legacy, size) && encoder.finish(out);
}

bool decodeCompact(const uint8_t* bytes, size_t size, std::vector<uint8_t>& legacy,
                   int32_t& program) {
    if (!isCompact(bytes, size) || size < kCompactHeaderSize) return false;
    if (le32(bytes + 4) != kCompactVersion) return false;
    const size_t expanded = le32(bytes + 12);
    const size_t compressed = le32(bytes + 16);
    if (expanded == 0 || expanded > kMaxExpandedSize) return false;
    if (compressed == 0 || compressed > size - kCompactHeaderSize) return false;
    const uint8_t* payload = bytes + kCompactHeaderSize;
    // The checksum covers the header fields too, so a damaged size or program number is caught
    // here, before anything is allocated for it.
    if (checksum(bytes, payload, compressed) != le32(bytes + 20)) return false;

    std::vector<uint8_t> result;
    try {
        result.resize(expanded);
    } catch (const std::bad_alloc&) {
        return false;
    }
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(payload);
    z.avail_in = static_cast<uInt>(compressed);
    z.next_out = result.data();
    z.avail_out = static_cast<uInt>(expanded);
    const int status = inflate(&z, Z_FINISH);
    // The stream must end exactly at the announced length, having filled exactly the
    // announced size: more or less on either side is a chunk that was not written whole.
    const bool whole = status == Z_STREAM_END && z.avail_in == 0 && z.avail_out == 0;
    inflateEnd(&z);
    if (!whole) return false;
    legacy.swap(result);
    program = static_cast<int32_t>(le32(bytes + 8));
    return true;
}

} // namespace kavrel::chunk

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

uint32_t pieceChecksum(const uint8_t* bytes, size_t size) {
    return static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), bytes, static_cast<uInt>(size)));
}

bool deflatePiece(const uint8_t* legacy, size_t size, std::vector<uint8_t>& out, int level) {
    out.clear();
    if (size == 0 || size > kMaxExpandedSize) return false;
    uLongf length = compressBound(static_cast<uLong>(size));
    try {
        out.resize(length);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (compress2(out.data(), &length, legacy, static_cast<uLong>(size), level) != Z_OK) {
        out.clear();
        return false;
    }
    out.resize(length);
    out.shrink_to_fit();
    return true;
}

namespace {
// Expands `piece` into `size` bytes; `whole`: the stream must end exactly there.
bool inflateInto(const Piece& piece, uint8_t* legacy, size_t size, bool whole) {
    if (!piece.bytes || piece.size == 0 || size > piece.legacySize) return false;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(piece.bytes);
    z.avail_in = piece.size;
    z.next_out = legacy;
    z.avail_out = static_cast<uInt>(size);
    const int status = inflate(&z, whole ? Z_FINISH : Z_SYNC_FLUSH);
    const bool ok = whole ? status == Z_STREAM_END && z.avail_in == 0 && z.avail_out == 0
                          : (status == Z_OK || status == Z_STREAM_END) && z.avail_out == 0;
    inflateEnd(&z);
    return ok;
}
} // namespace

bool inflatePiece(const Piece& piece, uint8_t* legacy) {
    return inflateInto(piece, legacy, piece.legacySize, true);
}

bool inflatePrefix(const Piece& piece, uint8_t* legacy, size_t size) {
    return inflateInto(piece, legacy, size, false);
}

bool encodePieces(const Piece* pieces, size_t count, int32_t program, std::vector<uint8_t>& out) {
    out.clear();
    if (count == 0 || count > kMaxPieces) return false;
    size_t total = kPiecesHeaderSize + kPieceEntrySize * count;
    for (size_t i = 0; i < count; ++i) total += pieces[i].size;
    try {
        out.resize(total);
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint8_t* header = out.data();
    std::memcpy(header, kCompactMarker, sizeof kCompactMarker);
    putLe32(header + 4, kPiecesVersion);
    putLe32(header + 8, static_cast<uint32_t>(program));
    putLe32(header + 12, static_cast<uint32_t>(count));
    uint8_t* entry = header + kPiecesHeaderSize;
    uint8_t* at = entry + kPieceEntrySize * count;
    for (size_t i = 0; i < count; ++i, entry += kPieceEntrySize) {
        putLe32(entry, pieces[i].legacySize);
        putLe32(entry + 4, pieces[i].size);
        putLe32(entry + 8, pieces[i].crc);
        std::memcpy(at, pieces[i].bytes, pieces[i].size);
        at += pieces[i].size;
    }
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, header, 16);
    crc = crc32(crc, header + kPiecesHeaderSize, static_cast<uInt>(kPieceEntrySize * count));
    putLe32(header + 16, static_cast<uint32_t>(crc));
    return true;
}

bool readPieces(const uint8_t* bytes, size_t size, std::vector<Piece>& pieces, int32_t& program) {
    if (!isCompact(bytes, size) || size < kPiecesHeaderSize) return false;
    if (le32(bytes + 4) != kPiecesVersion) return false;
    const uint32_t count = le32(bytes + 12);
    if (count == 0 || count > kMaxPieces) return false;
    const size_t table = kPieceEntrySize * count;
    if (table > size - kPiecesHeaderSize) return false;
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, bytes, 16);
    crc = crc32(crc, bytes + kPiecesHeaderSize, static_cast<uInt>(table));
    // The table's checksum covers the header fields too, so a damaged count, size or program
    // number is caught before anything is read through it.
    if (static_cast<uint32_t>(crc) != le32(bytes + 16)) return false;
    std::vector<Piece> found;
    try {
        found.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t at = kPiecesHeaderSize + table;
    uint64_t expanded = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = bytes + kPiecesHeaderSize + kPieceEntrySize * i;
        Piece& piece = found[i];
        piece.legacySize = le32(entry);
        piece.size = le32(entry + 4);
        piece.crc = le32(entry + 8);
        expanded += piece.legacySize;
        if (piece.legacySize == 0 || expanded > kMaxExpandedSize) return false;
        if (piece.size == 0 || piece.size > size - at) return false;
        piece.bytes = bytes + at;
        at += piece.size;
    }
    // Only once every piece is known to be there, so a chunk cut short costs no checksums.
    for (const Piece& piece : found)
        if (pieceChecksum(piece.bytes, piece.size) != piece.crc) return false;
    pieces.swap(found);
    program = static_cast<int32_t>(le32(bytes + 8));
    return true;
}

bool decodeCompact(const uint8_t* bytes, size_t size, std::vector<uint8_t>& legacy,
                   int32_t& program) {
    if (!isCompact(bytes, size) || size < 8) return false;
    if (le32(bytes + 4) == kPiecesVersion) {
        std::vector<Piece> pieces;
        int32_t recorded = 0;
        if (!readPieces(bytes, size, pieces, recorded)) return false;
        size_t total = 0;
        for (const Piece& piece : pieces) total += piece.legacySize;
        std::vector<uint8_t> result;
        try {
            result.resize(total);
        } catch (const std::bad_alloc&) {
            return false;
        }
        size_t at = 0;
        for (const Piece& piece : pieces) {
            if (!inflatePiece(piece, result.data() + at)) return false;
            at += piece.legacySize;
        }
        legacy.swap(result);
        program = recorded;
        return true;
    }
    if (size < kCompactHeaderSize || le32(bytes + 4) != kCompactVersion) return false;
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

#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The compact form of a state chunk, the one the plug-in hands to hosts. A bank in the legacy
// layout is some 14 MB of which nearly everything is neutral lane values, and hosts keep it
// in every project file and undo snapshot; deflated it is a few hundred kB.
//
// Version 2, written from now on, deflates each program on its own, so a plug-in can keep the
// programs it does not play packed and assemble a chunk from the pieces it already has:
//   0  4  marker "KvZc" (a legacy chunk starts with the int32 100: 64 00 00 00)
//   4  4  format version, 2
//   8  4  int32 program current when a bank was written; -1 in a program chunk, which loads
//         into whichever slot is current (so a program saves to the same bytes from any slot)
//  12  4  number of pieces n (48 in a bank, 1 in a program chunk)
//  16  4  CRC-32 of bytes 0..15 followed by the piece table
//  20 12n piece table: size of the piece's legacy bytes, size of its compressed bytes, CRC-32
//         of its compressed bytes
//  ...    the pieces back to back, each the legacy bytes of one program as a zlib stream
//
// Version 1, still read, deflated the whole legacy chunk as one stream:
//   0  4  marker, 4  4  version 1, 8  4  program,
//  12  4  size of the legacy bytes
//  16  4  size of the compressed bytes
//  20  4  CRC-32 of bytes 0..19 followed by the compressed bytes
//  24     the legacy bytes as one zlib stream
//
// This code knows nothing of programs: it only packs and unpacks legacy bytes, so the preset
// tools can convert files without a plug-in.
namespace kavrel::chunk {

constexpr uint8_t kCompactMarker[4] = {'K', 'v', 'Z', 'c'};
constexpr uint32_t kCompactVersion = 1;
constexpr size_t kCompactHeaderSize = 24;
constexpr uint32_t kPiecesVersion = 2;
constexpr size_t kPiecesHeaderSize = 20;
constexpr size_t kPieceEntrySize = 12;
// No chunk of ours has more; a count beyond it is a damaged chunk.
constexpr uint32_t kMaxPieces = 1024;
// Far above the largest bank the legacy layout can describe (48 programs of every lock and
// lane, about 18.8 MB): a size beyond it is a damaged chunk, not a reason to allocate.
constexpr size_t kMaxExpandedSize = 32u << 20;

// True when the bytes carry the compact marker (whatever follows it).
bool isCompact(const uint8_t* bytes, size_t size);

// Deflates legacy bytes into a version 1 chunk, handed over in parts (a program at a time, so
// a bank never needs its 14 MB at once).
class CompactEncoder {
public:
    explicit CompactEncoder(int32_t program);
    ~CompactEncoder();
    CompactEncoder(const CompactEncoder&) = delete;
    CompactEncoder& operator=(const CompactEncoder&) = delete;

    // False once anything failed (out of memory, too large); later calls then do nothing.
    bool add(const uint8_t* legacy, size_t size);
    // The finished chunk replaces `out`; false (and `out` cleared) on failure.
    bool finish(std::vector<uint8_t>& out);

private:
    struct Stream;
    std::unique_ptr<Stream> stream;
};

// Legacy bytes to a version 1 compact chunk in one call (for tools that cannot tell where one
// program's bytes end).
bool encodeCompact(const uint8_t* legacy, size_t size, int32_t program, std::vector<uint8_t>& out);

// One program's legacy bytes deflated on their own.
struct Piece {
    const uint8_t* bytes = nullptr; // the zlib stream
    uint32_t size = 0;              // of the stream
    uint32_t legacySize = 0;        // of what it expands to
    uint32_t crc = 0;               // CRC-32 of the stream
};

// How hard a piece is packed. A program packed while the host waits (a save, a program change,
// a load of an earlier form) takes half a millisecond at the quick level and about 7 kB; the
// factory bank, packed once when it is built, takes the smallest form (about 4.5 kB a program),
// and a save hands an unchanged factory program on as it is.
constexpr int kQuickPieceLevel = 3;
constexpr int kSmallestPieceLevel = 9;
// Deflates legacy bytes into one piece's stream; false (and `out` cleared) on failure.
bool deflatePiece(const uint8_t* legacy, size_t size, std::vector<uint8_t>& out,
                  int level = kQuickPieceLevel);
uint32_t pieceChecksum(const uint8_t* bytes, size_t size);
// Expands a piece into exactly legacySize bytes at `legacy`; false unless the stream is whole
// and expands to exactly that size.
bool inflatePiece(const Piece& piece, uint8_t* legacy);
// The first `size` legacy bytes of a piece (a program's name sits near the start).
bool inflatePrefix(const Piece& piece, uint8_t* legacy, size_t size);
// A version 2 chunk of the pieces in order.
bool encodePieces(const Piece* pieces, size_t count, int32_t program, std::vector<uint8_t>& out);
// Checks a version 2 chunk's header, table and every piece's checksum (not what the pieces
// expand to) and hands out the pieces, which point into `bytes`. Refuses other versions.
bool readPieces(const uint8_t* bytes, size_t size, std::vector<Piece>& pieces, int32_t& program);

// Checks a compact chunk of either version whole (marker, version, sizes, checksums, zlib
// streams that end exactly where announced and expand to exactly the announced sizes) and only
// then hands out the legacy bytes (a version 2 chunk's pieces one after another) and the
// recorded program. Bytes after the compressed ones are ignored, as
// they are after a legacy chunk. On failure `legacy` and `program` are left as they were.
bool decodeCompact(const uint8_t* bytes, size_t size, std::vector<uint8_t>& legacy,
                   int32_t& program);

} // namespace kavrel::chunk

#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The compact form of a state chunk, the one the plug-in hands to hosts. A bank in the legacy
// layout is some 14 MB of which nearly everything is neutral lane values, and hosts keep it
// in every project file and undo snapshot; deflated it is a few hundred kB.
//
// Layout (little-endian):
//   0  4  marker "KvZc" (a legacy chunk starts with the int32 100: 64 00 00 00)
//   4  4  format version, 1
//   8  4  int32 program current when a bank was written; -1 in a program chunk, which loads
//         into whichever slot is current (so a program saves to the same bytes from any slot)
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
// Far above the largest bank the legacy layout can describe (48 programs of every lock and
// lane, about 18.8 MB): a size beyond it is a damaged chunk, not a reason to allocate.
constexpr size_t kMaxExpandedSize = 32u << 20;

// True when the bytes carry the compact marker (whatever follows it).
bool isCompact(const uint8_t* bytes, size_t size);

// Deflates legacy bytes handed over in pieces (a program at a time, so a bank never needs its
// 14 MB at once).
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

// Legacy bytes to a compact chunk in one call.
bool encodeCompact(const uint8_t* legacy, size_t size, int32_t program, std::vector<uint8_t>& out);

// Checks a compact chunk whole (marker, version, sizes, checksum, a zlib stream that ends
// exactly where announced and expands to exactly the announced size) and only then hands out
// the legacy bytes and the recorded program. Bytes after the compressed ones are ignored, as
// they are after a legacy chunk. On failure `legacy` and `program` are left as they were.
bool decodeCompact(const uint8_t* bytes, size_t size, std::vector<uint8_t>& legacy,
                   int32_t& program);

} // namespace kavrel::chunk

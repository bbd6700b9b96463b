#include "core/KavrelPackedProgram.h"

#include "core/KavrelChunk.h"

#include <cstring>
#include <new>

using namespace kavrel;

namespace {

// The record starts with a four-byte marker, then the name.
constexpr size_t kNameAt = 4;

std::shared_ptr<KavrelPackedProgram> withBytes(const uint8_t* bytes, size_t size,
                                               uint32_t legacySize) {
    auto packed = std::make_shared<KavrelPackedProgram>();
    packed->bytes.assign(bytes, bytes + size);
    packed->legacySize = legacySize;
    packed->crc = chunk::pieceChecksum(bytes, size);
    return packed;
}

void takeName(KavrelPackedProgram& packed, const uint8_t* legacy) {
    std::memcpy(packed.name, legacy + kNameAt, KavrelProgram::kNameSize);
    packed.name[KavrelProgram::kNameSize - 1] = 0;
}

} // namespace

chunk::Piece KavrelPackedProgram::piece() const {
    chunk::Piece piece;
    piece.bytes = bytes.data();
    piece.size = static_cast<uint32_t>(bytes.size());
    piece.legacySize = legacySize;
    piece.crc = crc;
    return piece;
}

bool KavrelPackedProgram::holds(const chunk::Piece& piece) const {
    return piece.size == bytes.size() && piece.legacySize == legacySize && piece.crc == crc &&
           std::memcmp(piece.bytes, bytes.data(), bytes.size()) == 0;
}

bool KavrelPackedProgram::unpack(KavrelProgram& program, std::vector<uint8_t>& scratch) const {
    try {
        scratch.resize(legacySize);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!chunk::inflatePiece(piece(), scratch.data()) ||
        chunk::validateProgram(scratch.data(), scratch.size()) != legacySize)
        return false;
    chunk::readProgram(scratch.data(), program);
    // Whatever played in this memory before, the program starts at rest, as a loaded one.
    for (KavrelPattern& pattern : program.patterns) pattern.restPlay();
    return true;
}

KavrelPackedProgram::Shared KavrelPackedProgram::pack(const KavrelProgram& program) {
    try {
        std::vector<uint8_t> legacy(chunk::programSize(program));
        chunk::writeProgram(program, legacy.data());
        return fromLegacy(legacy.data(), legacy.size());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

KavrelPackedProgram::Shared KavrelPackedProgram::fromLegacy(const uint8_t* legacy, size_t size) {
    try {
        std::vector<uint8_t> deflated;
        if (size < chunk::kProgramHeaderSize || !chunk::deflatePiece(legacy, size, deflated))
            return nullptr;
        auto packed = withBytes(deflated.data(), deflated.size(), static_cast<uint32_t>(size));
        takeName(*packed, legacy);
        return packed;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

KavrelPackedProgram::Shared KavrelPackedProgram::fromPiece(const chunk::Piece& piece,
                                                           std::vector<uint8_t>& scratch) {
    try {
        scratch.resize(piece.legacySize);
        if (piece.legacySize < chunk::kProgramHeaderSize ||
            !chunk::inflatePiece(piece, scratch.data()) ||
            chunk::validateProgram(scratch.data(), scratch.size()) != piece.legacySize)
            return nullptr;
        auto packed = withBytes(piece.bytes, piece.size, piece.legacySize);
        takeName(*packed, scratch.data());
        return packed;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

KavrelPackedProgram::Shared KavrelPackedProgram::fromTrustedPiece(const chunk::Piece& piece) {
    try {
        uint8_t head[kNameAt + KavrelProgram::kNameSize];
        if (piece.legacySize < chunk::kProgramHeaderSize ||
            !chunk::inflatePrefix(piece, head, sizeof head))
            return nullptr;
        auto packed = withBytes(piece.bytes, piece.size, piece.legacySize);
        takeName(*packed, head);
        return packed;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

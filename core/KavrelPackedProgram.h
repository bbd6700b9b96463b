#pragma once
#include "core/KavrelCompactChunk.h"
#include "core/KavrelPattern.h"

#include <cstdint>
#include <memory>
#include <vector>

// A program at rest: its legacy bytes deflated (a few kB, where the expanded program takes
// 300 kB, nearly all of it neutral lane values), with its name beside them for the host's
// program list. Shared and never written: an edit packs a new one. The same bytes are the
// program's piece of a saved chunk, so a save only copies them.
struct KavrelPackedProgram {
    std::vector<uint8_t> bytes;
    uint32_t legacySize = 0;
    uint32_t crc = 0;
    char name[KavrelProgram::kNameSize] = {};

    using Shared = std::shared_ptr<const KavrelPackedProgram>;

    kavrel::chunk::Piece piece() const;
    // Whether `piece` carries exactly these bytes.
    bool holds(const kavrel::chunk::Piece& piece) const;
    // Expands into `program`; false, with `program` untouched, when the bytes do not hold one
    // whole program. `scratch` carries the legacy bytes between the steps.
    bool unpack(KavrelProgram& program, std::vector<uint8_t>& scratch) const;

    // Null when out of memory.
    static Shared pack(const KavrelProgram& program);
    // The legacy bytes of one program that chunk::validateProgram accepted.
    static Shared fromLegacy(const uint8_t* legacy, size_t size);
    // A piece read from a chunk, expanded once to check that it holds one whole program; null
    // when it does not.
    static Shared fromPiece(const kavrel::chunk::Piece& piece, std::vector<uint8_t>& scratch);
    // A piece of the library's own factory bank: taken as it is (unpack still checks it).
    static Shared fromTrustedPiece(const kavrel::chunk::Piece& piece);
};

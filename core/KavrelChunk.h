#pragma once
#include "core/KavrelPattern.h"

#include <cstddef>
#include <cstdint>

// The state chunk: programs as the host stores them and as the factory bank ships them.
// Little-endian throughout. A program is a format marker, its name, all parameter values, 16
// pattern records and the per-pattern values; a bank is 48 programs back to back.
namespace kavrel::chunk {

constexpr int32_t kFormatMarker = 100;
constexpr size_t kProgramHeaderSize = 4 + 24 + 4 * kNumParams; // 1080
constexpr int kPatternValueKeys = 61;

size_t programSize(const KavrelProgram& program);
// Writes programSize(program) bytes.
void writeProgram(const KavrelProgram& program, uint8_t* out);
// Whether two programs hold the same record: everything writeProgram writes of them alike
// (what a pattern does while it plays, its step and play position, is no part of it).
bool sameRecord(const KavrelProgram& a, const KavrelProgram& b);

// Checks that `bytes` starts with one complete, sensible program record; on success returns
// its length, otherwise 0. Nothing is written.
size_t validateProgram(const uint8_t* bytes, size_t size);
// Reads a record that validateProgram accepted into the slot. Values outside 0..1 (or NaN) are
// clamped so that nothing the engine indexes with them can leave its table.
void readProgram(const uint8_t* bytes, KavrelProgram& program);

} // namespace kavrel::chunk

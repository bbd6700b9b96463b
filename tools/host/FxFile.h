#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kavrel::host {

class PluginHost;

// Program (.fxp) and bank (.fxb) files holding a plug-in's opaque state chunk, in the layout
// every VST 2.4 host reads and writes: a big-endian header, then the chunk exactly as the
// plug-in handed it out.

// One program: 'CcnK', byteSize, 'FPCh', version, fxID, fxVersion, numParams, prgName[28],
// chunkSize, then the chunk at byte 60.
struct FxProgramFile {
    int32_t fxID = 0;
    int32_t fxVersion = 0;
    int32_t numParams = 0;
    std::string name; // at most 27 characters are stored
    std::vector<uint8_t> chunk;
};

// The whole bank: 'CcnK', byteSize, 'FBCh', version, fxID, fxVersion, numPrograms,
// future[128], chunkSize, then the chunk at byte 160. Version 2 files keep the program that
// was current in the first four bytes of `future`.
struct FxBankFile {
    int32_t version = 1;
    int32_t fxID = 0;
    int32_t fxVersion = 0;
    int32_t numPrograms = 0;
    int32_t currentProgram = -1; // -1: not recorded (version 1)
    std::vector<uint8_t> chunk;
};

constexpr size_t kFxpHeaderSize = 60;
constexpr size_t kFxbHeaderSize = 160;

// The four characters of a unique ID, for messages: 'VXkv', or the number when they are not
// all printable.
std::string describeId(int32_t id);

// The bytes of a file. Fails only when the chunk cannot be described by the header's 32-bit
// sizes. A bank is always written as version 1 (currentProgram is not stored).
bool encodeProgram(const FxProgramFile& program, std::vector<uint8_t>& out, std::string& error);
bool encodeBank(const FxBankFile& bank, std::vector<uint8_t>& out, std::string& error);

// Parses a file's bytes, refusing anything that is not an opaque-chunk file of the expected
// kind, whose sizes do not fit the bytes given, or whose fxID is not `expectedId`. Nothing
// past `size` is read. On failure `error` says what is wrong, with the byte offset involved.
bool decodeProgram(const uint8_t* data, size_t size, int32_t expectedId, FxProgramFile& out,
                   std::string& error);
bool decodeBank(const uint8_t* data, size_t size, int32_t expectedId, FxBankFile& out,
                std::string& error);

// The same on files. Errors name the file.
bool writeProgramFile(const std::string& path, const FxProgramFile& program, std::string& error);
bool writeBankFile(const std::string& path, const FxBankFile& bank, std::string& error);
bool readProgramFile(const std::string& path, int32_t expectedId, FxProgramFile& out,
                     std::string& error);
bool readBankFile(const std::string& path, int32_t expectedId, FxBankFile& out, std::string& error);

// Between a loaded plug-in and those records, as a host saves and restores presets.
// capture* ask the plug-in for its chunk (the current program, or the bank); apply* hand a
// chunk to it and fail when the plug-in refuses it. Applying a version 2 bank makes its
// recorded program current again, as hosts do. Plug-ins that do not keep their state in
// chunks are refused with a message.
bool captureProgram(PluginHost& host, FxProgramFile& out, std::string& error);
bool captureBank(PluginHost& host, FxBankFile& out, std::string& error);
bool applyProgram(PluginHost& host, const FxProgramFile& program, std::string& error);
bool applyBank(PluginHost& host, const FxBankFile& bank, std::string& error);

// The stored name of every program slot, in slot order, made printable.
std::vector<std::string> programNames(PluginHost& host);

// A name from a file or a plug-in, fit for a terminal: control characters become '?'.
std::string printable(const std::string& name);

} // namespace kavrel::host

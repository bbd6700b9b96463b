#include "host/FxFile.h"

#include "host/PluginHost.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

namespace kavrel::host {
namespace {

constexpr uint32_t fourCC(char a, char b, char c, char d) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(d));
}

constexpr uint32_t kChunkMagic = fourCC('C', 'c', 'n', 'K');
constexpr uint32_t kProgramChunk = fourCC('F', 'P', 'C', 'h');
constexpr uint32_t kBankChunk = fourCC('F', 'B', 'C', 'h');
// The other kinds of preset file: parameter lists rather than chunks.
constexpr uint32_t kProgramParams = fourCC('F', 'x', 'C', 'k');
constexpr uint32_t kBankParams = fourCC('F', 'x', 'B', 'k');

constexpr size_t kNameSize = 28;
constexpr size_t kFutureSize = 128;
// byteSize and chunkSize are 32-bit signed fields, and hosts read them as such.
constexpr size_t kMaxFileSize = static_cast<size_t>(std::numeric_limits<int32_t>::max()) + 8;

uint32_t readBe32(const uint8_t* at) {
    return (static_cast<uint32_t>(at[0]) << 24) | (static_cast<uint32_t>(at[1]) << 16) |
           (static_cast<uint32_t>(at[2]) << 8) | static_cast<uint32_t>(at[3]);
}

void putBe32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value >> 24);
    out[at + 1] = static_cast<uint8_t>(value >> 16);
    out[at + 2] = static_cast<uint8_t>(value >> 8);
    out[at + 3] = static_cast<uint8_t>(value);
}

std::string plural(uint64_t count, const char* what) {
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

std::string fileKind(uint32_t magic) {
    switch (magic) {
    case kProgramChunk:
        return "a program file";
    case kBankChunk:
        return "a bank file";
    case kProgramParams:
        return "a program file of parameter values ('FxCk'), not of a state chunk";
    case kBankParams:
        return "a bank file of parameter values ('FxBk'), not of a state chunk";
    default:
        return "a preset of unknown type " + describeId(static_cast<int32_t>(magic));
    }
}

// What the program and bank headers have in common: checks everything but the version and the
// kind-specific fields, and finds the chunk.
bool decodeCommon(const uint8_t* data, size_t size, size_t headerSize, uint32_t wantedMagic,
                  int32_t expectedId, const uint8_t*& chunk, size_t& chunkSize,
                  std::string& error) {
    const char* wanted = wantedMagic == kProgramChunk ? "program" : "bank";
    if (!data || size < 4) {
        error = "not a VST preset file: only " + plural(data ? size : 0, "byte");
        return false;
    }
    if (readBe32(data) != kChunkMagic) {
        error = "not a VST preset file: it does not start with 'CcnK'";
        return false;
    }
    if (size < headerSize) {
        error = "truncated: " + plural(size, "byte") + ", shorter than the " +
                std::to_string(headerSize) + "-byte " + wanted + " header";
        return false;
    }
    const uint32_t magic = readBe32(data + 8);
    if (magic != wantedMagic) {
        error = "not a " + std::string(wanted) + " file: byte 8 says it is " + fileKind(magic);
        return false;
    }
    const auto id = static_cast<int32_t>(readBe32(data + 16));
    if (id != expectedId) {
        error = "made for the plug-in " + describeId(id) + ", not for " + describeId(expectedId) +
                " (fxID at byte 16)";
        return false;
    }
    const uint64_t announced = static_cast<uint64_t>(readBe32(data + 4)) + 8;
    if (announced > size) {
        error = "truncated: byteSize at byte 4 announces " + plural(announced, "byte") +
                ", the file holds " + std::to_string(size);
        return false;
    }
    const uint64_t length = readBe32(data + headerSize - 4);
    if (length > size - headerSize) {
        error = "chunkSize at byte " + std::to_string(headerSize - 4) + " announces " +
                plural(length, "byte") + ", only " + std::to_string(size - headerSize) +
                " follow the header";
        return false;
    }
    if (headerSize + length > announced) {
        error = "byteSize at byte 4 (" + std::to_string(announced - 8) +
                ") ends the file before the chunk of " + plural(length, "byte") + " does";
        return false;
    }
    if (length == 0) {
        error = "the chunk is empty (chunkSize 0 at byte " + std::to_string(headerSize - 4) + ")";
        return false;
    }
    chunk = data + headerSize;
    chunkSize = static_cast<size_t>(length);
    return true;
}

bool checkSize(size_t chunkSize, size_t headerSize, std::string& error) {
    if (chunkSize > kMaxFileSize - headerSize) {
        error = "a chunk of " + plural(chunkSize, "byte") + " does not fit a preset file";
        return false;
    }
    return true;
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    // Written beside the target and moved over it only once complete, so that a full disk does
    // not leave half a preset where the user's previous file was.
    const std::string partial = path + ".part";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        if (file)
            file.write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::remove(partial.c_str());
            error = "cannot write " + path;
            return false;
        }
    }
    std::error_code failure;
    std::filesystem::rename(partial, path, failure);
    if (failure) {
        std::remove(partial.c_str());
        error = "cannot write " + path + ": " + failure.message();
        return false;
    }
    return true;
}

bool readBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::error_code failure;
    if (std::filesystem::is_directory(path, failure)) {
        error = path + " is a folder, not a preset file";
        return false;
    }
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    const std::streamoff length = file.tellg();
    if (length < 0 || static_cast<uint64_t>(length) > kMaxFileSize) {
        error = path + ": too large for a preset file";
        return false;
    }
    bytes.resize(static_cast<size_t>(length));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), length)) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool expectChunks(PluginHost& host, std::string& error) {
    const vst::AEffect* effect = host.effect();
    if (!effect) {
        error = "no plug-in is loaded";
        return false;
    }
    if (!(effect->flags & vst::effFlagsProgramChunks)) {
        error = "the plug-in does not keep its state in chunks";
        return false;
    }
    return true;
}

bool takeChunk(PluginHost& host, bool isPreset, std::vector<uint8_t>& out, std::string& error) {
    if (!expectChunks(host, error)) return false;
    void* data = nullptr;
    const vst::intptr size = host.dispatch(vst::effGetChunk, isPreset ? 1 : 0, 0, &data);
    if (size <= 0 || !data) {
        error =
            std::string("the plug-in handed out no ") + (isPreset ? "program" : "bank") + " chunk";
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    out.assign(bytes, bytes + size);
    return true;
}

bool giveChunk(PluginHost& host, bool isPreset, int32_t fxID, const std::vector<uint8_t>& chunk,
               std::string& error) {
    if (!expectChunks(host, error)) return false;
    const char* what = isPreset ? "program" : "bank";
    if (fxID != host.effect()->uniqueID) {
        error = std::string("the ") + what + " was made for the plug-in " + describeId(fxID) +
                ", not for " + describeId(host.effect()->uniqueID);
        return false;
    }
    // The plug-in receives a pointer it may treat as its own for the call.
    std::vector<uint8_t> copy(chunk);
    if (host.dispatch(vst::effSetChunk, isPreset ? 1 : 0, static_cast<vst::intptr>(copy.size()),
                      copy.data()) == 0) {
        error = std::string("the plug-in refused the ") + what + " chunk (" +
                plural(copy.size(), "byte") + ")";
        return false;
    }
    return true;
}

} // namespace

std::string describeId(int32_t id) {
    const auto value = static_cast<uint32_t>(id);
    std::string text = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<char>((value >> shift) & 0xff);
        if (c < 0x20 || c > 0x7e) {
            char number[16];
            std::snprintf(number, sizeof number, "0x%08x", static_cast<unsigned>(value));
            return number;
        }
        text += c;
    }
    return text + "'";
}

bool encodeProgram(const FxProgramFile& program, std::vector<uint8_t>& out, std::string& error) {
    if (!checkSize(program.chunk.size(), kFxpHeaderSize, error)) return false;
    out.assign(kFxpHeaderSize + program.chunk.size(), 0);
    putBe32(out, 0, kChunkMagic);
    putBe32(out, 4, static_cast<uint32_t>(out.size() - 8));
    putBe32(out, 8, kProgramChunk);
    putBe32(out, 12, 1);
    putBe32(out, 16, static_cast<uint32_t>(program.fxID));
    putBe32(out, 20, static_cast<uint32_t>(program.fxVersion));
    putBe32(out, 24, static_cast<uint32_t>(program.numParams));
    std::memcpy(out.data() + 28, program.name.data(), std::min(program.name.size(), kNameSize - 1));
    putBe32(out, 56, static_cast<uint32_t>(program.chunk.size()));
    std::copy(program.chunk.begin(), program.chunk.end(), out.begin() + kFxpHeaderSize);
    return true;
}

bool encodeBank(const FxBankFile& bank, std::vector<uint8_t>& out, std::string& error) {
    if (!checkSize(bank.chunk.size(), kFxbHeaderSize, error)) return false;
    out.assign(kFxbHeaderSize + bank.chunk.size(), 0);
    putBe32(out, 0, kChunkMagic);
    putBe32(out, 4, static_cast<uint32_t>(out.size() - 8));
    putBe32(out, 8, kBankChunk);
    putBe32(out, 12, 1);
    putBe32(out, 16, static_cast<uint32_t>(bank.fxID));
    putBe32(out, 20, static_cast<uint32_t>(bank.fxVersion));
    putBe32(out, 24, static_cast<uint32_t>(bank.numPrograms));
    putBe32(out, 156, static_cast<uint32_t>(bank.chunk.size()));
    std::copy(bank.chunk.begin(), bank.chunk.end(), out.begin() + kFxbHeaderSize);
    return true;
}

bool decodeProgram(const uint8_t* data, size_t size, int32_t expectedId, FxProgramFile& out,
                   std::string& error) {
    const uint8_t* chunk = nullptr;
    size_t chunkSize = 0;
    if (!decodeCommon(data, size, kFxpHeaderSize, kProgramChunk, expectedId, chunk, chunkSize,
                      error))
        return false;
    const uint32_t version = readBe32(data + 12);
    if (version != 1) {
        error = "program file version " + std::to_string(version) +
                " at byte 12 is not supported (1 is)";
        return false;
    }
    out.fxID = static_cast<int32_t>(readBe32(data + 16));
    out.fxVersion = static_cast<int32_t>(readBe32(data + 20));
    out.numParams = static_cast<int32_t>(readBe32(data + 24));
    const auto* name = reinterpret_cast<const char*>(data + 28);
    out.name.assign(name, strnlen(name, kNameSize));
    out.chunk.assign(chunk, chunk + chunkSize);
    return true;
}

bool decodeBank(const uint8_t* data, size_t size, int32_t expectedId, FxBankFile& out,
                std::string& error) {
    const uint8_t* chunk = nullptr;
    size_t chunkSize = 0;
    if (!decodeCommon(data, size, kFxbHeaderSize, kBankChunk, expectedId, chunk, chunkSize, error))
        return false;
    const uint32_t version = readBe32(data + 12);
    if (version != 1 && version != 2) {
        error = "bank file version " + std::to_string(version) +
                " at byte 12 is not supported (1 and 2 are)";
        return false;
    }
    out.version = static_cast<int32_t>(version);
    out.fxID = static_cast<int32_t>(readBe32(data + 16));
    out.fxVersion = static_cast<int32_t>(readBe32(data + 20));
    out.numPrograms = static_cast<int32_t>(readBe32(data + 24));
    out.currentProgram = version == 2 ? static_cast<int32_t>(readBe32(data + 28)) : -1;
    out.chunk.assign(chunk, chunk + chunkSize);
    return true;
}

bool writeProgramFile(const std::string& path, const FxProgramFile& program, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!encodeProgram(program, bytes, error)) {
        error = path + ": " + error;
        return false;
    }
    return writeBytes(path, bytes, error);
}

bool writeBankFile(const std::string& path, const FxBankFile& bank, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!encodeBank(bank, bytes, error)) {
        error = path + ": " + error;
        return false;
    }
    return writeBytes(path, bytes, error);
}

bool readProgramFile(const std::string& path, int32_t expectedId, FxProgramFile& out,
                     std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readBytes(path, bytes, error)) return false;
    if (decodeProgram(bytes.data(), bytes.size(), expectedId, out, error)) return true;
    error = path + ": " + error;
    return false;
}

bool readBankFile(const std::string& path, int32_t expectedId, FxBankFile& out,
                  std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readBytes(path, bytes, error)) return false;
    if (decodeBank(bytes.data(), bytes.size(), expectedId, out, error)) return true;
    error = path + ": " + error;
    return false;
}

bool captureProgram(PluginHost& host, FxProgramFile& out, std::string& error) {
    if (!takeChunk(host, true, out.chunk, error)) return false;
    const vst::AEffect* effect = host.effect();
    out.fxID = effect->uniqueID;
    out.fxVersion = effect->version;
    out.numParams = effect->numParams;
    out.name = host.programName();
    return true;
}

bool captureBank(PluginHost& host, FxBankFile& out, std::string& error) {
    if (!takeChunk(host, false, out.chunk, error)) return false;
    const vst::AEffect* effect = host.effect();
    out.version = 1;
    out.fxID = effect->uniqueID;
    out.fxVersion = effect->version;
    out.numPrograms = effect->numPrograms;
    out.currentProgram = static_cast<int32_t>(host.dispatch(vst::effGetProgram));
    return true;
}

bool applyProgram(PluginHost& host, const FxProgramFile& program, std::string& error) {
    return giveChunk(host, true, program.fxID, program.chunk, error);
}

bool applyBank(PluginHost& host, const FxBankFile& bank, std::string& error) {
    if (!giveChunk(host, false, bank.fxID, bank.chunk, error)) return false;
    if (bank.version >= 2 && bank.currentProgram >= 0 &&
        bank.currentProgram < host.effect()->numPrograms)
        host.dispatch(vst::effSetProgram, 0, bank.currentProgram);
    return true;
}

std::string printable(const std::string& name) {
    std::string text = name;
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return text;
}

std::vector<std::string> programNames(PluginHost& host) {
    std::vector<std::string> names;
    const vst::AEffect* effect = host.effect();
    if (!effect) return names;
    for (int i = 0; i < effect->numPrograms; ++i) {
        // Larger than any name a plug-in should write, and zeroed so a missing one is empty.
        char buffer[256] = {};
        host.dispatch(vst::effGetProgramNameIndexed, i, 0, buffer);
        buffer[sizeof buffer - 1] = 0;
        names.push_back(printable(buffer));
    }
    return names;
}

} // namespace kavrel::host

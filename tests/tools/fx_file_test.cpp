// Program and bank files: the bytes hosts exchange, what is refused, and the way between the
// files and a loaded plug-in.
#include "host/FxFile.h"
#include "host/PluginHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kavrel::host;

namespace {

constexpr int32_t kId = 0x56586b76; // 'VXkv'

uint32_t be32(const std::vector<uint8_t>& bytes, size_t at) {
    return (uint32_t(bytes[at]) << 24) | (uint32_t(bytes[at + 1]) << 16) |
           (uint32_t(bytes[at + 2]) << 8) | uint32_t(bytes[at + 3]);
}

void setBe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (24 - 8 * i));
}

std::vector<uint8_t> someChunk(size_t size) {
    std::vector<uint8_t> chunk(size);
    for (size_t i = 0; i < size; ++i) chunk[i] = uint8_t(i * 7 + 3);
    return chunk;
}

std::vector<uint8_t> programBytes() {
    FxProgramFile program;
    program.fxID = kId;
    program.fxVersion = 3;
    program.numParams = 263;
    program.name = "05 Kit - Gritchy IDM";
    program.chunk = someChunk(1000);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(encodeProgram(program, bytes, error)) << error;
    return bytes;
}

std::vector<uint8_t> bankBytes() {
    FxBankFile bank;
    bank.fxID = kId;
    bank.fxVersion = 1;
    bank.numPrograms = 48;
    bank.currentProgram = 7; // not stored: banks are written as version 1
    bank.chunk = someChunk(3000);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(encodeBank(bank, bytes, error)) << error;
    return bytes;
}

std::string programError(const std::vector<uint8_t>& bytes, int32_t id = kId) {
    FxProgramFile out;
    std::string error;
    return decodeProgram(bytes.data(), bytes.size(), id, out, error) ? "" : error;
}

std::string bankError(const std::vector<uint8_t>& bytes, int32_t id = kId) {
    FxBankFile out;
    std::string error;
    return decodeBank(bytes.data(), bytes.size(), id, out, error) ? "" : error;
}

} // namespace

TEST(FxFile, ProgramFileHeaderAndRoundTrip) {
    const std::vector<uint8_t> bytes = programBytes();
    ASSERT_EQ(bytes.size(), 60u + 1000u);
    EXPECT_EQ(be32(bytes, 0), 0x43636e4bu); // 'CcnK'
    EXPECT_EQ(be32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(be32(bytes, 8), 0x46504368u); // 'FPCh'
    EXPECT_EQ(be32(bytes, 12), 1u);
    EXPECT_EQ(be32(bytes, 16), uint32_t(kId));
    EXPECT_EQ(be32(bytes, 20), 3u);
    EXPECT_EQ(be32(bytes, 24), 263u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[28])), "05 Kit - Gritchy IDM");
    EXPECT_EQ(bytes[28 + 27], 0);
    EXPECT_EQ(be32(bytes, 56), 1000u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 60, bytes.end()), someChunk(1000));

    FxProgramFile back;
    std::string error;
    ASSERT_TRUE(decodeProgram(bytes.data(), bytes.size(), kId, back, error)) << error;
    EXPECT_EQ(back.fxVersion, 3);
    EXPECT_EQ(back.numParams, 263);
    EXPECT_EQ(back.name, "05 Kit - Gritchy IDM");
    EXPECT_EQ(back.chunk, someChunk(1000));

    // A name longer than the field keeps its terminator.
    back.name = std::string(40, 'x');
    std::vector<uint8_t> longName;
    ASSERT_TRUE(encodeProgram(back, longName, error));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&longName[28])), std::string(27, 'x'));
}

TEST(FxFile, BankFileHeaderAndRoundTrip) {
    const std::vector<uint8_t> bytes = bankBytes();
    ASSERT_EQ(bytes.size(), 160u + 3000u);
    EXPECT_EQ(be32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(be32(bytes, 8), 0x46424368u); // 'FBCh'
    EXPECT_EQ(be32(bytes, 12), 1u);
    EXPECT_EQ(be32(bytes, 16), uint32_t(kId));
    EXPECT_EQ(be32(bytes, 24), 48u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 28, bytes.begin() + 156),
              std::vector<uint8_t>(128, 0));
    EXPECT_EQ(be32(bytes, 156), 3000u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 160, bytes.end()), someChunk(3000));

    FxBankFile back;
    std::string error;
    ASSERT_TRUE(decodeBank(bytes.data(), bytes.size(), kId, back, error)) << error;
    EXPECT_EQ(back.version, 1);
    EXPECT_EQ(back.currentProgram, -1);
    EXPECT_EQ(back.numPrograms, 48);
    EXPECT_EQ(back.chunk, someChunk(3000));

    // Version 2 keeps the current program at the start of the reserved bytes.
    std::vector<uint8_t> v2 = bytes;
    setBe32(v2, 12, 2);
    setBe32(v2, 28, 7);
    ASSERT_TRUE(decodeBank(v2.data(), v2.size(), kId, back, error)) << error;
    EXPECT_EQ(back.version, 2);
    EXPECT_EQ(back.currentProgram, 7);
    EXPECT_EQ(back.chunk, someChunk(3000));

    // Bytes after the announced end are not part of the preset.
    std::vector<uint8_t> padded = bytes;
    padded.resize(padded.size() + 16, 0xEE);
    ASSERT_TRUE(decodeBank(padded.data(), padded.size(), kId, back, error)) << error;
    EXPECT_EQ(back.chunk, someChunk(3000));
}

TEST(FxFile, TruncatedFilesAreRefusedWhereverTheyEnd) {
    const std::vector<uint8_t> program = programBytes();
    for (size_t cut : {size_t(0), size_t(3), size_t(7), size_t(12), size_t(30), size_t(56),
                       size_t(59), size_t(60), size_t(61), program.size() - 1}) {
        std::vector<uint8_t> bytes(program.begin(), program.begin() + cut);
        const std::string error = programError(bytes);
        EXPECT_FALSE(error.empty()) << "program cut at " << cut;
        if (cut >= 4) {
            EXPECT_NE(error.find("truncated"), std::string::npos) << error;
        }
    }
    const std::vector<uint8_t> bank = bankBytes();
    for (size_t cut : {size_t(0), size_t(8), size_t(100), size_t(156), size_t(159), size_t(160),
                       size_t(1000), bank.size() - 1}) {
        std::vector<uint8_t> bytes(bank.begin(), bank.begin() + cut);
        EXPECT_FALSE(bankError(bytes).empty()) << "bank cut at " << cut;
    }
    FxProgramFile out;
    std::string error;
    EXPECT_FALSE(decodeProgram(nullptr, 0, kId, out, error));
}

TEST(FxFile, CorruptHeadersAreRefusedWithTheReason) {
    struct Case {
        const char* what;
        size_t offset;
        uint32_t value;
        const char* message;
    } const programCases[] = {
        {"chunk magic", 0, 0x52494646, "does not start with 'CcnK'"},
        {"parameter list", 8, 0x4678436b, "parameter values ('FxCk')"},
        {"bank in a program file", 8, 0x46424368, "not a program file: byte 8 says it is a bank"},
        {"unknown kind", 8, 0x00000001, "unknown type 0x00000001"},
        {"version", 12, 2, "version 2 at byte 12 is not supported"},
        {"byteSize too large", 4, 60 + 1000 - 8 + 1, "byteSize at byte 4 announces 1061 bytes"},
        {"byteSize too small", 4, 60, "ends the file before the chunk"},
        {"chunkSize too large", 56, 1001, "chunkSize at byte 56 announces 1001 bytes"},
        {"chunkSize negative", 56, 0xFFFFFFFF, "chunkSize at byte 56 announces 4294967295"},
        {"empty chunk", 56, 0, "chunk is empty"},
    };
    for (const Case& c : programCases) {
        std::vector<uint8_t> bytes = programBytes();
        setBe32(bytes, c.offset, c.value);
        EXPECT_NE(programError(bytes).find(c.message), std::string::npos)
            << c.what << ": " << programError(bytes);
    }
    const Case bankCases[] = {
        {"program in a bank file", 8, 0x46504368, "not a bank file"},
        {"parameter bank", 8, 0x4678426b, "('FxBk')"},
        {"version", 12, 3, "version 3 at byte 12 is not supported (1 and 2 are)"},
        {"chunkSize too large", 156, 3001, "chunkSize at byte 156 announces 3001 bytes"},
    };
    for (const Case& c : bankCases) {
        std::vector<uint8_t> bytes = bankBytes();
        setBe32(bytes, c.offset, c.value);
        EXPECT_NE(bankError(bytes).find(c.message), std::string::npos)
            << c.what << ": " << bankError(bytes);
    }
}

TEST(FxFile, FilesOfAnotherPlugInAreRefused) {
    EXPECT_NE(programError(programBytes(), 0x41424344)
                  .find("made for the plug-in 'VXkv', not "
                        "for 'ABCD'"),
              std::string::npos)
        << programError(programBytes(), 0x41424344);
    EXPECT_NE(bankError(bankBytes(), 1).find("not for 0x00000001"), std::string::npos);
}

class FxFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kavrel_fx_file_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::vector<uint8_t> contents(const std::string& name) const {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    std::string dir;
};

TEST_F(FxFileOnDisk, WritesReadsAndReplacesFiles) {
    FxBankFile bank;
    std::string error;
    const std::vector<uint8_t> original = bankBytes();
    ASSERT_TRUE(decodeBank(original.data(), original.size(), kId, bank, error));
    const std::string path = dir + "/bank.fxb";
    { std::ofstream(path) << "an older file, longer than nothing"; }
    ASSERT_TRUE(writeBankFile(path, bank, error)) << error;
    EXPECT_EQ(contents("bank.fxb"), original);
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));

    FxBankFile back;
    ASSERT_TRUE(readBankFile(path, kId, back, error)) << error;
    EXPECT_EQ(back.chunk, bank.chunk);

    // The file's name leads every message about it.
    FxProgramFile program;
    EXPECT_FALSE(readProgramFile(path, kId, program, error));
    EXPECT_EQ(error.rfind(path + ": not a program file", 0), 0u) << error;
    EXPECT_FALSE(readBankFile(dir + "/missing.fxb", kId, back, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
    EXPECT_FALSE(readBankFile(dir, kId, back, error));
    EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
    EXPECT_FALSE(writeBankFile(dir + "/no/such/folder/bank.fxb", bank, error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}

// The real plug-in, loaded in-process as a host loads it.
class FxFileWithPlugin : public FxFileOnDisk {
protected:
    void SetUp() override {
        FxFileOnDisk::SetUp();
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        std::string error;
        ASSERT_TRUE(host.load(KAVREL_PLUGIN_FILE, error)) << error;
        // As in the tools: the library stays mapped, so the runtime it carries is not orphaned.
        dlopen(KAVREL_PLUGIN_FILE, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        host.start(44100.0f, 512);
    }
    PluginHost host;
};

TEST_F(FxFileWithPlugin, CapturesAndRestoresTheBankAndPrograms) {
    FxBankFile bank;
    std::string error;
    ASSERT_TRUE(captureBank(host, bank, error)) << error;
    EXPECT_EQ(bank.fxID, kId);
    EXPECT_EQ(bank.numPrograms, 48);
    FxProgramFile program;
    host.dispatch(vst::effSetProgram, 0, 24);
    ASSERT_TRUE(captureProgram(host, program, error)) << error;
    EXPECT_EQ(program.name, "24 Set - Light House");
    EXPECT_EQ(program.numParams, host.effect()->numParams);

    // Program 24 copied into slot 3: the bank changes there and comes back the same when
    // reloaded.
    host.dispatch(vst::effSetProgram, 0, 3);
    ASSERT_TRUE(applyProgram(host, program, error)) << error;
    EXPECT_EQ(programNames(host)[3], "24 Set - Light House");
    FxBankFile changed;
    ASSERT_TRUE(captureBank(host, changed, error));
    EXPECT_NE(changed.chunk, bank.chunk);
    ASSERT_TRUE(applyBank(host, bank, error)) << error;
    EXPECT_EQ(programNames(host)[3], "03 Kit - Heavy Duty");
    FxBankFile again;
    ASSERT_TRUE(captureBank(host, again, error));
    EXPECT_EQ(again.chunk, bank.chunk);

    // A version 2 bank brings back its current program.
    bank.version = 2;
    bank.currentProgram = 11;
    ASSERT_TRUE(applyBank(host, bank, error)) << error;
    EXPECT_EQ(host.dispatch(vst::effGetProgram), 11);
}

TEST_F(FxFileWithPlugin, ReportsChunksThePlugInRefuses) {
    FxBankFile bank;
    std::string error;
    ASSERT_TRUE(captureBank(host, bank, error));
    const std::vector<std::string> before = programNames(host);

    FxBankFile garbage = bank;
    garbage.chunk = someChunk(5000);
    EXPECT_FALSE(applyBank(host, garbage, error));
    EXPECT_NE(error.find("the plug-in refused the bank chunk (5000 bytes)"), std::string::npos)
        << error;
    FxProgramFile program{kId, 1, 263, "x", someChunk(100)};
    EXPECT_FALSE(applyProgram(host, program, error));
    EXPECT_NE(error.find("refused the program chunk"), std::string::npos) << error;
    program.fxID = 0x41424344;
    EXPECT_FALSE(applyProgram(host, program, error));
    EXPECT_NE(error.find("made for the plug-in 'ABCD'"), std::string::npos) << error;
    EXPECT_EQ(programNames(host), before);
}

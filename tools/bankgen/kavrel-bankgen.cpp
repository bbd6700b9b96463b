// Builds the factory bank from its readable sources with the plug-in's own chunk writer.
//   kavrel-bankgen --out factory.fxb resources/factory/*.txt
// The sources are taken in file-name order; there must be exactly 48.
#include "bankgen/FactorySource.h"
#include "core/KavrelChunk.h"
#include "vst/vst24.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

void putBigEndian(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value >> 24);
    out[at + 1] = static_cast<uint8_t>(value >> 16);
    out[at + 2] = static_cast<uint8_t>(value >> 8);
    out[at + 3] = static_cast<uint8_t>(value);
}

} // namespace

int main(int argc, char** argv) {
    std::string outPath;
    std::vector<std::string> sources;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc)
            outPath = argv[++i];
        else
            sources.push_back(arg);
    }
    if (outPath.empty() || sources.empty()) {
        std::fprintf(stderr, "usage: kavrel-bankgen --out BANK.fxb SOURCE.txt...\n");
        return 2;
    }
    std::sort(sources.begin(), sources.end(), [](const std::string& a, const std::string& b) {
        return a.substr(a.find_last_of('/') + 1) < b.substr(b.find_last_of('/') + 1);
    });
    if (sources.size() != 48) {
        std::fprintf(stderr, "kavrel-bankgen: %zu sources given, the bank needs 48\n",
                     sources.size());
        return 1;
    }

    KavrelParameterManager manager;
    FactorySource parser(manager);
    auto programs = std::make_unique<KavrelProgram[]>(sources.size());
    size_t chunkSize = 0;
    for (size_t i = 0; i < sources.size(); ++i) {
        std::ifstream file(sources[i]);
        if (!file) {
            std::fprintf(stderr, "kavrel-bankgen: cannot read %s\n", sources[i].c_str());
            return 1;
        }
        std::stringstream text;
        text << file.rdbuf();
        std::string error;
        if (!parser.parse(text.str(), programs[i], error)) {
            std::fprintf(stderr, "%s: %s\n", sources[i].c_str(), error.c_str());
            return 1;
        }
        chunkSize += kavrel::chunk::programSize(programs[i]);
    }

    std::vector<uint8_t> bank(vst::kFxbChunkOffset + chunkSize, 0);
    putBigEndian(bank, 0, static_cast<uint32_t>(vst::kCcnKMagic));
    putBigEndian(bank, 4, static_cast<uint32_t>(bank.size() - 8));
    putBigEndian(bank, 8, static_cast<uint32_t>(vst::kFxbChunkMagic));
    putBigEndian(bank, 12, 1);
    putBigEndian(bank, 16, static_cast<uint32_t>(vst::fourCC('V', 'X', 'k', 'v')));
    putBigEndian(bank, 20, 1);
    putBigEndian(bank, 24, 263); // what the field has always held; readers ignore it
    putBigEndian(bank, 156, static_cast<uint32_t>(chunkSize));
    uint8_t* out = bank.data() + vst::kFxbChunkOffset;
    for (size_t i = 0; i < sources.size(); ++i) {
        kavrel::chunk::writeProgram(programs[i], out);
        out += kavrel::chunk::programSize(programs[i]);
    }
    std::ofstream file(outPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bank.data()),
               static_cast<std::streamsize>(bank.size()));
    if (!file) {
        std::fprintf(stderr, "kavrel-bankgen: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}

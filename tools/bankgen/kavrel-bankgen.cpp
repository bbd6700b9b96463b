// Builds the factory bank from its readable sources with the plug-in's own chunk writer, as a
// compact chunk of one deflated piece per program: the form the plug-in keeps its programs in.
//   kavrel-bankgen --out factory.fxb resources/factory/*.txt
// The sources are taken in file-name order; there must be exactly 48.
#include "bankgen/FactorySource.h"
#include "core/KavrelChunk.h"
#include "core/KavrelCompactChunk.h"
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
    }

    std::vector<std::vector<uint8_t>> deflated(sources.size());
    std::vector<kavrel::chunk::Piece> pieces(sources.size());
    for (size_t i = 0; i < sources.size(); ++i) {
        std::vector<uint8_t> legacy(kavrel::chunk::programSize(programs[i]));
        kavrel::chunk::writeProgram(programs[i], legacy.data());
        if (!kavrel::chunk::deflatePiece(legacy.data(), legacy.size(), deflated[i],
                                         kavrel::chunk::kSmallestPieceLevel)) {
            std::fprintf(stderr, "kavrel-bankgen: cannot pack %s\n", sources[i].c_str());
            return 1;
        }
        pieces[i].bytes = deflated[i].data();
        pieces[i].size = static_cast<uint32_t>(deflated[i].size());
        pieces[i].legacySize = static_cast<uint32_t>(legacy.size());
        pieces[i].crc = kavrel::chunk::pieceChecksum(deflated[i].data(), deflated[i].size());
    }
    std::vector<uint8_t> chunk;
    if (!kavrel::chunk::encodePieces(pieces.data(), pieces.size(), 0, chunk)) {
        std::fprintf(stderr, "kavrel-bankgen: cannot pack the bank\n");
        return 1;
    }

    std::vector<uint8_t> bank(vst::kFxbChunkOffset + chunk.size(), 0);
    putBigEndian(bank, 0, static_cast<uint32_t>(vst::kCcnKMagic));
    putBigEndian(bank, 4, static_cast<uint32_t>(bank.size() - 8));
    putBigEndian(bank, 8, static_cast<uint32_t>(vst::kFxbChunkMagic));
    putBigEndian(bank, 12, 1);
    putBigEndian(bank, 16, static_cast<uint32_t>(vst::fourCC('V', 'X', 'k', 'v')));
    putBigEndian(bank, 20, 1);
    putBigEndian(bank, 24, 263); // what the field has always held; readers ignore it
    putBigEndian(bank, 156, static_cast<uint32_t>(chunk.size()));
    std::copy(chunk.begin(), chunk.end(), bank.begin() + vst::kFxbChunkOffset);
    std::ofstream file(outPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bank.data()),
               static_cast<std::streamsize>(bank.size()));
    if (!file) {
        std::fprintf(stderr, "kavrel-bankgen: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}

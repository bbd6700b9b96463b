#include "host/ChunkForm.h"

#include "core/KavrelCompactChunk.h"

namespace kavrel::host {

bool parseChunkForm(const std::string& text, ChunkForm& out) {
    if (text == "compact")
        out = ChunkForm::Compact;
    else if (text == "legacy")
        out = ChunkForm::Legacy;
    else
        return false;
    return true;
}

const char* chunkFormName(ChunkForm form) {
    switch (form) {
    case ChunkForm::Compact:
        return "compact";
    case ChunkForm::Legacy:
        return "legacy";
    case ChunkForm::AsHandedOut:
        break;
    }
    return "as handed out";
}

ChunkForm chunkFormOf(const std::vector<uint8_t>& chunk) {
    return chunk::isCompact(chunk.data(), chunk.size()) ? ChunkForm::Compact : ChunkForm::Legacy;
}

bool convertChunk(std::vector<uint8_t>& chunk, ChunkForm form, int32_t program,
                  std::string& error) {
    const bool compact = chunk::isCompact(chunk.data(), chunk.size());
    if (form == ChunkForm::AsHandedOut || compact == (form == ChunkForm::Compact)) return true;
    std::vector<uint8_t> converted;
    if (compact) {
        int32_t recorded = 0;
        if (!chunk::decodeCompact(chunk.data(), chunk.size(), converted, recorded)) {
            error = "the compact chunk (" + std::to_string(chunk.size()) +
                    " bytes) is damaged and cannot be expanded";
            return false;
        }
    } else if (!chunk::encodeCompact(chunk.data(), chunk.size(), program, converted)) {
        error = "a chunk of " + std::to_string(chunk.size()) + " bytes cannot be packed";
        return false;
    }
    chunk.swap(converted);
    return true;
}

} // namespace kavrel::host

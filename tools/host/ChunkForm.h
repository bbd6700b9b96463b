#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kavrel::host {

// Kavrel hands out its state compact (deflated, with the program that was current); releases
// before that read only the legacy layout. The preset tools write either, so that a bank can
// go back to an older installation.
enum class ChunkForm {
    AsHandedOut, // whatever the plug-in gave
    Compact,
    Legacy,
};

// "compact" or "legacy".
bool parseChunkForm(const std::string& text, ChunkForm& out);
const char* chunkFormName(ChunkForm form);
// The form a chunk is in: Compact or Legacy.
ChunkForm chunkFormOf(const std::vector<uint8_t>& chunk);

// Rewrites a state chunk in the form asked for: a compact chunk expands to the legacy layout,
// a legacy one is packed recording `program` as current (-1 for a program chunk). A chunk already
// in that form is left alone. Fails, leaving the chunk as it was, when a compact chunk is damaged.
bool convertChunk(std::vector<uint8_t>& chunk, ChunkForm form, int32_t program, std::string& error);

} // namespace kavrel::host

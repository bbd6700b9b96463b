#pragma once
#include <filesystem>
#include <string>
#include <vector>

class Kavrel;

namespace kavrel::exporting {

// One voice's hit at full velocity from `source`'s current program: stereo, interleaved, at
// the source's sample rate, from the hit to where it falls below -90 dBFS for good (at most
// ten seconds). Mute and solo are left out: a kit exports every voice whatever is heard live.
// Renders on an engine of its own on the calling thread.
struct OneShot {
    int sampleRate = 44100;
    std::vector<float> frames; // left, right, left, ...
};
OneShot renderOneShot(Kavrel& source, int voice);

// Writes one voice's hit as a 24-bit WAV file.
bool exportOneShot(Kavrel& source, int voice, const std::filesystem::path& path,
                   std::string& error);

// Writes every voice's hit into a folder named after the program inside `parent` (created if
// need be), as "<program> - <voice>.wav"; `folder` is the kit's folder.
bool exportKit(Kavrel& source, const std::filesystem::path& parent, std::filesystem::path& folder,
               std::string& error);

} // namespace kavrel::exporting

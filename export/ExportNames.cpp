#include "export/ExportNames.h"

#include "platform/KavrelPlatform.h"

#include <cctype>
#include <cstring>

namespace kavrel::exporting {
namespace {

// Length of the UTF-8 sequence starting at `at`, or 0 when the bytes there are not one.
size_t utf8Sequence(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = lead >= 0xf0 && lead <= 0xf4 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
    if (lead >= 0xf5 || length == 0 || at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((byte(at + i) & 0xc0) != 0x80) return 0;
    return length;
}

bool isReservedDeviceName(const std::string& name) {
    // Windows reserves these with any extension too ("nul.wav"), and with trailing spaces.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const char* const fixed[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* reserved : fixed)
        if (stem == reserved) return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '0' && stem[3] <= '9';
}

} // namespace

std::filesystem::path exportFolder() {
    const std::filesystem::path documents = platform::documentsFolder();
    if (documents.empty()) return {};
    return documents / "Kavrel Exports";
}

std::string safeFileName(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            const bool refused = c < 0x20 || c == 0x7f || std::strchr("<>:\"/\\|?*", c) != nullptr;
            out += refused ? '_' : static_cast<char>(c);
            ++i;
        } else if (size_t length = utf8Sequence(name, i)) {
            out.append(name, i, length);
            i += length;
        } else {
            // Older banks carry names in a single-byte code page; Latin-1 keeps their letters.
            out += static_cast<char>(0xc0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3f));
            ++i;
        }
    }
    // Windows drops trailing dots and spaces, so "Kit." and "Kit" would be one file; leading
    // spaces are as easily lost in a file dialog.
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
    size_t start = out.find_first_not_of(' ');
    out.erase(0, start == std::string::npos ? out.size() : start);
    if (out.empty()) return "Untitled";
    if (isReservedDeviceName(out)) out += '_';
    return out;
}

const char* exportVoiceName(int voice) {
    static const char* const names[] = {"Kickdrum", "Snare 8",  "Snare 9",    "Low Tom",
                                        "Mid Tom",  "High Tom", "Closed Hat", "Open Hat",
                                        "Cymbal",   "Rimshot",  "Clap",       "Cowbell"};
    return voice >= 0 && voice < 12 ? names[voice] : "Voice";
}

std::string oneShotFileName(const std::string& programName, int voice) {
    return safeFileName(programName) + " - " + exportVoiceName(voice) + ".wav";
}

std::filesystem::path pathFromUtf8(const std::string& name) {
    return std::filesystem::u8path(name);
}

} // namespace kavrel::exporting

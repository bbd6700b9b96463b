#pragma once
#include <filesystem>
#include <string>

// Where exports go and what they are called.
namespace kavrel::exporting {

// "Kavrel Exports" in the user's documents folder; empty when the platform names none.
std::filesystem::path exportFolder();

// A name any file system takes for a file or folder: characters Windows refuses and control
// characters become '_', trailing dots and spaces go, reserved device names (CON, COM1, ...)
// get a '_' appended, bytes that are not UTF-8 are read as Latin-1, and an empty name becomes
// "Untitled". The result is UTF-8.
std::string safeFileName(const std::string& name);

// The name of a voice as the export files and tracks show it.
const char* exportVoiceName(int voice);

// "<program> - <voice>.wav", the program's name made safe as for its kit's folder.
std::string oneShotFileName(const std::string& programName, int voice);

// A UTF-8 name as a path, on every platform.
std::filesystem::path pathFromUtf8(const std::string& name);

} // namespace kavrel::exporting

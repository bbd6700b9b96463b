#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>

// Services that differ between Windows and Linux, one implementation per platform.
namespace kavrel::platform {

// The machine-wide folder that holds the plug-in's settings (the learned MIDI controllers):
// "%ALLUSERSPROFILE%\Application Data\Quellmark\" on Windows, $XDG_CONFIG_HOME/Quellmark/
// (or ~/.config/Quellmark/) on Linux. Empty when the environment does not say where.
std::filesystem::path settingsFolder();

// The user's documents folder: the Documents known folder on Windows; $XDG_DOCUMENTS_DIR, or
// ~/Documents, on Linux. Empty when the environment does not say where.
std::filesystem::path documentsFolder();

// A resource carried inside the plug-in's own library, by type and numeric name. The bytes stay
// valid while the library is loaded. False when the library carries no such resource.
bool loadModuleResource(const char* type, int id, const uint8_t** data, size_t* size);

} // namespace kavrel::platform

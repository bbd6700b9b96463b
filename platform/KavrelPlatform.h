#pragma once
#include <filesystem>

// Services that differ between Windows and Linux, one implementation per platform.
namespace kavrel::platform {

// The machine-wide folder that holds the plug-in's settings (the learned MIDI controllers):
// "%ALLUSERSPROFILE%\Application Data\Quellmark\" on Windows, $XDG_CONFIG_HOME/Quellmark/
// (or ~/.config/Quellmark/) on Linux. Empty when the environment does not say where.
std::filesystem::path settingsFolder();

} // namespace kavrel::platform

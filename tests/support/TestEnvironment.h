#pragma once
#include <filesystem>
#include <string>

namespace kavrel::test {

// Points the plug-in's machine-wide settings folder at a fresh temporary folder for this
// process (XDG_CONFIG_HOME on Linux, ALLUSERSPROFILE on Windows), so no test ever reads or
// writes the user's real MIDI assignments. Returns the folder the plug-in will use.
std::filesystem::path isolateSettingsFolder();

void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);

} // namespace kavrel::test

#include "platform/KavrelPlatform.h"

#include <cstdlib>

std::filesystem::path kavrel::platform::settingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::filesystem::path(config) / "Quellmark";
    const char* home = std::getenv("HOME");
    if (home && home[0]) return std::filesystem::path(home) / ".config" / "Quellmark";
    return {};
}

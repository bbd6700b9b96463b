#include "platform/KavrelPlatform.h"

#include <cstdlib>

std::filesystem::path kavrel::platform::documentsFolder() {
    // Only an absolute path counts: a relative one would land wherever the host runs.
    const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
    if (documents && documents[0] == '/') return std::filesystem::path(documents);
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::filesystem::path(home) / "Documents";
    return {};
}

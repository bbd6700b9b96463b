#include "platform/KavrelPlatform.h"

#include <knownfolders.h>
#include <shlobj.h>
#include <windows.h>

std::filesystem::path kavrel::platform::documentsFolder() {
    // The known folder rather than %USERPROFILE%\Documents: users move it, often to another
    // drive or a synchronised folder.
    PWSTR path = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_DEFAULT, nullptr, &path)) &&
        path && path[0])
        folder = std::filesystem::path(path);
    CoTaskMemFree(path);
    return folder;
}

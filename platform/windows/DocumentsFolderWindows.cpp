#include "platform/KavrelPlatform.h"

#include <windows.h>
// After windows.h, which the shell headers need first.
#include <shlobj.h>

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

#include "platform/KavrelPlatform.h"

#include <windows.h>

std::filesystem::path kavrel::platform::settingsFolder() {
    // Wide characters, so that a profile path outside the ANSI code page still works.
    wchar_t expanded[MAX_PATH];
    DWORD length =
        ExpandEnvironmentStringsW(L"%ALLUSERSPROFILE%\\Application Data", expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return {};
    // An unset variable stays unexpanded; there is no folder to use then.
    if (expanded[0] == L'%') return {};
    return std::filesystem::path(expanded) / L"Quellmark";
}

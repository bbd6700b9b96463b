#include "platform/KavrelPlatform.h"

#include <windows.h>

namespace {
// The module this code was linked into: the plug-in DLL, not the host's executable.
HMODULE ownModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ownModule), &module);
    return module;
}
} // namespace

bool kavrel::platform::loadModuleResource(const char* type, int id, const uint8_t** data,
                                          size_t* size) {
    HMODULE module = ownModule();
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!info) return false;
    HGLOBAL handle = LoadResource(module, info);
    if (!handle) return false;
    const void* bytes = LockResource(handle);
    DWORD length = SizeofResource(module, info);
    if (!bytes || length == 0) return false;
    *data = static_cast<const uint8_t*>(bytes);
    *size = length;
    return true;
}

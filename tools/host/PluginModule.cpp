#include "host/PluginModule.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kavrel::host {

PluginModule::~PluginModule() {
    unload();
}

void* PluginModule::symbol(const char* name) const {
    if (!handle) return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
    return dlsym(handle, name);
#endif
}

bool PluginModule::load(const std::string& path, std::string& error) {
    unload();
#if defined(_WIN32)
    handle = LoadLibraryA(path.c_str());
    if (!handle) {
        error = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
        return false;
    }
#else
    // A path without a slash would be searched on the library path, not in the folder.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    // RTLD_NODELETE: like most hosts, keep the code mapped after the last close. The plug-in
    // carries its own C++ runtime, whose start-up buffers would otherwise be unmapped with
    // their only references and show up as leaks.
    handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* message = dlerror();
        error = "cannot load " + path + ": " + (message ? message : "unknown error");
        return false;
    }
#endif
    void* proc = symbol("VSTPluginMain");
    if (!proc) proc = symbol("main");
    if (!proc) {
        error = path + " exports neither VSTPluginMain nor main";
        unload();
        return false;
    }
    entry = reinterpret_cast<vst::VstPluginMainProc>(proc);
    return true;
}

void PluginModule::unload() {
    if (!handle) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
    handle = nullptr;
    entry = nullptr;
}

} // namespace kavrel::host

#pragma once
#include "vst/vst24.h"

#include <string>

namespace kavrel::host {

// A plug-in library loaded from disk the way a DAW loads it (dlopen / LoadLibrary), with its
// entry point looked up by name.
class PluginModule {
public:
    PluginModule() = default;
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // False with a message in error when the file cannot be loaded or exports no entry point.
    bool load(const std::string& path, std::string& error);
    void unload();
    bool isLoaded() const { return handle != nullptr; }

    vst::VstPluginMainProc entryPoint() const { return entry; }
    // Looks up any exported symbol; null when absent.
    void* symbol(const char* name) const;

private:
    void* handle = nullptr;
    vst::VstPluginMainProc entry = nullptr;
};

} // namespace kavrel::host

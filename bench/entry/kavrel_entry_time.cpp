// Times the plug-in's creation as a host performs it: load the library, then one call of its
// entry point, which builds an instance with the factory bank. Run it as a fresh process per
// measurement: a warm loop in one process reuses freed pages and hides the cost of the first
// touch of the instance's memory, which a host opening a project pays in full.
//   kavrel_entry_time [PLUGIN.so] [INSTANCES]
#include "vst/vst24.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>

namespace {

vst::intptr VST_CALLBACK host(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*,
                              float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : "";
    if (path.empty()) {
        path = argv[0];
        path = path.substr(0, path.find_last_of('/') + 1) + "Kavrel.so";
    }
    const int instances = argc > 2 ? std::atoi(argv[2]) : 1;
    auto start = std::chrono::steady_clock::now();
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "kavrel_entry_time: %s\n", dlerror());
        return 1;
    }
    using Entry = vst::AEffect* (*)(vst::audioMasterCallback);
    const auto entry = reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain"));
    if (!entry) {
        std::fprintf(stderr, "kavrel_entry_time: no VSTPluginMain in %s\n", path.c_str());
        return 1;
    }
    std::printf("load %.2f ms\n", millisecondsSince(start));
    for (int i = 0; i < instances; ++i) {
        start = std::chrono::steady_clock::now();
        vst::AEffect* effect = entry(&host);
        const double ms = millisecondsSince(start);
        if (!effect) {
            std::fprintf(stderr, "kavrel_entry_time: the entry point returned no instance\n");
            return 1;
        }
        std::printf("instance %d %.2f ms\n", i + 1, ms);
    }
    // The instances stay alive, as in a host with several drum tracks open.
    return 0;
}

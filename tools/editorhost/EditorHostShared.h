// What the editor test hosts of both platforms do alike: their arguments, what they read from
// the plug-in, how they compare pixels and how they give up. The windows stay per platform.
#pragma once

#include "core/KavrelChunk.h"
#include "core/KavrelCompactChunk.h"
#include "host/PluginHost.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace editorhost {

struct Options {
    std::string plugin;
    std::string reference;
    std::string save;
    std::string desktop; // only where the platform has desktops
    int cycles = 100;
    int instances = 3;
};

// Fills the options from the command line; false, after saying which argument, when one is
// not understood. The platform checks what is missing and prints its own usage.
inline bool parseArguments(int argc, char** argv, Options& o, bool acceptDesktop) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if (a == "--reference" && more)
            o.reference = argv[++i];
        else if (a == "--save" && more)
            o.save = argv[++i];
        else if (acceptDesktop && a == "--desktop" && more)
            o.desktop = argv[++i];
        else if (a == "--cycles" && more)
            o.cycles = std::atoi(argv[++i]);
        else if (a == "--instances" && more)
            o.instances = std::atoi(argv[++i]);
        else if (o.plugin.empty() && a[0] != '-')
            o.plugin = a;
        else {
            std::fprintf(stderr, "unknown argument %s\n", a.c_str());
            return false;
        }
    }
    return true;
}

// Whether two 0x00RRGGBB pixels differ by more than a small tolerance in any channel.
inline bool pixelDiffers(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > 2 || d < -2) return true;
    }
    return false;
}

// One host per instance, each loaded from the options' plug-in and started; false, with the
// loader's error, when one does not load.
inline bool startHosts(const Options& o,
                       std::vector<std::unique_ptr<kavrel::host::PluginHost>>& hosts,
                       std::string& error) {
    for (int i = 0; i < o.instances; ++i) {
        hosts.push_back(std::make_unique<kavrel::host::PluginHost>());
        if (!hosts.back()->load(o.plugin, error)) return false;
        hosts.back()->start(44100.0f, 512);
    }
    return true;
}

inline bool editorSize(kavrel::host::PluginHost& host, int* w, int* h) {
    vst::ERect* r = nullptr;
    if (!(host.effect()->flags & vst::effFlagsHasEditor)) return false;
    if (host.dispatch(vst::effEditGetRect, 0, 0, &r) != 1 || !r) return false;
    *w = r->right - r->left;
    *h = r->bottom - r->top;
    return *w > 0 && *h > 0;
}

// Whether a step of the playing pattern is on, from the program chunk the plug-in hands out.
inline int stepState(kavrel::host::PluginHost& host, int voice, int step) {
    void* data = nullptr;
    const auto size = host.dispatch(vst::effGetChunk, 1, 0, &data);
    if (size <= 0 || !data) return -1;
    const auto* bytes = static_cast<const uint8_t*>(data);
    auto length = static_cast<size_t>(size);
    std::vector<uint8_t> legacy;
    int32_t slot = -1;
    if (kavrel::chunk::isCompact(bytes, length)) {
        if (!kavrel::chunk::decodeCompact(bytes, length, legacy, slot)) return -1;
        bytes = legacy.data();
        length = legacy.size();
    }
    if (kavrel::chunk::validateProgram(bytes, length) == 0) return -1;
    auto program = std::make_unique<KavrelProgram>();
    kavrel::chunk::readProgram(bytes, *program);
    const float patternValue = host.effect()->getParameter(host.effect(), kavrel::kParamPattern);
    const int pattern = static_cast<int>(patternValue * 15.0f + 0.5f);
    return program->patterns[pattern].steps[voice][step] != 0;
}

inline int fail(const char* what) {
    std::fprintf(stderr, "kavrel-editor-host: %s\n", what);
    return 1;
}

} // namespace editorhost

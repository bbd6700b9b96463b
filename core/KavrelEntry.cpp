#include "core/Kavrel.h"

#include <new>

#if defined(_WIN32)
#define KAVREL_EXPORT __declspec(dllexport)
#else
#define KAVREL_EXPORT __attribute__((visibility("default")))
#endif

// The one symbol hosts look for. Older hosts look for "main" instead; on Windows the module
// definition file exports this same function under that name, on Linux the alias below does.
extern "C" KAVREL_EXPORT vst::AEffect* VSTPluginMain(vst::audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    try {
        Kavrel* plugin = new (std::nothrow) Kavrel(audioMaster);
        return plugin ? plugin->getAeffect() : nullptr;
    } catch (...) {
        // A failed allocation inside construction must not unwind into the host.
        return nullptr;
    }
}

#if !defined(_WIN32)
extern "C" KAVREL_EXPORT vst::AEffect*
kavrelLegacyMain(vst::audioMasterCallback audioMaster) __asm__("main");
vst::AEffect* kavrelLegacyMain(vst::audioMasterCallback audioMaster) {
    return VSTPluginMain(audioMaster);
}
#endif

// Loads a built plug-in the way a host does and prints what a host sees of it: identity,
// outputs, capabilities and every parameter with its name, label and display.
#include "host/PluginHost.h"

#include <cstdio>
#include <string>

using kavrel::host::PluginHost;

static std::string fourChars(vst::int32 value) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += static_cast<char>((static_cast<uint32_t>(value) >> shift) & 0xff);
    return text;
}

// One line per program: index, tempo and name, tab-separated, for scripts.
static void listPrograms(PluginHost& host) {
    vst::AEffect* effect = host.effect();
    for (int p = 0; p < effect->numPrograms; ++p) {
        host.dispatch(vst::effSetProgram, 0, p);
        std::printf("%d\t%s\t%s\n", p, host.parameterDisplay(111).c_str(),
                    host.programName().c_str());
    }
}

int main(int argc, char** argv) {
    const bool programs = argc == 3 && std::string(argv[2]) == "--programs";
    if (argc != 2 && !programs) {
        std::fprintf(stderr, "usage: %s <plug-in library> [--programs]\n", argv[0]);
        return 2;
    }
    PluginHost host;
    std::string error;
    if (!host.load(argv[1], error)) {
        std::fprintf(stderr, "kavrel-info: %s\n", error.c_str());
        return 1;
    }
    host.start(44100.0f, 512);
    if (programs) {
        listPrograms(host);
        host.close();
        return 0;
    }
    vst::AEffect* effect = host.effect();

    std::printf("Plug-in   %s\n", argv[1]);
    std::printf("Name      %s\n", host.effectName().c_str());
    std::printf("Vendor    %s (version %ld)\n", host.vendorString().c_str(),
                static_cast<long>(host.dispatch(vst::effGetVendorVersion)));
    std::printf("Product   %s\n", host.productString().c_str());
    std::printf("Unique ID '%s'  version %d  flags 0x%x  category %ld  VST %ld\n",
                fourChars(effect->uniqueID).c_str(), effect->version, effect->flags,
                static_cast<long>(host.dispatch(vst::effGetPlugCategory)),
                static_cast<long>(host.dispatch(vst::effGetVstVersion)));
    std::printf("Programs  %d  parameters %d  inputs %d  outputs %d\n", effect->numPrograms,
                effect->numParams, effect->numInputs, effect->numOutputs);
    std::printf("Program   \"%s\"\n", host.programName().c_str());

    std::printf("\nOutputs\n");
    for (int i = 0; i < effect->numOutputs; ++i) {
        vst::VstPinProperties pin{};
        if (host.dispatch(vst::effGetOutputProperties, i, 0, &pin))
            std::printf("  %2d  \"%s\"  flags %d\n", i, pin.label, pin.flags);
    }

    std::printf("\nCan do\n");
    for (const char* what : {"receiveVstEvents", "receiveVstMidiEvent", "sendVstMidiEvent",
                             "receiveVstTimeInfo", "offline"})
        std::printf("  %-20s %ld\n", what, static_cast<long>(host.canDo(what)));

    std::printf("\nParameters\n  idx  %-8s  %-8s  %-8s  value\n", "name", "label", "display");
    for (int i = 0; i < effect->numParams; ++i) {
        float value = effect->getParameter(effect, i);
        std::printf("  %3d  %-8s  %-8s  %-8s  %.4f\n", i, host.parameterName(i).c_str(),
                    host.parameterLabel(i).c_str(), host.parameterDisplay(i).c_str(), value);
    }
    host.close();
    return 0;
}

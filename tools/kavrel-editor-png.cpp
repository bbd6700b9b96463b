// Renders the editor window offscreen, through the same frame and drawing code a host window
// uses, and writes it as PNG: for tests, documentation and review.
//
//     kavrel-editor-png <file.png> [--program N]
#include "core/Kavrel.h"
#include "editor/KavrelEditor.h"
#include "host/PluginHost.h"

#include <cstdio>
#include <cstdlib>
#include <string>

static vst::AEffect* VST_CALLBACK entry(vst::audioMasterCallback audioMaster) {
    return (new Kavrel(audioMaster))->getAeffect();
}

int main(int argc, char** argv) {
    std::string out;
    int program = -1;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--program" && i + 1 < argc)
            program = std::atoi(argv[++i]);
        else if (out.empty() && !arg.empty() && arg[0] != '-')
            out = arg;
        else
            out.clear(), i = argc;
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: %s <file.png> [--program N]\n", argv[0]);
        return 2;
    }
    kavrel::host::PluginHost host;
    std::string error;
    if (!host.instantiate(&entry, error)) {
        std::fprintf(stderr, "kavrel-editor-png: %s\n", error.c_str());
        return 1;
    }
    host.start(44100.0f, 512);
    if (program >= 0) host.dispatch(vst::effSetProgram, 0, program);
    auto* plugin = static_cast<Kavrel*>(host.effect()->object);
    auto* editor = static_cast<KavrelEditor*>(plugin->getEditor());
    if (!editor || !editor->openOffscreen()) {
        std::fprintf(stderr, "kavrel-editor-png: this build cannot draw the editor\n");
        return 1;
    }
    bool saved = editor->saveToPng(out.c_str());
    host.dispatch(vst::effEditClose);
    host.close();
    if (!saved) {
        std::fprintf(stderr, "kavrel-editor-png: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

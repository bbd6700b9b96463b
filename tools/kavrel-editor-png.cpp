// Renders the editor window offscreen, through the same frame and drawing code a host window
// uses, and writes it as PNG: for tests, documentation and review.
//
//     kavrel-editor-png <file.png> [--program N] [--pattern 1..16] [--voice N]
//                       [--lane PARAM] [--drag X Y DX DY]
#include "core/Kavrel.h"
#include "editor/KavrelEditor.h"
#include "gui/CFrame.h"
#include "host/PluginHost.h"
#include "params/KavrelParams.h"

#include <cstdio>
#include <cstdlib>
#include <string>

static vst::AEffect* VST_CALLBACK entry(vst::audioMasterCallback audioMaster) {
    return (new Kavrel(audioMaster))->getAeffect();
}

int main(int argc, char** argv) {
    std::string out;
    int program = -1;
    int pattern = 0;
    int voice = -1;
    int lane = -1;
    int drag[4] = {-1, -1, 0, 0};
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--program" && i + 1 < argc)
            program = std::atoi(argv[++i]);
        else if (arg == "--pattern" && i + 1 < argc)
            pattern = std::atoi(argv[++i]);
        else if (arg == "--voice" && i + 1 < argc)
            voice = std::atoi(argv[++i]);
        else if (arg == "--lane" && i + 1 < argc)
            lane = std::atoi(argv[++i]);
        else if (arg == "--drag" && i + 4 < argc)
            for (int& v : drag) v = std::atoi(argv[++i]);
        else if (out.empty() && !arg.empty() && arg[0] != '-')
            out = arg;
        else
            out.clear(), i = argc;
    }
    if (out.empty() || pattern < 0 || pattern > 16) {
        std::fprintf(stderr,
                     "usage: %s <file.png> [--program N] [--pattern 1..16] [--voice N] "
                     "[--lane PARAM] [--drag X Y DX DY]\n",
                     argv[0]);
        return 2;
    }
    kavrel::host::PluginHost host;
    std::string error;
    if (!host.instantiate(&entry, error)) {
        std::fprintf(stderr, "kavrel-editor-png: %s\n", error.c_str());
        return 1;
    }
    host.start(44100.0f, 512);
    if (program >= 0) {
        host.dispatch(vst::effSetProgram, 0, program);
        host.process(512); // a program change lands between two blocks
    }
    if (pattern > 0) {
        vst::AEffect* effect = host.effect();
        effect->setParameter(effect, kavrel::kParamPattern, (pattern - 1) / 15.0f);
        host.process(512);
    }
    auto* plugin = static_cast<Kavrel*>(host.effect()->object);
    auto* editor = static_cast<KavrelEditor*>(plugin->getEditor());
    if (!editor || !editor->openOffscreen()) {
        std::fprintf(stderr, "kavrel-editor-png: this build cannot draw the editor\n");
        return 1;
    }
    if (voice >= 0) editor->selectVoice(voice);
    // The lane of a sound parameter, as a press on its knob shows it.
    if (lane >= 0) {
        editor->beginEdit(lane);
        editor->endEdit(lane);
    }
    // A press at a point and a move held there: the picture shows the gesture in progress.
    if (drag[0] >= 0) {
        CPoint at(drag[0], drag[1]);
        editor->getFrame()->onMouseDown(at, kLButton);
        CPoint to(drag[0] + drag[2], drag[1] + drag[3]);
        editor->getFrame()->onMouseMoved(to, kLButton);
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

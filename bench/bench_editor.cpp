// What drawing the editor costs: a full redraw of the window (background, every control,
// text), an idle when one control changed, an idle with nothing dirty, and creating the
// editor with an instance; then the real editor: a full redraw of every control, one idle
// while the sequencer plays at 250 BPM (only what changed is redrawn), and the window
// thread's time per second of playback.
//
//   kavrel_bench --benchmark_filter='Editor'
#include "core/Kavrel.h"
#include "editor/CFontrastResource.h"
#include "editor/KavrelEditor.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/CKnob.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

vst::intptr VST_CALLBACK quietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*,
                                   float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

// A caption drawn with a bitmap font, as the labelled knobs and read-outs draw theirs.
struct Caption : CView {
    CFontrastResource* font;
    Caption(const CRect& r, CFontrastResource* font) : CView(r), font(font) {}
    void draw(CDrawContext* context) override {
        font->drawString(context, CPoint(size.left, size.top), "Noise Freq 1.23 kHz");
    }
};

// The background with about as many controls as a voice page, the mixer and the transport
// show at once: 36 knobs with a pie, an outline and a caption each.
struct Scene {
    CFrame* frame;
    CKnob* first = nullptr;
    CFontrastResource font{20000};
    CBitmap background{10000};

    Scene() {
        frame = new CFrame(CRect(0, 0, 728, 595));
        frame->setBackground(&background);
        for (int i = 0; i < 36; ++i) {
            int x = 20 + (i % 12) * 58, y = 40 + (i / 12) * 170;
            auto* knob = new CKnob(CRect(x, y, x + 40, y + 40), nullptr, i, nullptr);
            knob->setValue(i / 35.0f);
            frame->addView(knob);
            frame->addView(new Caption(CRect(x, y + 44, x + 58, y + 56), &font));
            if (!first) first = knob;
        }
        frame->redrawAll();
    }
    ~Scene() { frame->forget(); }
};

void BM_EditorFullRedraw(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) scene.frame->redrawAll();
    state.SetLabel("728 x 595, 36 knobs and captions");
}
BENCHMARK(BM_EditorFullRedraw)->Unit(benchmark::kMicrosecond);

void BM_EditorIdleOneKnobChanged(benchmark::State& state) {
    Scene scene;
    float v = 0.0f;
    for (auto _ : state) {
        v = v > 0.9f ? 0.0f : v + 0.01f;
        scene.first->setValue(v);
        scene.frame->updateBackBuffer();
    }
}
BENCHMARK(BM_EditorIdleOneKnobChanged)->Unit(benchmark::kMicrosecond);

void BM_EditorIdleNothingDirty(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) benchmark::DoNotOptimize(scene.frame->updateBackBuffer());
}
BENCHMARK(BM_EditorIdleNothingDirty)->Unit(benchmark::kMicrosecond);

void BM_EditorShellIdleNothingDirty(benchmark::State& state) {
    auto plugin = std::make_unique<Kavrel>(&quietHost);
    auto* editor = static_cast<KavrelEditor*>(plugin->getEditor());
    editor->openOffscreen();
    editor->idle();
    for (auto _ : state) editor->idle();
    editor->close();
}
BENCHMARK(BM_EditorShellIdleNothingDirty)->Unit(benchmark::kMicrosecond);

void BM_EditorCreation(benchmark::State& state) {
    auto plugin = std::make_unique<Kavrel>(&quietHost);
    AEffEditor* original = plugin->getEditor();
    for (auto _ : state) {
        auto* editor = new KavrelEditor(plugin.get());
        benchmark::DoNotOptimize(editor);
        state.PauseTiming();
        delete editor;
        state.ResumeTiming();
    }
    plugin->setEditor(original);
    plugin->setEditorNotify(static_cast<KavrelEditor*>(original));
}
BENCHMARK(BM_EditorCreation)->Unit(benchmark::kMicrosecond);

// A plug-in playing its internal clock at 250 BPM on the finest grid, every voice on every
// other step, with its editor open offscreen.
struct PlayingEditor {
    std::unique_ptr<Kavrel> plugin = std::make_unique<Kavrel>(&quietHost);
    KavrelEditor* editor = static_cast<KavrelEditor*>(plugin->getEditor());
    std::vector<std::vector<float>> buffers =
        std::vector<std::vector<float>>(12, std::vector<float>(512));
    float* outputs[12];

    PlayingEditor() {
        for (int c = 0; c < 12; ++c) outputs[c] = buffers[static_cast<size_t>(c)].data();
        plugin->setSampleRate(44100.0f);
        plugin->resume();
        plugin->setParameter(kavrel::kParamStepSize, 0.0f);
        plugin->setParameter(kavrel::kParamSync, 0.5f);
        plugin->setParameter(kavrel::kParamTempo, 1.0f);
        for (int v = 0; v < 12; ++v)
            for (int s = 0; s < 32; s += 2) plugin->setStep(v, s, true);
        plugin->setParameter(kavrel::kParamPlay, 1.0f);
        editor->openOffscreen();
        editor->idle();
    }
    ~PlayingEditor() { editor->close(); }
    // What the audio thread plays between two idles of a host idling every 20 ms.
    void play20ms() {
        plugin->processReplacing(nullptr, outputs, 441);
        plugin->processReplacing(nullptr, outputs, 441);
    }
};

void BM_KavrelEditorFullRedraw(benchmark::State& state) {
    PlayingEditor scene;
    for (auto _ : state) scene.editor->getFrame()->redrawAll();
    state.SetLabel("the whole window, every control of the layout");
}
BENCHMARK(BM_KavrelEditorFullRedraw)->Unit(benchmark::kMicrosecond);

void BM_KavrelEditorIdlePlaying250(benchmark::State& state) {
    PlayingEditor scene;
    CFrame* frame = scene.editor->getFrame();
    long drawn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        scene.play20ms();
        const long before = frame->drawCount;
        state.ResumeTiming();
        scene.editor->idle();
        drawn += frame->drawCount - before;
    }
    state.counters["views/idle"] =
        benchmark::Counter(static_cast<double>(drawn), benchmark::Counter::kAvgIterations);
    state.SetLabel("20 ms of playing at 250 BPM between idles");
}
BENCHMARK(BM_KavrelEditorIdlePlaying250)->Unit(benchmark::kMicrosecond);

// One iteration is one second of playback with the host idling every 20 ms: its time is the
// window thread's cost per second (divide by 10 ms for per cent of one core).
void BM_KavrelEditorWindowPerSecondOfPlayback(benchmark::State& state) {
    PlayingEditor scene;
    for (auto _ : state) {
        for (int i = 0; i < 50; ++i) {
            state.PauseTiming();
            scene.play20ms();
            state.ResumeTiming();
            scene.editor->idle();
        }
    }
    state.SetLabel("50 idles, 250 BPM, 1 x 32");
}
BENCHMARK(BM_KavrelEditorWindowPerSecondOfPlayback)->Unit(benchmark::kMillisecond);

} // namespace

// What drawing the editor costs: a full redraw of the window (background, every control,
// text), an idle when one control changed, an idle with nothing dirty, and creating the
// editor with an instance.
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

} // namespace

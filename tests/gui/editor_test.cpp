// The editor shell through the host interface: the plug-in reports an editor, the rectangle
// comes from the background's header before and after opening, an offscreen editor shows the
// background, and reports from the audio thread wait in fixed storage for idle.
#include "editor/CFontrastResource.h"
#include "editor/KavrelEditor.h"
#include "gui/CFrame.h"
#include "gui/GuiTestSupport.h"
#include "support/AllocationCounter.h"
#include "support/InProcessPlugin.h"

using kavrel::test::InProcessPlugin;
using kavrel::test::Pixels;

namespace {

class EditorTest : public InProcessPlugin {
protected:
    void SetUp() override {
        SKIP_WITHOUT_BACKEND();
        InProcessPlugin::SetUp();
    }
    KavrelEditor* editor() { return static_cast<KavrelEditor*>(plugin->getEditor()); }
    vst::ERect rect() {
        vst::ERect* r = nullptr;
        EXPECT_EQ(host->dispatch(vst::effEditGetRect, 0, 0, &r), 1);
        return r ? *r : vst::ERect{};
    }
};

TEST_F(EditorTest, ThePlugInReportsAnEditorOfTheBackgroundsSize) {
    EXPECT_TRUE(effect->flags & vst::effFlagsHasEditor);
    ASSERT_NE(editor(), nullptr);
    vst::ERect r = rect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 728);
    EXPECT_EQ(r.bottom, 595);
    EXPECT_FALSE(editor()->isOpen());
}

TEST_F(EditorTest, CreatingAnInstanceDecodesNoImage) {
    EXPECT_FALSE(editor()->getDisplayFont()->getSheet()->isDecoded());
    EXPECT_FALSE(editor()->getMenuFont()->getSheet()->isDecoded());
    EXPECT_EQ(editor()->getDisplayFont()->getHeight(), 12);
    EXPECT_EQ(editor()->getMenuFont()->getHeight(), 11);
}

TEST_F(EditorTest, OpeningWithoutAWindowFailsCleanly) {
    EXPECT_EQ(host->dispatch(vst::effEditOpen, 0, 0, nullptr), 0);
    EXPECT_FALSE(editor()->isOpen());
    host->dispatch(vst::effEditIdle);
    host->dispatch(vst::effEditClose);
    EXPECT_EQ(rect().right, 728);
}

TEST_F(EditorTest, AnOffscreenEditorShowsTheBackground) {
    SKIP_WITHOUT_BACKEND();
    ASSERT_TRUE(editor()->openOffscreen());
    EXPECT_TRUE(editor()->isOpen());
    CFrame* frame = editor()->getFrame();
    ASSERT_NE(frame, nullptr);
    frame->redrawAll();
    Pixels shown(*frame->getBackBuffer());
    EXPECT_EQ(shown.width, 728);
    EXPECT_EQ(shown.height, 595);

    CBitmap background(KavrelEditor::kBackgroundId);
    auto reference = gui::createOffscreenContext(728, 595);
    background.draw(reference.get(), CRect(0, 0, 728, 595));
    EXPECT_EQ(shown.rgba, Pixels(*reference).rgba);

    host->dispatch(vst::effEditClose);
    EXPECT_FALSE(editor()->isOpen());
    EXPECT_EQ(editor()->getFrame(), nullptr);
    EXPECT_EQ(rect().bottom, 595);
}

TEST_F(EditorTest, ReportsWaitForIdleAndCostTheAudioThreadNoAllocation) {
    SKIP_WITHOUT_BACKEND();
    ASSERT_TRUE(editor()->openOffscreen());
    set(109, 1.0f); // playing, so steps and patterns are reported too
    std::vector<std::vector<float>> buffers(12, std::vector<float>(512));
    std::vector<float*> outputs;
    for (auto& b : buffers) outputs.push_back(b.data());
    {
        kavrel::test::AllocationCounter counter;
        for (int block = 0; block < 64; ++block) {
            plugin->setParameter(111, 0.25f); // automation arriving on the audio thread
            plugin->processReplacing(nullptr, outputs.data(), 512);
        }
        EXPECT_EQ(counter.allocations(), 0u);
    }
    EXPECT_TRUE(editor()->hasPendingParameter(111));
    host->dispatch(vst::effEditIdle);
    EXPECT_FALSE(editor()->hasPendingParameter(111));
    host->dispatch(vst::effEditClose);
}

TEST(EditorLifetimeTest, ManyInstancesOpenAndCloseTheirEditorsIndependently) {
    SKIP_WITHOUT_BACKEND();
    std::vector<std::unique_ptr<kavrel::host::PluginHost>> hosts;
    for (int i = 0; i < 3; ++i) {
        hosts.push_back(std::make_unique<kavrel::host::PluginHost>());
        std::string error;
        ASSERT_TRUE(hosts.back()->instantiate(&kavrel::test::inProcessEntry, error)) << error;
    }
    for (int round = 0; round < 10; ++round)
        for (auto& h : hosts) {
            auto* plugin = static_cast<Kavrel*>(h->effect()->object);
            auto* editor = static_cast<KavrelEditor*>(plugin->getEditor());
            ASSERT_TRUE(editor->openOffscreen());
            h->dispatch(vst::effEditIdle);
            if (round % 2) h->dispatch(vst::effEditClose);
        }
    hosts.clear(); // instances with an editor still open go away whole
}

} // namespace

// The read-outs drawn with the bitmap fonts: numbers with their formats and suffixes, dragging
// them (ten times finer on the fraction digits), the velocity read-out's "SEQ", text labels
// and their alignment, and texts that never outgrow their buffers.
#include "ControlTestSupport.h"

#include "editor/CFontrastResource.h"
#include "editor/CVXNumerical.h"
#include "editor/CVXTextDisplay.h"

#include <cmath>
#include <cstring>
#include <string>

using namespace kavrel::test;

namespace {

constexpr CColor kBackdrop{30, 30, 30, 255};

class ReadoutTest : public EditorControlTest {
protected:
    void SetUp() override {
        font = new CFontrastResource(20000);
        menuFont = new CFontrastResource(20001);
    }
    void TearDown() override {
        EditorControlTest::TearDown();
        font->forget();
        menuFont->forget();
    }
    // What a caption with this text draws at the top left of rect, alone in a frame.
    Pixels caption(const CRect& rect, CFontrastResource* f, const char* text) {
        auto* other = new CHighlightFrame(CRect(0, 0, 200, 120));
        other->setBackgroundColor(kBackdrop);
        other->addView(new CVXTextDisplay(rect, f, text));
        other->redrawAll();
        Pixels p(*other->getBackBuffer());
        other->forget();
        return p;
    }
    // Columns holding any pixel other than the backdrop, as [first, last]; {-1, -1} if none.
    static std::pair<int, int> inkedColumns(const Pixels& p) {
        int first = -1, last = -1;
        for (int x = 0; x < p.width; ++x)
            for (int y = 0; y < p.height; ++y)
                if (p.at(x, y) != kBackdrop) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }

    CFontrastResource* font = nullptr;
    CFontrastResource* menuFont = nullptr;
};

TEST_F(ReadoutTest, FormatFollowsWidthPrecisionPaddingAndAlignment) {
    CVXNumerical n(CRect(0, 0, 40, 12), nullptr, 1, font, 0, 0, "ms");
    EXPECT_STREQ(n.getFormat(), "%-3d");
    EXPECT_EQ(n.getTextPoint(), CPoint(0, 12 - font->getHeight()));
    n.setPrecision(1);
    EXPECT_STREQ(n.getFormat(), "%-3.1f");
    n.setAlignment(2);
    n.setZeroPad(true);
    EXPECT_STREQ(n.getFormat(), "%03.1f");
    n.setPrecision(0);
    n.setWidth(5);
    EXPECT_STREQ(n.getFormat(), "%05d");
    // Extreme settings still leave a format that fits its nine characters.
    n.setWidth(100000);
    n.setPrecision(100000);
    EXPECT_LE(std::strlen(n.getFormat()), 9u);
    EXPECT_TRUE(n.isTypeOf("CVXNumerical"));
    EXPECT_TRUE(n.isTypeOf("CControl"));
    EXPECT_FALSE(n.isTypeOf("CVXKavrelVelocityNumerical"));
}

TEST_F(ReadoutTest, TextsStayWithinTheirBuffersAndFormatsMustPrintOneNumber) {
    SKIP_WITHOUT_BACKEND();
    makeFrame();
    auto* n = new CVXNumerical(CRect(0, 0, 190, 12), &listener, 1, font, 0, 0,
                               "a suffix far longer than ten characters");
    frame->addControl(n);
    EXPECT_EQ(std::strlen(n->getSuffix()), 10u);
    n->setMax(127.0f);
    n->setValue(42.0f);
    render();
    EXPECT_STREQ(n->getText(), "42 a suffix f");

    n->setFormat("%s and %n"); // would read a string from a float: ignored
    EXPECT_STREQ(n->getFormat(), "%-3d");
    n->setFormat("%5.2f"); // a float format prints the value as a double, whatever the precision
    render();
    EXPECT_STREQ(n->getText(), "42.00a suffix f");
    n->setFormat("%d%%");
    render();
    EXPECT_STREQ(n->getText(), "42%a suffix f");

    n->setSuffix(nullptr);
    n->setFormat("%-60d");
    n->setValue(1.0f);
    render();
    EXPECT_EQ(std::strlen(n->getText()), 49u);

    n->setAutoFormat(false);
    std::string longText(300, 'x');
    n->setText(longText.c_str());
    render();
    EXPECT_EQ(std::string(n->getText()), std::string(49, 'x'));
}

TEST_F(ReadoutTest, ValuesFromOutsideTheRangeShowTheNearestEnd) {
    SKIP_WITHOUT_BACKEND();
    makeFrame();
    auto* n = new CVXNumerical(CRect(10, 10, 60, 22), &listener, 266, font, 0, 0, nullptr);
    n->setMin(50.0f);
    n->setMax(250.0f);
    frame->addControl(n);
    for (float v : {1.0e30f, 251.0f, -1.0e30f, 3.0f, std::nanf("")}) {
        n->setValue(v);
        render();
        EXPECT_STREQ(n->getText(), v > 100.0f ? "250" : "50 ") << v;
    }
    n->setValue(120.0f);
    Pixels shown = render();
    EXPECT_EQ(shown.rgba, caption(CRect(10, 10, 60, 22), font, "120").rgba);
}

TEST_F(ReadoutTest, DraggingUpOrRightChangesByAPercentOfTheRangePerPixel) {
    makeFrame();
    auto* n = new CVXNumerical(CRect(10, 10, 60, 22), &listener, 266, font, 0, 0, nullptr);
    n->setMin(50.0f);
    n->setMax(250.0f);
    n->setValue(120.0f);
    frame->addControl(n);
    press(12, 15);
    move(12, 10); // 5 up: 5 x 2
    EXPECT_FLOAT_EQ(n->getValue(), 130.0f);
    move(15, 11); // the larger move is 3 right
    EXPECT_FLOAT_EQ(n->getValue(), 136.0f);
    move(15, 11, kLButton | kShift); // new button word: re-based, no change
    move(15, 5, kLButton | kShift);
    EXPECT_FLOAT_EQ(n->getValue(), 148.0f);
    move(15, -200, kLButton | kShift);
    EXPECT_FLOAT_EQ(n->getValue(), 250.0f);
    move(15, -300, kLButton | kShift); // held at the maximum: nothing more to report
    release(15, -300);
    EXPECT_EQ(listener.values, (std::vector<float>{130.0f, 136.0f, 148.0f, 250.0f}));
    EXPECT_TRUE(listener.editsBalanced());
    EXPECT_EQ(press(12, 15, kRButton), kMouseEventNotHandled);
}

TEST_F(ReadoutTest, PressOnTheFractionDigitsDragsTenTimesFiner) {
    makeFrame();
    auto* n = new CVXNumerical(CRect(10, 10, 60, 22), &listener, 5, font, 0, 0, nullptr);
    n->setPrecision(1);
    n->setMax(10.0f);
    n->setValue(5.0f); // "5.0"
    frame->addControl(n);
    int whole = font->stringWidth("5.");

    press(11, 15); // on the integer digit
    move(11, 5);
    release(11, 5);
    EXPECT_NEAR(n->getValue(), 6.0f, 1e-4f);

    n->setValue(5.0f);
    press(10 + whole + 1, 15); // on the last digit
    move(10 + whole + 1, 5);
    release(10 + whole + 1, 5);
    EXPECT_NEAR(n->getValue(), 5.1f, 1e-4f);
}

TEST_F(ReadoutTest, VelocityReadoutShowsSeqAtZeroAndNumbersWhenDraggedUp) {
    SKIP_WITHOUT_BACKEND();
    makeFrame();
    CRect rect(20, 20, 42, 20 + menuFont->getHeight());
    auto* v = new CVXKavrelVelocityNumerical(rect, &listener, 214, menuFont);
    v->setMax(127.0f);
    frame->addControl(v);
    EXPECT_EQ(render().rgba, caption(rect, menuFont, "SEQ").rgba);
    v->setValue(-5.0f);
    EXPECT_EQ(render().rgba, caption(rect, menuFont, "SEQ").rgba);

    v->setValue(0.0f);
    press(25, 25);
    move(25, 15); // 10 up at 1.27 per pixel
    release(25, 15);
    EXPECT_NEAR(v->getValue(), 12.7f, 1e-3f);
    EXPECT_EQ(render().rgba, caption(rect, menuFont, "12").rgba);
    EXPECT_TRUE(listener.editsBalanced());
    EXPECT_TRUE(v->isTypeOf("CVXKavrelVelocityNumerical"));
    EXPECT_TRUE(v->isTypeOf("CVXNumerical"));

    CVXKavrelVelocityNumerical* copy = v->newCopy();
    EXPECT_EQ(menuFont->getNbReference(), 3);
    EXPECT_FLOAT_EQ(copy->getMax(), 127.0f);
    EXPECT_STREQ(copy->getFormat(), v->getFormat());
    copy->forget();
    EXPECT_EQ(menuFont->getNbReference(), 2);
}

TEST_F(ReadoutTest, TextDisplayAlignsByItsMeasuredCharacters) {
    SKIP_WITHOUT_BACKEND();
    makeFrame();
    auto* label = new CVXTextDisplay(CRect(20, 10, 120, 22), font, "Kick");
    frame->addTaggedView(label, -1);
    const int w = font->stringWidth("Kick");
    auto cols = inkedColumns(render());
    EXPECT_GE(cols.first, 20);
    EXPECT_LE(cols.second, 20 + w);

    label->setAlignment(1); // centred on 70
    cols = inkedColumns(render());
    EXPECT_GE(cols.first, 70 - w / 2);
    EXPECT_LE(cols.first, 70 - w / 2 + 1);
    EXPECT_LE(cols.second, 70 - w / 2 + w);

    label->setAlignment(2);
    cols = inkedColumns(render());
    EXPECT_GE(cols.first, 120 - w);
    EXPECT_LE(cols.second, 119);

    // Only the counted characters are measured; the whole text is drawn.
    label->setCharacterCount(2);
    cols = inkedColumns(render());
    EXPECT_GE(cols.first, 120 - font->stringWidth("Ki"));
    EXPECT_GT(cols.second, 120);
    label->setCharacterCount(1000); // more than the text: the text's length counts
    cols = inkedColumns(render());
    EXPECT_LE(cols.second, 119);

    label->setText(nullptr);
    EXPECT_EQ(inkedColumns(render()).first, -1);
}

TEST_F(ReadoutTest, FadeSetsTheSharedFontsAlphaAndTheTransparencyFlag) {
    CVXTextDisplay label(CRect(0, 0, 50, 12), font, "Snare");
    EXPECT_FALSE(label.getTransparency());
    EXPECT_EQ(font->getNbReference(), 2);
    label.setFade(100);
    EXPECT_TRUE(label.getTransparency());
    EXPECT_EQ(font->getAlpha(), 100);
    label.setFade(255);
    EXPECT_FALSE(label.getTransparency());
    EXPECT_EQ(font->getAlpha(), 255);
    EXPECT_TRUE(label.isTypeOf("CVXTextDisplay"));
    EXPECT_TRUE(label.isTypeOf("CCharacterDisplay"));
    EXPECT_TRUE(label.isTypeOf("CView"));
    EXPECT_FALSE(label.isTypeOf("CControl"));
    CVXTextDisplay* copy = label.newCopy();
    EXPECT_EQ(font->getNbReference(), 3);
    EXPECT_EQ(copy->getText(), "Snare");
    copy->forget();

    CVXTextDisplay empty(CRect(0, 0, 50, 12), nullptr, nullptr); // no font: draws nothing
    EXPECT_EQ(empty.getText(), "");
}

} // namespace

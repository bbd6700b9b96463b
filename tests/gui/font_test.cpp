// The bitmap fonts as the module carries them: the glyph maps' contents, measuring and
// fitting, drawing, and what happens without a map or a sheet.
#include "editor/CFontrastResource.h"
#include "gui/GuiTestSupport.h"
#include "platform/KavrelPlatform.h"

#include <string>
#include <vector>

using kavrel::test::Pixels;

namespace {

int sumOf(CFontrastResource& font, const std::string& text) {
    int sum = 0;
    for (unsigned char c : text) {
        FontrastGlyph g = font.getGlyph(c);
        sum += g.advance - g.overhang;
    }
    return sum;
}

TEST(FontMapTest, BothFontsCarryTheirMapsInTheModule) {
    for (int id : {20000, 20001}) {
        const uint8_t* data = nullptr;
        size_t size = 0;
        ASSERT_TRUE(kavrel::platform::loadModuleResource("FONTRAST_MAP", id, &data, &size)) << id;
        EXPECT_EQ(size, 1540u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), 8), "FONTRAST");
        ASSERT_TRUE(kavrel::platform::loadModuleResource("DATA", id, &data, &size)) << id;
        CFontrastResource font(id);
        EXPECT_EQ(font.getGlyphCount(), 95);
        EXPECT_EQ(font.getHeight(), id == 20000 ? 12 : 11);
        EXPECT_EQ(font.getSheet()->getWidth(), 256);
        EXPECT_EQ(font.getSheet()->getHeight(), 256);

        // Glyph boxes lie in the sheet, in rows a line height plus one apart from y = 1.
        for (int c = 32; c < 256; ++c) {
            FontrastGlyph g = font.getGlyph(c);
            EXPECT_LE(g.x + g.width, 256) << c;
            EXPECT_EQ((g.y - 1) % (font.getHeight() + 1), 0) << c;
            EXPECT_LE(g.overhang, 1) << c;
        }
        FontrastGlyph space = font.getGlyph(' ');
        EXPECT_EQ(space.x, 1);
        EXPECT_EQ(space.y, 1);
        EXPECT_EQ(space.width, 0);
        EXPECT_GT(space.advance, 0);
    }
}

TEST(FontMapTest, MetricsFollowTheExamplesWhereDejaVuAllows) {
    CFontrastResource display(20000);
    FontrastGlyph zero = display.getGlyph('0');
    EXPECT_EQ(zero.width, 5);
    EXPECT_EQ(zero.advance, 5);
    FontrastGlyph m = display.getGlyph('M');
    EXPECT_EQ(m.width, 7);
    EXPECT_EQ(m.advance, 7);
    FontrastGlyph j = display.getGlyph('j');
    EXPECT_EQ(j.overhang, 1);
    EXPECT_EQ(j.advance, 2);

    CFontrastResource menu(20001);
    EXPECT_EQ(menu.getGlyph(' ').advance, 3);
    EXPECT_EQ(menu.getGlyph('0').width, 6);
    EXPECT_EQ(menu.getGlyph('0').advance, 6);
    EXPECT_EQ(menu.getGlyph('R').advance, 6);
}

TEST(FontMeasureTest, WidthsSumAdvanceLessOverhang) {
    CFontrastResource font(20000);
    EXPECT_EQ(font.stringWidth("Kick"), sumOf(font, "Kick"));
    EXPECT_EQ(font.stringWidth(""), 0);
    // An overhanging glyph measures one less than its advance; the pen still moves it all.
    FontrastGlyph j = font.getGlyph('j');
    EXPECT_EQ(font.stringWidth("j"), j.advance - 1);
    EXPECT_EQ(font.stringWidth("jj"), 2 * (j.advance - 1));
    // Codes missing from the map measure (and draw) as the first glyph, the space.
    EXPECT_EQ(font.getGlyph('`').x, font.getGlyph(' ').x);
    EXPECT_EQ(font.stringWidth("`"), font.stringWidth(" "));
    EXPECT_EQ(font.stringWidth("\x80\x01"), 2 * font.stringWidth(" "));
    // The pound sign is there, under its Latin-1 byte.
    EXPECT_NE(font.getGlyph(0xA3).x, font.getGlyph(' ').x);
}

TEST(FontMeasureTest, CharsThatFitStopsWhereTheSumPassesTheWidth) {
    CFontrastResource font(20000);
    int one = font.stringWidth("1");
    EXPECT_EQ(font.charsThatFit(0, "12"), 0);
    EXPECT_EQ(font.charsThatFit(one, "12"), 1);
    EXPECT_EQ(font.charsThatFit(one - 1, "12"), 0);
    EXPECT_EQ(font.charsThatFit(font.stringWidth("12"), "12"), 2);
    EXPECT_EQ(font.charsThatFit(1000, "Tempo"), 5);
}

class FontDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_BACKEND();
        context = gui::createOffscreenContext(120, 40);
        ASSERT_TRUE(context);
        context->clear(kBlackCColor);
    }
    // The columns holding any non-black pixel, first and last; -1 when none.
    std::pair<int, int> inkColumns() const {
        Pixels p(*context);
        int first = -1, last = -1;
        for (int x = 0; x < p.width; ++x)
            for (int y = 0; y < p.height; ++y)
                if (p.at(x, y) != kBlackCColor) {
                    if (first < 0) first = x;
                    last = x;
                }
        return {first, last};
    }
    std::unique_ptr<COffscreenContext> context;
};

TEST_F(FontDrawTest, TextHangsFromItsPointAndAlignsAroundIt) {
    for (int id : {20000, 20001}) {
        CFontrastResource font(id);
        context->clear(kBlackCColor);
        font.drawString(context.get(), CPoint(10, 5), "Hi", 0);
        Pixels p(*context);
        int top = -1, bottom = -1;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                if (p.at(x, y) != kBlackCColor) {
                    if (top < 0) top = y;
                    bottom = y;
                }
        EXPECT_GE(top, 5) << id;
        EXPECT_LT(bottom, 5 + font.getHeight()) << id;
        auto [first, last] = inkColumns();
        EXPECT_GE(first, 10) << id;
        EXPECT_LT(last, 10 + font.stringWidth("Hi") + 1) << id;

        // Centred: the same pixels, shifted left by half the width (truncated).
        context->clear(kBlackCColor);
        font.drawString(context.get(), CPoint(60, 5), "Hi", 1);
        auto centred = inkColumns();
        EXPECT_EQ(centred.first, first + 50 - font.stringWidth("Hi") / 2) << id;
        context->clear(kBlackCColor);
        font.drawString(context.get(), CPoint(60, 5), "Hi", 2);
        EXPECT_EQ(inkColumns().first, first + 50 - font.stringWidth("Hi")) << id;
    }
}

TEST_F(FontDrawTest, AlphaFadesEveryLaterText) {
    CFontrastResource font(20000);
    font.drawString(context.get(), CPoint(2, 2), "H");
    Pixels full(*context);
    int bx = 0, by = 0;
    for (int y = 0; y < full.height; ++y)
        for (int x = 0; x < full.width; ++x)
            if (full.at(x, y).red > full.at(bx, by).red) bx = x, by = y;
    ASSERT_GT(full.at(bx, by).red, 200);
    context->clear(kBlackCColor);
    font.setAlpha(128);
    EXPECT_EQ(font.getAlpha(), 128);
    font.drawString(context.get(), CPoint(2, 2), "H");
    EXPECT_NEAR(Pixels(*context).at(bx, by).red, full.at(bx, by).red / 2, 3);
}

TEST_F(FontDrawTest, AMissingMapOrSheetDrawsAndMeasuresNothing) {
    CFontrastResource missing(12345);
    EXPECT_FALSE(missing.hasMap());
    EXPECT_EQ(missing.getHeight(), 0);
    EXPECT_EQ(missing.stringWidth("Tempo"), 0);
    EXPECT_EQ(missing.charsThatFit(0, "Tempo"), 5);
    EXPECT_EQ(missing.getGlyph('A').advance, 0);
    missing.drawString(context.get(), CPoint(5, 5), "Tempo", 1);
    EXPECT_EQ(inkColumns().first, -1);

    // A map cut short keeps the records it holds and reads nothing past its end.
    const uint8_t* map = nullptr;
    size_t size = 0;
    ASSERT_TRUE(kavrel::platform::loadModuleResource("FONTRAST_MAP", 20000, &map, &size));
    CFontrastResource cut(map, 20 + 16 * 3, nullptr);
    EXPECT_EQ(cut.getGlyphCount(), 3);
    cut.drawString(context.get(), CPoint(5, 5), "!!", 0); // no sheet: nothing drawn
    EXPECT_EQ(inkColumns().first, -1);
    EXPECT_GT(cut.stringWidth("!"), 0);

    // A count beyond the records present reads only those present.
    std::vector<uint8_t> inflated(map, map + size);
    inflated[10] = 200;
    CFontrastResource counted(inflated.data(), inflated.size(), nullptr);
    EXPECT_EQ(counted.getGlyphCount(), 95);
}

} // namespace

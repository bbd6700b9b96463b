// The step lanes through the frame's dispatch on an offscreen frame: toggle-and-paint across
// step buttons, drawing values across lane cells, the (tag + step) protocol with indices from
// outside refused, and the pixels of both lane styles.
#include "LaneTestSupport.h"
#include "editor/CHighlightFrame.h"
#include "editor/CVXVMultislider.h"
#include "gui/GuiTestSupport.h"

#include <cmath>
#include <set>

using kavrel::test::colorNear;
using kavrel::test::Gesture;
using kavrel::test::MultiTagRecorder;
using kavrel::test::Pixels;
using Reports = std::vector<std::pair<long, float>>;

namespace {

// The editor's kick row and lane rectangles.
constexpr CRect kRow(110, 445, 526, 457);
constexpr CRect kLane(110, 202, 526, 247);
constexpr long kRowTag = 267;
constexpr int kCell = 13;

int cellX(int step) {
    return kRow.left + kCell * step + kCell / 2;
}

// What a translucent fill leaves on an opaque background.
CColor over(const CColor& c, const CColor& bg) {
    auto mix = [&](int a, int b) {
        return static_cast<uint8_t>(std::lround((a * c.alpha + b * (255 - c.alpha)) / 255.0));
    };
    return CColor{mix(c.red, bg.red), mix(c.green, bg.green), mix(c.blue, bg.blue), 255};
}

class LaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new CHighlightFrame(CRect(0, 0, 728, 595));
        row = new CVXKavrelMultiButton(kRow, &listener, kRowTag);
        lane = new CVXKavrelMultiSlider(kLane, &listener);
        frame->addMultiControl(row);
        frame->addMultiControl(lane);
    }
    void TearDown() override { frame->forget(); }
    Gesture mouse() const { return Gesture{frame}; }
    Pixels render(const CColor& background) {
        frame->setBackgroundColor(background);
        frame->redrawAll();
        return Pixels(*frame->getBackBuffer());
    }

    MultiTagRecorder listener;
    CHighlightFrame* frame = nullptr;
    CVXKavrelMultiButton* row = nullptr;
    CVXKavrelMultiSlider* lane = nullptr;
};

TEST_F(LaneTest, PressTogglesAStepAndTheDragPaintsThatStateOntoStepsPassed) {
    row->setStepOn(5, true);
    int y = kRow.top + 6;
    mouse().press(cellX(2), y);
    for (int step = 3; step <= 7; ++step) mouse().move(cellX(step), y);
    mouse().release(cellX(7), y);

    // Step 5 was on already: nothing is sent for it.
    Reports expected{{269, 1.0f}, {270, 1.0f}, {271, 1.0f}, {273, 1.0f}, {274, 1.0f}};
    EXPECT_EQ(listener.reports, expected);
    EXPECT_EQ(row->getSteps()[2], 1);
    EXPECT_EQ(row->getSteps()[7], 1);
    EXPECT_EQ(row->getSteps()[8], 0);
    EXPECT_EQ(listener.gestures, (std::vector<std::string>{"begin", "end"}));
    EXPECT_EQ(listener.valueChangedCalls, 0);

    // Pressing an on step paints "off" back over the row, leaving off steps alone.
    listener.reports.clear();
    mouse().press(cellX(7), y);
    mouse().move(cellX(9), y);
    mouse().move(cellX(4), y);
    mouse().release(cellX(4), y);
    Reports off{{274, 0.0f}, {273, 0.0f}, {272, 0.0f}, {271, 0.0f}};
    EXPECT_EQ(listener.reports, off);
}

TEST_F(LaneTest, AQuickDragStillPaintsEveryStepItCrosses) {
    int y = kRow.top + 3;
    mouse().press(cellX(1), y);
    mouse().move(cellX(6), y + 4);
    mouse().release(cellX(6), y + 4);
    EXPECT_EQ(listener.tags(), (std::vector<long>{268, 269, 270, 271, 272, 273}));
}

TEST_F(LaneTest, StepsPastTheActiveCountTakeNoPressesAndNoPaint) {
    row->setActiveCount(16);
    int y = kRow.top + 6;
    mouse().press(cellX(20), y);
    mouse().release(cellX(20), y);
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_EQ(row->getSteps()[20], 0);

    mouse().press(cellX(14), y);
    for (int step = 15; step <= 22; ++step) mouse().move(cellX(step), y);
    mouse().release(cellX(22), y);
    EXPECT_EQ(listener.tags(), (std::vector<long>{281, 282}));

    // A press on a disabled step has no state to copy: dragging back into the active steps
    // paints nothing.
    listener.reports.clear();
    mouse().press(cellX(18), y);
    mouse().move(cellX(10), y);
    mouse().release(cellX(10), y);
    EXPECT_TRUE(listener.reports.empty());

    row->setActiveCount(99);
    EXPECT_FALSE(row->isSliderDisabled(31));
    row->setActiveCount(-3);
    EXPECT_TRUE(row->isSliderDisabled(0));
}

TEST_F(LaneTest, ADragAcrossLaneCellsSetsEachToThePointersHeight) {
    lane->setValue(0.3f);
    int centre = kLane.top + kLane.height() / 2;
    mouse().press(cellX(0), centre);
    mouse().move(cellX(1), kLane.top);
    mouse().move(cellX(2), kLane.bottom - 1);
    mouse().move(cellX(2), kLane.bottom - 1);
    mouse().release(cellX(2), kLane.bottom - 1);

    ASSERT_EQ(listener.reports.size(), 3u);
    EXPECT_EQ(listener.reports[0].first, 652);
    EXPECT_NEAR(listener.reports[0].second, 0.5f, 0.03f);
    EXPECT_EQ(listener.reports[1], std::make_pair(653L, 1.0f));
    EXPECT_EQ(listener.reports[2], std::make_pair(654L, 0.0f));
    EXPECT_EQ(lane->getValues()[1], 1.0f);
    EXPECT_EQ(listener.valueChangedCalls, 0);

    // Cells crossed between two pointer events get the height along the way.
    listener.reports.clear();
    mouse().press(cellX(10), kLane.top);
    mouse().move(cellX(14), kLane.top);
    mouse().release(cellX(14), kLane.top);
    EXPECT_EQ(listener.tags(), (std::vector<long>{662, 663, 664, 665, 666}));
    for (const auto& r : listener.reports) EXPECT_EQ(r.second, 1.0f);

    // Overshooting above or below sets the extreme; leaving sideways sets nothing.
    listener.reports.clear();
    mouse().press(cellX(20), centre);
    mouse().move(cellX(21), kLane.top - 30);
    mouse().move(cellX(22), kLane.bottom + 30);
    mouse().move(kLane.right + 5, centre);
    mouse().release(kLane.right + 5, centre);
    Reports expected{{672, lane->getValues()[20]}, {673, 1.0f}, {674, 0.0f}};
    EXPECT_EQ(listener.reports, expected);
}

TEST_F(LaneTest, TagsAndIndicesFromOutsideAreRefusedOrClamped) {
    std::set<long> tags = lane->getTags();
    ASSERT_EQ(tags.size(), 32u);
    EXPECT_EQ(*tags.begin(), 652);
    EXPECT_EQ(*tags.rbegin(), 683);
    EXPECT_EQ(frame->controlForTag(683), lane);
    EXPECT_EQ(frame->controlForTag(267 + 31), row);
    EXPECT_TRUE(row->ownsTag(298));
    EXPECT_FALSE(row->ownsTag(299));
    EXPECT_FALSE(row->ownsTag(266));

    lane->setValueAt(655, 0.7f);
    EXPECT_FLOAT_EQ(lane->getValueAt(655), 0.7f);
    lane->setValueAt(684, 0.9f); // one past the last step
    lane->setValueAt(651, 0.9f);
    EXPECT_EQ(lane->getValueAt(684), 0.0f);
    lane->setSliderValue(-1, 0.9f);
    lane->setSliderValue(32, 0.9f);
    EXPECT_EQ(lane->getSliderValue(32), 0.0f);
    lane->setSliderValue(4, 7.0f);
    EXPECT_EQ(lane->getSliderValue(4), 1.0f);
    lane->setSliderValue(4, std::nanf(""));
    EXPECT_EQ(lane->getSliderValue(4), 0.0f);

    lane->selectOnly(3);
    lane->selectOnly(40);
    lane->selectOnly(-2);
    EXPECT_TRUE(lane->isSliderSelected(3));

    std::vector<float> before = lane->getValues();
    lane->setValues(std::vector<float>{});
    EXPECT_EQ(lane->getValues(), before);
    lane->setValues(std::vector<float>{0.25f, 0.5f}); // a short list sets only what it holds
    EXPECT_EQ(lane->getValues()[0], 0.25f);
    EXPECT_EQ(lane->getValues()[1], 0.5f);
    EXPECT_FLOAT_EQ(lane->getValues()[3], before[3]);
    lane->setValues(std::vector<float>(40, 0.125f));
    EXPECT_EQ(lane->getValues().size(), 32u);

    row->setSteps(std::vector<uint8_t>{1, 0, 3});
    EXPECT_EQ(row->getSteps()[2], 1);
    row->setSteps(nullptr, 32);
    row->setStep(40, 1.0f);
    EXPECT_EQ(row->getSteps().size(), 32u);

    lane->setStyle(0x2002);
    lane->setActiveCount(12);
    CVXControl* copy = lane->newCopy();
    auto* laneCopy = dynamic_cast<CVXKavrelMultiSlider*>(copy);
    ASSERT_NE(laneCopy, nullptr);
    EXPECT_EQ(laneCopy->getValues(), lane->getValues());
    EXPECT_EQ(laneCopy->getStyle(), 0x2042);
    EXPECT_TRUE(laneCopy->isSliderDisabled(12));
    EXPECT_TRUE(laneCopy->isSliderSelected(3));
    copy->forget();

    EXPECT_TRUE(row->isTypeOf("CVXKavrelMultiButton"));
    EXPECT_TRUE(row->isTypeOf("CVXVMultibutton"));
    EXPECT_TRUE(row->isTypeOf("CVXVMultislider"));
    EXPECT_TRUE(row->isTypeOf("CVXControl"));
    EXPECT_FALSE(lane->isTypeOf("CVXVMultibutton"));
}

TEST_F(LaneTest, BarsReachTheirValueInBothStyles) {
    SKIP_WITHOUT_BACKEND();
    constexpr CColor bg{0, 0, 0, 255};
    const CColor bar = over(CColor{178, 178, 178, 200}, bg);
    int x = cellX(1); // not a beat cell: no tint under the bar
    int mid = (kLane.top + kLane.bottom) / 2;

    lane->setStyle(0x42);
    lane->setSliderValue(1, 1.0f);
    Pixels p = render(bg);
    EXPECT_TRUE(colorNear(p.at(x, kLane.top + 1), bar, 1));
    EXPECT_TRUE(colorNear(p.at(x, kLane.bottom - 1), bar, 1));
    EXPECT_TRUE(colorNear(p.at(x, kLane.top), bg));
    // The gap between cells stays free.
    EXPECT_TRUE(colorNear(p.at(kRow.left + 2 * kCell - 1, kLane.top + 20), bg));

    lane->setSliderValue(1, 0.5f);
    p = render(bg);
    EXPECT_TRUE(colorNear(p.at(x, kLane.top + 21), bg));
    EXPECT_TRUE(colorNear(p.at(x, kLane.top + 23), bar, 1));

    lane->setStyle(0x2002);
    p = render(bg);
    EXPECT_TRUE(colorNear(p.at(x, mid), bar, 1));
    EXPECT_TRUE(colorNear(p.at(x, mid - 1), bg));
    EXPECT_TRUE(colorNear(p.at(x, mid + 1), bg));

    lane->setSliderValue(1, 1.0f);
    lane->setSliderValue(2, 0.0f);
    p = render(bg);
    EXPECT_TRUE(colorNear(p.at(x, kLane.top + 1), bar, 1));
    EXPECT_TRUE(colorNear(p.at(x, mid - 1), bar, 1));
    EXPECT_TRUE(colorNear(p.at(x, mid + 1), bg));
    EXPECT_TRUE(colorNear(p.at(cellX(2), mid), bar, 1));
    EXPECT_TRUE(colorNear(p.at(cellX(2), kLane.bottom - 1), bar, 1));
    EXPECT_TRUE(colorNear(p.at(cellX(2), mid - 1), bg));
}

TEST_F(LaneTest, StepsDrawOnOffDisabledBeatTintAndSelection) {
    SKIP_WITHOUT_BACKEND();
    constexpr CColor bg{255, 255, 255, 255};
    row->setActiveCount(16);
    row->setStepOn(1, true);
    row->setStepOn(20, true);
    row->setStepOn(21, false);
    row->selectOnly(2);
    Pixels p = render(bg);
    int y = kRow.top + 6;

    // An enabled on step: inset by two pixels inside its cell.
    EXPECT_TRUE(colorNear(p.at(cellX(1), y), over(CColor{178, 178, 178, 200}, bg), 1));
    EXPECT_TRUE(colorNear(p.at(kRow.left + kCell + 1, y), bg));
    // A disabled on step fills its whole cell but the gap column.
    CColor disabled = over(CColor{0, 0, 0, 204}, bg);
    EXPECT_TRUE(colorNear(p.at(cellX(20), y), disabled, 1));
    EXPECT_TRUE(colorNear(p.at(kRow.left + 20 * kCell, kRow.top), disabled, 1));
    EXPECT_TRUE(colorNear(p.at(kRow.left + 21 * kCell - 1, y), bg));
    EXPECT_TRUE(colorNear(p.at(cellX(21), y), bg));
    // Every fourth step carries the beat tint; the play position is lighter still.
    constexpr CColor black{0, 0, 0, 255};
    p = render(black);
    EXPECT_TRUE(colorNear(p.at(cellX(4), y), over(CColor{255, 255, 255, 13}, black), 1));
    EXPECT_TRUE(colorNear(p.at(cellX(5), y), black));
    EXPECT_TRUE(colorNear(p.at(cellX(2), y), over(CColor{255, 255, 255, 30}, black), 1));
}

} // namespace

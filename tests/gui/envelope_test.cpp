// The attack/decay envelope editor through the frame's dispatch on an offscreen frame: handle
// drags bounded by their neighbours and by the first sixth, segment bending, handles that
// move only when the listener answers, the multi-tag protocol, and the drawn curve.
#include "LaneTestSupport.h"
#include "editor/CEGControl.h"
#include "editor/CHighlightFrame.h"
#include "gui/GuiTestSupport.h"

#include <algorithm>
#include <set>

using kavrel::test::Gesture;
using kavrel::test::MultiTagRecorder;
using kavrel::test::Pixels;

namespace {

// The kick's amplitude envelope: left panel, tags 2, 3, 4, 5.
constexpr CRect kPanel(213, 47, 366, 140);
constexpr CColor kHatch{156, 168, 170, 71};
constexpr CColor kBackground{76, 90, 101, 255};
constexpr CColor kGrid{0, 0, 0, 25};
constexpr CColor kCurve{156, 168, 170, 255};
constexpr CColor kHandleFrame{255, 255, 255, 255};

class EnvelopeTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new CHighlightFrame(CRect(0, 0, 728, 595));
        eg = new CEGARControl(kPanel, &listener, 2, 3, 0, 4, 5, kHatch, kBackground, kGrid, kCurve,
                              kHandleFrame, kBackground);
        frame->addMultiControl(eg);
        listener.answerTo = eg;
        start = eg->getHandle(0);
        peak = eg->getHandle(1);
        end = eg->getHandle(2);
    }
    void TearDown() override { frame->forget(); }
    Gesture mouse() const { return Gesture{frame}; }
    void drag(CSliderHandle* h, int toX, int toY) {
        CPoint c = eg->handleCentre(h);
        mouse().press(c.x, c.y);
        mouse().move((c.x + toX) / 2, (c.y + toY) / 2);
        mouse().move(toX, toY);
        mouse().release(toX, toY);
    }
    bool reported(long tag) const {
        auto t = listener.tags();
        return std::find(t.begin(), t.end(), tag) != t.end();
    }

    MultiTagRecorder listener;
    CHighlightFrame* frame = nullptr;
    CEGARControl* eg = nullptr;
    CSliderHandle* start = nullptr;
    CSliderHandle* peak = nullptr;
    CSliderHandle* end = nullptr;
};

TEST_F(EnvelopeTest, TheEndHandleStopsOnePixelRightOfThePeak) {
    drag(end, 20, eg->handleCentre(end).y);
    EXPECT_EQ(end->x, 0.0f);
    EXPECT_EQ(eg->handleRect(end).left, eg->handleCentre(peak).x + 1);
    ASSERT_FALSE(listener.reports.empty());
    EXPECT_EQ(listener.reports.back(), std::make_pair(4L, 0.0f));

    // Moving the peak right carries the end's lower bound with it.
    eg->setValueAt(2, 1.0f);
    drag(end, 20, eg->handleCentre(end).y);
    EXPECT_EQ(eg->handleRect(end).left, eg->handleCentre(peak).x + 1);
    EXPECT_EQ(listener.valueChangedCalls, 0);
}

TEST_F(EnvelopeTest, ThePeakStaysWithinTheFirstSixth) {
    const CRect& area = eg->getDrawingArea();
    drag(peak, 700, 20);
    EXPECT_EQ(peak->x, 1.0f);
    EXPECT_EQ(eg->handleRect(peak).right, area.left + area.width() / 6);
    EXPECT_EQ(listener.reports.back(), std::make_pair(2L, 1.0f));
    // The peak carries no vertical parameter: its vertical moves report nothing.
    EXPECT_FALSE(reported(-1));
    EXPECT_EQ(listener.gestures, (std::vector<std::string>{"begin", "end"}));
    EXPECT_EQ(listener.editingTags, (std::vector<std::vector<long>>{{2}}));
}

TEST_F(EnvelopeTest, HandlesMoveOnlyWhenTheListenerAnswers) {
    listener.answerTo = nullptr;
    CRect peakBefore = eg->handleRect(peak);
    CRect endBefore = eg->handleRect(end);
    drag(peak, 700, 20);
    drag(end, 20, 200);
    EXPECT_TRUE(reported(2));
    EXPECT_TRUE(reported(4));
    EXPECT_EQ(eg->handleRect(peak), peakBefore);
    EXPECT_EQ(eg->handleRect(end), endBefore);

    // A click with no movement reports nothing, even where the pixel grid would round.
    listener.answerTo = eg;
    eg->setValueAt(4, 0.333f);
    listener.reports.clear();
    CPoint c = eg->handleCentre(end);
    mouse().press(c.x, c.y);
    mouse().release(c.x, c.y);
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_FLOAT_EQ(end->x, 0.333f);
}

TEST_F(EnvelopeTest, AHundredPixelBendDownwardsReachesTheCurvesEnd) {
    // Between the peak and the end: the decay segment, curve tag 5.
    int x = (eg->handleRect(peak).right + eg->handleRect(end).left) / 2;
    mouse().press(x, 90);
    for (int y = 97; y <= 190; y += 7) mouse().move(x, y);
    mouse().move(x, 190);
    ASSERT_FALSE(listener.reports.empty());
    EXPECT_EQ(listener.reports.back(), std::make_pair(5L, 0.0f));
    size_t n = listener.reports.size();
    mouse().move(x, 260);
    mouse().move(x + 1, 300);
    mouse().release(x, 300);
    EXPECT_EQ(listener.reports.size(), n);
    EXPECT_EQ(eg->getValueAt(5), 0.0f);
    for (const auto& r : listener.reports) EXPECT_EQ(r.first, 5);

    // Upwards bends the other way, a straight segment reading 0.5.
    listener.reports.clear();
    mouse().press(x, 130);
    mouse().move(x, 30);
    mouse().release(x, 30);
    EXPECT_EQ(listener.reports.back(), std::make_pair(5L, 0.5f));
}

TEST_F(EnvelopeTest, APressLeftOfThePeakBendsTheAttackRightOfItTheDecay) {
    eg->setValueAt(2, 1.0f);
    CRect p = eg->handleRect(peak);
    mouse().press(p.left - 5, 90);
    mouse().move(p.left - 5, 100);
    mouse().release(p.left - 5, 100);
    EXPECT_EQ(listener.tags(), std::vector<long>{3});

    listener.reports.clear();
    mouse().press(p.right + 5, 90);
    mouse().move(p.right + 5, 80);
    mouse().release(p.right + 5, 80);
    EXPECT_EQ(listener.tags(), std::vector<long>{5});
    EXPECT_EQ(eg->getSegmentHandle(), nullptr);
    // Each bend brackets just the curve it edits; the end handle just its time.
    drag(end, 300, 135);
    EXPECT_EQ(listener.editingTags, (std::vector<std::vector<long>>{{3}, {5}, {4}}));
    EXPECT_EQ(listener.gestures.size(), 6u);
    EXPECT_TRUE(eg->getEditingTags().empty());
}

TEST_F(EnvelopeTest, TagsNoHandleCarriesAreRefused) {
    EXPECT_EQ(eg->getTags(), (std::set<long>{2, 3, 4, 5}));
    EXPECT_EQ(frame->controlForTag(3), eg);
    EXPECT_EQ(frame->controlForTag(5), eg);
    EXPECT_TRUE(eg->ownsTag(3));
    EXPECT_FALSE(eg->ownsTag(6));
    EXPECT_FALSE(eg->ownsTag(-1));
    EXPECT_EQ(eg->getTag(), 2);
    EXPECT_TRUE(eg->isTypeOf("CEGControl"));

    CRect before = eg->handleRect(end);
    eg->setValueAt(-1, 0.9f); // the start handle's unused parameters
    eg->setValueAt(7, 0.9f);
    EXPECT_EQ(eg->handleRect(end), before);
    EXPECT_EQ(start->x, 0.0f);
    EXPECT_EQ(start->y, 1.0f);
    EXPECT_EQ(eg->getValueAt(7), 0.0f);

    eg->setValueAt(5, 0.25f);
    EXPECT_FLOAT_EQ(eg->getValueAt(5), 0.25f);
    EXPECT_FLOAT_EQ(static_cast<CEGControlHandle*>(peak)->getCurve(), 0.5f);
    eg->setValueAt(4, 3.0f);
    EXPECT_EQ(end->x, 1.0f);
    EXPECT_LE(eg->handleRect(end).right, kPanel.right);

    eg->setValueAt(3, 0.75f);
    CVXControl* copy = eg->newCopy();
    auto* egCopy = dynamic_cast<CEGARControl*>(copy);
    ASSERT_NE(egCopy, nullptr);
    EXPECT_EQ(egCopy->getTags(), eg->getTags());
    EXPECT_FLOAT_EQ(egCopy->getValueAt(3), 0.75f);
    EXPECT_EQ(egCopy->handleRect(egCopy->getHandle(2)), eg->handleRect(end));
    copy->forget();

    eg->setHandleTag(4, 40);
    EXPECT_TRUE(eg->ownsTag(40));
    EXPECT_FALSE(eg->ownsTag(4));
    eg->setHandleTag(-1, 41);
    EXPECT_FALSE(eg->ownsTag(41));
}

TEST(MultiXYControlTest, LinkedHandlesFollowWithinTheAreaAndFixedLinksStay) {
    auto* frame = new CHighlightFrame(CRect(0, 0, 100, 100));
    MultiTagRecorder listener;
    auto* xy = new CMultiXYControl(CRect(0, 0, 100, 100), &listener);
    frame->addMultiControl(xy);
    CSliderHandle* lead = xy->addHandle(10, 11, 12, nullptr);
    CSliderHandle* follower = xy->addHandle(20, 21, -1, nullptr);
    CSliderHandle* fixed = xy->addHandle(30, -1, -1, nullptr);
    xy->link(10, 20, CMultiXYControl::kLinkSolid);
    xy->link(10, 30, CMultiXYControl::kLinkSolidFixed);
    xy->link(10, 99, CMultiXYControl::kLinkSolid); // no such handle: no link
    xy->setValueAt(10, 0.2f);
    xy->setValueAt(11, 0.75f);
    xy->setValueAt(20, 0.9f);
    xy->setValueAt(30, 0.5f);
    EXPECT_EQ(xy->getTags(), (std::set<long>{10, 11, 12, 20, 21, 30}));
    EXPECT_EQ(xy->getTag(), 499);

    Gesture mouse{frame};
    mouse.press(20, 25);
    mouse.move(40, 25); // 0.2 to the right, cut to 0.1 so the follower stays inside
    mouse.release(40, 25);
    EXPECT_NEAR(lead->x, 0.3f, 1e-6f);
    EXPECT_NEAR(follower->x, 1.0f, 1e-6f);
    EXPECT_EQ(fixed->x, 0.5f);
    ASSERT_EQ(listener.reports.size(), 4u);
    EXPECT_EQ(listener.reports.front(), std::make_pair(12L, 1.0f));
    EXPECT_EQ(listener.reports[1].first, 10);
    EXPECT_EQ(listener.reports[2], std::make_pair(11L, 0.75f));
    EXPECT_EQ(listener.reports.back(), std::make_pair(12L, 0.0f));

    xy->setNotifyLinks(true);
    listener.reports.clear();
    mouse.press(30, 25);
    mouse.move(30, 35);
    mouse.release(30, 35);
    EXPECT_TRUE(listener.reports.size() == 6u && listener.reports[1].first == 20);
    frame->forget();
}

// The topmost row of a column where the curve shows (brighter than background and hatch).
int curveTop(const Pixels& p, int x) {
    for (int y = kPanel.top; y < kPanel.bottom; ++y)
        if (p.at(x, y).red >= 125) return y;
    return -1;
}

TEST_F(EnvelopeTest, CurvesDrawStraightOrBentWithTheAreaBelowHatched) {
    SKIP_WITHOUT_BACKEND();
    eg->setValueAt(2, 0.0f);
    eg->setValueAt(4, 1.0f);
    CPoint a = eg->handleCentre(peak);
    CPoint b = eg->handleCentre(end);
    int x = (a.x + b.x) / 2 + 1;
    // The straight line through the segment's pixels, arriving two pixels early.
    double v = (x - a.x + 2.0) / (b.x - a.x);
    int straight = static_cast<int>(v * (b.y - a.y) + a.y);

    frame->redrawAll();
    Pixels p(*frame->getBackBuffer());
    int top = curveTop(p, x);
    EXPECT_GE(top, straight - 2);
    EXPECT_LE(top, straight);
    EXPECT_EQ(p.at(x, straight - 12), kBackground);
    EXPECT_TRUE(kavrel::test::colorNear(p.at(x, straight + 13), CColor{98, 112, 120, 255}, 3));

    // Bent all the way down, the decay drops at once and runs near the floor.
    eg->setValueAt(5, 0.0f);
    frame->redrawAll();
    Pixels bent(*frame->getBackBuffer());
    top = curveTop(bent, x);
    EXPECT_GE(top, b.y - 3);
    EXPECT_LE(top, b.y);
    EXPECT_EQ(bent.at(x, straight), kBackground);

    // Bent up, the curve holds the peak level and never runs past its end.
    eg->setValueAt(5, 1.0f);
    frame->redrawAll();
    Pixels up(*frame->getBackBuffer());
    top = curveTop(up, x);
    EXPECT_LE(top, a.y + 1);
    EXPECT_LT(up.at(b.x - 1, kPanel.bottom - 1).red, 90);
    EXPECT_LT(up.at(b.x - 2, kPanel.bottom - 1).red, 90);
}

} // namespace

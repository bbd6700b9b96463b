// The vector knobs as a user works them in the editor's frame: stepped snapping and jumps,
// Control+click to the default, Shift for fine dragging, Alt for angle dragging, the wheel,
// disabled knobs; and the pointer where the value says on the pixels.
#include "ControlTestSupport.h"

#include "editor/CFontrastResource.h"
#include "editor/CVXKnobs.h"

#include <cmath>

using namespace kavrel::test;

namespace {

constexpr CColor kFill{255, 0, 0, 255};
constexpr CColor kOutline{255, 255, 255, 255};
constexpr CColor kDisabledFill{0, 0, 255, 255};
constexpr CColor kDisabledOutline{0, 255, 0, 255};

class KnobTest : public EditorControlTest {
protected:
    CVXVKnob* addKnob(const CRect& r = CRect(10, 10, 50, 50)) {
        makeFrame();
        auto* knob =
            new CVXVKnob(r, &listener, 7, kOutline, kFill, kDisabledOutline, kDisabledFill);
        frame->addControl(knob);
        return knob;
    }
    // The pixel at radius r and angle a (degrees, clockwise from +x, y down) around the
    // centre of the knob at (10, 10, 50, 50).
    // Pies fill the box itself (centre 30); outlines and arcs follow the box one pixel
    // smaller (centre 29.5).
    static CPoint polar(float angle, float radius, float centre = 30.0f) {
        float a = angle * 3.14159265f / 180.0f;
        return CPoint(static_cast<int>(std::floor(centre + radius * std::cos(a))),
                      static_cast<int>(std::floor(centre + radius * std::sin(a))));
    }
    // Mostly fill colour (edges are anti-aliased).
    bool isFill(const Pixels& p, float angle, float radius = 14.0f) const {
        CPoint at = polar(angle, radius);
        CColor c = p.at(at.x, at.y);
        return c.red > 150 && c.green < 60 && c.blue < 60;
    }
};

TEST_F(KnobTest, SteppedKnobSnapsToPositionsAndMovesInJumps) {
    CVXVKnob* knob = addKnob();
    knob->setPositions(5);
    knob->setValue(0.49f);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);

    press(30, 30);
    for (int dx = 10; dx <= 100; dx += 10) move(30 + dx, 30);
    release(130, 30);
    // 200 pixels span the range: every reported value is a position, and each differs.
    EXPECT_EQ(listener.values, (std::vector<float>{0.75f, 1.0f}));
    EXPECT_TRUE(listener.editsBalanced());

    listener.clear();
    press(30, 30);
    move(30, 70);  // 40 pixels down: 0.8 snaps to 0.75
    move(30, 110); // 80 pixels: 0.6 snaps to 0.5
    release(30, 110);
    EXPECT_EQ(listener.values, (std::vector<float>{0.75f, 0.5f}));

    // One notch of the wheel takes one position, even though the wheel step is smaller.
    listener.clear();
    wheel(30, 30, 1.0f);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.75f);
    wheel(30, 30, -2.0f); // two notches of 0.1 round to one position
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(listener.calls.size(), 6u);
    EXPECT_TRUE(listener.editsBalanced());
}

TEST_F(KnobTest, ControlClickRestoresTheDefaultWithOneReportAndNoDrag) {
    CVXVKnob* knob = addKnob();
    knob->setDefaultValue(0.3f);
    knob->setValue(0.9f);
    EXPECT_EQ(press(30, 30, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    move(90, 30, kLButton | kControl);
    release(90, 30);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.3f);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"begin", "value 0.300000", "end"}));

    // On a stepped knob the default lands on a position as well.
    listener.clear();
    knob->setPositions(3);
    knob->setValue(1.0f);
    press(30, 30, kLButton | kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(listener.count("value"), 1);
}

TEST_F(KnobTest, ShiftDragsFinelyAndModifierChangesDoNotJump) {
    CVXVKnob* knob = addKnob();
    knob->setValue(0.5f);
    press(30, 30);
    move(50, 30); // 20 of 200 pixels
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-5f);
    move(50, 30, kLButton | kShift); // Shift pressed: re-based, no jump
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-5f);
    move(80, 30, kLButton | kShift); // 30 of 300 pixels
    EXPECT_NEAR(knob->getValue(), 0.7f, 1e-5f);
    move(80, 20, kLButton | kShift); // up counts like right
    EXPECT_NEAR(knob->getValue(), 0.7333333f, 1e-5f);
    release(80, 20);

    listener.clear();
    knob->setValue(0.5f);
    press(30, 30, kLButton | kShift);
    move(60, 30, kLButton | kShift);
    release(60, 30);
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-5f);
    EXPECT_TRUE(listener.editsBalanced());
}

TEST_F(KnobTest, AltDragsByAngleAndPinsAtTheEndsItCameFrom) {
    CVXVKnob* knob = addKnob();
    knob->setValue(0.1f);
    press(30, 11, kLButton | kAlt); // straight above the centre: half way
    EXPECT_NEAR(knob->getValue(), 0.5f, 0.01f);
    move(60, 30, kLButton | kAlt); // to the right: 225 of 270 degrees
    EXPECT_NEAR(knob->getValue(), 225.0f / 270.0f, 0.01f);
    move(60, 60, kLButton | kAlt); // lower right, beyond the maximum: held there
    EXPECT_NEAR(knob->getValue(), 1.0f, 1e-5f);
    move(0, 60, kLButton | kAlt); // across the gap to the minimum: stays at the maximum
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
    release(0, 60);
}

TEST_F(KnobTest, DisabledKnobRefusesTheMouseAndTakesItsDisabledColours) {
    CVXVKnob* knob = addKnob();
    knob->setValue(0.5f);
    knob->setEnabled(false);
    EXPECT_EQ(knob->getFillColour(), kDisabledFill);
    EXPECT_EQ(knob->getFrameColour(), kDisabledOutline);
    EXPECT_EQ(press(30, 30), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    move(90, 30);
    release(90, 30);
    wheel(30, 30, 1.0f);
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    knob->setEnabled(true);
    EXPECT_EQ(knob->getFillColour(), kFill);
    wheel(30, 30, 1.0f, kShift);
    EXPECT_NEAR(knob->getValue(), 0.51f, 1e-5f);
}

TEST_F(KnobTest, PieFollowsTheValueFromLowerLeftClockwise) {
    SKIP_WITHOUT_BACKEND();
    CVXVKnob* knob = addKnob();
    knob->setValue(0.0f);
    Pixels p = render();
    EXPECT_TRUE(isFill(p, 132.0f)); // the sliver before the minimum mark
    EXPECT_FALSE(isFill(p, 270.0f));
    EXPECT_FALSE(isFill(p, 90.0f));

    knob->setValue(0.5f);
    p = render();
    EXPECT_TRUE(isFill(p, 180.0f));
    EXPECT_TRUE(isFill(p, 262.0f));
    EXPECT_FALSE(isFill(p, 280.0f));                    // just past the top
    EXPECT_TRUE(colorNear(p.at(30, 10), kOutline, 60)); // the outline at the top

    knob->setValue(1.0f);
    p = render();
    EXPECT_TRUE(isFill(p, 0.0f));
    EXPECT_TRUE(isFill(p, 38.0f));
    EXPECT_FALSE(isFill(p, 55.0f)); // past the maximum at 45
    EXPECT_FALSE(isFill(p, 90.0f));

    // Automation beyond the range shows the nearest end, not a second turn.
    knob->setValue(7.0f);
    Pixels beyond = render();
    EXPECT_FALSE(isFill(beyond, 90.0f));
    EXPECT_EQ(beyond.rgba, p.rgba);
    knob->setValue(-3.0f);
    p = render();
    EXPECT_TRUE(isFill(p, 132.0f));
    EXPECT_FALSE(isFill(p, 180.0f));
    knob->setValue(std::nanf(""));
    p = render();
    EXPECT_FALSE(isFill(p, 180.0f));
}

TEST_F(KnobTest, SmallKnobPointerSitsAtTheValuesAngle) {
    SKIP_WITHOUT_BACKEND();
    makeFrame();
    auto* knob = new CVXKavrelSmallVKnob(CRect(10, 10, 50, 50), &listener, 118, kOutline, kFill);
    frame->addControl(knob);
    struct Case {
        float value;
        float on;
        float off;
    } cases[] = {{0.0f, 135.0f, 45.0f}, {0.5f, 270.0f, 135.0f}, {1.0f, 45.0f, 270.0f}};
    for (const Case& c : cases) {
        knob->setValue(c.value);
        Pixels p = render();
        CPoint on = polar(c.on, 16.0f, 29.5f), off = polar(c.off, 16.0f, 29.5f);
        EXPECT_TRUE(colorNear(p.at(on.x, on.y), kBlackCColor, 10)) << c.value;
        EXPECT_FALSE(colorNear(p.at(off.x, off.y), kBlackCColor, 10)) << c.value;
    }
    EXPECT_TRUE(knob->isTypeOf("CVXKavrelSmallVKnob"));
    EXPECT_TRUE(knob->isTypeOf("CVXVKnob"));
    EXPECT_TRUE(knob->isTypeOf("CKnob"));
    EXPECT_FALSE(knob->isTypeOf("CVXBriskoVKnob"));
}

TEST_F(KnobTest, LabelledKnobDrawsItsPointerAndCentredCaption) {
    SKIP_WITHOUT_BACKEND();
    makeFrame();
    auto* font = new CFontrastResource(20000);
    auto* knob = new CVXBriskoVKnob(CRect(10, 10, 70, 70), &listener, 3, kOutline, kFill, nullptr,
                                    font, "Tune");
    EXPECT_EQ(font->getNbReference(), 2);
    frame->addControl(knob);
    knob->setValue(0.5f);
    Pixels p = render();
    // A thin radial tick straddling x = 40 above the centre of the 14-pixel circle: it darkens
    // the backdrop (30) there and nowhere below the centre.
    for (int y : {30, 32, 33}) EXPECT_LT(p.at(39, y).red + p.at(40, y).red, 45) << y;
    EXPECT_EQ(p.at(39, 46).red + p.at(40, 46).red, 60);
    EXPECT_EQ(p.at(44, 44).red, 30);
    // The caption lies centred in the top line.
    int w = font->stringWidth("Tune");
    int left = 40 - w / 2;
    int inked = 0;
    for (int y = 10; y < 10 + font->getHeight(); ++y)
        for (int x = 10; x < 70; ++x)
            if (p.at(x, y) != p.at(12, 60)) {
                ++inked;
                EXPECT_GE(x, left - 1);
                EXPECT_LE(x, left + w + 1);
            }
    EXPECT_GT(inked, 10);

    CVXBriskoVKnob* copy = knob->newCopy();
    EXPECT_EQ(font->getNbReference(), 3);
    EXPECT_EQ(copy->getLabel(), "Tune");
    EXPECT_FLOAT_EQ(copy->getValue(), 0.5f);
    EXPECT_TRUE(copy->isTypeOf("CVXBriskoVKnob"));
    copy->forget();
    EXPECT_EQ(font->getNbReference(), 2);
    font->forget();
}

TEST(KnobCopyTest, CopiesKeepPositionsColoursAndState) {
    CVXVKnob knob(CRect(0, 0, 20, 20), nullptr, 9, kOutline, kFill, kDisabledOutline,
                  kDisabledFill);
    knob.setPositions(4);
    knob.setLineWidth(3, false);
    knob.setDefaultValue(1.0f);
    knob.setEnabled(false);
    knob.setValue(0.4f);
    CVXVKnob* copy = knob.newCopy();
    EXPECT_EQ(copy->getSteps(), 3);
    EXPECT_EQ(copy->getLineWidth(), 3);
    EXPECT_FALSE(copy->isEnabled());
    EXPECT_EQ(copy->getFillColour(), kDisabledFill);
    EXPECT_NEAR(copy->getValue(), 1.0f / 3.0f, 1e-6f);
    EXPECT_FLOAT_EQ(copy->getDefaultValue(), 1.0f);
    EXPECT_EQ(copy->getTag(), 9);
    copy->setEnabled(true);
    EXPECT_EQ(copy->getFillColour(), kFill);
    copy->forget();
}

} // namespace

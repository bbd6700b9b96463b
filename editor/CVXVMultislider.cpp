#include "editor/CVXVMultislider.h"

#include "gui/CDrawContext.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Values come from the plug-in and from automation; anything outside 0..1 (or NaN) would draw
// outside the cell.
float clamp01(float v) {
    if (!(v > 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

constexpr CColor kBeatTint{255, 255, 255, 13};

// Saves what a draw routine changes on the context and puts it back.
struct ContextState {
    CDrawContext* context;
    CDrawMode mode;
    int lineWidth;
    CColor frame;
    CColor fill;
    explicit ContextState(CDrawContext* c)
        : context(c), mode(c->getDrawMode()), lineWidth(c->getLineWidth()),
          frame(c->getFrameColor()), fill(c->getFillColor()) {}
    ~ContextState() {
        context->setDrawMode(mode);
        context->setLineWidth(lineWidth);
        context->setFrameColor(frame);
        context->setFillColor(fill);
    }
};

CRect innerOf(const CRect& cell) {
    return CRect(cell.left, cell.top, cell.right - 1, cell.bottom);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CVXVMultislider

CVXVMultislider::CVXVMultislider(const CRect& size, CControlListener* listener, long tag, int,
                                 int style, const CColor& gridColour, const CColor& sliderColour,
                                 const CColor& gridColourDisabled,
                                 const CColor& sliderColourDisabled, const CColor& selectColour)
    : CVXControl(size, listener, tag), style(style), gridColour(gridColour),
      sliderColour(sliderColour), gridColourDisabled(gridColourDisabled),
      sliderColourDisabled(sliderColourDisabled), selectColour(selectColour), width(size.width()),
      height(size.height()) {
    if (this->style & kCentred) this->style |= kTopIsOne;
    if (this->style & kColumns) {
        cellWidth = width / kSliders;
        cellHeight = height;
    } else {
        cellWidth = width;
        cellHeight = height / kSliders;
    }
    // A control narrower (or lower) than 32 pixels still maps every point to a slider.
    cellWidth = std::max(1, cellWidth);
    cellHeight = std::max(1, cellHeight);
    handleWidth = handleHeight = std::max(0, cellWidth - 1);
}

bool CVXVMultislider::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXVMultislider") == 0 || CVXControl::isTypeOf(className);
}

void CVXVMultislider::copyLane(const CVXVMultislider& from) {
    count = from.count;
    sliders = from.sliders;
    style = from.style;
    gridColour = from.gridColour;
    sliderColour = from.sliderColour;
    gridColourDisabled = from.gridColourDisabled;
    sliderColourDisabled = from.sliderColourDisabled;
    selectColour = from.selectColour;
    width = from.width;
    height = from.height;
    cellWidth = from.cellWidth;
    cellHeight = from.cellHeight;
    handleWidth = from.handleWidth;
    handleHeight = from.handleHeight;
    setDirty(true);
}

CVXControl* CVXVMultislider::newCopy() const {
    auto* copy = new CVXVMultislider(size, listener, tag, 0, style, gridColour, sliderColour,
                                     gridColourDisabled, sliderColourDisabled, selectColour);
    copyControlState(*this, *copy);
    copy->copyLane(*this);
    return copy;
}

void CVXVMultislider::setValue(float v) {
    CVXControl::setValue(v);
    for (Slider& s : sliders) s.value = clamp01(v);
    setDirty(true);
}

void CVXVMultislider::setValueAt(long t, float v) {
    if (ownsTag(t)) setSliderValue(static_cast<int>(t - tag), v);
}

float CVXVMultislider::getValueAt(long t) const {
    return ownsTag(t) ? getSliderValue(static_cast<int>(t - tag)) : 0.0f;
}

bool CVXVMultislider::ownsTag(long t) const {
    return t >= tag && t < tag + count;
}

std::set<long> CVXVMultislider::getTags() const {
    std::set<long> tags;
    for (int i = 0; i < count; ++i) tags.insert(tag + i);
    return tags;
}

void CVXVMultislider::setSliderValue(int index, float v) {
    if (!validIndex(index)) return;
    sliders[static_cast<size_t>(index)].value = clamp01(v);
    setDirty(true);
}

float CVXVMultislider::getSliderValue(int index) const {
    return validIndex(index) ? sliders[static_cast<size_t>(index)].value : 0.0f;
}

void CVXVMultislider::setSliderDisabled(int index, bool state) {
    if (!validIndex(index)) return;
    sliders[static_cast<size_t>(index)].disabled = state;
    setDirty(true);
}

bool CVXVMultislider::isSliderDisabled(int index) const {
    return validIndex(index) && sliders[static_cast<size_t>(index)].disabled;
}

void CVXVMultislider::setActiveCount(int n) {
    n = std::clamp(n, 0, static_cast<int>(count));
    for (int i = 0; i < count; ++i) sliders[static_cast<size_t>(i)].disabled = i >= n;
    setDirty(true);
}

void CVXVMultislider::setSliderSelected(int index, bool state) {
    if (!validIndex(index)) return;
    sliders[static_cast<size_t>(index)].selected = state;
    setDirty(true);
}

void CVXVMultislider::selectOnly(int index) {
    if (!validIndex(index)) return;
    for (int i = 0; i < count; ++i) sliders[static_cast<size_t>(i)].selected = i == index;
    setDirty(true);
}

bool CVXVMultislider::isSliderSelected(int index) const {
    return validIndex(index) && sliders[static_cast<size_t>(index)].selected;
}

void CVXVMultislider::setSliderColour(const CColor& c) {
    sliderColour = c;
    setDirty(true);
}
void CVXVMultislider::setGridColour(const CColor& c) {
    gridColour = c;
    setDirty(true);
}
void CVXVMultislider::setSelectColour(const CColor& c) {
    selectColour = c;
    setDirty(true);
}
void CVXVMultislider::setSliderColourDisabled(const CColor& c) {
    sliderColourDisabled = c;
    setDirty(true);
}
void CVXVMultislider::setGridColourDisabled(const CColor& c) {
    gridColourDisabled = c;
    setDirty(true);
}

void CVXVMultislider::setStyle(int bits) {
    style = bits;
    if (style & kCentred) style |= kTopIsOne;
    setDirty(true);
}

int CVXVMultislider::sliderIndexAt(const CPoint& p) const {
    if (!size.pointInside(p)) return -1;
    int i = (style & kRows) ? (p.y - size.top) / cellHeight : (p.x - size.left) / cellWidth;
    return std::min(i, count - 1);
}

CRect CVXVMultislider::cellRect(int i) const {
    if (style & kRows) return CRect();
    return CRect(size.left + cellWidth * i, size.top, size.left + cellWidth * (i + 1),
                 size.top + cellHeight);
}

CRect CVXVMultislider::handleRect(int i, const CRect& cell) const {
    float v = getSliderValue(i);
    if (style & kColumns) {
        int range = cell.height() - handleHeight - 1;
        float f = (style & kTopIsOne) ? 1.0f - v : v;
        int y = cell.top + 1 + static_cast<int>(f * range);
        return CRect(cell.left + 1, y, cell.left + 1 + handleWidth, y + handleHeight);
    }
    int range = cell.width() - handleWidth - 1;
    float f = (style & kZeroLeft) ? v : 1.0f - v;
    int x = cell.left + 1 + static_cast<int>(f * range);
    return CRect(x, cell.top + 1, x + handleWidth, cell.top + 1 + handleHeight);
}

float CVXVMultislider::valueAt(int, const CPoint& p) const {
    float h;
    if (style & kRows) {
        int span = size.width() - 2;
        h = span > 0 ? static_cast<float>(p.x - size.left - 1) / span : 0.0f;
        if (style & kInvertX) h = 1.0f - h;
    } else {
        int b = handleHeight / 2;
        int span = size.height() - 2 * b - 2;
        h = span > 0 ? static_cast<float>(p.y - size.top - b - 1) / span : 0.0f;
        if (style & kTopIsOne) h = 1.0f - h;
    }
    return clamp01(h);
}

template <typename Edit> void CVXVMultislider::sweep(const CPoint& pointer, Edit edit) {
    // Overshooting the top or bottom while drawing still sets the cell under the pointer
    // (to 1 or 0); leaving sideways sets nothing.
    CPoint where = pointer;
    if ((style & kColumns) && !(style & kRows))
        where.y = std::clamp(where.y, size.top, size.bottom - 1);
    int to = sliderIndexAt(where);
    int from = gestureActive ? sliderIndexAt(lastPoint) : -1;
    CPoint last = lastPoint;
    lastPoint = where;
    gestureActive = true;
    if (to < 0) return;
    if (from >= 0 && from != to && (style & kColumns) && !(style & kRows) && where.x != last.x) {
        int dir = to > from ? 1 : -1;
        for (int i = from + dir; i != to; i += dir) {
            CRect cell = cellRect(i);
            int cx = (cell.left + cell.right) / 2;
            double t = static_cast<double>(cx - last.x) / (where.x - last.x);
            edit(i, CPoint(cx, last.y + static_cast<int>(std::lround(t * (where.y - last.y)))));
        }
    }
    edit(to, where);
}

bool CVXVMultislider::applyGestureValue(int index, float v) {
    Slider& s = sliders[static_cast<size_t>(index)];
    if (s.value == v) return false;
    s.value = v;
    setDirty(true);
    notifyValueAt(tag + index, v);
    return true;
}

long CVXVMultislider::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    gestureActive = false;
    return onMouseMoved(where, buttons);
}

long CVXVMultislider::onMouseMoved(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventHandled;
    sweep(where, [this](int i, const CPoint& p) {
        if (sliders[static_cast<size_t>(i)].disabled) return;
        applyGestureValue(i, valueAt(i, p));
    });
    return kMouseEventHandled;
}

long CVXVMultislider::onMouseUp(CPoint&, long) {
    if (gestureActive) {
        gestureActive = false;
        endEdit();
    }
    return kMouseEventHandled;
}

void CVXVMultislider::draw(CDrawContext* context) {
    ContextState saved(context);
    context->setDrawMode(kAntialias);
    context->setLineWidth(1);
    for (int i = 0; i < count; ++i) {
        CRect cell = cellRect(i);
        drawSlider(context, i, cell, handleRect(i, cell));
    }
    if ((style & kColumns) && !(style & kRows)) {
        auto gridOf = [this](int i) {
            return sliders[static_cast<size_t>(i)].disabled ? gridColourDisabled : gridColour;
        };
        CRect first = cellRect(0);
        context->setFrameColor(gridOf(0));
        if (context->getFrameColor().alpha)
            context->drawLine(CPoint(first.left, first.top), CPoint(first.left, first.bottom));
        for (int i = 0; i < count; ++i) {
            CColor c = gridOf(i);
            if (!c.alpha) continue; // the editor's rows have invisible grids
            CRect cell = cellRect(i);
            context->setFrameColor(c);
            context->moveTo(CPoint(cell.left + 1, cell.top));
            context->lineTo(CPoint(cell.right, cell.top));
            context->lineTo(CPoint(cell.right, cell.bottom - 1));
            context->lineTo(CPoint(cell.left + 1, cell.bottom - 1));
        }
    }
    for (int i = 0; i < count; ++i)
        if (sliders[static_cast<size_t>(i)].selected) drawSelection(context, i, cellRect(i));
    setDirty(false);
}

void CVXVMultislider::drawSlider(CDrawContext* context, int index, const CRect& cell,
                                 const CRect& handle) {
    context->setFrameColor(isSliderDisabled(index) ? sliderColourDisabled : sliderColour);
    context->setLineWidth(2);
    if ((style & kColumns) && !(style & kRows)) {
        int x = (handle.left + handle.right) / 2;
        if (style & kCentred) {
            int mid = (cell.top + cell.bottom) / 2;
            if (handle.bottom <= mid)
                context->drawLine(CPoint(x, mid), CPoint(x, handle.bottom));
            else if (handle.top >= mid)
                context->drawLine(CPoint(x, mid), CPoint(x, handle.top));
        } else if (style & kTopIsOne) {
            context->drawLine(CPoint(x, cell.bottom), CPoint(x, handle.bottom));
        } else {
            context->drawLine(CPoint(x, cell.top), CPoint(x, handle.top));
        }
    }
    if (isSliderSelected(index)) {
        context->setFillColor(selectColour);
        context->fillEllipse(handle);
    }
    context->drawEllipse(handle);
    context->setLineWidth(1);
}

void CVXVMultislider::drawSelection(CDrawContext*, int, const CRect&) {}

// ---------------------------------------------------------------------------------------------
// CVXVMultibutton

CVXVMultibutton::CVXVMultibutton(const CRect& size, CControlListener* listener, long tag,
                                 int unused, const CColor& gridColour, const CColor& sliderColour,
                                 const CColor& gridColourDisabled,
                                 const CColor& sliderColourDisabled, const CColor& selectColour)
    : CVXVMultislider(size, listener, tag, unused, kColumns | kTopIsOne, gridColour, sliderColour,
                      gridColourDisabled, sliderColourDisabled, selectColour) {
    handleWidth = handleHeight = 0;
}

bool CVXVMultibutton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXVMultibutton") == 0 || CVXVMultislider::isTypeOf(className);
}

CVXControl* CVXVMultibutton::newCopy() const {
    auto* copy = new CVXVMultibutton(size, listener, tag, 0, gridColour, sliderColour,
                                     gridColourDisabled, sliderColourDisabled, selectColour);
    copyControlState(*this, *copy);
    copy->copyLane(*this);
    return copy;
}

void CVXVMultibutton::setStep(int index, float v) {
    setSliderValue(index, v > 0.5f ? 1.0f : 0.0f);
}

void CVXVMultibutton::setStepOn(int index, bool on) {
    setStep(index, on ? 1.0f : 0.0f);
}

long CVXVMultibutton::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    // A press that lands on no enabled step has nothing to copy: the drag then paints nothing
    // rather than a state left over from an earlier gesture.
    paintValue = -1.0f;
    int i = sliderIndexAt(where);
    if (validIndex(i) && !sliders[static_cast<size_t>(i)].disabled) {
        paintValue = sliders[static_cast<size_t>(i)].value > 0.5f ? 0.0f : 1.0f;
        applyGestureValue(i, paintValue);
    }
    gestureActive = false;
    return onMouseMoved(where, buttons);
}

long CVXVMultibutton::onMouseMoved(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventHandled;
    sweep(where, [this](int i, const CPoint&) {
        if (paintValue < 0.0f || sliders[static_cast<size_t>(i)].disabled) return;
        applyGestureValue(i, paintValue);
    });
    return kMouseEventHandled;
}

// ---------------------------------------------------------------------------------------------
// CVXKavrelMultiSlider

namespace {
constexpr CColor kLaneGrid{255, 255, 255, 0};
constexpr CColor kLaneBar{178, 178, 178, 200};
constexpr CColor kLaneBarDisabled{0, 0, 0, 204};
constexpr CColor kLaneSelect{255, 255, 255, 30};
} // namespace

CVXKavrelMultiSlider::CVXKavrelMultiSlider(const CRect& size, CControlListener* listener)
    : CVXVMultislider(size, listener, kTag, 0, kColumns | kCentred, kLaneGrid, kLaneBar, kLaneGrid,
                      kLaneBarDisabled, kLaneSelect) {
    handleHeight = 1;
}

bool CVXKavrelMultiSlider::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXKavrelMultiSlider") == 0 ||
           CVXVMultislider::isTypeOf(className);
}

CVXControl* CVXKavrelMultiSlider::newCopy() const {
    auto* copy = new CVXKavrelMultiSlider(size, listener);
    copyControlState(*this, *copy);
    copy->copyLane(*this);
    return copy;
}

void CVXKavrelMultiSlider::setValues(const std::vector<float>& values) {
    setValues(values.data(), values.size());
}

void CVXKavrelMultiSlider::setValues(const float* values, size_t n) {
    if (!values) return;
    n = std::min(n, static_cast<size_t>(count));
    for (size_t i = 0; i < n; ++i) setSliderValue(static_cast<int>(i), values[i]);
}

std::vector<float> CVXKavrelMultiSlider::getValues() const {
    std::vector<float> values;
    values.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) values.push_back(sliders[static_cast<size_t>(i)].value);
    return values;
}

void CVXKavrelMultiSlider::draw(CDrawContext* context) {
    ContextState saved(context);
    context->setDrawMode(kAliasing);
    context->setLineWidth(1);
    int mid = (size.top + size.bottom) / 2;
    for (int i = 0; i < count; ++i) {
        const Slider& s = sliders[static_cast<size_t>(i)];
        CRect cell = cellRect(i);
        CRect inner = innerOf(cell);
        if (s.selected) {
            context->setFillColor(selectColour);
            context->drawRect(inner, kDrawFilled);
        }
        CRect handle = handleRect(i, inner);
        CRect bar(handle.left - 1, handle.top, handle.right - 1, handle.bottom);
        if (style & kCentred) {
            if (mid < handle.bottom)
                bar.top = mid;
            else
                bar.bottom = mid;
        } else {
            bar.bottom = cell.bottom;
        }
        if (s.disabled) {
            context->setFillColor(sliderColourDisabled);
        } else {
            if (i % 4 == 0) {
                context->setFillColor(kBeatTint);
                context->drawRect(inner, kDrawFilled);
            }
            context->setFillColor(sliderColour);
        }
        context->drawRect(bar, kDrawFilled);
    }
    setDirty(false);
}

// ---------------------------------------------------------------------------------------------
// CVXKavrelMultiButton

CVXKavrelMultiButton::CVXKavrelMultiButton(const CRect& size, CControlListener* listener, long tag)
    : CVXVMultibutton(size, listener, tag, 0, kLaneGrid, kLaneBar, kLaneGrid, kLaneBarDisabled,
                      kLaneSelect) {}

bool CVXKavrelMultiButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXKavrelMultiButton") == 0 ||
           CVXVMultibutton::isTypeOf(className);
}

CVXControl* CVXKavrelMultiButton::newCopy() const {
    auto* copy = new CVXKavrelMultiButton(size, listener, tag);
    copyControlState(*this, *copy);
    copy->copyLane(*this);
    return copy;
}

void CVXKavrelMultiButton::setSteps(const std::vector<uint8_t>& steps) {
    setSteps(steps.data(), steps.size());
}

void CVXKavrelMultiButton::setSteps(const uint8_t* steps, size_t n) {
    if (!steps) return;
    n = std::min(n, static_cast<size_t>(count));
    for (size_t i = 0; i < n; ++i) setStepOn(static_cast<int>(i), steps[i] != 0);
}

std::vector<uint8_t> CVXKavrelMultiButton::getSteps() const {
    std::vector<uint8_t> steps;
    steps.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        steps.push_back(sliders[static_cast<size_t>(i)].value > 0.5f ? 1 : 0);
    return steps;
}

void CVXKavrelMultiButton::drawSlider(CDrawContext* context, int index, const CRect& cell,
                                      const CRect&) {
    context->setDrawMode(kAliasing);
    CRect inner = innerOf(cell);
    if (index % 4 == 0) {
        context->setFillColor(kBeatTint);
        context->drawRect(inner, kDrawFilled);
    }
    const Slider& s = sliders[static_cast<size_t>(index)];
    if (s.value <= 0.5f) return;
    if (s.disabled) {
        context->setFillColor(sliderColourDisabled);
        context->drawRect(inner, kDrawFilled);
    } else {
        context->setFillColor(sliderColour);
        context->drawRect(CRect(inner.left + 2, inner.top + 2, inner.right - 2, inner.bottom - 2),
                          kDrawFilled);
    }
}

void CVXKavrelMultiButton::drawSelection(CDrawContext* context, int, const CRect& cell) {
    context->setDrawMode(kAliasing);
    context->setFillColor(selectColour);
    context->drawRect(innerOf(cell), kDrawFilled);
}

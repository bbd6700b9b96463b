#include "editor/CSelectorSwitch.h"

#include "editor/CVXControl.h"
#include "gui/CBitmap.h"

#include <cmath>
#include <cstring>

CSelectorSwitch::CSelectorSwitch(const CRect& size, CControlListener* listener, long tag,
                                 CBitmap* background)
    : CControl(size, listener, tag, background) {
    // Without an image the grid covers the view.
    bool image = background && background->getHeight() > 0;
    imageHeight = image ? background->getHeight() / positions : size.height();
    rowHeight = imageHeight / rows;
    columnWidth = (image ? background->getWidth() : size.width()) / float(columns);
    defaultValue = 0.0f;
}

int CSelectorSwitch::positionOf(float v) const {
    float p = (positions - 1) * v;
    if (!(p >= 0.0f)) return 0; // also NaN
    return p >= positions - 1 ? positions - 1 : static_cast<int>(p);
}

long CSelectorSwitch::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    pressed = true;
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

long CSelectorSwitch::onMouseMoved(CPoint& where, long buttons) {
    if (!pressed || !(buttons & kLButton)) return kMouseEventNotHandled;
    if (columnWidth <= 0.0f || rowHeight <= 0) return kMouseEventHandled;
    // Past an edge the pointer counts for the nearest column or row: dragging off the right
    // of the top row stays on that row.
    int column = static_cast<int>(std::floor((where.x - size.left) / columnWidth));
    int row = static_cast<int>(std::floor((where.y - size.top) / float(rowHeight)));
    column = column < 0 ? 0 : column > columns - 1 ? columns - 1 : column;
    row = row < 0 ? 0 : row > rows - 1 ? rows - 1 : row;
    int index = rowMajor ? column + row * columns : row + column * rows;
    float old = value;
    value = static_cast<float>(index) / static_cast<float>(positions - 1);
    bounceValue();
    if (value != old) {
        notifyValueChanged();
        invalid();
    }
    return kMouseEventHandled;
}

long CSelectorSwitch::onMouseUp(CPoint&, long) {
    if (!pressed) return kMouseEventNotHandled;
    pressed = false;
    endEdit();
    return kMouseEventHandled;
}

void CSelectorSwitch::draw(CDrawContext* context) {
    if (background)
        background->drawTransparent(context, size, CPoint(0, positionOf(value) * imageHeight));
    setDirty(false);
}

bool CSelectorSwitch::isTypeOf(const char* className) const {
    return std::strcmp(className, "CSelectorSwitch") == 0 || CControl::isTypeOf(className);
}

CSelectorSwitch* CSelectorSwitch::newCopy() const {
    auto* copy = new CSelectorSwitch(size, listener, tag, background);
    copyControlState(*this, *copy);
    return copy;
}

#include "editor/CVXVPopupMenu.h"

#include "editor/CFontrastResource.h"
#include "editor/CHighlightFrame.h"
#include "editor/CVXControl.h"
#include "gui/CDrawContext.h"

#include <cmath>
#include <cstring>

CVXVPopupMenu::CVXVPopupMenu(const CRect& size, CControlListener* listener, long tag,
                             CFontrastResource* font, const CColor& frameColour,
                             const CColor& closedBackground, const CColor& openBackground,
                             const CColor& highlightBackground, const CColor& textColour,
                             const CColor& highlightTextColour)
    : CControl(size, listener, tag), closedRect(size), openRect(size),
      itemHeight(size.height() > 0 ? size.height() : 1), font(font), frameColour(frameColour),
      closedBackground(closedBackground), openBackground(openBackground),
      highlightBackground(highlightBackground), textColour(textColour),
      highlightTextColour(highlightTextColour) {
    if (font) font->remember();
}

CVXVPopupMenu::~CVXVPopupMenu() {
    if (font) font->forget();
}

void CVXVPopupMenu::itemsChanged() {
    openRect.bottom = openRect.top + static_cast<int>(count()) * itemHeight;
    if (selected >= count()) selected = count() ? count() - 1 : 0;
    setDirty(true);
}

void CVXVPopupMenu::addItem(const char* text) {
    items.emplace_back(text ? text : "");
    itemsChanged();
}

void CVXVPopupMenu::setItems(const std::vector<std::string>& list) {
    items = list;
    itemsChanged();
    setValue(value);
}

void CVXVPopupMenu::clearItems() {
    items.clear();
    itemsChanged();
}

void CVXVPopupMenu::setValue(float x) {
    value = x;
    float scaled = static_cast<float>(count()) * x;
    // Out-of-range and NaN values pick the nearest end rather than an item that is not there.
    if (!(scaled >= 0.0f))
        selected = 0;
    else if (scaled >= static_cast<float>(count()))
        selected = count() ? count() - 1 : 0;
    else
        selected = static_cast<unsigned>(scaled);
    if (count() && selected >= count()) selected = count() - 1;
}

void CVXVPopupMenu::open() {
    opened = true;
    int n = static_cast<int>(count());
    openRect.top = closedRect.top - static_cast<int>(selected) * itemHeight;
    openRect.bottom = openRect.top + n * itemHeight;
    openRect.left = closedRect.left;
    openRect.right = closedRect.right;
    CRect area = parentView ? parentView->getViewSize() : CRect();
    if (!area.isEmpty()) {
        if (openRect.bottom > area.bottom)
            openRect.offset(0, area.bottom - openRect.bottom);
        else if (openRect.top < area.top)
            openRect.offset(0, area.top - openRect.top);
    }
    setViewSize(openRect, true);
    setMouseableArea(openRect);
    // Drawn again on top of whatever follows it in the tree while open.
    if (auto* frame = dynamic_cast<CHighlightFrame*>(parentFrame)) frame->setTopView(this);
}

void CVXVPopupMenu::close() {
    opened = false;
    if (auto* frame = dynamic_cast<CHighlightFrame*>(parentFrame))
        if (frame->getTopView() == this) frame->setTopView(nullptr);
    if (parentView) parentView->invalidRect(openRect);
    setViewSize(closedRect, true);
    setMouseableArea(closedRect);
}

CPoint CVXVPopupMenu::textPosition(const char* text) {
    int w = font ? font->stringWidth(text) : 0;
    int h = font ? font->getHeight() : 0;
    return CPoint(size.left + (size.width() - w) / 2, size.top + (itemHeight - h) / 2);
}

long CVXVPopupMenu::onMouseDown(CPoint&, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (opened) {
        close();
        return kMouseEventHandled;
    }
    // The choice is reported on release; the gesture brackets it for the host.
    beginEdit();
    pressed = true;
    changed = false;
    open();
    return kMouseEventHandled;
}

long CVXVPopupMenu::onMouseMoved(CPoint& where, long buttons) {
    if (!opened || !(buttons & kLButton) || count() == 0) return kMouseEventNotHandled;
    if (where.x < size.left || where.x > size.right || where.y < size.top || where.y > size.bottom)
        return kMouseEventHandled;
    // The row under the pointer: the open list puts the selected row under the press, so a
    // press anywhere in it followed by a small move keeps the selection.
    unsigned index = static_cast<unsigned>((where.y - size.top) / itemHeight);
    if (index >= count()) index = count() - 1;
    if (index != selected) {
        selected = index;
        changed = true;
        pendingValue = value = count() > 1 ? float(index) / float(count() - 1) : 0.0f;
        invalid();
    }
    return kMouseEventHandled;
}

long CVXVPopupMenu::onMouseUp(CPoint&, long) {
    if (!pressed) return kMouseEventNotHandled;
    pressed = false;
    if (opened) {
        close();
        invalid();
    }
    if (changed) {
        changed = false;
        value = pendingValue;
        notifyValueChanged();
        setDirty(true);
    }
    endEdit();
    return kMouseEventHandled;
}

void CVXVPopupMenu::removed() {
    if (opened) {
        opened = false;
        if (auto* frame = dynamic_cast<CHighlightFrame*>(parentFrame))
            if (frame->getTopView() == this) frame->setTopView(nullptr);
        size = mouseableArea = closedRect;
    }
    CControl::removed();
}

void CVXVPopupMenu::draw(CDrawContext* context) {
    if (!visible) return;
    CColor savedFill = context->getFillColor();
    CColor savedFrame = context->getFrameColor();
    int savedWidth = context->getLineWidth();
    context->setLineWidth(1);
    context->setFrameColor(frameColour);
    if (opened) {
        context->setFillColor(openBackground);
        context->drawRect(size, kDrawFilledAndStroked);
        if (selected < count()) {
            context->setFillColor(highlightBackground);
            int top = size.top + itemHeight * static_cast<int>(selected);
            context->drawRect(CRect(size.left + 1, top + 1, size.right - 1, top + itemHeight - 1),
                              kDrawFilled);
        }
        if (font)
            for (unsigned i = 0; i < count(); ++i) {
                // The glyph sheets carry their own colour; the text colours are kept for a
                // font that does not.
                context->setFrameColor(i == selected ? highlightTextColour : textColour);
                CPoint at = textPosition(items[i].c_str());
                at.y += static_cast<int>(i) * itemHeight;
                font->drawString(context, at, items[i].c_str(), 0);
            }
    } else {
        context->setFillColor(closedBackground);
        context->drawRect(size, kDrawFilledAndStroked);
        if (font && selected < count())
            font->drawString(context, textPosition(items[selected].c_str()),
                             items[selected].c_str(), 0);
    }
    context->setFillColor(savedFill);
    context->setFrameColor(savedFrame);
    context->setLineWidth(savedWidth);
    setDirty(false);
}

bool CVXVPopupMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXVPopupMenu") == 0 || CControl::isTypeOf(className);
}

CVXVPopupMenu* CVXVPopupMenu::newCopy() const {
    auto* copy =
        new CVXVPopupMenu(closedRect, listener, tag, font, frameColour, closedBackground,
                          openBackground, highlightBackground, textColour, highlightTextColour);
    copy->items = items;
    copy->itemsChanged();
    copyControlState(*this, *copy);
    copy->setMouseableArea(closedRect);
    copy->selected = selected;
    copy->pendingValue = pendingValue;
    return copy;
}

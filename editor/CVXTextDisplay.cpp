#include "editor/CVXTextDisplay.h"

#include "editor/CFontrastResource.h"

#include <algorithm>
#include <cstring>

CCharacterDisplay::CCharacterDisplay(const CRect& size, const char* t) : CView(size) {
    CCharacterDisplay::setText(t);
}

void CCharacterDisplay::setText(const char* t) {
    std::string next = t ? t : "";
    if (next == text) return;
    text = std::move(next);
    characterCount = static_cast<int>(text.size());
    setDirty(true);
}

void CCharacterDisplay::setCharacterCount(int count) {
    characterCount = count < 0 ? 0 : count;
    setDirty(true);
}

void CCharacterDisplay::setAlignment(int align) {
    alignment = align < 0 || align > 2 ? 0 : align;
    setDirty(true);
}

bool CCharacterDisplay::isTypeOf(const char* className) const {
    return std::strcmp(className, "CCharacterDisplay") == 0 || CView::isTypeOf(className);
}

CVXTextDisplay::CVXTextDisplay(const CRect& size, CFontrastResource* font, const char* t)
    : CCharacterDisplay(size, t), font(font) {
    if (font) {
        font->remember();
        font->setAlpha(255);
    }
    alignment = 0;
    setTransparency(false);
}

CVXTextDisplay::~CVXTextDisplay() {
    if (font) font->forget();
}

void CVXTextDisplay::setFade(uint8_t value) {
    setTransparency(value != 255);
    fade = value;
    if (font) font->setAlpha(value);
    setDirty(true);
}

void CVXTextDisplay::draw(CDrawContext* context) {
    setDirty(false);
    if (!font) return;
    int count = std::min(characterCount, static_cast<int>(text.size()));
    int x = size.left;
    if (alignment == 1 || alignment == 2) {
        int width = 0;
        for (int i = 0; i < count; ++i) {
            FontrastGlyph g = font->getGlyph(static_cast<unsigned char>(text[i]));
            width += g.advance - g.overhang;
        }
        x = alignment == 1 ? (size.left + size.right) / 2 - width / 2 : size.right - width;
    }
    font->drawString(context, CPoint(x, size.top), text.c_str(), 0);
}

bool CVXTextDisplay::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXTextDisplay") == 0 || CCharacterDisplay::isTypeOf(className);
}

CVXTextDisplay* CVXTextDisplay::newCopy() const {
    auto* copy = new CVXTextDisplay(size, font, text.c_str());
    copy->characterCount = characterCount;
    copy->alignment = alignment;
    copy->fade = fade;
    copy->setTransparency(transparent);
    copy->setBackground(background);
    copy->setBackOffset(backOffset);
    copy->setMouseableArea(mouseableArea);
    copy->setMouseEnabled(mouseEnabled);
    copy->setVisible(visible);
    return copy;
}

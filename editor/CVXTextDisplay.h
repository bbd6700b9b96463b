#pragma once
#include "gui/CView.h"

#include <cstdint>
#include <string>

class CFontrastResource;

// A line of text with an alignment (0 left, 1 centred, 2 right). The character count says how
// many leading characters the alignment measures; setText makes it the whole text.
class CCharacterDisplay : public CView {
public:
    CCharacterDisplay(const CRect& size, const char* text = nullptr);

    virtual void setText(const char* text);
    const std::string& getText() const { return text; }
    virtual void setCharacterCount(int count);
    int getCharacterCount() const { return characterCount; }
    virtual void setAlignment(int align);
    int getAlignment() const { return alignment; }
    bool isTypeOf(const char* className) const override;

protected:
    std::string text;
    int characterCount = 0;
    int alignment = 0;
};

// A caption drawn with a bitmap font from the top of its rectangle.
//
// The fade is the font's alpha: fonts are shared, so a fade shows on every text later drawn
// with the same font until it is set again.
class CVXTextDisplay : public CCharacterDisplay {
public:
    CVXTextDisplay(const CRect& size, CFontrastResource* font, const char* text);
    ~CVXTextDisplay() override;

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;
    // 255 draws opaque; anything less draws the text that translucent.
    virtual void setFade(uint8_t fade);
    uint8_t getFade() const { return fade; }
    CFontrastResource* getFont() const { return font; }

    virtual CVXTextDisplay* newCopy() const;

protected:
    CFontrastResource* font;
    uint8_t fade = 255;
};

#pragma once
#include "editor/CVXBitmap.h"
#include "gui/CBaseObject.h"

#include <cstddef>
#include <cstdint>
#include <map>

class CDrawContext;

// One glyph of a bitmap font: where it lies in the sheet and how the pen moves past it.
struct FontrastGlyph {
    uint16_t code = 0;
    uint16_t reserved = 0;
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t overhang = 0; // pixels the box starts left of the pen
    uint16_t advance = 0;
};

// A bitmap font: the PNG glyph sheet "DATA" n and the glyph map "FONTRAST_MAP" n of the
// module. Text is 8-bit, one glyph per byte, drawn from the top-left of its line; codes the
// map lacks draw as its first glyph (the space).
class CFontrastResource : public CBaseObject {
public:
    explicit CFontrastResource(int resourceId);
    // A font over a map and sheet the caller supplies (tests); the map bytes must outlive it.
    CFontrastResource(const uint8_t* map, size_t mapSize, CVXBitmap* sheet);
    ~CFontrastResource() override;

    virtual FontrastGlyph getGlyph(int code);
    virtual CVXBitmap* getSheet() { return sheet; }
    virtual int getHeight() const { return height; }
    // alignment 0 left, 1 centred on point.x, 2 right of it.
    virtual void drawString(CDrawContext* context, const CPoint& point, const char* text,
                            int alignment = 0);
    virtual void setAlpha(uint8_t alpha) { sheet->setAlpha(alpha); }
    virtual uint8_t getAlpha() const { return sheet->getAlpha(); }
    // Sum of advance minus overhang over the bytes.
    virtual int stringWidth(const char* text);
    // Index of the first byte at which that running sum exceeds width; the length if never.
    virtual int charsThatFit(int width, const char* text);

    bool hasMap() const { return map != nullptr; }
    int getGlyphCount() const { return glyphCount; }

private:
    void index(const uint8_t* bytes, size_t size);

    CVXBitmap* sheet;
    const uint8_t* map = nullptr;
    const uint8_t* glyphs = nullptr;
    int glyphCount = 0;
    std::map<int8_t, uint16_t> glyphIndex;
    int height = 0;
};

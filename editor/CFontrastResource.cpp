#include "editor/CFontrastResource.h"

#include "platform/KavrelPlatform.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kHeaderSize = 20;
constexpr size_t kRecordSize = 16;

uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

FontrastGlyph readRecord(const uint8_t* p) {
    FontrastGlyph g;
    g.code = le16(p);
    g.reserved = le16(p + 2);
    g.x = le16(p + 4);
    g.y = le16(p + 6);
    g.width = le16(p + 8);
    g.height = le16(p + 10);
    g.overhang = le16(p + 12);
    g.advance = le16(p + 14);
    return g;
}
} // namespace

CFontrastResource::CFontrastResource(int resourceId) : sheet(new CVXBitmap(resourceId)) {
    sheet->setAlpha(255);
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    if (kavrel::platform::loadModuleResource("FONTRAST_MAP", resourceId, &bytes, &size))
        index(bytes, size);
}

CFontrastResource::CFontrastResource(const uint8_t* bytes, size_t size, CVXBitmap* sheetBitmap)
    : sheet(sheetBitmap) {
    if (!sheet)
        sheet = new CVXBitmap(nullptr, 0);
    else
        sheet->remember();
    if (bytes) index(bytes, size);
}

CFontrastResource::~CFontrastResource() {
    sheet->forget();
}

void CFontrastResource::index(const uint8_t* bytes, size_t size) {
    if (size < kHeaderSize) return;
    map = bytes;
    glyphs = bytes + kHeaderSize;
    // At most 127 glyphs (8-bit text, codes above 127 share the low byte of others), and never
    // a record past the map's end.
    int count = std::min<int>(le16(bytes + 10), 127);
    int fits = static_cast<int>((size - kHeaderSize) / kRecordSize);
    glyphCount = std::min(count, fits);
    for (int i = 0; i < glyphCount; ++i) {
        FontrastGlyph g = readRecord(glyphs + i * kRecordSize);
        glyphIndex[static_cast<int8_t>(g.code & 0xFF)] = static_cast<uint16_t>(i);
        if (g.height > height) height = g.height;
    }
}

FontrastGlyph CFontrastResource::getGlyph(int code) {
    if (!map || glyphCount == 0) return FontrastGlyph();
    // A code the map lacks is entered as the first glyph, so it draws and measures as that.
    uint16_t i = glyphIndex[static_cast<int8_t>(code & 0xFF)];
    return readRecord(glyphs + i * kRecordSize);
}

int CFontrastResource::stringWidth(const char* text) {
    if (!text) return 0;
    int width = 0;
    for (const char* c = text; *c; ++c) {
        FontrastGlyph g = getGlyph(static_cast<unsigned char>(*c));
        width += g.advance - g.overhang;
    }
    return width;
}

int CFontrastResource::charsThatFit(int width, const char* text) {
    if (!text) return 0;
    int sum = 0;
    int i = 0;
    for (; text[i]; ++i) {
        FontrastGlyph g = getGlyph(static_cast<unsigned char>(text[i]));
        sum += g.advance - g.overhang;
        if (sum > width) return i;
    }
    return i;
}

void CFontrastResource::drawString(CDrawContext* context, const CPoint& point, const char* text,
                                   int alignment) {
    if (!context || !text) return;
    int x = point.x;
    if (alignment == 1)
        x -= stringWidth(text) / 2;
    else if (alignment == 2)
        x -= stringWidth(text);
    for (const char* c = text; *c; ++c) {
        FontrastGlyph g = getGlyph(static_cast<unsigned char>(*c));
        if (g.width > 0 && g.height > 0) {
            int left = x - g.overhang;
            sheet->drawAlphaBlend(context, CRect(left, point.y, left + g.width, point.y + g.height),
                                  CPoint(g.x, g.y), sheet->getAlpha());
        }
        x += g.advance;
    }
}

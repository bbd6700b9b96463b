#include "gui/CBitmap.h"

#include "platform/KavrelPlatform.h"

#include <cstring>

bool CBitmap::readPngSize(const uint8_t* data, size_t size, int* width, int* height) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // Signature, then the IHDR chunk: length, "IHDR", width, height (big-endian).
    if (!data || size < 24 || std::memcmp(data, signature, 8) != 0 ||
        std::memcmp(data + 12, "IHDR", 4) != 0)
        return false;
    auto be32 = [](const uint8_t* p) {
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    };
    uint32_t w = be32(data + 16), h = be32(data + 20);
    if (w == 0 || h == 0 || w > 0x7FFF || h > 0x7FFF) return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

CBitmap::CBitmap(int resourceId) : resourceId(resourceId) {
    if (kavrel::platform::loadModuleResource("DATA", resourceId, &png, &pngSize) &&
        !readPngSize(png, pngSize, &width, &height)) {
        png = nullptr;
        pngSize = 0;
    }
}

CBitmap::CBitmap(const uint8_t* data, size_t size) : png(data), pngSize(size) {
    if (!readPngSize(png, pngSize, &width, &height)) {
        png = nullptr;
        pngSize = 0;
    }
}

CBitmap::CBitmap(std::unique_ptr<CPlatformImage> decoded)
    : decodeTried(true), image(std::move(decoded)) {
    if (image) {
        width = image->getWidth();
        height = image->getHeight();
    }
}

CBitmap::~CBitmap() = default;

CPlatformImage* CBitmap::getPlatformImage() {
    if (!decodeTried) {
        decodeTried = true;
        if (png) image = gui::decodePng(png, pngSize);
        // A header that lied about the size must not let draws read past the pixels.
        if (image && (image->getWidth() != width || image->getHeight() != height)) {
            width = image->getWidth();
            height = image->getHeight();
        }
    }
    return image.get();
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& offset) {
    drawAlphaBlend(context, dest, offset, 255);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& dest, const CPoint& offset) {
    drawAlphaBlend(context, dest, offset, 255);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& dest, const CPoint& offset,
                             uint8_t alpha) {
    if (!context) return;
    if (CPlatformImage* decoded = getPlatformImage())
        context->drawImage(decoded, dest, offset, alpha);
}

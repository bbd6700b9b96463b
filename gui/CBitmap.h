#pragma once
#include "gui/CBaseObject.h"
#include "gui/CDrawContext.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// An image from a PNG resource of the module ("DATA", by number) or from PNG bytes. Its size
// comes from the PNG header; the pixels are decoded the first time it is drawn, so editors
// that never open a window never decode.
class CBitmap : public CBaseObject {
public:
    explicit CBitmap(int resourceId);
    // The bytes must outlive the bitmap (module resources do).
    CBitmap(const uint8_t* png, size_t size);
    explicit CBitmap(std::unique_ptr<CPlatformImage> image);
    ~CBitmap() override;

    int getResourceId() const { return resourceId; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // False when there is no such resource or the bytes are not a PNG.
    bool isLoaded() const { return width > 0 && height > 0; }
    bool isDecoded() const { return image != nullptr; }

    // Draws the image from offset into dest (same size, clipped to dest).
    virtual void draw(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint());
    // PNG carries its own transparency: the same as draw.
    virtual void drawTransparent(CDrawContext* context, const CRect& dest,
                                 const CPoint& offset = CPoint());
    virtual void drawAlphaBlend(CDrawContext* context, const CRect& dest, const CPoint& offset,
                                uint8_t alpha);

    // Decodes now if not yet done; null when the PNG cannot be decoded.
    CPlatformImage* getPlatformImage();

    // Width and height from a PNG's header without decoding it; false when it is no PNG.
    static bool readPngSize(const uint8_t* data, size_t size, int* width, int* height);

private:
    int resourceId = -1;
    const uint8_t* png = nullptr;
    size_t pngSize = 0;
    int width = 0;
    int height = 0;
    bool decodeTried = false;
    std::unique_ptr<CPlatformImage> image;
};

#pragma once
#include "gui/CBitmap.h"

// A bitmap drawn alpha-blended with an alpha of its own, whichever draw is asked for.
class CVXBitmap : public CBitmap {
public:
    using CBitmap::CBitmap;

    void draw(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint()) override {
        CBitmap::drawAlphaBlend(context, dest, offset, alpha);
    }
    void drawTransparent(CDrawContext* context, const CRect& dest,
                         const CPoint& offset = CPoint()) override {
        CBitmap::drawAlphaBlend(context, dest, offset, alpha);
    }
    virtual void setAlpha(uint8_t value) { alpha = value; }
    virtual uint8_t getAlpha() const { return alpha; }

private:
    uint8_t alpha = 255;
};

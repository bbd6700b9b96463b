#pragma once
#include "gui/CDrawContext.h"

typedef struct _cairo_surface cairo_surface_t;

// A decoded image of the cairo backend: an image surface it owns.
class CairoImage : public CPlatformImage {
public:
    explicit CairoImage(cairo_surface_t* surface) : surface(surface) {}
    ~CairoImage() override;
    int getWidth() const override;
    int getHeight() const override;

    cairo_surface_t* surface;
};

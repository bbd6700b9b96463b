// Drawing backend on cairo: the back buffer is a cairo image surface (ARGB32, premultiplied),
// PNG goes through cairo's own reader and writer.
#include "gui/CDrawContext.h"
#include "gui/platform/CairoImage.h"

#include <cairo.h>
#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct PngReader {
    const uint8_t* data;
    size_t size;
    size_t position;
};

cairo_status_t readPngBytes(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (reader->size - reader->position < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->position, length);
    reader->position += length;
    return CAIRO_STATUS_SUCCESS;
}

void setColor(cairo_t* cr, const CColor& c) {
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void buildPath(cairo_t* cr, const CDevicePath& path) {
    cairo_new_path(cr);
    for (const CDevicePath::Element& e : path.elements) {
        switch (e.kind) {
        case CDevicePath::kMove:
            cairo_move_to(cr, e.x0, e.y0);
            break;
        case CDevicePath::kLine:
            cairo_line_to(cr, e.x0, e.y0);
            break;
        case CDevicePath::kArc: {
            double cx = (e.x0 + e.x1) * 0.5, cy = (e.y0 + e.y1) * 0.5;
            double rx = (e.x1 - e.x0) * 0.5, ry = (e.y1 - e.y0) * 0.5;
            double a0 = e.startAngle * kPi / 180.0,
                   a1 = (e.startAngle + e.sweepAngle) * kPi / 180.0;
            if (rx <= 0.0 || ry <= 0.0) {
                if (cairo_has_current_point(cr))
                    cairo_line_to(cr, cx, cy);
                else
                    cairo_move_to(cr, cx, cy);
                break;
            }
            // cairo's angles grow clockwise on a y-down surface, as ours do.
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_scale(cr, rx, ry);
            if (e.sweepAngle >= 0.0)
                cairo_arc(cr, 0.0, 0.0, 1.0, a0, a1);
            else
                cairo_arc_negative(cr, 0.0, 0.0, 1.0, a0, a1);
            cairo_restore(cr);
            break;
        }
        case CDevicePath::kClose:
            cairo_close_path(cr);
            break;
        }
    }
}

class CairoOffscreenContext : public COffscreenContext {
public:
    CairoOffscreenContext(int w, int h, double scale) : COffscreenContext(w, h, scale) {
        surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        cr = cairo_create(surface);
    }
    ~CairoOffscreenContext() override {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    bool ok() const {
        return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
               cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    }

    void clear(const CColor& color) override {
        cairo_save(cr);
        cairo_reset_clip(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        setColor(cr, color);
        cairo_paint(cr);
        cairo_restore(cr);
    }

    std::vector<uint8_t> readPixels() const override {
        cairo_surface_flush(surface);
        std::vector<uint8_t> out(static_cast<size_t>(deviceWidth) * deviceHeight * 4);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        uint8_t* o = out.data();
        for (int y = 0; y < deviceHeight; ++y) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
            for (int x = 0; x < deviceWidth; ++x) {
                uint32_t p = row[x];
                uint32_t a = p >> 24;
                uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                if (a != 0 && a != 255) {
                    r = (r * 255 + a / 2) / a;
                    g = (g * 255 + a / 2) / a;
                    b = (b * 255 + a / 2) / a;
                }
                *o++ = static_cast<uint8_t>(r);
                *o++ = static_cast<uint8_t>(g);
                *o++ = static_cast<uint8_t>(b);
                *o++ = static_cast<uint8_t>(a);
            }
        }
        return out;
    }

    bool writePng(const char* path) const override {
        cairo_surface_flush(surface);
        return cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
    }

    void* getNativeImage() const override { return surface; }

protected:
    void setDeviceClip(double left, double top, double right, double bottom) override {
        cairo_reset_clip(cr);
        cairo_new_path(cr);
        cairo_rectangle(cr, left, top, right - left, bottom - top);
        cairo_clip(cr);
    }

    void applyMode() {
        cairo_set_antialias(cr, getDrawMode() == kAntialias ? CAIRO_ANTIALIAS_DEFAULT
                                                            : CAIRO_ANTIALIAS_NONE);
    }

    void fillDevicePath(const CDevicePath& path, const CColor& color) override {
        applyMode();
        buildPath(cr, path);
        setColor(cr, color);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_fill(cr);
    }

    void strokeDevicePath(const CDevicePath& path, const CColor& color, double width) override {
        applyMode();
        buildPath(cr, path);
        setColor(cr, color);
        cairo_set_line_width(cr, width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        if (getLineStyle() == kLineOnOffDash) {
            double dash[2] = {width, width};
            cairo_set_dash(cr, dash, 2, 0.0);
        } else {
            cairo_set_dash(cr, nullptr, 0, 0.0);
        }
        cairo_stroke(cr);
    }

    void drawDeviceImage(CPlatformImage* image, double left, double top, double right,
                         double bottom, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                         uint8_t alpha) override {
        cairo_surface_t* source = static_cast<CairoImage*>(image)->surface;
        double sx = (right - left) / sourceWidth, sy = (bottom - top) / sourceHeight;
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_rectangle(cr, left, top, right - left, bottom - top);
        cairo_clip(cr);
        cairo_translate(cr, left, top);
        cairo_scale(cr, sx, sy);
        cairo_set_source_surface(cr, source, -sourceX, -sourceY);
        bool whole = std::fabs(sx - std::round(sx)) < 1e-9 && std::fabs(sy - std::round(sy)) < 1e-9;
        cairo_pattern_set_filter(cairo_get_source(cr),
                                 whole ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
        if (alpha == 255)
            cairo_paint(cr);
        else
            cairo_paint_with_alpha(cr, alpha / 255.0);
        cairo_restore(cr);
    }

private:
    cairo_surface_t* surface;
    cairo_t* cr;
};

} // namespace

CairoImage::~CairoImage() {
    cairo_surface_destroy(surface);
}
int CairoImage::getWidth() const {
    return cairo_image_surface_get_width(surface);
}
int CairoImage::getHeight() const {
    return cairo_image_surface_get_height(surface);
}

std::unique_ptr<COffscreenContext> gui::createOffscreenContext(int deviceWidth, int deviceHeight,
                                                               double scaleFactor) {
    if (deviceWidth <= 0 || deviceHeight <= 0) return nullptr;
    auto context = std::make_unique<CairoOffscreenContext>(deviceWidth, deviceHeight, scaleFactor);
    if (!context->ok()) return nullptr;
    return context;
}

std::unique_ptr<CPlatformImage> gui::decodePng(const uint8_t* data, size_t size) {
    if (!data || size == 0) return nullptr;
    PngReader reader{data, size, 0};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readPngBytes, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::make_unique<CairoImage>(surface);
}

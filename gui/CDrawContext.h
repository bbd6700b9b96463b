#pragma once
#include "gui/CGeometry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Drawing for views. Views draw in frame coordinates; the context adds its own offset, then
// multiplies by one scale factor into device pixels. Everything below the "backend" line is
// what a drawing backend (cairo, GDI+) implements; see gui/README.md.

enum CDrawStyle { kDrawStroked = 0, kDrawFilled = 1, kDrawFilledAndStroked = 2 };
enum CLineStyle { kLineSolid = 0, kLineOnOffDash = 1 };
enum CDrawMode { kAliasing = 0, kAntialias = 1 };

// A decoded image owned by one backend (cairo surface, GDI+ bitmap). Pixels are RGBA with
// straight alpha as far as callers are concerned.
class CPlatformImage {
public:
    virtual ~CPlatformImage() = default;
    virtual int getWidth() const = 0;
    virtual int getHeight() const = 0;
};

// A path in device pixels, as the backend receives it. Angles are degrees, clockwise from the
// positive x axis (y grows downwards); an arc follows the ellipse inscribed in its box and is
// joined to the current point by a straight line when there is one.
struct CDevicePath {
    enum Kind { kMove, kLine, kArc, kClose };
    struct Element {
        Kind kind = kMove;
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0; // point (x0, y0), or the arc's box
        double startAngle = 0, sweepAngle = 0;
    };
    std::vector<Element> elements;
    void add(Kind kind, double x0 = 0, double y0 = 0, double x1 = 0, double y1 = 0,
             double start = 0, double sweep = 0) {
        Element e;
        e.kind = kind;
        e.x0 = x0;
        e.y0 = y0;
        e.x1 = x1;
        e.y1 = y1;
        e.startAngle = start;
        e.sweepAngle = sweep;
        elements.push_back(e);
    }
    void moveTo(double x, double y) { add(kMove, x, y); }
    void lineTo(double x, double y) { add(kLine, x, y); }
    void arc(double l, double t, double r, double b, double start, double sweep) {
        add(kArc, l, t, r, b, start, sweep);
    }
    void close() { add(kClose); }
};

// A path built by a view in frame coordinates, filled or stroked through the context.
class CGraphicsPath {
public:
    void moveTo(const CPoint& p) { path.moveTo(p.x, p.y); }
    void lineTo(const CPoint& p) { path.lineTo(p.x, p.y); }
    // A wedge of the ellipse inscribed in rect: centre, arc from startAngle over sweepAngle
    // degrees (clockwise for positive sweeps), back to the centre.
    void addPie(const CRect& rect, double startAngle, double sweepAngle);
    // An open arc of the ellipse inscribed in rect.
    void addArc(const CRect& rect, double startAngle, double sweepAngle);
    void closeSubpath() { path.close(); }
    // The same elements, still in frame coordinates.
    const CDevicePath& getElements() const { return path; }

private:
    CDevicePath path;
};

class CDrawContext {
public:
    virtual ~CDrawContext() = default;

    // State. Setters take effect for every later operation.
    void setFillColor(const CColor& color) { fillColor = color; }
    const CColor& getFillColor() const { return fillColor; }
    void setFrameColor(const CColor& color) { frameColor = color; }
    const CColor& getFrameColor() const { return frameColor; }
    void setLineWidth(int width) { lineWidth = width < 1 ? 1 : width; }
    int getLineWidth() const { return lineWidth; }
    void setLineStyle(CLineStyle style) { lineStyle = style; }
    CLineStyle getLineStyle() const { return lineStyle; }
    void setDrawMode(CDrawMode mode) { drawMode = mode; }
    CDrawMode getDrawMode() const { return drawMode; }
    // Clip rectangle in frame coordinates (before the offset); reset clips to the whole target.
    void setClipRect(const CRect& rect);
    void resetClipRect();
    const CRect& getClipRect() const { return clipRect; }
    void setOffset(const CPoint& point) { offset = point; }
    const CPoint& getOffset() const { return offset; }
    double getScaleFactor() const { return scale; }
    // The target's size in view coordinates.
    CRect getTargetRect() const;

    // Lines with the frame colour and pen. A one-pixel pen covers the pixels the line passes.
    void moveTo(const CPoint& point) { penPosition = point; }
    void lineTo(const CPoint& point);
    void drawLine(const CPoint& from, const CPoint& to);
    // Style 0 stroked, 1 filled, 2 both. A stroked rectangle covers columns left..right-1 and
    // rows top..bottom-1, one pixel smaller than the filled one in width and height.
    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    // The ellipse in the bounding box one pixel smaller in width and height.
    void drawEllipse(const CRect& rect, CDrawStyle style = kDrawStroked);
    void fillEllipse(const CRect& rect) { drawEllipse(rect, kDrawFilled); }
    // Arc of the ellipse inscribed in rect (one pixel smaller), clockwise from startAngle to
    // endAngle in degrees; a start beyond the end wraps through 360.
    void drawArc(const CRect& rect, float startAngle, float endAngle);
    void fillPath(const CGraphicsPath& path);
    void strokePath(const CGraphicsPath& path);
    // Draws the part of image starting at source (image pixels) into dest, blended with the
    // image's own alpha times alpha / 255.
    void drawImage(CPlatformImage* image, const CRect& dest, const CPoint& source,
                   uint8_t alpha = 255);

    // ---- backend ----
protected:
    CDrawContext(int deviceWidth, int deviceHeight, double scaleFactor);

    // Coordinates are device pixels. State (colours, pen, dash, anti-aliasing) is read through
    // the getters above; the clip is passed by setDeviceClip whenever it changes.
    virtual void setDeviceClip(double left, double top, double right, double bottom) = 0;
    virtual void fillDevicePath(const CDevicePath& path, const CColor& color) = 0;
    virtual void strokeDevicePath(const CDevicePath& path, const CColor& color, double width) = 0;
    virtual void drawDeviceImage(CPlatformImage* image, double left, double top, double right,
                                 double bottom, int sourceX, int sourceY, int sourceWidth,
                                 int sourceHeight, uint8_t alpha) = 0;

    int deviceWidth;
    int deviceHeight;

private:
    double toDeviceX(double x) const { return (x + offset.x) * scale; }
    double toDeviceY(double y) const { return (y + offset.y) * scale; }
    double penWidthDevice() const { return lineWidth * scale; }
    // A stroke of odd device width is centred on pixel centres.
    double strokeShift() const;
    CDevicePath toDevice(const CGraphicsPath& path, double shift) const;

    CColor fillColor = kWhiteCColor;
    CColor frameColor = kBlackCColor;
    int lineWidth = 1;
    CLineStyle lineStyle = kLineSolid;
    CDrawMode drawMode = kAliasing;
    CRect clipRect;
    CPoint offset;
    CPoint penPosition;
    double scale;
};

// A context drawing into an image of its own: the frame's back buffer, and the target of
// tests and tools. Pixels read back as straight-alpha RGBA rows.
class COffscreenContext : public CDrawContext {
public:
    int getDeviceWidth() const { return deviceWidth; }
    int getDeviceHeight() const { return deviceHeight; }
    // Sets every pixel of the image, ignoring the clip.
    virtual void clear(const CColor& color) = 0;
    // deviceWidth * deviceHeight * 4 bytes, row by row, R G B A.
    virtual std::vector<uint8_t> readPixels() const = 0;
    virtual bool writePng(const char* path) const = 0;
    // The backend's own handle of the image (cairo_surface_t*, GpBitmap*), for the window
    // that presents it.
    virtual void* getNativeImage() const = 0;

protected:
    using CDrawContext::CDrawContext;
};

// Implemented once per drawing backend.
namespace gui {
// An offscreen context of the given device size and scale factor; null on failure.
std::unique_ptr<COffscreenContext> createOffscreenContext(int deviceWidth, int deviceHeight,
                                                          double scaleFactor = 1.0);
// Decodes PNG bytes; null when they are not a PNG the backend can read.
std::unique_ptr<CPlatformImage> decodePng(const uint8_t* data, size_t size);
} // namespace gui

// Drawing backend on the GDI+ flat API: the back buffer is a 32-bit ARGB (straight alpha)
// GpBitmap over memory of our own, so the window can copy it without a conversion and tests
// read it directly. Paths reach GDI+ as explicit points and types, arcs already turned into
// Bézier segments the way cairo does it, so both backends rasterise the same outline.
#include "gui/CDrawContext.h"
#include "gui/platform/GdiPlusSupport.h"

#include <windows.h>
// windows.h first: the GDI+ headers rely on its types.
#include <gdiplus.h>
#include <objidl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr double kPi = 3.14159265358979323846;
// Larger images are refused: no skin comes near this, a hostile resource would.
constexpr UINT kMaxImageSide = 16384;

std::mutex sessionMutex;
int sessionCount = 0;
ULONG_PTR sessionToken = 0;

ARGB toArgb(const CColor& c) {
    return (static_cast<ARGB>(c.alpha) << 24) | (static_cast<ARGB>(c.red) << 16) |
           (static_cast<ARGB>(c.green) << 8) | static_cast<ARGB>(c.blue);
}

// A bitmap over pixel memory owned by this object (32 bpp, rows of width * 4 bytes).
struct PixelBitmap {
    std::vector<uint32_t> pixels;
    GpBitmap* bitmap = nullptr;
    int width = 0;
    int height = 0;

    bool create(int w, int h, PixelFormat format) {
        width = w;
        height = h;
        pixels.assign(static_cast<size_t>(w) * h, 0);
        return GdipCreateBitmapFromScan0(w, h, w * 4, format,
                                         reinterpret_cast<BYTE*>(pixels.data()), &bitmap) == Ok &&
               bitmap;
    }
    ~PixelBitmap() {
        if (bitmap) GdipDisposeImage(bitmap);
    }
};

class GdiPlusImage : public CPlatformImage {
public:
    int getWidth() const override { return image.width; }
    int getHeight() const override { return image.height; }

    gui::gdiplus::Session session; // first in, last out: GDI+ outlives the bitmap
    PixelBitmap image;
};

// Appends an elliptic arc as cubic Bézier segments of at most 90 degrees each.
void appendArc(std::vector<GpPointF>& points, std::vector<BYTE>& types, double cx, double cy,
               double rx, double ry, double a0, double sweep) {
    int segments = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (kPi / 2) - 1e-9)));
    double step = sweep / segments;
    double h = 4.0 / 3.0 * std::tan(step / 4.0);
    for (int i = 0; i < segments; ++i) {
        double s = a0 + step * i, e = s + step;
        double cs = std::cos(s), ss = std::sin(s), ce = std::cos(e), se = std::sin(e);
        GpPointF p1(static_cast<REAL>(cx + rx * (cs - h * ss)),
                    static_cast<REAL>(cy + ry * (ss + h * cs)));
        GpPointF p2(static_cast<REAL>(cx + rx * (ce + h * se)),
                    static_cast<REAL>(cy + ry * (se - h * ce)));
        GpPointF p3(static_cast<REAL>(cx + rx * ce), static_cast<REAL>(cy + ry * se));
        points.push_back(p1);
        points.push_back(p2);
        points.push_back(p3);
        types.insert(types.end(), 3, PathPointTypeBezier);
    }
}

// Our path elements as GDI+ point and type arrays. Figures of a single point are dropped.
class PathBuilder {
public:
    std::vector<GpPointF> points;
    std::vector<BYTE> types;

    void build(const CDevicePath& path) {
        points.clear();
        types.clear();
        open = false;
        hasStart = false;
        for (const CDevicePath::Element& e : path.elements) {
            switch (e.kind) {
            case CDevicePath::kMove:
                dropLonePoint();
                points.emplace_back(static_cast<REAL>(e.x0), static_cast<REAL>(e.y0));
                types.push_back(PathPointTypeStart);
                figureStart = points.back();
                open = true;
                break;
            case CDevicePath::kLine:
                lineTo(e.x0, e.y0);
                break;
            case CDevicePath::kArc: {
                double cx = (e.x0 + e.x1) * 0.5, cy = (e.y0 + e.y1) * 0.5;
                double rx = (e.x1 - e.x0) * 0.5, ry = (e.y1 - e.y0) * 0.5;
                if (rx <= 0.0 || ry <= 0.0) {
                    lineTo(cx, cy);
                    break;
                }
                double a0 = e.startAngle * kPi / 180.0, sweep = e.sweepAngle * kPi / 180.0;
                lineTo(cx + rx * std::cos(a0), cy + ry * std::sin(a0));
                if (sweep != 0.0) appendArc(points, types, cx, cy, rx, ry, a0, sweep);
                break;
            }
            case CDevicePath::kClose:
                if (open) {
                    types.back() |= PathPointTypeCloseSubpath;
                    open = false;
                    hasStart = true; // a line after a close starts where the figure did
                }
                break;
            }
        }
        dropLonePoint();
    }

private:
    void lineTo(double x, double y) {
        GpPointF p(static_cast<REAL>(x), static_cast<REAL>(y));
        if (!open) {
            GpPointF start = hasStart ? figureStart : p;
            points.push_back(start);
            types.push_back(PathPointTypeStart);
            figureStart = start;
            open = true;
            if (!hasStart) return;
        }
        // A repeated point would give the stroke a join without a direction.
        const GpPointF& last = points.back();
        if (std::fabs(last.X - p.X) < 1e-4f && std::fabs(last.Y - p.Y) < 1e-4f) return;
        points.push_back(p);
        types.push_back(PathPointTypeLine);
    }
    void dropLonePoint() {
        if (!types.empty() && (types.back() & PathPointTypePathTypeMask) == PathPointTypeStart) {
            points.pop_back();
            types.pop_back();
        }
    }

    bool open = false;
    bool hasStart = false;
    GpPointF figureStart;
};

class GdiPlusOffscreenContext : public COffscreenContext {
public:
    GdiPlusOffscreenContext(int w, int h, double scale) : COffscreenContext(w, h, scale) {
        // Straight alpha, so that what tests and PNGs read is what was drawn.
        if (!session.isRunning() || !target.create(w, h, PixelFormat32bppARGB)) return;
        if (GdipGetImageGraphicsContext(target.bitmap, &graphics) != Ok) return;
        // Pixel (x, y) covers x..x+1, its centre at x + 0.5. PixelOffsetModeHalf says the
        // same, but not every GDI+ applies it to pens and regions (wine's does not); moving
        // the world by half a pixel means the same everywhere.
        GdipSetPixelOffsetMode(graphics, PixelOffsetModeNone);
        GdipTranslateWorldTransform(graphics, -0.5f, -0.5f, MatrixOrderAppend);
        GdipSetCompositingMode(graphics, CompositingModeSourceOver);
        GdipSetPageUnit(graphics, UnitPixel);
        GdipCreateSolidFill(0, &brush);
        GdipCreatePen1(0, 1.0f, UnitPixel, &pen);
        if (pen) {
            GdipSetPenLineJoin(pen, LineJoinMiter);
            GdipSetPenMiterLimit(pen, 10.0f);
            GdipSetPenStartCap(pen, LineCapFlat);
            GdipSetPenEndCap(pen, LineCapFlat);
        }
        // Edges sample inside the source rectangle instead of fading into nothing.
        GdipCreateImageAttributes(&plainAttributes);
        GdipCreateImageAttributes(&fadeAttributes);
        if (plainAttributes)
            GdipSetImageAttributesWrapMode(plainAttributes, WrapModeTileFlipXY, 0, FALSE);
        if (fadeAttributes)
            GdipSetImageAttributesWrapMode(fadeAttributes, WrapModeTileFlipXY, 0, FALSE);
    }
    ~GdiPlusOffscreenContext() override {
        if (fadeAttributes) GdipDisposeImageAttributes(fadeAttributes);
        if (plainAttributes) GdipDisposeImageAttributes(plainAttributes);
        if (pen) GdipDeletePen(pen);
        if (brush) GdipDeleteBrush(brush);
        if (graphics) GdipDeleteGraphics(graphics);
    }
    bool ok() const { return graphics && brush && pen && plainAttributes && fadeAttributes; }

    void clear(const CColor& color) override {
        GdipFlush(graphics, FlushIntentionSync);
        std::fill(target.pixels.begin(), target.pixels.end(), static_cast<uint32_t>(toArgb(color)));
    }

    std::vector<uint8_t> readPixels() const override {
        GdipFlush(graphics, FlushIntentionSync);
        std::vector<uint8_t> out(target.pixels.size() * 4);
        uint8_t* o = out.data();
        for (uint32_t p : target.pixels) {
            *o++ = static_cast<uint8_t>(p >> 16);
            *o++ = static_cast<uint8_t>(p >> 8);
            *o++ = static_cast<uint8_t>(p);
            *o++ = static_cast<uint8_t>(p >> 24);
        }
        return out;
    }

    bool writePng(const char* path) const override;

    void* getNativeImage() const override { return target.bitmap; }

protected:
    void setDeviceClip(double left, double top, double right, double bottom) override {
        GdipSetClipRect(graphics, static_cast<REAL>(left), static_cast<REAL>(top),
                        static_cast<REAL>(right - left), static_cast<REAL>(bottom - top),
                        CombineModeReplace);
    }

    void applyMode() {
        GdipSetSmoothingMode(graphics, getDrawMode() == kAntialias ? SmoothingModeAntiAlias
                                                                   : SmoothingModeNone);
    }

    GpPath* makePath(const CDevicePath& path) {
        builder.build(path);
        if (builder.points.size() < 2) return nullptr;
        GpPath* result = nullptr;
        if (GdipCreatePath2(builder.points.data(), builder.types.data(),
                            static_cast<INT>(builder.points.size()), FillModeWinding,
                            &result) != Ok)
            return nullptr;
        return result;
    }

    void fillDevicePath(const CDevicePath& path, const CColor& color) override {
        GpPath* p = makePath(path);
        if (!p) return;
        applyMode();
        GdipSetSolidFillColor(brush, toArgb(color));
        GdipFillPath(graphics, brush, p);
        GdipDeletePath(p);
    }

    void strokeDevicePath(const CDevicePath& path, const CColor& color, double width) override {
        GpPath* p = makePath(path);
        if (!p) return;
        applyMode();
        GdipSetPenColor(pen, toArgb(color));
        GdipSetPenWidth(pen, static_cast<REAL>(width));
        if (getLineStyle() == kLineOnOffDash) {
            // Dash lengths count in pen widths: on one width, off one width.
            const REAL dashes[2] = {1.0f, 1.0f};
            GdipSetPenDashArray(pen, dashes, 2);
        } else {
            GdipSetPenDashStyle(pen, DashStyleSolid);
        }
        GdipDrawPath(graphics, pen, p);
        GdipDeletePath(p);
    }

    void drawDeviceImage(CPlatformImage* image, double left, double top, double right,
                         double bottom, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                         uint8_t alpha) override {
        auto* source = static_cast<GdiPlusImage*>(image);
        if (!source->image.bitmap) return;
        double sx = (right - left) / sourceWidth, sy = (bottom - top) / sourceHeight;
        bool whole = std::fabs(sx - std::round(sx)) < 1e-9 && std::fabs(sy - std::round(sy)) < 1e-9;
        GdipSetInterpolationMode(graphics, whole ? InterpolationModeNearestNeighbor
                                                 : InterpolationModeHighQualityBilinear);
        GpImageAttributes* attributes = plainAttributes;
        if (alpha != 255) {
            ColorMatrix matrix{};
            for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
            matrix.m[3][3] = alpha / 255.0f;
            GdipSetImageAttributesColorMatrix(fadeAttributes, ColorAdjustTypeDefault, TRUE, &matrix,
                                              nullptr, ColorMatrixFlagsDefault);
            attributes = fadeAttributes;
        }
        GdipDrawImageRectRect(
            graphics, source->image.bitmap, static_cast<REAL>(left), static_cast<REAL>(top),
            static_cast<REAL>(right - left), static_cast<REAL>(bottom - top),
            static_cast<REAL>(sourceX), static_cast<REAL>(sourceY), static_cast<REAL>(sourceWidth),
            static_cast<REAL>(sourceHeight), UnitPixel, attributes, nullptr, nullptr);
    }

private:
    gui::gdiplus::Session session; // first in, last out
    PixelBitmap target;
    GpGraphics* graphics = nullptr;
    GpSolidFill* brush = nullptr;
    GpPen* pen = nullptr;
    GpImageAttributes* plainAttributes = nullptr;
    GpImageAttributes* fadeAttributes = nullptr;
    PathBuilder builder;
};

bool pngEncoder(CLSID* clsid) {
    UINT count = 0, bytes = 0;
    if (GdipGetImageEncodersSize(&count, &bytes) != Ok || bytes == 0) return false;
    std::vector<uint8_t> buffer(bytes);
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GdipGetImageEncoders(count, bytes, codecs) != Ok) return false;
    for (UINT i = 0; i < count; ++i)
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    return false;
}

bool GdiPlusOffscreenContext::writePng(const char* path) const {
    CLSID clsid;
    if (!path || !pngEncoder(&clsid)) return false;
    int length = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    if (length <= 0) return false;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path, -1, &wide[0], length);
    GdipFlush(graphics, FlushIntentionSync);
    return GdipSaveImageToFile(target.bitmap, wide.c_str(), &clsid, nullptr) == Ok;
}

} // namespace

gui::gdiplus::Session::Session() {
    std::lock_guard<std::mutex> lock(sessionMutex);
    if (sessionCount == 0) {
        GdiplusStartupInput input;
        if (GdiplusStartup(&sessionToken, &input, nullptr) != Ok) {
            running = false;
            return;
        }
    }
    ++sessionCount;
    running = true;
}

gui::gdiplus::Session::~Session() {
    if (!running) return;
    std::lock_guard<std::mutex> lock(sessionMutex);
    if (--sessionCount == 0) {
        GdiplusShutdown(sessionToken);
        sessionToken = 0;
    }
}

int gui::gdiplus::openSessions() {
    std::lock_guard<std::mutex> lock(sessionMutex);
    return sessionCount;
}

std::unique_ptr<COffscreenContext> gui::createOffscreenContext(int deviceWidth, int deviceHeight,
                                                               double scaleFactor) {
    if (deviceWidth <= 0 || deviceHeight <= 0 || deviceWidth > static_cast<int>(kMaxImageSide) ||
        deviceHeight > static_cast<int>(kMaxImageSide))
        return nullptr;
    auto context =
        std::make_unique<GdiPlusOffscreenContext>(deviceWidth, deviceHeight, scaleFactor);
    if (!context->ok()) return nullptr;
    return context;
}

std::unique_ptr<CPlatformImage> gui::decodePng(const uint8_t* data, size_t size) {
    // GDI+ reads many formats; only PNG is asked for here.
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!data || size < sizeof kSignature || size > 0x7FFFFFFF ||
        std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return nullptr;
    auto image = std::make_unique<GdiPlusImage>();
    if (!image->session.isRunning()) return nullptr;

    // The stream owns a copy: GDI+ may read from it for as long as the decoded bitmap lives,
    // and ours is released right after the pixels are copied out.
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    void* bytes = GlobalLock(memory);
    if (!bytes) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(bytes, data, size);
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    GpBitmap* decoded = nullptr;
    GpStatus status = GdipCreateBitmapFromStream(stream, &decoded);
    bool copied = false;
    if (status == Ok && decoded) {
        UINT w = 0, h = 0;
        GdipGetImageWidth(decoded, &w);
        GdipGetImageHeight(decoded, &h);
        if (w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide &&
            image->image.create(static_cast<int>(w), static_cast<int>(h), PixelFormat32bppPARGB)) {
            // Converted straight into our own memory, premultiplied: the format GDI+ blends
            // from without converting on every draw.
            GpRect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
            BitmapData out{};
            out.Width = w;
            out.Height = h;
            out.Stride = static_cast<INT>(w * 4);
            out.PixelFormat = PixelFormat32bppPARGB;
            out.Scan0 = image->image.pixels.data();
            if (GdipBitmapLockBits(decoded, &all, ImageLockModeRead | ImageLockModeUserInputBuf,
                                   PixelFormat32bppPARGB, &out) == Ok) {
                GdipBitmapUnlockBits(decoded, &out);
                copied = true;
            }
        }
        GdipDisposeImage(decoded);
    }
    stream->Release();
    if (!copied) return nullptr;
    return image;
}

#include "gui/CDrawContext.h"

#include <algorithm>
#include <cmath>

void CGraphicsPath::addPie(const CRect& rect, double startAngle, double sweepAngle) {
    path.moveTo((rect.left + rect.right) * 0.5, (rect.top + rect.bottom) * 0.5);
    path.arc(rect.left, rect.top, rect.right, rect.bottom, startAngle, sweepAngle);
    path.close();
}

void CGraphicsPath::addArc(const CRect& rect, double startAngle, double sweepAngle) {
    path.arc(rect.left, rect.top, rect.right, rect.bottom, startAngle, sweepAngle);
}

CDrawContext::CDrawContext(int deviceWidth, int deviceHeight, double scaleFactor)
    : deviceWidth(deviceWidth), deviceHeight(deviceHeight),
      scale(scaleFactor > 0.0 ? scaleFactor : 1.0) {
    clipRect = getTargetRect();
}

CRect CDrawContext::getTargetRect() const {
    return CRect(0, 0, static_cast<int>(std::ceil(deviceWidth / scale)),
                 static_cast<int>(std::ceil(deviceHeight / scale)));
}

void CDrawContext::setClipRect(const CRect& rect) {
    clipRect = rect;
    double l = std::max(0.0, toDeviceX(rect.left));
    double t = std::max(0.0, toDeviceY(rect.top));
    double r = std::min(1.0 * deviceWidth, toDeviceX(rect.right));
    double b = std::min(1.0 * deviceHeight, toDeviceY(rect.bottom));
    if (r < l) r = l;
    if (b < t) b = t;
    setDeviceClip(l, t, r, b);
}

void CDrawContext::resetClipRect() {
    clipRect = getTargetRect();
    clipRect.offset(-offset.x, -offset.y);
    setDeviceClip(0, 0, deviceWidth, deviceHeight);
}

double CDrawContext::strokeShift() const {
    long w = std::lround(penWidthDevice());
    return (w % 2) ? 0.5 : 0.0;
}

CDevicePath CDrawContext::toDevice(const CGraphicsPath& path, double shift) const {
    CDevicePath out;
    out.elements.reserve(path.getElements().elements.size());
    for (CDevicePath::Element e : path.getElements().elements) {
        if (e.kind != CDevicePath::kClose) {
            e.x0 = toDeviceX(e.x0) + shift;
            e.y0 = toDeviceY(e.y0) + shift;
            e.x1 = toDeviceX(e.x1) + shift;
            e.y1 = toDeviceY(e.y1) + shift;
        }
        out.elements.push_back(e);
    }
    return out;
}

void CDrawContext::lineTo(const CPoint& point) {
    drawLine(penPosition, point);
    penPosition = point;
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
    CGraphicsPath path;
    path.moveTo(from);
    path.lineTo(to);
    strokePath(path);
    penPosition = to;
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
    if (rect.isEmpty()) return;
    if (style != kDrawStroked) {
        CGraphicsPath path;
        path.moveTo(CPoint(rect.left, rect.top));
        path.lineTo(CPoint(rect.right, rect.top));
        path.lineTo(CPoint(rect.right, rect.bottom));
        path.lineTo(CPoint(rect.left, rect.bottom));
        path.closeSubpath();
        fillPath(path);
    }
    if (style != kDrawFilled) {
        CGraphicsPath path;
        path.moveTo(CPoint(rect.left, rect.top));
        path.lineTo(CPoint(rect.right - 1, rect.top));
        path.lineTo(CPoint(rect.right - 1, rect.bottom - 1));
        path.lineTo(CPoint(rect.left, rect.bottom - 1));
        path.closeSubpath();
        strokePath(path);
    }
}

void CDrawContext::drawEllipse(const CRect& rect, CDrawStyle style) {
    if (rect.isEmpty()) return;
    CRect box(rect.left, rect.top, rect.right - 1, rect.bottom - 1);
    CGraphicsPath path;
    path.addArc(box, 0.0, 360.0);
    path.closeSubpath();
    // The fill sits on the same pixel centres as the outline.
    if (style != kDrawStroked) fillDevicePath(toDevice(path, 0.5), fillColor);
    if (style != kDrawFilled) strokePath(path);
}

void CDrawContext::drawArc(const CRect& rect, float startAngle, float endAngle) {
    double sweep = endAngle - startAngle;
    if (startAngle > endAngle) sweep += 360.0;
    CGraphicsPath path;
    path.addArc(CRect(rect.left, rect.top, rect.right - 1, rect.bottom - 1), startAngle, sweep);
    strokePath(path);
}

void CDrawContext::fillPath(const CGraphicsPath& path) {
    if (path.getElements().elements.empty()) return;
    fillDevicePath(toDevice(path, 0.0), fillColor);
}

void CDrawContext::strokePath(const CGraphicsPath& path) {
    if (path.getElements().elements.empty()) return;
    strokeDevicePath(toDevice(path, strokeShift()), frameColor, penWidthDevice());
}

void CDrawContext::drawImage(CPlatformImage* image, const CRect& dest, const CPoint& source,
                             uint8_t alpha) {
    if (!image || dest.isEmpty() || alpha == 0) return;
    // Only the part of dest the image covers from source on.
    int sx = source.x, sy = source.y;
    CRect d = dest;
    if (sx < 0) {
        d.left -= sx;
        sx = 0;
    }
    if (sy < 0) {
        d.top -= sy;
        sy = 0;
    }
    d.right = std::min(d.right, d.left + image->getWidth() - sx);
    d.bottom = std::min(d.bottom, d.top + image->getHeight() - sy);
    if (d.isEmpty()) return;
    drawDeviceImage(image, toDeviceX(d.left), toDeviceY(d.top), toDeviceX(d.right),
                    toDeviceY(d.bottom), sx, sy, d.width(), d.height(), alpha);
}

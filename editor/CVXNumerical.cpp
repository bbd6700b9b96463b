#include "editor/CVXNumerical.h"

#include "editor/CFontrastResource.h"
#include "editor/CVXControl.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Copies at most size - 1 bytes and always terminates.
void copyText(char* to, size_t size, const char* from) {
    if (!from) from = "";
    size_t n = std::strlen(from);
    if (n > size - 1) n = size - 1;
    std::memcpy(to, from, n);
    to[n] = '\0';
}

// 1: one integer conversion, 2: one floating conversion, 0: anything else.
int formatKind(const char* f) {
    int kind = 0;
    for (const char* p = f; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p && std::strchr("-+ 0#", *p)) ++p;
        while (*p >= '0' && *p <= '9') ++p;
        if (*p == '.') {
            ++p;
            while (*p >= '0' && *p <= '9') ++p;
        }
        if (kind != 0 || !*p) return 0;
        if (std::strchr("di", *p))
            kind = 1;
        else if (std::strchr("fFeEgG", *p))
            kind = 2;
        else
            return 0;
    }
    return kind;
}

} // namespace

CVXNumerical::CVXNumerical(const CRect& size, CControlListener* listener, long tag,
                           CFontrastResource* font, int, int, const char* suffixText)
    : CControl(size, listener, tag), font(font) {
    if (font) font->remember();
    copyText(suffix, sizeof suffix, suffixText);
    textPoint = CPoint(size.left, size.bottom - (font ? font->getHeight() : 0));
    buildFormat();
}

CVXNumerical::~CVXNumerical() {
    if (font) font->forget();
}

void CVXNumerical::buildFormat() {
    // Wider or more precise than the text buffer makes no sense and would not fit the format.
    int w = width < 0 ? 0 : width > 40 ? 40 : width;
    int p = precision > 40 ? 40 : precision;
    char built[kFormatSize + 8];
    int n =
        std::snprintf(built, sizeof built, "%%%s%s", alignment == 0 ? "-" : "", zeroPad ? "0" : "");
    if (p <= 0)
        std::snprintf(built + n, sizeof built - n, "%dd", w);
    else
        std::snprintf(built + n, sizeof built - n, "%d.%df", w, p);
    copyText(format, sizeof format, built);
    integerFormat = p <= 0;
    setDirty(true);
}

void CVXNumerical::setWidth(int digits) {
    width = digits;
    buildFormat();
}

void CVXNumerical::setPrecision(int digits) {
    precision = digits;
    buildFormat();
}

void CVXNumerical::setZeroPad(bool state) {
    zeroPad = state;
    buildFormat();
}

void CVXNumerical::setAlignment(int align) {
    alignment = align < 0 || align > 2 ? 0 : align;
    buildFormat();
}

void CVXNumerical::setSuffix(const char* t) {
    copyText(suffix, sizeof suffix, t);
    setDirty(true);
}

void CVXNumerical::setFormat(const char* t) {
    char candidate[kFormatSize];
    copyText(candidate, sizeof candidate, t);
    int kind = formatKind(candidate);
    if (kind == 0) return;
    std::memcpy(format, candidate, sizeof format);
    integerFormat = kind == 1;
    setDirty(true);
}

void CVXNumerical::setText(const char* t) {
    copyText(text, sizeof text, t);
    setDirty(true);
}

void CVXNumerical::setAutoFormat(bool state) {
    autoFormat = state;
    setDirty(true);
}

void CVXNumerical::formatText() {
    float v = value;
    if (!(v >= vmin)) v = vmin; // also NaN
    if (v > vmax) v = vmax;
    // Beyond what an int holds the conversion would be undefined.
    if (v > 1.0e9f) v = 1.0e9f;
    if (v < -1.0e9f) v = -1.0e9f;
    int n = integerFormat ? std::snprintf(text, sizeof text, format, static_cast<int>(v))
                          : std::snprintf(text, sizeof text, format, static_cast<double>(v));
    if (n < 0) text[0] = '\0';
    size_t used = std::strlen(text);
    copyText(text + used, sizeof text - used, suffix);
}

int CVXNumerical::textLeft() {
    if (!font || alignment == 0) return textPoint.x;
    int w = font->stringWidth(text);
    return alignment == 1 ? textPoint.x - w / 2 : textPoint.x - w;
}

void CVXNumerical::drawText(CDrawContext* context, const char* shown) {
    if (font) font->drawString(context, textPoint, shown, alignment);
}

void CVXNumerical::draw(CDrawContext* context) {
    if (autoFormat) formatText();
    drawText(context, text);
    setDirty(false);
}

float CVXNumerical::stepForMove(const CPoint& from, const CPoint& to) const {
    int dx = to.x - from.x, dy = to.y - from.y;
    float d = std::abs(dx) > std::abs(dy) ? static_cast<float>(dx) : static_cast<float>(-dy);
    return std::floor(d) * stepPerPixel;
}

long CVXNumerical::onMouseDown(CPoint& where, long buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    dragging = true;
    lastPoint = where;
    lastButtons = buttons;
    stepPerPixel = (vmax - vmin) * sensitivity;
    if (autoFormat) formatText();
    int n = font ? font->charsThatFit(where.x - textLeft(), text) : 0;
    if (width - precision - n - (precision > 0 ? 1 : 0) < 1) stepPerPixel /= 10.0f;
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

long CVXNumerical::onMouseMoved(CPoint& where, long buttons) {
    if (!dragging || !(buttons & kLButton)) return kMouseEventNotHandled;
    if (buttons != lastButtons) {
        lastPoint = where;
        lastButtons = buttons;
    }
    float old = value;
    float next = value + stepForMove(lastPoint, where);
    if (next == value) return kMouseEventHandled;
    value = next;
    bounceValue();
    lastPoint = where;
    if (value != old) {
        notifyValueChanged();
        invalid();
    }
    return kMouseEventHandled;
}

long CVXNumerical::onMouseUp(CPoint&, long) {
    if (!dragging) return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

bool CVXNumerical::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXNumerical") == 0 || CControl::isTypeOf(className);
}

void CVXNumerical::copyNumericalState(CVXNumerical& to) const {
    to.textPoint = textPoint;
    to.alignment = alignment;
    to.width = width;
    to.precision = precision;
    to.zeroPad = zeroPad;
    std::memcpy(to.format, format, sizeof format);
    std::memcpy(to.text, text, sizeof text);
    std::memcpy(to.suffix, suffix, sizeof suffix);
    to.sensitivity = sensitivity;
    to.autoFormat = autoFormat;
    to.integerFormat = integerFormat;
    copyControlState(*this, to);
}

CVXNumerical* CVXNumerical::newCopy() const {
    auto* copy = new CVXNumerical(size, listener, tag, font, 0, 0, suffix);
    copyNumericalState(*copy);
    return copy;
}

CVXKavrelVelocityNumerical::CVXKavrelVelocityNumerical(const CRect& size,
                                                       CControlListener* listener, long tag,
                                                       CFontrastResource* font)
    : CVXNumerical(size, listener, tag, font, 0, 0, "") {}

void CVXKavrelVelocityNumerical::draw(CDrawContext* context) {
    if (value > 0.0f) {
        CVXNumerical::draw(context);
        return;
    }
    drawText(context, "SEQ");
    setDirty(false);
}

bool CVXKavrelVelocityNumerical::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVXKavrelVelocityNumerical") == 0 ||
           CVXNumerical::isTypeOf(className);
}

CVXKavrelVelocityNumerical* CVXKavrelVelocityNumerical::newCopy() const {
    auto* copy = new CVXKavrelVelocityNumerical(size, listener, tag, font);
    copyNumericalState(*copy);
    return copy;
}

// Windows has no drawing backend or window yet: the GDI+ backend and the Win32 window replace
// this file. Until then frames cannot make a back buffer and editors do not open.
#include "gui/CDrawContext.h"
#include "gui/CPlatformWindow.h"

std::unique_ptr<COffscreenContext> gui::createOffscreenContext(int, int, double) {
    return nullptr;
}

std::unique_ptr<CPlatformImage> gui::decodePng(const uint8_t*, size_t) {
    return nullptr;
}

std::unique_ptr<CPlatformWindow> gui::createPlatformWindow(void*, int, int,
                                                           CPlatformWindowListener*) {
    return nullptr;
}

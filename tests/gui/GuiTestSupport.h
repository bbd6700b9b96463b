#pragma once
#include "gui/CDrawContext.h"

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace kavrel::test {

// Pixels read back from an offscreen context, with the colour of one pixel as a CColor.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    explicit Pixels(const COffscreenContext& context)
        : width(context.getDeviceWidth()), height(context.getDeviceHeight()),
          rgba(context.readPixels()) {}
    CColor at(int x, int y) const {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        return CColor{p[0], p[1], p[2], p[3]};
    }
    // How many pixels in the whole image have exactly this colour.
    int count(const CColor& c) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += at(x, y) == c;
        return n;
    }
};

inline bool near(const CColor& a, const CColor& b, int tolerance) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance && std::abs(a.alpha - b.alpha) <= tolerance;
}

inline ::testing::AssertionResult colorNear(const CColor& actual, const CColor& expected,
                                            int tolerance = 0) {
    if (near(actual, expected, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << int(actual.red) << ", " << int(actual.green) << ", " << int(actual.blue)
           << ", " << int(actual.alpha) << "), expected (" << int(expected.red) << ", "
           << int(expected.green) << ", " << int(expected.blue) << ", " << int(expected.alpha)
           << ")";
}

// True for a Windows build running under wine, whose GDI+ lacks a few features of the real one
// (anti-aliased paths): tests of those features say so instead of failing.
bool runningUnderWine();

} // namespace kavrel::test

// Windows draws nothing until its GDI+ backend lands; these tests then run there too.
#ifdef KAVREL_GUI_PENDING
#define SKIP_WITHOUT_BACKEND() GTEST_SKIP() << "no drawing backend on this platform yet"
#else
#define SKIP_WITHOUT_BACKEND() (void)0
#endif

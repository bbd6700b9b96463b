#pragma once

#if defined(__SSE2__) || defined(_M_X64)
#include <xmmintrin.h>
#define KAVREL_HAS_MXCSR 1
#endif

// Decaying filters, envelopes and the compressor's detector sink into subnormal numbers after a
// few seconds of silence, and arithmetic on those costs many times the normal amount. While
// one exists, the processor treats subnormal inputs and results as zero; the host's own
// setting comes back when it goes, so nothing outside our process call changes.
class KavrelFlushDenormals {
public:
    KavrelFlushDenormals() {
#ifdef KAVREL_HAS_MXCSR
        saved = _mm_getcsr();
        _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero);
#endif
    }
    ~KavrelFlushDenormals() {
#ifdef KAVREL_HAS_MXCSR
        _mm_setcsr(saved);
#endif
    }
    KavrelFlushDenormals(const KavrelFlushDenormals&) = delete;
    KavrelFlushDenormals& operator=(const KavrelFlushDenormals&) = delete;

private:
#ifdef KAVREL_HAS_MXCSR
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved = 0;
#endif
};

#include "dsp/vxsp_distort_exponential.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

vxsp_distort_exponential::~vxsp_distort_exponential() = default;

void vxsp_distort_exponential::build_curve() {
    // Read k once: another thread may set it again while the table is filled, and the table
    // must describe one curve (the next sample sees the newer k and builds again).
    const double e = k;
    curve_k = static_cast<float>(e);
    const double h = 1.0 / curve_intervals;
    curve_usable = e >= 1.0 && e <= 1e6;
    if (!curve_usable) return;
    // Values at the 513 ends, and slopes per interval from them: d/ds u^k = h k u^k / u.
    double values[curve_intervals + 1];
    for (int i = 0; i <= curve_intervals; ++i) values[i] = std::pow(i * h, e);
    auto slope = [&](int i) { return i > 0 ? h * e * values[i] / (i * h) : (e == 1.0 ? h : 0.0); };
    for (int i = 0; i < curve_intervals; ++i) {
        const double f0 = values[i], f1 = values[i + 1];
        const double d0 = slope(i), d1 = slope(i + 1);
        pieces[i] = {static_cast<float>(f0), static_cast<float>(d0),
                     static_cast<float>(3.0 * (f1 - f0) - 2.0 * d0 - d1),
                     static_cast<float>(2.0 * (f0 - f1) + d0 + d1)};
    }
    pieces[curve_intervals] = {1.0f, 0.0f, 0.0f, 0.0f};
}

void vxsp_distort_exponential::process_run(float* x, int n) {
    int i = 0;
#if defined(__SSE2__)
    // The same operations as process(), lane by lane, so the values are the same to the bit:
    // only the table's pieces are fetched one lane at a time.
    const float exponent = k;
    if (!(exponent == curve_k)) build_curve();
    if (exponent == 1.0f || curve_usable) {
        const __m128 one = _mm_set1_ps(1.0f);
        const __m128 zero = _mm_setzero_ps();
        const __m128 scale = _mm_set1_ps(static_cast<float>(curve_intervals));
        const __m128 first_interval = _mm_set1_ps(1.0f / curve_intervals);
        for (; i + 4 <= n; i += 4) {
            const __m128 v = _mm_loadu_ps(x + i);
            const __m128 positive = _mm_cmpgt_ps(v, zero);
            const __m128 sigma =
                _mm_or_ps(_mm_and_ps(positive, one), _mm_andnot_ps(positive, _mm_set1_ps(-1.0f)));
            __m128 u = _mm_sub_ps(one, _mm_mul_ps(sigma, v));
            u = _mm_and_ps(_mm_cmpgt_ps(u, zero), u);
            __m128 bent = u;
            if (exponent != 1.0f) {
                const __m128 t = _mm_mul_ps(u, scale);
                __m128i index = _mm_cvttps_epi32(t);
                const __m128 s = _mm_sub_ps(t, _mm_cvtepi32_ps(index));
                alignas(16) int32_t at[4];
                _mm_store_si128(reinterpret_cast<__m128i*>(at), index);
                __m128 a = _mm_loadu_ps(&pieces[clamp_index(at[0])].a);
                __m128 b = _mm_loadu_ps(&pieces[clamp_index(at[1])].a);
                __m128 c = _mm_loadu_ps(&pieces[clamp_index(at[2])].a);
                __m128 d = _mm_loadu_ps(&pieces[clamp_index(at[3])].a);
                _MM_TRANSPOSE4_PS(a, b, c, d);
                bent = _mm_add_ps(
                    a,
                    _mm_mul_ps(s, _mm_add_ps(b, _mm_mul_ps(s, _mm_add_ps(c, _mm_mul_ps(s, d))))));
                // Lanes in the first interval take the power itself, as process() does.
                const int near_zero = _mm_movemask_ps(_mm_cmplt_ps(u, first_interval));
                if (near_zero != 0) {
                    alignas(16) float lanes[4];
                    alignas(16) float bases[4];
                    _mm_store_ps(lanes, bent);
                    _mm_store_ps(bases, u);
                    for (int lane = 0; lane < 4; ++lane)
                        if (near_zero & (1 << lane)) lanes[lane] = std::pow(bases[lane], exponent);
                    bent = _mm_load_ps(lanes);
                }
            }
            _mm_storeu_ps(x + i, _mm_mul_ps(sigma, _mm_sub_ps(one, bent)));
        }
    }
#endif
    for (; i < n; ++i) x[i] = process(x[i]);
}

#include "dsp/vxsp_oscillator_bank.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Pair copies by table contents: a process makes a few metal voices per instance, all from
// the same handful of pulse tables. Found by a hash of the contents and then compared whole,
// so that a new instance copies nothing. Only attach() reaches this, never the audio thread.
struct pair_copy {
    std::vector<float> contents;
    std::unique_ptr<float[]> pairs;
};
std::mutex pairs_lock;
std::multimap<uint64_t, pair_copy>& pairs_cache() {
    static std::multimap<uint64_t, pair_copy> cache;
    return cache;
}

uint64_t contents_hash(const float* table, int32_t size) {
    uint64_t h = 14695981039346656037u; // FNV-1a over the bits of each value
    for (int32_t i = 0; i < size; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &table[i], sizeof bits);
        h = (h ^ bits) * 1099511628211u;
    }
    return h;
}

const float* pairs_of(const float* table, int32_t size) {
    const uint64_t hash = contents_hash(table, size);
    std::lock_guard<std::mutex> hold(pairs_lock);
    auto& cache = pairs_cache();
    for (auto [at, end] = cache.equal_range(hash); at != end; ++at) {
        const std::vector<float>& c = at->second.contents;
        if (c.size() == static_cast<size_t>(size) &&
            std::memcmp(c.data(), table, c.size() * sizeof(float)) == 0)
            return at->second.pairs.get();
    }
    pair_copy copy{std::vector<float>(table, table + size),
                   std::unique_ptr<float[]>(new float[2 * static_cast<size_t>(size)])};
    for (int32_t i = 0; i < size; ++i) {
        copy.pairs[2 * i] = table[i];
        copy.pairs[2 * i + 1] = table[(i + 1) & (size - 1)];
    }
    return cache.emplace(hash, std::move(copy))->second.pairs.get();
}

bool is_power_of_two(int32_t n) {
    return n > 0 && (n & (n - 1)) == 0;
}

} // namespace

void vxsp_oscillator_bank::attach(const vxsp_oscillator_wavetable* oscillators, int n) {
    count = n < 0 ? 0 : n > max_oscillators ? max_oscillators : n;
    for (int k = 0; k < max_oscillators; ++k) {
        pairs[k] = source[k] = nullptr;
        sizes[k] = 0;
        if (k >= count) continue;
        const vxsp_oscillator_wavetable& o = oscillators[k];
        const int32_t size = o.get_table_size();
        // A table the mask cannot wrap is left to the oscillator's own reads.
        if (o.get_table() == nullptr || !is_power_of_two(size)) continue;
        pairs[k] = pairs_of(o.get_table(), size);
        source[k] = o.get_table();
        sizes[k] = size;
    }
}

#if defined(__SSE2__)
namespace {

// Four oscillators' next samples, each by the oscillator's own arithmetic: the read position
// is the increment plus the phase; past the end it wraps by one table length, which gives
// the index, fraction and phase that the oscillator's mask gives, as long as the position
// stays below two lengths.
inline __m128 read4(__m128& phase, __m128 increment, __m128 size, __m128i mask,
                    const float* const* pairs) {
    __m128 p = _mm_add_ps(increment, phase);
    p = _mm_sub_ps(p, _mm_and_ps(_mm_cmpge_ps(p, size), size));
    phase = p;
    const __m128i whole = _mm_cvttps_epi32(p);
    const __m128 fraction = _mm_sub_ps(p, _mm_cvtepi32_ps(whole));
    // The mask only guards the reads; inside the run no position leaves the table.
    alignas(16) int32_t at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), _mm_slli_epi32(_mm_and_si128(whole, mask), 1));
    auto pair = [&](int lane) {
        return _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(pairs[lane] + at[lane])));
    };
    const __m128 low = _mm_unpacklo_ps(pair(0), pair(1));  // a0 a1 b0 b1
    const __m128 high = _mm_unpacklo_ps(pair(2), pair(3)); // a2 a3 b2 b3
    const __m128 a = _mm_movelh_ps(low, high);
    const __m128 b = _mm_movehl_ps(high, low);
    return _mm_add_ps(_mm_mul_ps(_mm_sub_ps(_mm_set1_ps(1.0f), fraction), a),
                      _mm_mul_ps(fraction, b));
}

} // namespace
#endif

void vxsp_oscillator_bank::render(vxsp_oscillator_wavetable* oscillators,
                                  float (*out)[max_oscillators], int n) const {
    if (n <= 0 || count == 0) return;
#if defined(__SSE2__)
    alignas(16) float phase[max_oscillators], increment[max_oscillators], size[max_oscillators];
    alignas(16) int32_t mask[max_oscillators];
    const float* lane_pairs[max_oscillators];
    bool together = true;
    for (int k = 0; k < max_oscillators; ++k) {
        // Lanes past the last oscillator read the first one's table from its start.
        const int from = k < count ? k : 0;
        const vxsp_oscillator_wavetable& o = oscillators[from];
        const float length = static_cast<float>(sizes[from]);
        phase[k] = k < count ? o.get_phase() : 0.0f;
        increment[k] = k < count ? o.get_increment() : 0.0f;
        const bool matches = pairs[from] != nullptr && o.get_table() == source[from] &&
                             o.get_table_size() == sizes[from];
        if (!(matches && phase[k] >= 0.0f && phase[k] < length && increment[k] >= 0.0f &&
              increment[k] < length))
            together = false;
        size[k] = length;
        mask[k] = sizes[from] - 1;
        lane_pairs[k] = pairs[from];
    }
    if (together) {
        __m128 phase0 = _mm_load_ps(phase), phase1 = _mm_load_ps(phase + 4);
        const __m128 increment0 = _mm_load_ps(increment), increment1 = _mm_load_ps(increment + 4);
        const __m128 size0 = _mm_load_ps(size), size1 = _mm_load_ps(size + 4);
        const __m128i mask0 = _mm_load_si128(reinterpret_cast<const __m128i*>(mask));
        const __m128i mask1 = _mm_load_si128(reinterpret_cast<const __m128i*>(mask + 4));
        for (int i = 0; i < n; ++i) {
            _mm_storeu_ps(out[i], read4(phase0, increment0, size0, mask0, lane_pairs));
            _mm_storeu_ps(out[i] + 4, read4(phase1, increment1, size1, mask1, lane_pairs + 4));
        }
        _mm_store_ps(phase, phase0);
        _mm_store_ps(phase + 4, phase1);
        for (int k = 0; k < count; ++k) {
            vxsp_oscillator_wavetable::run handed = oscillators[k].begin_run();
            handed.phase = phase[k];
            oscillators[k].end_run(handed);
        }
        return;
    }
#endif
    for (int k = 0; k < count; ++k) {
        vxsp_oscillator_wavetable::run r = oscillators[k].begin_run();
        for (int i = 0; i < n; ++i) out[i][k] = r.next();
        oscillators[k].end_run(r);
    }
}

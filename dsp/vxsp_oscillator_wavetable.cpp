#include "dsp/vxsp_oscillator_wavetable.h"

#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;
constexpr double kPi = 3.141592653589793238462643383280;
constexpr int kDefaultTableSize = 4096;

// sin(2 pi k / n) for k = 0 .. n - 1. A harmonic j of sample i is the entry (j * i) mod n: one
// sine per sample instead of one per harmonic and sample, and exactly periodic.
std::vector<double> sine_cycle(int n) {
    std::vector<double> cycle(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) cycle[k] = std::sin(kTwoPi * k / n);
    return cycle;
}

// Every term in double, each rounded to single precision before it joins the sum.
void fill_waveform(float* out, int n, int type, float param, int harmonics) {
    const std::vector<double> cycle = sine_cycle(n);
    // Tables are powers of two in length, where the remainder is a mask.
    const bool masked = (n & (n - 1)) == 0;
    auto harmonic = [&](int j, int i) {
        const int64_t k = static_cast<int64_t>(j) * i;
        return cycle[static_cast<size_t>(masked ? k & (n - 1) : k % n)];
    };
    // The pulse's harmonic weights do not depend on the sample: computed once.
    std::vector<double> pulse_weights;
    if (type == 5)
        for (int j = 1; j <= harmonics; ++j)
            pulse_weights.push_back((1.0 / j) * std::sin(j * kPi * param * 0.01));
    for (int i = 0; i < n; ++i) {
        float sum = 0.0f;
        switch (type) {
        case 0:
            sum += static_cast<float>(harmonic(1, i));
            break;
        case 4:
            for (int j = 1; j <= harmonics; ++j) sum += static_cast<float>(harmonic(j, i) / j);
            break;
        case 5:
            for (int j = 1; j <= harmonics; ++j)
                sum += static_cast<float>(pulse_weights[j - 1] * harmonic(j, i));
            break;
        case 6:
            for (int j = 1; j <= harmonics; j += 2)
                sum += static_cast<float>(harmonic(j, i) / (static_cast<double>(j) * j));
            break;
        case 7:
            sum += static_cast<float>(harmonic(1, i));
            sum += static_cast<float>(harmonic(3, i) / 9.0);
            break;
        case 8:
            sum += static_cast<float>(0.058884 * harmonic(3, i));
            sum += static_cast<float>(harmonic(1, i));
            sum += static_cast<float>(0.011749 * harmonic(5, i));
            sum += static_cast<float>(0.004169 * harmonic(6, i));
            sum += static_cast<float>(0.010471 * harmonic(7, i));
            sum += static_cast<float>(0.003311 * harmonic(8, i));
            sum += static_cast<float>(0.004169 * harmonic(10, i));
            break;
        default:
            break;
        }
        out[i] = sum;
    }
}

bool is_known_waveform(int type) {
    return type == 0 || (type >= 4 && type <= 8);
}

// Every oscillator starts as this sine; it is computed once per process and copied.
const std::vector<float>& default_sine() {
    static const std::vector<float> table = [] {
        std::vector<float> t(kDefaultTableSize);
        fill_waveform(t.data(), kDefaultTableSize, 0, 0.0f, 16);
        return t;
    }();
    return table;
}

} // namespace

vxsp_oscillator_wavetable::vxsp_oscillator_wavetable() {
    const std::vector<float>& sine = default_sine();
    std::copy(sine.begin(), sine.end(), allocate_owned_table(kDefaultTableSize));
    increment_per_hz = static_cast<float>(table_size) * inverse_sample_rate;
    recompute_increment();
}

vxsp_oscillator_wavetable::vxsp_oscillator_wavetable(const vxsp_oscillator_wavetable& other)
    : vxsp_oscillator(other), table_size(other.table_size), table_mask(other.table_mask),
      table(other.table), phase(other.phase), fraction(other.fraction), increment(other.increment),
      increment_per_hz(other.increment_per_hz) {
    if (other.owned_table) {
        std::copy(other.table, other.table + other.table_size, allocate_owned_table(table_size));
    }
}

vxsp_oscillator_wavetable&
vxsp_oscillator_wavetable::operator=(const vxsp_oscillator_wavetable& other) {
    if (this == &other) return *this;
    vxsp_oscillator::operator=(other);
    table_size = other.table_size;
    table_mask = other.table_mask;
    if (other.owned_table) {
        std::copy(other.table, other.table + other.table_size, allocate_owned_table(table_size));
    } else {
        owned_table.reset();
        table = other.table;
    }
    phase = other.phase;
    fraction = other.fraction;
    increment = other.increment;
    increment_per_hz = other.increment_per_hz;
    return *this;
}

vxsp_oscillator_wavetable::~vxsp_oscillator_wavetable() = default;

float* vxsp_oscillator_wavetable::allocate_owned_table(int n) {
    owned_table.reset(new float[static_cast<size_t>(n)]());
    table = owned_table.get();
    return table;
}

void vxsp_oscillator_wavetable::set_sample_rate(float hz) {
    if (!is_valid_sample_rate(hz)) return;
    vxsp_oscillator::set_sample_rate(hz);
    increment_per_hz = static_cast<float>(table_size) * inverse_sample_rate;
    recompute_increment();
}

void vxsp_oscillator_wavetable::set_frequency(float hz) {
    frequency = hz;
    recompute_increment();
}

namespace {
// Additive waveforms take millions of sine evaluations (a cymbal's six band-limited pulses
// alone take tens of milliseconds), and every instance of the plug-in asks for the same few
// tables. Each distinct table is built once per process and copied from then on. Tables are
// only built while voices are constructed or configured, never on the audio thread.
struct WaveformKey {
    int type;
    uint32_t param_bits;
    int harmonics;
    int size;
    bool operator<(const WaveformKey& o) const {
        return std::tie(type, param_bits, harmonics, size) <
               std::tie(o.type, o.param_bits, o.harmonics, o.size);
    }
};
std::mutex waveform_cache_lock;
std::map<WaveformKey, std::vector<float>>& waveform_cache() {
    static std::map<WaveformKey, std::vector<float>> cache;
    return cache;
}
} // namespace

void vxsp_oscillator_wavetable::build_waveform(int type, float param, int harmonics) {
    if (!is_known_waveform(type)) return;
    if (type == 0 && table_size == kDefaultTableSize) {
        const std::vector<float>& sine = default_sine();
        std::copy(sine.begin(), sine.end(), allocate_owned_table(table_size));
        return;
    }
    uint32_t param_bits;
    std::memcpy(&param_bits, &param, sizeof(param_bits));
    const WaveformKey key{type, param_bits, harmonics, table_size};
    float* out = allocate_owned_table(table_size);
    std::lock_guard<std::mutex> guard(waveform_cache_lock);
    auto found = waveform_cache().find(key);
    if (found == waveform_cache().end()) {
        std::vector<float> built(static_cast<size_t>(table_size));
        fill_waveform(built.data(), table_size, type, param, harmonics);
        found = waveform_cache().emplace(key, std::move(built)).first;
    }
    std::copy(found->second.begin(), found->second.end(), out);
}

void vxsp_oscillator_wavetable::load_table(const float* values) {
    if (values == nullptr) return;
    std::copy(values, values + table_size, table);
}

void vxsp_oscillator_wavetable::set_table(float* values) {
    if (values == nullptr) return;
    owned_table.reset();
    table = values;
}

void vxsp_oscillator_wavetable::set_table_size(int n) {
    if (n < 1) return;
    table_size = n;
    table_mask = n - 1;
    if (owned_table) allocate_owned_table(n);
    // Modulation in Hz must keep meaning Hz at the new length.
    increment_per_hz = static_cast<float>(table_size) * inverse_sample_rate;
    recompute_increment();
}

void vxsp_oscillator_wavetable::build_from_harmonics(int count, const float* amplitudes) {
    if (count > 0 && amplitudes == nullptr) return;
    float* out = allocate_owned_table(table_size);
    const std::vector<double> cycle = sine_cycle(table_size);
    for (int i = 0; i < table_size; ++i) {
        float sum = 0.0f;
        for (int h = 1; h <= count; ++h)
            sum += amplitudes[h - 1] *
                   static_cast<float>(
                       cycle[static_cast<size_t>((static_cast<int64_t>(h) * i) % table_size)]);
        out[i] = sum;
    }
}

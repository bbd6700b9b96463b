#pragma once
// The byte format the operation-driven fuzz targets read, front to back, and the writer the
// seed generator uses to build real sessions in the same format. Reading past the end yields
// zeros, so every input, however short, is a complete program of operations.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace kavrel::fuzz {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p(data), left(size) {}
    bool empty() const { return left == 0; }

    uint8_t u8() { return take<uint8_t>(); }
    uint16_t u16() { return take<uint16_t>(); }
    uint32_t u32() { return take<uint32_t>(); }
    int32_t i32() { return take<int32_t>(); }
    float f32() { return take<float>(); }
    double f64() { return take<double>(); }

    // A value in 0..n-1.
    int below(int n) { return n <= 256 ? u8() % n : u16() % n; }
    // An index that is usually inside 0..n-1 and sometimes any 32-bit number.
    int32_t index(int n) { return u8() < 224 ? below(n) : i32(); }
    // A float that is usually 0..1 in 1/255 steps, sometimes a value hosts get wrong and
    // sometimes any bit pattern.
    float value() {
        const uint8_t kind = u8();
        if (kind < 160) return u8() / 255.0f;
        if (kind < 224) return specialFloat(u8());
        return f32();
    }
    double anyDouble() {
        const uint8_t kind = u8();
        return kind < 128 ? specialDouble(kind) : f64();
    }

    static float specialFloat(uint8_t k) {
        constexpr float table[] = {0.0f,
                                   -0.0f,
                                   1.0f,
                                   0.5f,
                                   0.25f,
                                   -1.0f,
                                   2.0f,
                                   std::numeric_limits<float>::quiet_NaN(),
                                   -std::numeric_limits<float>::quiet_NaN(),
                                   std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::max(),
                                   std::numeric_limits<float>::lowest(),
                                   std::numeric_limits<float>::min(),
                                   std::numeric_limits<float>::denorm_min(),
                                   1.0f - std::numeric_limits<float>::epsilon()};
        return table[k % (sizeof table / sizeof table[0])];
    }
    static double specialDouble(uint8_t k) {
        constexpr double table[] = {0.0,
                                    -0.0,
                                    1.0,
                                    -1.0,
                                    120.0,
                                    -120.0,
                                    4.0,
                                    1e-300,
                                    1e12,
                                    -1e12,
                                    1e300,
                                    -1e300,
                                    std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::max(),
                                    std::numeric_limits<double>::denorm_min(),
                                    9.2233720368547758e18,
                                    0.001,
                                    999.0};
        return table[k % (sizeof table / sizeof table[0])];
    }

private:
    template <typename T> T take() {
        T v{};
        const size_t n = left < sizeof(T) ? left : sizeof(T);
        std::memcpy(&v, p, n);
        p += n;
        left -= n;
        return v;
    }
    const uint8_t* p;
    size_t left;
};

class Writer {
public:
    void u8(uint8_t v) { put(v); }
    void u16(uint16_t v) { put(v); }
    void u32(uint32_t v) { put(v); }
    void i32(int32_t v) { put(v); }
    void f32(float v) { put(v); }
    void f64(double v) { put(v); }
    // Inverses of Reader::index and Reader::value for ordinary values.
    void below(int i, int n) {
        if (n <= 256)
            u8(static_cast<uint8_t>(i));
        else
            u16(static_cast<uint16_t>(i));
    }
    void index(int i, int n) {
        u8(0);
        below(i, n);
    }
    void value(float v) {
        u8(0);
        u8(static_cast<uint8_t>(v * 255.0f + 0.5f));
    }
    void rawDouble(double v) {
        u8(255);
        f64(v);
    }
    const std::vector<uint8_t>& bytes() const { return out; }

private:
    template <typename T> void put(T v) {
        const size_t at = out.size();
        out.resize(at + sizeof(T));
        std::memcpy(out.data() + at, &v, sizeof(T));
    }
    std::vector<uint8_t> out;
};

} // namespace kavrel::fuzz

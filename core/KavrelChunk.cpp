#include "core/KavrelChunk.h"

#include "params/KavrelParameterManager.h"

#include <cmath>
#include <cstring>

namespace kavrel::chunk {
namespace {

// The per-pattern parameters in ascending order: 108, 178..225, 250..261.
struct PatternKeys {
    int keys[kPatternValueKeys];
    PatternKeys() {
        int n = 0;
        for (int i = 0; i < kNumParams; ++i)
            if (KavrelParameterManager::isPatternParam(i)) keys[n++] = i;
    }
};
const PatternKeys& patternKeys() {
    static const PatternKeys keys;
    return keys;
}

class Writer {
public:
    explicit Writer(uint8_t* out) : p(out) {}
    void u32(uint32_t v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
        p[3] = static_cast<uint8_t>(v >> 24);
        p += 4;
    }
    void f32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        u32(v);
    }
    void bytes(const void* data, size_t n) {
        std::memcpy(p, data, n);
        p += n;
    }
    void u8(uint8_t v) { *p++ = v; }

private:
    uint8_t* p;
};

// Bounds-checked reading: once anything runs past the end every read yields 0 and ok() stays
// false, so a validator can read straight through and ask once.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p(data), left(size) {}
    bool ok() const { return good; }
    size_t consumed(const uint8_t* start) const { return static_cast<size_t>(p - start); }
    bool take(size_t n) {
        if (!good || n > left) {
            good = false;
            return false;
        }
        return true;
    }
    uint32_t u32() {
        if (!take(4)) return 0;
        uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        advance(4);
        return v;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    float f32() {
        uint32_t v = u32();
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    uint8_t u8() {
        if (!take(1)) return 0;
        uint8_t v = *p;
        advance(1);
        return v;
    }
    const uint8_t* skip(size_t n) {
        if (!take(n)) return nullptr;
        const uint8_t* at = p;
        advance(n);
        return at;
    }

private:
    void advance(size_t n) {
        p += n;
        left -= n;
    }
    const uint8_t* p;
    size_t left;
    bool good = true;
};

float unit(float v, float fallback) {
    if (std::isnan(v)) return fallback;
    return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

constexpr size_t kStepBytes = kNumVoices * kPatternSteps;
constexpr size_t kVelocityBytes = kNumVoices * kPatternSteps * 4;

} // namespace

size_t programSize(const KavrelProgram& program) {
    size_t size = kProgramHeaderSize;
    for (int p = 0; p < kPatternsPerProgram; ++p) {
        const KavrelPattern& pat = program.patterns[p];
        size += kStepBytes + kVelocityBytes + kNumVoices;
        for (int v = 0; v < kNumVoices; ++v) size += 4 + 4 * pat.lockCount(v);
        const int lanes = pat.laneCount();
        size += 4 + 132 * lanes + 5 * lanes;
        size += 4 * program.patternValueCount(p);
    }
    return size;
}

void writeProgram(const KavrelProgram& program, uint8_t* out) {
    Writer w(out);
    w.u32(kFormatMarker);
    w.bytes(program.name, KavrelProgram::kNameSize);
    for (float v : program.params) w.f32(v);
    for (const KavrelPattern& pat : program.patterns) {
        w.bytes(pat.steps, kStepBytes);
        for (const auto& row : pat.velocities)
            for (float v : row) w.f32(v);
        w.bytes(pat.velocityRandomize, kNumVoices);
        for (int v = 0; v < kNumVoices; ++v) {
            w.u32(static_cast<uint32_t>(pat.lockCount(v)));
            for (int k = 0; k < kKitParams; ++k)
                if (pat.lockSets[v][k]) w.u32(static_cast<uint32_t>(kitParamAt(k)));
        }
        w.u32(static_cast<uint32_t>(pat.laneCount()));
        for (int k = 0; k < kKitParams; ++k) {
            if (!pat.hasLane[k]) continue;
            w.u32(static_cast<uint32_t>(kitParamAt(k)));
            for (float v : pat.lanes[k]) w.f32(v);
        }
        for (int k = 0; k < kKitParams; ++k) {
            if (!pat.hasLane[k]) continue;
            w.u32(static_cast<uint32_t>(kitParamAt(k)));
            w.u8(pat.laneRandomize[k] ? 1 : 0);
        }
    }
    for (int p = 0; p < kPatternsPerProgram; ++p)
        for (int key = 0; key < kNumParams; ++key)
            if (program.hasPatternValue[p][key]) w.f32(program.patternValues[p][key]);
}

bool sameRecord(const KavrelProgram& a, const KavrelProgram& b) {
    auto same = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    if (!same(a.name, b.name) || !same(a.params, b.params) ||
        !same(a.patternValues, b.patternValues) || !same(a.hasPatternValue, b.hasPatternValue))
        return false;
    for (int p = 0; p < kPatternsPerProgram; ++p) {
        const KavrelPattern& x = a.patterns[p];
        const KavrelPattern& y = b.patterns[p];
        if (!same(x.steps, y.steps) || !same(x.velocities, y.velocities) ||
            !same(x.velocityRandomize, y.velocityRandomize) || !same(x.lockSets, y.lockSets) ||
            !same(x.hasLane, y.hasLane) || !same(x.lanes, y.lanes) ||
            !same(x.laneRandomize, y.laneRandomize))
            return false;
    }
    return true;
}

size_t validateProgram(const uint8_t* bytes, size_t size) {
    if (!bytes) return 0;
    Reader r(bytes, size);
    r.skip(kProgramHeaderSize);
    for (int p = 0; p < kPatternsPerProgram && r.ok(); ++p) {
        r.skip(kStepBytes + kVelocityBytes + kNumVoices);
        for (int v = 0; v < kNumVoices && r.ok(); ++v) {
            const int32_t n = r.i32();
            if (n < 0 || n > kKitParams) return 0;
            for (int i = 0; i < n; ++i)
                if (kitPosition(static_cast<int>(r.u32())) < 0 || !r.ok()) return 0;
        }
        const int32_t m = r.i32();
        if (m < 0 || m > kKitParams) return 0;
        for (int i = 0; i < m; ++i) {
            if (kitPosition(static_cast<int>(r.u32())) < 0 || !r.ok()) return 0;
            r.skip(4 * kPatternSteps);
        }
        for (int i = 0; i < m; ++i) {
            if (kitPosition(static_cast<int>(r.u32())) < 0 || !r.ok()) return 0;
            r.u8();
        }
    }
    r.skip(4 * kPatternValueKeys * kPatternsPerProgram);
    return r.ok() ? r.consumed(bytes) : 0;
}

void readProgram(const uint8_t* bytes, KavrelProgram& program) {
    // Only ever called on a record validateProgram accepted, so the sizes hold.
    Reader r(bytes, static_cast<size_t>(-1));
    r.u32(); // the format marker says nothing we need
    std::memcpy(program.name, r.skip(KavrelProgram::kNameSize), KavrelProgram::kNameSize);
    program.name[KavrelProgram::kNameSize - 1] = 0;
    for (float& v : program.params) v = unit(r.f32(), 0.0f);
    for (KavrelPattern& pat : program.patterns) {
        std::memcpy(pat.steps, r.skip(kStepBytes), kStepBytes);
        for (auto& row : pat.velocities)
            for (float& v : row) v = unit(r.f32(), 0.0f);
        for (uint8_t& flag : pat.velocityRandomize) flag = r.u8() != 0;
        for (int v = 0; v < kNumVoices; ++v) {
            for (uint8_t& lock : pat.lockSets[v]) lock = 0;
            const int32_t n = r.i32();
            for (int i = 0; i < n; ++i) pat.lockSets[v][kitPosition(static_cast<int>(r.u32()))] = 1;
        }
        // Every loaded pattern holds all kit lanes, neutral unless the record says otherwise.
        const int32_t m = r.i32();
        for (int k = 0; k < kKitParams; ++k) {
            pat.hasLane[k] = 1;
            pat.laneRandomize[k] = 0;
            for (float& v : pat.lanes[k]) v = 0.5f;
        }
        for (int i = 0; i < m; ++i) {
            const int k = kitPosition(static_cast<int>(r.u32()));
            for (float& v : pat.lanes[k]) v = unit(r.f32(), 0.5f);
        }
        for (int i = 0; i < m; ++i) {
            const int k = kitPosition(static_cast<int>(r.u32()));
            pat.laneRandomize[k] = r.u8() != 0;
        }
    }
    const PatternKeys& keys = patternKeys();
    for (int p = 0; p < kPatternsPerProgram; ++p) {
        for (uint8_t& has : program.hasPatternValue[p]) has = 0;
        for (int key : keys.keys) {
            program.patternValues[p][key] = unit(r.f32(), 0.0f);
            program.hasPatternValue[p][key] = 1;
        }
    }
}

} // namespace kavrel::chunk

#include "params/vx_paramManager.h"

#include "core/KavrelRandom.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Large enough for any printf of a float ("%f" of FLT_MAX is 46 characters).
constexpr int kScratch = 128;

const char* const kPitchNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                     "F#", "G",  "G#", "A",  "A#", "B"};

// Spellings accepted for typed-in note values, in note-value order 0..14.
const char* const kNoteValueInputs[15] = {"1/32", "1/16T", "1/16", "1/8T", "1/16.",
                                          "1/8",  "1/4T",  "1/8.", "1/4",  "1/2T",
                                          "1/4.", "1/2",   "1/1T", "1/2.", "1/1"};

// Note-value table position. Positions come back from float round trips (2 -> 2/15 -> 1.9999998),
// so a whisker is added before truncating; otherwise a value would name its neighbour.
int noteIndex(double position) {
    const double nudged = position + 1e-4;
    if (!(nudged > 0.0)) return 0;
    if (nudged >= vx_paramManager::kNumNoteValues - 1) return vx_paramManager::kNumNoteValues - 1;
    return static_cast<int>(nudged);
}

// Clamps into 0..1; NaN is not a position, so it reads as 0.
float clampUnit(float x) {
    if (!(x > 0.0f)) return 0.0f;
    if (x > 1.0f) return 1.0f;
    return x;
}

} // namespace

const char* const vx_paramManager::kNoteValueNames[kNumNoteValues] = {
    "1/32 ", "1/16T", "1/16 ", "1/8 T", "1/16.", "1/8  ", "1/4 T", "1/8. ",
    "1/4  ", "1/2 T", "1/4. ", "1/2  ", "1/1 T", "1/2. ", "1/1  ", "1/1  "};

const float vx_paramManager::kNoteValueBeats[kNumNoteValues] = {
    0.125f, 1.0f / 6.0f, 0.25f, 1.0f / 3.0f, 0.375f,      0.5f, 2.0f / 3.0f, 0.75f,
    1.0f,   4.0f / 3.0f, 1.5f,  2.0f,        8.0f / 3.0f, 3.0f, 4.0f,        4.0f};

// ---------------------------------------------------------------------------------------------
// curveTable

vx_paramManager::curveTable::curveTable(kind k, float minimum, float maximum)
    : table(static_cast<size_t>(kPoints) + 1, 0.0f) {
    const double a = minimum;
    const double b = maximum;
    if (k == kFrequency) {
        const double octaves = std::log(b / a) / std::log(2.0);
        for (int i = 0; i < kPoints; ++i) {
            const double u = static_cast<double>(i) / (kPoints - 1);
            table[static_cast<size_t>(i)] = static_cast<float>(a * std::pow(2.0, u * octaves));
        }
    } else {
        // Entry 0 is exact silence, so the bottom of a level control really mutes.
        const double ga = std::pow(10.0, a / 20.0);
        const double gb = std::pow(10.0, b / 20.0);
        const double span = std::log(gb / ga);
        table[0] = 0.0f;
        for (int i = 1; i < kPoints; ++i) {
            const double u = static_cast<double>(i) / (kPoints - 1);
            table[static_cast<size_t>(i)] = static_cast<float>(ga * std::exp(u * span));
        }
    }
    // The repeated end point keeps interpolation at 1.0 inside the table.
    table[kPoints] = table[kPoints - 1];
}

float vx_paramManager::curveTable::interpolate(float p) const {
    const double t = (kPoints - 1) * static_cast<double>(clampUnit(p));
    const int i = static_cast<int>(t);
    const double f = t - i;
    return static_cast<float>((1.0 - f) * table[static_cast<size_t>(i)] +
                              f * table[static_cast<size_t>(i) + 1]);
}

// ---------------------------------------------------------------------------------------------
// helpers

void vx_paramManager::copyWithin(char* buf, const char* text, int len) {
    if (!buf || len <= 0) return;
    const size_t n = std::min(std::strlen(text), static_cast<size_t>(len - 1));
    std::memcpy(buf, text, n);
    buf[n] = '\0';
}

void vx_paramManager::copyWithTerminatorAt(char* buf, const char* text, int len) {
    if (!buf || len < 0) return;
    const size_t n = std::min(std::strlen(text), static_cast<size_t>(len));
    std::memcpy(buf, text, n);
    // Blank the rest up to and including buf[len], as hosts may read the whole field.
    std::memset(buf + n, 0, static_cast<size_t>(len) - n + 1);
}

int vx_paramManager::clampedIndex(double x, int lo, int hi) {
    if (!(x > lo)) return lo;
    if (x >= hi) return hi;
    return static_cast<int>(x);
}

int vx_paramManager::saturatedInt(double x) {
    if (std::isnan(x)) return 0;
    if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (x <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(x);
}

float vx_paramManager::interpolateCurve(int index, float p) const {
    const curveTable* curve = curves[static_cast<size_t>(index)].get();
    return curve ? curve->interpolate(p) : 0.0f;
}

// ---------------------------------------------------------------------------------------------
// construction

vx_paramManager::vx_paramManager(int capacity_)
    : capacity(std::max(capacity_, 0)), normValues(new std::atomic<float>[capacity]),
      realValues(new std::atomic<float>[capacity]), minimums(capacity, 0.0f),
      maximums(capacity, 0.0f), defaults(capacity, 0.0f), longNames(capacity), shortNames(capacity),
      labels(capacity), types(capacity, 0), curves(capacity),
      syncFlags(new std::atomic<int>[capacity]), randomizableFlags(new std::atomic<bool>[capacity]),
      defined(capacity, false) {
    for (int i = 0; i < capacity; ++i) {
        normValues[i].store(0.0f, std::memory_order_relaxed);
        realValues[i].store(0.0f, std::memory_order_relaxed);
        syncFlags[i].store(0, std::memory_order_relaxed);
        randomizableFlags[i].store(false, std::memory_order_relaxed);
    }
}

vx_paramManager::~vx_paramManager() = default;

void vx_paramManager::defineParam(int index, const char* longName, const char* shortName,
                                  const char* label, float minimum, float maximum,
                                  float defaultValue, int type) {
    if (!isValidIndex(index)) return;
    const size_t i = static_cast<size_t>(index);
    longNames[i] = longName ? longName : "";
    shortNames[i] = shortName ? shortName : "";
    labels[i] = label ? label : "";
    minimums[i] = minimum;
    maximums[i] = maximum;
    defaults[i] = defaultValue;
    types[i] = type;
    randomizableFlags[index].store(true, std::memory_order_relaxed);
    if (!defined[i]) {
        defined[i] = true;
        ++definedCount;
    }

    curves[i].reset();
    if (type == kTypeFrequency || type == kTypeRateSyncable || type == kTypeRateSyncableNorm)
        curves[i] = std::make_unique<curveTable>(curveTable::kFrequency, minimum, maximum);
    else if (type == kTypeDecibel)
        curves[i] = std::make_unique<curveTable>(curveTable::kDecibel, minimum, maximum);
    if (isSyncableType(type)) setSynced(index, false);

    setRealValue(index, defaultValue);
}

// ---------------------------------------------------------------------------------------------
// values

float vx_paramManager::getNormValue(int index) const {
    return isValidIndex(index) ? normValues[index].load(std::memory_order_relaxed) : 0.0f;
}

void vx_paramManager::setNormValue(int index, float n) {
    if (!isValidIndex(index)) return;
    normValues[index].store(n, std::memory_order_relaxed);
    realValues[index].store(normToReal(index, n), std::memory_order_relaxed);
}

float vx_paramManager::getRealValue(int index) const {
    return isValidIndex(index) ? realValues[index].load(std::memory_order_relaxed) : 0.0f;
}

void vx_paramManager::setRealValue(int index, float r) {
    if (!isValidIndex(index)) return;
    realValues[index].store(r, std::memory_order_relaxed);
    normValues[index].store(realToNorm(index, r), std::memory_order_relaxed);
}

void vx_paramManager::incrementValue(int index) {
    if (!isValidIndex(index)) return;
    const int type = types[index];
    const float real = getRealValue(index);
    float next;
    if (type == kTypeOnOff) {
        next = real == 0.0f ? 1.0f : 0.0f;
    } else {
        next = real + 1.0f;
        if (next > maximums[index]) {
            const bool wraps =
                type == kTypeInteger || type == kTypeNoteValue || type == kTypeMidiNote;
            next = wraps ? minimums[index] : maximums[index];
        }
    }
    setRealValue(index, next);
}

void vx_paramManager::decrementValue(int index) {
    if (!isValidIndex(index)) return;
    const int type = types[index];
    const float real = getRealValue(index);
    float next;
    if (type == kTypeOnOff) {
        next = real == 0.0f ? 1.0f : 0.0f;
    } else {
        next = real - 1.0f;
        if (next < minimums[index]) {
            // MIDI notes stop at the bottom rather than jumping to the top of the keyboard.
            const bool wraps = type == kTypeInteger || type == kTypeNoteValue;
            next = wraps ? maximums[index] : minimums[index];
        }
    }
    setRealValue(index, next);
}

void vx_paramManager::setSyncFlag(int index, int flag) {
    if (isValidIndex(index)) syncFlags[index].store(flag, std::memory_order_relaxed);
}

void vx_paramManager::setSynced(int index, bool synced) {
    if (!isValidIndex(index) || !isSyncableType(types[index])) return;
    syncFlags[index].store(synced ? 1 : 0, std::memory_order_relaxed);
    // The real value means something else in the other mode; derive it again.
    setNormValue(index, getNormValue(index));
}

void vx_paramManager::setRandomizable(int index, bool randomizable) {
    if (isValidIndex(index))
        randomizableFlags[index].store(randomizable, std::memory_order_relaxed);
}

bool vx_paramManager::isRandomizable(int index) const {
    return isValidIndex(index) && randomizableFlags[index].load(std::memory_order_relaxed);
}

void vx_paramManager::randomizeParam(int index) {
    if (!isRandomizable(index)) return;
    const int type = types[index];
    const bool binary = type == kTypeOnOff || ((type == kTypeInteger || type == kTypeMidiNote) &&
                                               minimums[index] == 0.0f && maximums[index] == 1.0f);
    if (binary) {
        setNormValue(index, (kavrel::rand() & 1) ? 1.0f : 0.0f);
    } else {
        setNormValue(index, std::fabs(static_cast<float>(kavrel::rand()) /
                                      static_cast<float>(kavrel::kRandMax)));
    }
}

float vx_paramManager::getDspValue(int index) const {
    if (!isValidIndex(index)) return 0.0f;
    if (types[index] == kTypeDecibel) return interpolateCurve(index, getNormValue(index));
    return realToDsp(index, getRealValue(index));
}

float vx_paramManager::getDspValueOffset(int index, float x) const {
    if (!isValidIndex(index)) return 0.0f;
    const float v = clampUnit(getNormValue(index) + x);
    return realToDsp(index, normToReal(index, v));
}

float vx_paramManager::getDefault(int index) const {
    return isValidIndex(index) ? defaults[index] : 0.0f;
}

float vx_paramManager::getMin(int index) const {
    return isValidIndex(index) ? minimums[index] : 0.0f;
}

float vx_paramManager::getMax(int index) const {
    return isValidIndex(index) ? maximums[index] : 0.0f;
}

int vx_paramManager::getSyncFlag(int index) const {
    return isValidIndex(index) ? syncFlags[index].load(std::memory_order_relaxed) : 0;
}

bool vx_paramManager::isSynced(int index) const {
    return isValidIndex(index) && isSyncableType(types[index]) &&
           syncFlags[index].load(std::memory_order_relaxed) != 0;
}

int vx_paramManager::getType(int index) const {
    return typeOf(index);
}

// ---------------------------------------------------------------------------------------------
// texts

std::string vx_paramManager::getLongName(int index) const {
    return isValidIndex(index) ? longNames[index] : std::string();
}

void vx_paramManager::getName(int index, char* buf, int len) const {
    if (!isValidIndex(index)) {
        copyWithTerminatorAt(buf, "", len);
        return;
    }
    const std::string& name = len < 9 ? shortNames[index] : longNames[index];
    copyWithTerminatorAt(buf, name.c_str(), len);
}

void vx_paramManager::getLabel(int index, char* buf, int len) const {
    if (!isValidIndex(index)) {
        copyWithTerminatorAt(buf, "", len);
        return;
    }
    const int type = types[index];
    const bool synced = isSynced(index);
    if (type == kTypeTimeSyncable || type == kTypeTimeSyncableNorm)
        copyWithTerminatorAt(buf, synced ? "" : (len < 5 ? "ms" : "msec"), len);
    else if (type == kTypeRateSyncable || type == kTypeRateSyncableNorm)
        copyWithTerminatorAt(buf, synced ? "" : "Hz", len);
    else
        copyWithTerminatorAt(buf, labels[index].c_str(), len);
}

void vx_paramManager::getDisplay(int index, char* buf, int len) const {
    formatValue(index, buf, getRealValue(index), len);
}

void vx_paramManager::formatValue(int index, char* buf, float r, int len) const {
    if (!buf || len <= 0) return;
    if (!isValidIndex(index)) {
        copyWithin(buf, "", len);
        return;
    }
    char text[kScratch];
    // A value that rounds to zero shows as zero, never as "-0" ("-0dB" just under 0 dB).
    auto noMinusZero = [](double v, double half) { return v < 0.0 && v > -half ? 0.0 : v; };
    const double x = r;
    auto automatic = [&text, &noMinusZero](double v) {
        if (v < 1.0)
            std::snprintf(text, sizeof text, "%3.3f", noMinusZero(v, 0.0005));
        else if (v < 10.0)
            std::snprintf(text, sizeof text, "%4.2f", v);
        else if (v < 100.0)
            std::snprintf(text, sizeof text, "%4.1f", v);
        else
            std::snprintf(text, sizeof text, "%4.0f", v);
    };
    auto noteName = [](double position) { return kNoteValueNames[noteIndex(position)]; };

    const bool synced = isSynced(index);
    switch (types[index]) {
    case kTypeOnOff:
        std::snprintf(text, sizeof text, "%s", r > 0.5f ? "On" : "Off");
        break;
    case kTypeLinearAuto:
    case kTypeFrequency:
        automatic(x);
        break;
    case kTypeInteger:
        std::snprintf(text, sizeof text, "%4d", saturatedInt(x));
        break;
    case kTypeNoteValue:
        std::snprintf(text, sizeof text, "%s", noteName(realToNorm(index, r) * 15.0));
        break;
    case kTypeTimeSyncable:
        if (synced)
            std::snprintf(text, sizeof text, "%s", noteName(x));
        else
            std::snprintf(text, sizeof text, "%4.0f", x);
        break;
    case kTypeRateSyncable:
    case kTypeRateSyncableNorm:
        if (synced)
            std::snprintf(text, sizeof text, "%s", noteName((1.0 - realToNorm(index, r)) * 15.0));
        else
            automatic(x);
        break;
    case kTypeTimeSyncableNorm:
        if (synced)
            std::snprintf(text, sizeof text, "%s", noteName(realToNorm(index, r) * 15.0));
        else
            std::snprintf(text, sizeof text, "%4.0f",
                          minimums[index] + (maximums[index] - minimums[index]) * x);
        break;
    case kTypeMidiNote: {
        // Floor division keeps negative notes on a real pitch name instead of off the table.
        const long long note = saturatedInt(x);
        const long long pitch = ((note % 12) + 12) % 12;
        const long long octave = (note - pitch) / 12 - 2;
        std::snprintf(text, sizeof text, "%s%lld", kPitchNames[pitch], octave);
        break;
    }
    default:
        std::snprintf(text, sizeof text, "%4.0f", noMinusZero(x, 0.5));
        break;
    }
    copyWithin(buf, text, len);
}

void vx_paramManager::formatNormValue(int index, char* buf, float n) const {
    formatValue(index, buf, normToReal(index, n), 8);
}

void vx_paramManager::getNormText(int index, char* buf) const {
    if (!isValidIndex(index)) {
        copyWithTerminatorAt(buf, "", 8);
        return;
    }
    char text[kScratch];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(getNormValue(index)));
    copyWithTerminatorAt(buf, text, 8);
}

void vx_paramManager::getDisplayNoSpaces(int index, char* buf, int len) const {
    if (!buf || len < 0) return;
    // No display comes near this size; a longer len only means a roomier caller buffer.
    char text[kScratch] = {};
    getDisplay(index, text, std::min(len, kScratch - 1));
    int out = 0;
    for (int i = 0; text[i] != '\0' && out < len - 1; ++i)
        if (text[i] != ' ') buf[out++] = text[i];
    buf[out] = '\0';
}

void vx_paramManager::formatFrequency(char* buf, float x, int len) const {
    char text[kScratch];
    if (x >= 1000.0f)
        std::snprintf(text, sizeof text, "%4.3f", static_cast<double>(x) * 0.001);
    else
        std::snprintf(text, sizeof text, "%3.0f", static_cast<double>(x));
    copyWithTerminatorAt(buf, text, len);
}

// ---------------------------------------------------------------------------------------------
// conversions

float vx_paramManager::realToNorm(int index, float r) const {
    if (!isValidIndex(index)) return 0.0f;
    const double lo = minimums[index];
    const double hi = maximums[index];
    const bool synced = isSynced(index);
    const auto linear = [&] { return (r - lo) / (hi - lo); };
    const auto logarithmic = [&] { return std::log(r / lo) / std::log(hi / lo); };
    double n;
    switch (types[index]) {
    case kTypeOnOff:
    case kTypeTimeSyncableNorm:
    case kTypeRateSyncableNorm:
        n = r;
        break;
    case kTypeFrequency:
        n = logarithmic();
        break;
    case kTypeNoteValue:
        n = r / 15.0;
        break;
    case kTypeTimeSyncable:
        n = synced ? r / 15.0 : linear();
        break;
    case kTypeRateSyncable:
        n = synced ? 1.0 - r / 15.0 : logarithmic();
        break;
    default:
        n = linear();
        break;
    }
    // NaN (an empty range, a logarithm of a non-positive value) lands on 0 with the rest.
    return clampUnit(static_cast<float>(n));
}

float vx_paramManager::normToReal(int index, float n) const {
    if (!isValidIndex(index)) return 0.0f;
    const float lo = minimums[index];
    const float hi = maximums[index];
    const bool synced = isSynced(index);
    switch (types[index]) {
    case kTypeOnOff:
        return n > 0.5f ? 1.0f : 0.0f;
    case kTypeFrequency:
        return interpolateCurve(index, n);
    case kTypeInteger:
    case kTypeMidiNote:
        return std::floor(lo + (hi - lo) * n + 0.5f);
    case kTypeNoteValue:
        return std::floor(n * 0.99f * 15.0f);
    case kTypeTimeSyncable:
        return synced ? std::floor(n * 15.0f) : lo + (hi - lo) * n;
    case kTypeRateSyncable:
        return synced ? std::floor((1.0f - n) * 15.0f) : interpolateCurve(index, n);
    case kTypeTimeSyncableNorm:
    case kTypeRateSyncableNorm:
        return n;
    default:
        return lo + (hi - lo) * n;
    }
}

float vx_paramManager::realToDsp(int index, float r) const {
    if (!isValidIndex(index)) return 0.0f;
    const float lo = minimums[index];
    const float hi = maximums[index];
    const bool synced = isSynced(index);
    const auto beats = [](double position) { return kNoteValueBeats[noteIndex(position)]; };
    switch (types[index]) {
    case kTypeDecibel:
        return interpolateCurve(index, (r - lo) / (hi - lo));
    case kTypeNoteValue:
        return beats(r);
    case kTypeTimeSyncable:
        return synced ? beats(r) : r;
    case kTypeRateSyncable:
        return synced ? 1.0f / beats(r) : r;
    case kTypeTimeSyncableNorm:
        return synced ? beats(static_cast<double>(r) * 15.0) : lo + (hi - lo) * r;
    case kTypeRateSyncableNorm:
        return synced ? 1.0f / beats((1.0 - r) * 15.0) : interpolateCurve(index, r);
    default: {
        // NaN is outside the range like any other stray value; it takes the minimum.
        const float clamped = !(r > lo) ? lo : (r > hi ? hi : r);
        return types[index] == kTypePercent ? clamped * 0.01f : clamped;
    }
    }
}

bool vx_paramManager::parseNoteValue(const char* text, int& out) const {
    if (!text) return false;
    char compact[8] = {};
    int used = 0;
    for (int i = 0; i < 6 && text[i] != '\0'; ++i)
        if (text[i] != ' ') compact[used++] = text[i];
    for (int k = 0; k < 15; ++k) {
        if (std::strcmp(compact, kNoteValueInputs[k]) == 0) {
            out = k;
            return true;
        }
    }
    return false;
}

bool vx_paramManager::parseValue(int index, const char* text, float& out) const {
    if (!isValidIndex(index)) return false;
    const int type = types[index];
    const bool synced = isSynced(index);
    bool ok = false;
    auto scan = [&] { return text && std::sscanf(text, "%10f", &out) == 1; };
    if (type == kTypeOnOff) {
        ok = false;
    } else if (type == kTypeNoteValue ||
               (synced && (type == kTypeTimeSyncable || type == kTypeRateSyncable))) {
        // A synced rate displays the note value named by its real value, so typing that name
        // gives the same real value back.
        int note = 0;
        ok = parseNoteValue(text, note);
        if (ok) out = static_cast<float>(note);
    } else {
        ok = scan();
    }
    if (out > maximums[index])
        out = maximums[index];
    else if (out < minimums[index])
        out = minimums[index];
    return ok;
}

int vx_paramManager::getParamCount() const {
    return definedCount;
}

float vx_paramManager::getStoredValue(int index) const {
    return storesRealValues() ? getRealValue(index) : getNormValue(index);
}

bool vx_paramManager::storesRealValues() const {
    return false;
}

void vx_paramManager::getIntChoices(int index, std::vector<std::string>& choices) const {
    if (!isValidIndex(index) || types[index] != kTypeInteger) return;
    choices.clear();
    const long long first = saturatedInt(minimums[index]);
    const long long last = saturatedInt(maximums[index]);
    for (long long v = first; v <= last; ++v) choices.push_back(std::to_string(v));
}

// ---------------------------------------------------------------------------------------------
// mementos

int vx_paramManager::createMemento(const std::vector<int>& indices) {
    std::vector<int> keys;
    keys.reserve(indices.size());
    for (int index : indices)
        if (isValidIndex(index)) keys.push_back(index);
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());

    paramMemento memento;
    memento.reserve(keys.size());
    for (int index : keys) memento.emplace_back(index, getNormValue(index));
    mementos.push_back(std::move(memento));
    return static_cast<int>(mementos.size()) - 1;
}

void vx_paramManager::captureMemento(int k) {
    if (k < 0 || k >= getMementoCount()) return;
    for (auto& entry : mementos[static_cast<size_t>(k)]) entry.second = getNormValue(entry.first);
}

void vx_paramManager::restoreMemento(int k) {
    if (k < 0 || k >= getMementoCount()) return;
    for (const auto& entry : mementos[static_cast<size_t>(k)])
        setNormValue(entry.first, entry.second);
}

const vx_paramManager::paramMemento& vx_paramManager::getMemento(int k) const {
    static const paramMemento empty;
    if (k < 0 || k >= getMementoCount()) return empty;
    return mementos[static_cast<size_t>(k)];
}

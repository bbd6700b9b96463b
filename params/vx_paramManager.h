#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Generic store of automatable values. Every parameter keeps a normalised value (0..1, what
// the host automates) and a real value (in its unit), converts between them by its type code,
// and yields the engine value the DSP consumes.
//
// Storage is flat and sized once by the constructor, so lookups never insert and never
// allocate. The two values are relaxed atomics because the host and editor threads write
// them while the audio thread reads them; the other attributes are fixed once defined.
//
// Indices outside 0..capacity-1 are ignored everywhere: getters answer 0, false or an empty
// text and setters do nothing.
//
// Text buffers are caller-owned. Two conventions exist, as hosts expect them:
//   - getName, getLabel, getNormText and formatFrequency copy at most len characters and put
//     the terminator at buf[len] (the buffer holds len + 1 bytes); len < 0 writes nothing.
//   - getDisplay, formatValue and formatNormValue (len 8) stay within len bytes: at most
//     len - 1 characters and the terminator; len <= 0 writes nothing.
//   - getDisplayNoSpaces stays within len bytes too, except that len 0 writes an empty text
//     (one terminator); len < 0 writes nothing.
class vx_paramManager {
public:
    // Type codes.
    enum {
        kTypeLinear = 0,
        kTypeOnOff = 1,
        kTypePercent = 2,
        kTypeLinearAuto = 3,
        kTypeFrequency = 4,
        kTypeDecibel = 5,
        kTypeInteger = 6,
        kTypeNoteValue = 7,
        kTypeTimeSyncable = 8,
        kTypeRateSyncable = 9,
        kTypeTimeSyncableNorm = 10,
        kTypeRateSyncableNorm = 11,
        kTypeMidiNote = 12
    };

    // Note values 0..15 (15 repeats 14 so a synced value at n = 1.0 stays in range).
    static constexpr int kNumNoteValues = 16;
    static const char* const kNoteValueNames[kNumNoteValues];
    static const float kNoteValueBeats[kNumNoteValues];

    using paramMemento = std::vector<std::pair<int, float>>;

    // A 1024-point lookup curve with one repeated end point, interpolated linearly.
    class curveTable {
    public:
        enum kind { kFrequency = 800, kDecibel = 812 };
        static constexpr int kPoints = 1024;

        curveTable(kind k, float minimum, float maximum);
        // Position p is clamped to 0..1 (NaN reads as 0), so any input stays in the table.
        float interpolate(float p) const;
        float entry(int i) const { return table[static_cast<size_t>(i)]; }

    private:
        std::vector<float> table;
    };

    explicit vx_paramManager(int capacity);
    vx_paramManager(const vx_paramManager&) = delete;
    vx_paramManager& operator=(const vx_paramManager&) = delete;

    virtual ~vx_paramManager();
    virtual void defineParam(int index, const char* longName, const char* shortName,
                             const char* label, float minimum, float maximum, float defaultValue,
                             int type);
    virtual float getNormValue(int index) const;
    virtual void setNormValue(int index, float n);
    virtual float getRealValue(int index) const;
    virtual void setRealValue(int index, float r);
    virtual void incrementValue(int index);
    virtual void decrementValue(int index);
    virtual void setSyncFlag(int index, int flag);
    virtual void setSynced(int index, bool synced);
    virtual void setRandomizable(int index, bool randomizable);
    virtual bool isRandomizable(int index) const;
    virtual void randomizeParam(int index);
    virtual float getDspValue(int index) const;
    virtual float getDspValueOffset(int index, float x) const;
    virtual float getDefault(int index) const;
    virtual float getMin(int index) const;
    virtual float getMax(int index) const;
    virtual int getSyncFlag(int index) const;
    virtual bool isSynced(int index) const;
    virtual int getType(int index) const;
    virtual std::string getLongName(int index) const;
    virtual void getName(int index, char* buf, int len) const;
    virtual void getLabel(int index, char* buf, int len) const;
    virtual void getDisplay(int index, char* buf, int len) const;
    virtual void formatValue(int index, char* buf, float r, int len) const;
    virtual void formatNormValue(int index, char* buf, float n) const;
    virtual void getNormText(int index, char* buf) const;
    virtual void getDisplayNoSpaces(int index, char* buf, int len) const;
    virtual float realToNorm(int index, float r) const;
    virtual float normToReal(int index, float n) const;
    virtual float realToDsp(int index, float r) const;
    virtual bool parseValue(int index, const char* text, float& out) const;
    virtual int getParamCount() const;
    virtual float getStoredValue(int index) const;
    virtual bool storesRealValues() const;
    virtual void getIntChoices(int index, std::vector<std::string>& choices) const;
    virtual int createMemento(const std::vector<int>& indices);
    virtual void captureMemento(int k);
    virtual void restoreMemento(int k);
    virtual void formatFrequency(char* buf, float x, int len) const;
    virtual bool parseNoteValue(const char* text, int& out) const;

    // Inspection of the saved sets; an unknown number gives an empty memento.
    int getMementoCount() const { return static_cast<int>(mementos.size()); }
    const paramMemento& getMemento(int k) const;
    int getCapacity() const { return capacity; }
    bool isValidIndex(int index) const { return index >= 0 && index < capacity; }

protected:
    // Helpers for subclasses formatting their own texts.
    // Copies at most len - 1 characters and terminates within len bytes; len <= 0: nothing.
    static void copyWithin(char* buf, const char* text, int len);
    // Copies at most len characters and terminates at buf[len]; len < 0: nothing.
    static void copyWithTerminatorAt(char* buf, const char* text, int len);
    // Table position from a float: truncates, clamps to lo..hi, NaN gives lo.
    static int clampedIndex(double x, int lo, int hi);
    // (int) conversion that saturates at the int range instead of being undefined.
    static int saturatedInt(double x);

private:
    bool isSyncableType(int type) const { return type >= 8 && type <= 11; }
    float interpolateCurve(int index, float p) const;
    int typeOf(int index) const { return isValidIndex(index) ? types[index] : 0; }

    int capacity;
    std::vector<paramMemento> mementos;
    std::unique_ptr<std::atomic<float>[]> normValues;
    std::unique_ptr<std::atomic<float>[]> realValues;
    std::vector<float> minimums;
    std::vector<float> maximums;
    std::vector<float> defaults;
    std::vector<std::string> longNames;
    std::vector<std::string> shortNames;
    std::vector<std::string> labels;
    std::vector<int> types;
    std::vector<std::unique_ptr<curveTable>> curves;
    std::unique_ptr<std::atomic<int>[]> syncFlags;
    std::unique_ptr<std::atomic<bool>[]> randomizableFlags;
    std::vector<bool> defined;
    int definedCount = 0;
};

#pragma once
#include "params/KavrelParameterManager.h"
#include "params/KavrelParams.h"
#include "vst/AudioEffectX.h"

// The plug-in object as the host sees it. The audio engine, sequencer, MIDI, programs and
// pattern editing are operations of this same object and join it as they are built.
class Kavrel : public AudioEffectX {
public:
    static constexpr int kNumPrograms = 48;
    static constexpr int kNumOutputs = 12;
    static constexpr vst::int32 kUniqueId = vst::fourCC('V', 'X', 'k', 'v');
    static constexpr int kVendorVersion = 1120;

    explicit Kavrel(vst::audioMasterCallback audioMaster);
    ~Kavrel() override;

    // Host interface.
    void suspend() override;
    void resume() override;
    void setBlockSize(vst::int32 size) override;
    void processReplacing(float** inputs, float** outputs, vst::int32 sampleFrames) override;
    vst::int32 processEvents(vst::VstEvents* events) override;

    void setParameter(vst::int32 index, float value) override;
    float getParameter(vst::int32 index) override;
    void getParameterName(vst::int32 index, char* text) override;
    void getParameterLabel(vst::int32 index, char* label) override;
    void getParameterDisplay(vst::int32 index, char* text) override;

    void setProgram(vst::int32 program) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(vst::int32 category, vst::int32 index, char* text) override;

    bool getOutputProperties(vst::int32 index, vst::VstPinProperties* properties) override;
    vst::int32 getNumMidiInputChannels() override { return 1; }
    vst::int32 getNumMidiOutputChannels() override { return 1; }
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::int32 getVendorVersion() override { return kVendorVersion; }
    vst::intptr vendorSpecific(vst::int32, vst::intptr, void*, float) override { return 0; }
    vst::int32 canDo(char* text) override;
    vst::int32 getPlugCategory() override { return vst::kPlugCategEffect; }

    // State other parts of the plug-in and the tests look at.
    const KavrelParameterManager& parameters() const { return paramManager; }
    bool isResumed() const { return resumed; }

    // Values from the host may be NaN or outside 0..1; the engine and its tables only ever
    // see clamped values.
    static float sanitizeNormalized(float value);
    static bool isParameterIndex(vst::int32 index) {
        return index >= 0 && index < kavrel::kNumParams;
    }

private:
    KavrelParameterManager paramManager;
    bool resumed = false;
    bool playing = false;
    bool midiOutputOnly = false;
    double songPosition = 0.0;
    double hostTempo = 0.0;
};

#include "core/Kavrel.h"

#include <cmath>
#include <cstdio>
#include <cstring>

Kavrel::Kavrel(vst::audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kavrel::kNumParams) {
    setNumInputs(0);
    setNumOutputs(kNumOutputs);
    isSynth(true);
    programsAreChunks(true);
    canProcessReplacing(true);
    setUniqueID(kUniqueId);
    cEffect.version = 1;
}

Kavrel::~Kavrel() = default;

void Kavrel::suspend() { resumed = false; }

void Kavrel::resume() {
    resumed = true;
    wantEvents(1);
}

void Kavrel::setBlockSize(vst::int32 size) { AudioEffectX::setBlockSize(size); }

void Kavrel::processReplacing(float**, float** outputs, vst::int32 sampleFrames) {
    if (!outputs || sampleFrames <= 0) return;
    for (int c = 0; c < kNumOutputs; ++c)
        if (outputs[c]) std::memset(outputs[c], 0, sizeof(float) * sampleFrames);
}

vst::int32 Kavrel::processEvents(vst::VstEvents*) { return 1; }

float Kavrel::sanitizeNormalized(float value) {
    if (!(value >= 0.0f)) return 0.0f; // NaN and negatives
    return value > 1.0f ? 1.0f : value;
}

void Kavrel::setParameter(vst::int32 index, float value) {
    if (!isParameterIndex(index)) return;
    paramManager.setNormValue(index, sanitizeNormalized(value));
}

float Kavrel::getParameter(vst::int32 index) {
    return isParameterIndex(index) ? paramManager.getNormValue(index) : 0.0f;
}

void Kavrel::getParameterName(vst::int32 index, char* text) {
    text[0] = 0;
    if (isParameterIndex(index)) paramManager.getName(index, text, vst::kVstMaxParamStrLen);
}

void Kavrel::getParameterLabel(vst::int32 index, char* label) {
    label[0] = 0;
    if (isParameterIndex(index)) paramManager.getLabel(index, label, vst::kVstMaxParamStrLen);
}

void Kavrel::getParameterDisplay(vst::int32 index, char* text) {
    text[0] = 0;
    if (isParameterIndex(index)) paramManager.getDisplay(index, text, vst::kVstMaxParamStrLen);
}

void Kavrel::setProgram(vst::int32 program) {
    if (program < 0 || program >= kNumPrograms) return;
    curProgram = program;
}

void Kavrel::getProgramName(char* name) { vst::copyString(name, "init", vst::kVstMaxProgNameLen - 1); }

bool Kavrel::getProgramNameIndexed(vst::int32, vst::int32 index, char* text) {
    if (index < 0 || index >= kNumPrograms) return false;
    vst::copyString(text, "init", vst::kVstMaxProgNameLen - 1);
    return true;
}

bool Kavrel::getOutputProperties(vst::int32 index, vst::VstPinProperties* properties) {
    if (index < 0 || index >= kNumOutputs) return false;
    char label[64];
    std::snprintf(label, sizeof(label), "Kavrel %c ", static_cast<char>('A' + index / 2));
    vst::copyString(properties->label, label, 63);
    properties->flags = vst::kVstPinIsActive | vst::kVstPinIsStereo;
    return true;
}

bool Kavrel::getEffectName(char* name) {
    vst::copyString(name, "Kavrel", vst::kVstMaxEffectNameLen - 1);
    return true;
}

bool Kavrel::getVendorString(char* text) {
    vst::copyString(text, "Quellmark, Inc.", vst::kVstMaxVendorStrLen - 1);
    return true;
}

bool Kavrel::getProductString(char* text) {
    vst::copyString(text, "Kavrel", vst::kVstMaxProductStrLen - 1);
    return true;
}

vst::int32 Kavrel::canDo(char* text) {
    static const char* const supported[] = {"receiveVstEvents", "receiveVstMidiEvent",
                                            "sendVstMidiEvent", "receiveVstTimeInfo"};
    for (const char* entry : supported)
        if (std::strcmp(text, entry) == 0) return 1;
    return -1;
}

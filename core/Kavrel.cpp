#include "core/Kavrel.h"

#include "core/KavrelRandom.h"
#include "editor/KavrelEditor.h"
#include "params/KavrelMidiAssignments.h"
#include "platform/KavrelPlatform.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

using namespace kavrel;

Kavrel::Kavrel(vst::audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams), programs(kNumPrograms), midiOut(*this) {
    voices.reserve(kNumVoices);
    for (kavrel_voice* v : std::initializer_list<kavrel_voice*>{
             &kick, &snare808, &snare909, &lowTom, &midTom, &highTom, &closedHat, &openHat, &cymbal,
             &rimshot, &claps, &cowbell})
        voices.push_back(v);
    for (int v = 0; v < kNumVoices; ++v) {
        voicePanLeft[v] = voicePanRight[v] = 0.0f;
        voiceGain[v] = 0.0f;
        voiceOutput[v] = 0;
    }

    setNumInputs(0);
    setNumOutputs(kNumOutputs);
    isSynth(true);
    programsAreChunks(true);
    canProcessReplacing(true);
    setUniqueID(kUniqueId);
    cEffect.version = 1;

    // Compressor amount 0: a transparent limiter until the Compressor parameter moves.
    compressor.set_input_gain(0.0f);
    compressor.set_threshold(0.0f);
    compressor.set_attack(0.0005f);
    compressor.set_release(0.05f);
    compressor.set_ratio(1000.0f);
    compressor.set_output_gain(0.0f);

#ifdef KAVREL_HAS_EDITOR
    // Registers itself as the editor and the receiver of display reports; the base class
    // deletes it.
    new KavrelEditor(this);
#endif

    // Renders and tests ask for reproducible probabilities; a host never sets this.
    if (const char* seed = std::getenv("KAVREL_SEED"))
        kavrel::srand(static_cast<uint32_t>(std::strtoul(seed, nullptr, 10)));

    // Without a factory bank a slot still holds a complete, playable default program.
    for (KavrelProgram& program : programs) {
        for (int i = 0; i < kNumParams; ++i) program.params[i] = paramManager.getNormValue(i);
        for (int p = 0; p < kPatternsPerProgram; ++p)
            for (int index : paramManager.patternParamSet) {
                program.patternValues[p][index] = paramManager.getNormValue(index);
                program.hasPatternValue[p][index] = 1;
            }
    }

    learnMode = 0;
    currentPattern = 0;
    currentPatternPointer = &programs[0].patterns[0];
    if (!loadFactoryBank()) setProgram(0);
    setProgram(0);
    currentPatternPointer = &programs[curProgram].patterns[currentPattern];
    clipboardMemento = paramManager.createMemento(paramManager.patternParamSet);
    lastStep = -1;
    lastTick = 33;
    currentPatternPointer->advance(33);
    settingsFolder = platform::settingsFolder();
    assignments::read(settingsFolder, controllerMap);
    playing = false;
    midiOutputOnly = false;
    songPosition = 0.0;
    hostTempo = 0.0;
}

Kavrel::~Kavrel() {
    flushAssignments();
}

void Kavrel::suspend() {
    resumed = false;
    compressor.reset();
    for (kavrel_voice* v : voices) v->reset();
    midiOut.releaseAll();
}

void Kavrel::resume() {
    resumed = true;
    wantEvents(1);
}

float Kavrel::sanitizeNormalized(float value) {
    if (!(value >= 0.0f)) return 0.0f; // NaN and negatives
    return value > 1.0f ? 1.0f : value;
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
    KavrelProgram& slot = programs[program];
    // The recalled values include the pattern tools (Clear, Random Fill), which act on the
    // current pattern: that must already be this program's pattern 0, or a program saved with
    // one of them on would clear a row of the pattern left current by the previous program.
    currentPattern = pendingPattern = 0;
    currentPatternPointer = &slot.patterns[0];
    for (int index = 0; index < kNumParams; ++index)
        if (!KavrelParameterManager::isPatternParam(index)) setParameter(index, slot.params[index]);
    currentPattern = pendingPattern = 0;
    currentPatternPointer = &slot.patterns[0];
    applyPatternValues();
    if (editorOpen()) {
        editorNotify->showPattern(0);
        for (int v = 0; v < kNumVoices; ++v) editorNotify->rowStepsChanged(v);
        editorNotify->refresh(kRefreshPattern);
    }
}

void Kavrel::setProgramName(char* name) {
    vst::copyString(programs[curProgram].name, name, KavrelProgram::kNameSize - 1);
}

void Kavrel::getProgramName(char* name) {
    const KavrelProgram& slot = programs[curProgram];
    char text[64];
    if (std::strcmp(slot.name, "init") == 0)
        std::snprintf(text, sizeof(text), "%s %d", slot.name, curProgram + 1);
    else
        vst::copyString(text, slot.name, KavrelProgram::kNameSize - 1);
    vst::copyString(name, text, vst::kVstMaxProgNameLen - 1);
}

bool Kavrel::getProgramNameIndexed(vst::int32, vst::int32 index, char* text) {
    if (index < 0 || index >= kNumPrograms) return false;
    vst::copyString(text, programs[index].name, KavrelProgram::kNameSize - 1);
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

int Kavrel::noteOfVoice(int voice) {
    static const unsigned char notes[kNumVoices] = {36, 38, 40, 41, 43, 45, 42, 46, 49, 37, 39, 51};
    return voice >= 0 && voice < kNumVoices ? notes[voice] : -1;
}

void Kavrel::sendMidiNote(int voice, float velocity, int delta, int length) {
    midiOut.sendNote(noteOfVoice(voice), static_cast<int>(velocity * 127.0f), delta, length);
}

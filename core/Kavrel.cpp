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
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams), midiOut(*this) {
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

    for (int k = 0; k < kKitParams; ++k)
        laneVoice[k] = static_cast<uint8_t>(KavrelParameterManager::voiceOfParam(kitParamAt(k)));

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

    for (int i = 0; i < kNumParams; ++i) {
        later[i].store(0, std::memory_order_relaxed);
        hostValue[i].store(0.0f, std::memory_order_relaxed);
    }
    // The slots share the factory bank's programs until something changes them.
    const auto& bank = factoryBank();
    for (int i = 0; i < kNumPrograms; ++i)
        slots[i] = bank.size() == kNumPrograms ? bank[static_cast<size_t>(i)] : defaultProgram();
    learnMode = 0;
    currentPattern = 0;
    // The engine's values come from the first program, as after loading the bank as a chunk;
    // no audio runs yet, so it lands at once.
    changeProgram(0, false);
    clipboardMemento = paramManager.createMemento(paramManager.patternParamSet);
    lastStep = -1;
    lastTick = 33;
    currentPatternPointer->advance(33);
    settingsFolder = platform::settingsFolder();
    assignments::read(settingsFolder, controllerMap);
    playing = false;
    midiOutputOnly = false;
    songPosition.store(0.0, std::memory_order_relaxed);
    hostTempo = 0.0;
}

Kavrel::~Kavrel() {
    flushAssignments();
}

void Kavrel::suspend() {
    resumed = false;
    // No audio runs now: a handover still waiting for a block lands here, with the values
    // set after it.
    landWithoutAudio();
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
    if (!isParameterIndex(index)) return 0.0f;
    // Between a program change and the block that lands it, the host already reads the new
    // program's values.
    return hostValue[index].load(std::memory_order_relaxed);
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
    // From the host's own value, so the text always matches what getParameter answers, also
    // between a program change and the block that lands it.
    if (isParameterIndex(index))
        paramManager.getDisplayOf(index, hostValue[index].load(std::memory_order_relaxed), text,
                                  vst::kVstMaxParamStrLen);
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

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
#include <thread>

using namespace kavrel;

namespace {

// The factory bank's programs, copied in one pass over the fresh memory, or default slots.
std::vector<KavrelProgram, KavrelLargeAllocator<KavrelProgram>> initialSlots() {
    if (const auto* bank = Kavrel::factoryBank()) return *bank;
    return std::vector<KavrelProgram, KavrelLargeAllocator<KavrelProgram>>(Kavrel::kNumPrograms);
}

} // namespace

Kavrel::Kavrel(vst::audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams), programs(initialSlots()),
      midiOut(*this) {
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

    // Without a factory bank a slot still holds a complete, playable default program.
    const bool factory = factoryBank() != nullptr;
    if (!factory) {
        for (KavrelProgram& program : programs) {
            for (int i = 0; i < kNumParams; ++i) program.params[i] = paramManager.getNormValue(i);
            for (int p = 0; p < kPatternsPerProgram; ++p)
                for (int index : paramManager.patternParamSet) {
                    program.patternValues[p][index] = paramManager.getNormValue(index);
                    program.hasPatternValue[p][index] = 1;
                }
        }
    }

    staging = std::make_unique<KavrelProgram>();
    for (int i = 0; i < kNumParams; ++i) {
        laterValue[i].store(0.0f, std::memory_order_relaxed);
        hostValue[i].store(0.0f, std::memory_order_relaxed);
        laterSet[i].store(0, std::memory_order_relaxed);
    }
    learnMode = 0;
    currentPattern = 0;
    currentPatternPointer = &programs[0].patterns[0];
    // The slots hold the factory bank (or the defaults) already; the host's values and the
    // engine's come from the first program, as after loading the bank as a chunk.
    setProgram(0);
    currentPatternPointer = &programs[activeProgram].patterns[currentPattern];
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
    // No audio runs now: a handover still waiting for a block lands here.
    endHandoverWrite(beginHandoverWrite());
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
    if (isParameterIndex(index)) paramManager.getDisplay(index, text, vst::kVstMaxParamStrLen);
}

void Kavrel::setProgram(vst::int32 program) {
    if (program < 0 || program >= kNumPrograms) return;
    const int before = beginHandoverWrite();
    curProgram = program;
    handoverProgram = program;
    endHandoverWrite(before);
}

int Kavrel::beginHandoverWrite(bool change) {
    for (;;) {
        int state = handoverState.load(std::memory_order_acquire);
        // While the audio thread lands a handover (microseconds) or another host thread
        // writes one, wait: only host threads ever wait here.
        if (state != kHandoverLanding && state != kHandoverWriting &&
            handoverState.compare_exchange_weak(state, kHandoverWriting,
                                                std::memory_order_acq_rel)) {
            // Values set before this change belong to what it replaces.
            if (change)
                for (auto& set : laterSet) set.store(0, std::memory_order_relaxed);
            writeChanges = change;
            return state;
        }
        std::this_thread::yield();
    }
}

void Kavrel::endHandoverWrite(int) {
    // The host reads the program it chose at once, though the engine takes it at the next
    // block.
    if (writeChanges && handoverProgram >= 0) {
        const KavrelProgram& slot = slotView(handoverProgram);
        const int pattern =
            clampIndex(paramManager.normToReal(kParamPattern, slot.params[kParamPattern]),
                       kPatternsPerProgram - 1);
        for (int index = 0; index < kNumParams; ++index) {
            const bool perPattern = KavrelParameterManager::isPatternParam(index) &&
                                    slot.hasPatternValue[pattern][index];
            hostValue[index].store(perPattern ? slot.patternValues[pattern][index]
                                              : slot.params[index],
                                   std::memory_order_relaxed);
        }
    }
    // With no audio running (before the first resume, after a suspend) nobody else would
    // land it: the state goes in at once, on this thread.
    if (!resumed) landHandover();
    const bool pending = handoverStaged || handoverProgram >= 0;
    handoverState.store(pending ? kHandoverPending : kHandoverIdle, std::memory_order_release);
}

void Kavrel::takeHandover() {
    int expected = kHandoverPending;
    if (!handoverState.compare_exchange_strong(expected, kHandoverLanding,
                                               std::memory_order_acquire))
        return;
    landHandover();
    handoverState.store(kHandoverIdle, std::memory_order_release);
}

void Kavrel::landHandover() {
    if (handoverStaged) {
        programs[activeProgram] = *staging;
        handoverStaged = false;
    }
    if (handoverProgram >= 0) {
        applyProgram(handoverProgram);
        handoverProgram = -1;
    }
    // In the order they were set: a few entries, sorted in place without allocating.
    uint32_t stamps[kNumParams];
    int order[kNumParams];
    int count = 0;
    for (int index = 0; index < kNumParams; ++index) {
        const uint32_t stamp = laterSet[index].exchange(0, std::memory_order_acquire);
        if (!stamp) continue;
        int k = count++;
        while (k > 0 && stamps[k - 1] > stamp) {
            stamps[k] = stamps[k - 1];
            order[k] = order[k - 1];
            --k;
        }
        stamps[k] = stamp;
        order[k] = index;
    }
    for (int k = 0; k < count; ++k)
        setParameter(order[k], laterValue[order[k]].load(std::memory_order_relaxed));
}

KavrelProgram& Kavrel::writableSlot(int slot) {
    // The audio thread reads only the program it plays; every other slot is the host's to
    // write. The playing one is written into the staging copy, which lands between blocks.
    if (slot != activeProgram || !resumed) return programs[slot];
    if (!handoverStaged) {
        *staging = programs[slot];
        handoverStaged = true;
    }
    return *staging;
}

const KavrelProgram& Kavrel::slotView(int slot) const {
    return handoverStaged && slot == activeProgram ? *staging : programs[slot];
}

KavrelProgram& Kavrel::slotView(int slot) {
    return handoverStaged && slot == activeProgram ? *staging : programs[slot];
}

bool Kavrel::isRecallOnly(int index) {
    // Momentary actions act when they are set, not when a stored value comes back; the
    // pattern is selected directly once all values are in.
    return (index >= kParamClearFirst && index < kParamRandomFillFirst + kNumVoices) ||
           index == kParamPattern;
}

void Kavrel::recallValue(int index, float value) {
    paramManager.setNormValue(index, value);
    hostValue[index].store(value, std::memory_order_relaxed);
    programs[activeProgram].params[index] = value;
    if (editorNotify) editorNotify->setParameter(index, value);
}

void Kavrel::applyProgram(int program) {
    activeProgram = program;
    KavrelProgram& slot = programs[program];
    for (int index = 0; index < kNumParams; ++index) {
        if (KavrelParameterManager::isPatternParam(index)) continue;
        if (isRecallOnly(index))
            recallValue(index, slot.params[index]);
        else
            setParameter(index, slot.params[index]);
    }
    const int pattern =
        clampIndex(paramManager.getRealValue(kParamPattern), kPatternsPerProgram - 1);
    currentPattern = pendingPattern = pattern;
    currentPatternPointer = &slot.patterns[pattern];
    applyPatternValues();
    if (editorOpen()) {
        editorNotify->showPattern(pattern);
        for (int v = 0; v < kNumVoices; ++v) editorNotify->showRowSteps(v);
        editorNotify->refreshLane(kRefreshPattern);
    }
}

void Kavrel::setProgramName(char* name) {
    // Names are never read on the audio thread: written in place, or into the staged copy
    // that is about to replace the slot.
    const int before = beginHandoverWrite(false);
    KavrelProgram& slot = slotView(curProgram);
    vst::copyString(slot.name, name, KavrelProgram::kNameSize - 1);
    endHandoverWrite(before);
}

void Kavrel::getProgramName(char* name) {
    const int before = beginHandoverWrite(false);
    const KavrelProgram& slot = slotView(curProgram);
    char text[64];
    if (std::strcmp(slot.name, "init") == 0)
        std::snprintf(text, sizeof(text), "%s %d", slot.name, curProgram + 1);
    else
        vst::copyString(text, slot.name, KavrelProgram::kNameSize - 1);
    vst::copyString(name, text, vst::kVstMaxProgNameLen - 1);
    endHandoverWrite(before);
}

bool Kavrel::getProgramNameIndexed(vst::int32, vst::int32 index, char* text) {
    if (index < 0 || index >= kNumPrograms) return false;
    const int before = beginHandoverWrite(false);
    vst::copyString(text, slotView(index).name, KavrelProgram::kNameSize - 1);
    endHandoverWrite(before);
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

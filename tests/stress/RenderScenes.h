#pragma once
// Deterministic renders for the identity check: every voice, lanes, locks, probabilities,
// swing, MIDI input and host sync, from a bank built here out of the parameter defaults and a
// fixed formula (never from the factory bank, whose content changes as it is voiced), hashed
// over the float bits of all twelve outputs.
#include "core/Kavrel.h"
#include "core/KavrelChunk.h"
#include "core/KavrelRandom.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace kavrel::test::scenes {

struct Host {
    static inline vst::VstTimeInfo time{};
    static vst::intptr VST_CALLBACK callback(vst::AEffect*, vst::int32 opcode, vst::int32,
                                             vst::intptr, void*, float) {
        if (opcode == vst::audioMasterVersion) return 2400;
        if (opcode == vst::audioMasterGetTime) return reinterpret_cast<vst::intptr>(&time);
        return opcode == vst::audioMasterProcessEvents ? 1 : 0;
    }
};

// FNV-1a over the bit patterns of the samples.
struct Hash {
    uint64_t value = 1469598103934665603ull;
    void add(const float* samples, int n) {
        for (int i = 0; i < n; ++i) {
            uint32_t bits;
            std::memcpy(&bits, &samples[i], 4);
            for (int b = 0; b < 4; ++b) {
                value ^= (bits >> (8 * b)) & 0xffu;
                value *= 1099511628211ull;
            }
        }
    }
};

// Program `slot` of the bank: every parameter from a fixed formula (all voices audible, on
// pairs A to C), patterns with steps, velocities, locks and lanes.
inline std::unique_ptr<KavrelProgram> makeProgram(const KavrelParameterManager& manager, int slot) {
    auto program = std::make_unique<KavrelProgram>();
    for (int i = 0; i < kNumParams; ++i) {
        float v = static_cast<float>((i * 37 + slot * 11) % 101) / 100.0f;
        if (i >= kParamStepSize && i <= kParamCompressorAttack)
            v = manager.realToNorm(i, manager.getDefault(i));
        if (i >= kParamLevelFirst && i < kParamLevelFirst + kNumVoices) v = 0.8f + 0.01f * (i % 7);
        if (i >= kParamOutputFirst && i < kParamOutputFirst + kNumVoices)
            v = static_cast<float>(i % 3) / 5.0f;
        if (i >= kParamMuteFirst && i < kParamRandomBeatsFirst) v = 0.0f; // mutes, solos
        if (i >= kParamSelectedBeatsFirst && i < kParamSelectedBeatsFirst + kNumVoices)
            v = i % 4 == 0 ? 0.7f : 1.0f;
        if (i >= kParamClearFirst && i < kParamMidiOutputOnly + 1) v = 0.0f; // pattern tools, MIDI
        if (i == 81) v = 0.0f;                                               // More Cowbell
        program->params[i] = v;
    }
    program->params[kParamCompressor] = 0.4f;
    program->params[kParamSwing] = 0.3f;
    for (int p = 0; p < kPatternsPerProgram; ++p) {
        KavrelPattern& pat = program->patterns[p];
        for (int v = 0; v < kNumVoices; ++v)
            for (int s = 0; s < kPatternSteps; ++s) {
                pat.steps[v][s] = ((s + v + p) % (2 + v % 3)) == 0 ? 0xff : 0;
                pat.velocities[v][s] = static_cast<float>((s * 7 + v * 3) % 10 + 1) / 10.0f;
            }
        for (int k = 0; k < kKitParams; k += 9) {
            const int param = kitParamAt(k);
            pat.ensureLane(param);
            for (int s = 0; s < kPatternSteps; ++s)
                pat.lanes[k][s] = static_cast<float>((s * 5 + k) % 11) / 10.0f;
            pat.setLocked(KavrelParameterManager::voiceOfParam(param), param, true);
        }
        pat.velocityRandomize[p % kNumVoices] = p % 2;
        for (int key : manager.patternParamSet) {
            float v = manager.realToNorm(key, manager.getDefault(key));
            if (key >= kParamRandomBeatsFirst && key < kParamRandomBeatsFirst + kNumVoices)
                v = 0.15f;
            program->patternValues[p][key] = v;
            program->hasPatternValue[p][key] = 1;
        }
        program->patternValues[p][kParamStepSize] = static_cast<float>(p % 5) / 4.0f;
    }
    return program;
}

inline void loadBank(Kavrel& plugin) {
    std::vector<uint8_t> bank;
    for (int slot = 0; slot < Kavrel::kNumPrograms; ++slot) {
        auto program = makeProgram(plugin.parameters(), slot);
        const size_t at = bank.size();
        bank.resize(at + chunk::programSize(*program));
        chunk::writeProgram(*program, bank.data() + at);
    }
    plugin.setChunk(bank.data(), static_cast<vst::int32>(bank.size()), false);
}

class Scene {
public:
    static constexpr int kBlock = 512;

    Scene() : plugin(std::make_unique<Kavrel>(&Host::callback)) {
        for (int c = 0; c < Kavrel::kNumOutputs; ++c) outputs[c] = buffers[c];
        plugin->setSampleRate(44100.0f);
        loadBank(*plugin);
        plugin->resume();
    }

    void block(Hash& hash, int frames = kBlock) {
        plugin->processReplacing(nullptr, outputs, frames);
        for (float* channel : outputs) hash.add(channel, frames);
    }

    std::unique_ptr<Kavrel> plugin;
    float buffers[Kavrel::kNumOutputs][kBlock];
    float* outputs[Kavrel::kNumOutputs];
};

// All twelve voices on every step, "1 x 32", 250 BPM, internal clock: the busiest render.
inline void busiest(Kavrel& p) {
    p.setParameter(kParamStepSize, 0.0f);
    for (int v = 0; v < kNumVoices; ++v)
        for (int s = 0; s < kPatternSteps; ++s) p.setStep(v, s, true);
    p.setParameter(kParamSync, 0.5f);
    p.setParameter(kParamTempo, 1.0f);
    p.setParameter(kParamPlay, 1.0f);
}

inline uint64_t busiestHash(int blocks) {
    kavrel::srand(11);
    Scene scene;
    busiest(*scene.plugin);
    Hash hash;
    for (int b = 0; b < blocks; ++b) scene.block(hash);
    return hash.value;
}

// A program of the bank with lanes, locks, probabilities, swing and pattern switches.
inline uint64_t programHash(int slot, int blocks) {
    kavrel::srand(23);
    Scene scene;
    scene.plugin->setProgram(slot);
    scene.plugin->setParameter(kParamSync, 0.5f);
    scene.plugin->setParameter(kParamTempo, 0.6f);
    scene.plugin->setParameter(kParamPlay, 1.0f);
    Hash hash;
    for (int b = 0; b < blocks; ++b) {
        if (b % 40 == 20) scene.plugin->requestPattern((b / 40) % 16);
        scene.block(hash);
    }
    return hash.value;
}

// MIDI notes for every voice at odd deltas, a controller and pattern notes, under host sync.
inline uint64_t midiHash(int blocks) {
    kavrel::srand(5);
    Scene scene;
    Kavrel& p = *scene.plugin;
    p.setProgram(3);
    p.setParameter(kParamSync, 0.0f);
    static const int notes[12] = {36, 38, 40, 41, 43, 45, 42, 46, 49, 37, 39, 51};
    Host::time = vst::VstTimeInfo{};
    Host::time.tempo = 127.0;
    Host::time.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;
    vst::VstMidiEvent events[3];
    vst::VstEvent* slots[3];
    struct {
        vst::int32 numEvents;
        vst::intptr reserved;
        vst::VstEvent* events[3];
    } list{};
    Hash hash;
    for (int b = 0; b < blocks; ++b) {
        const int data[3][4] = {{0x90, notes[b % 12], 30 + b % 97, (b * 37) % Scene::kBlock},
                                {0xB0, 74, b % 128, 100},
                                {0x90, 60 + (b / 50) % 16, 100, 3}};
        for (int e = 0; e < 3; ++e) {
            events[e] = vst::VstMidiEvent{};
            events[e].type = vst::kVstMidiType;
            events[e].byteSize = sizeof(vst::VstMidiEvent);
            events[e].deltaFrames = data[e][3];
            for (int k = 0; k < 3; ++k) events[e].midiData[k] = static_cast<char>(data[e][k]);
            slots[e] = reinterpret_cast<vst::VstEvent*>(&events[e]);
            list.events[e] = slots[e];
        }
        list.numEvents = 3;
        p.processEvents(reinterpret_cast<vst::VstEvents*>(&list));
        scene.block(hash);
        Host::time.ppqPos += Scene::kBlock * 127.0 / 60.0 / 44100.0;
    }
    return hash.value;
}

} // namespace kavrel::test::scenes

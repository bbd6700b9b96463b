// Editing the current pattern in place: steps, velocities, lanes, shapes, randomise flags,
// clearing, copy and paste. Every change is a plain store into the pattern's fixed storage.
#include "core/Kavrel.h"

#include "core/KavrelRandom.h"

#include <cmath>

using namespace kavrel;

namespace {
float shapeValue(int op, int k, int length, float old, float cleared) {
    switch (op) {
    case 0:
        return cleared;
    case 1:
        return 1.0f - old;
    case 2:
        return 1.0f - static_cast<float>(k) / static_cast<float>(length);
    case 3:
        return static_cast<float>((std::sin(k * 6.283185307179586 / length) + 1.0) * 0.5);
    case 4:
        return static_cast<float>(kavrel::rand() / 32767.0);
    default:
        return old;
    }
}
} // namespace

// Each edit pins the playing copy and takes its pattern once, so the whole edit lands in one
// program even if a program change lands meanwhile.
void Kavrel::setStep(int voice, int step, bool on) {
    if (voice < 0 || voice >= kNumVoices || step < 0 || step >= kPatternSteps) return;
    const Pin pin(*this);
    hostPattern().steps[voice][step] = on ? 0xff : 0;
}

void Kavrel::setVelocity(int voice, int step, float value) {
    if (voice < 0 || voice >= kNumVoices || step < 0 || step >= kPatternSteps) return;
    const Pin pin(*this);
    hostPattern().velocities[voice][step] = sanitizeNormalized(value);
}

void Kavrel::setLaneValue(int param, int step, float value) {
    const int k = kitPosition(param);
    if (k < 0 || step < 0 || step >= kPatternSteps) return;
    const Pin pin(*this);
    KavrelPattern& pat = hostPattern();
    pat.ensureLane(param);
    pat.lanes[k][step] = sanitizeNormalized(value);
    pat.setLocked(KavrelParameterManager::voiceOfParam(param), param, true);
}

void Kavrel::shapeVelocity(int voice, int op) {
    if (voice < 0 || voice >= kNumVoices) return;
    const Pin pin(*this);
    KavrelPattern& pat = hostPattern();
    const int length = pat.stepCount();
    for (int k = 0; k < length; ++k)
        pat.velocities[voice][k] = shapeValue(op, k, length, pat.velocities[voice][k], 0.0f);
}

void Kavrel::shapeLane(int param, int op) {
    const int lane = kitPosition(param);
    if (lane < 0) return;
    const Pin pin(*this);
    KavrelPattern& pat = hostPattern();
    pat.ensureLane(param);
    const int length = pat.stepCount();
    for (int k = 0; k < length; ++k)
        pat.lanes[lane][k] = shapeValue(op, k, length, pat.lanes[lane][k], 0.5f);
    pat.setLocked(KavrelParameterManager::voiceOfParam(param), param, op != 0);
}

void Kavrel::setVelocityRandomize(int voice, bool on) {
    if (voice < 0 || voice >= kNumVoices) return;
    const Pin pin(*this);
    hostPattern().velocityRandomize[voice] = on ? 1 : 0;
}

void Kavrel::setLaneRandomize(int param, bool on) {
    const int k = kitPosition(param);
    if (k < 0) return;
    const Pin pin(*this);
    KavrelPattern& pat = hostPattern();
    pat.ensureLane(param);
    pat.laneRandomize[k] = on ? 1 : 0;
    pat.setLocked(KavrelParameterManager::voiceOfParam(param), param, true);
}

void Kavrel::addLockParam(int param) {
    const Pin pin(*this);
    hostPattern().setLocked(KavrelParameterManager::voiceOfParam(param), param, true);
}

void Kavrel::removeLockParam(int param) {
    const Pin pin(*this);
    hostPattern().setLocked(KavrelParameterManager::voiceOfParam(param), param, false);
}

void Kavrel::clearPatternSteps() {
    {
        const Pin pin(*this);
        KavrelPattern& pat = hostPattern();
        for (int v = 0; v < kNumVoices; ++v) pat.clearRow(v);
    }
    if (editorOpen())
        for (int v = 0; v < kNumVoices; ++v) editorNotify->showRowSteps(v);
}

void Kavrel::copyPattern() {
    const Pin pin(*this);
    clipboardPattern.assign(hostPattern());
    paramManager.captureMemento(clipboardMemento);
}

void Kavrel::pastePattern() {
    const Pin pin(*this);
    hostPattern().assign(clipboardPattern);
    paramManager.restoreMemento(clipboardMemento);
    paramManager.captureMemento(currentPattern);
    KavrelProgram& slot = playingProgram();
    for (int key = 0; key < kNumParams; ++key)
        if (slot.hasPatternValue[currentPattern][key])
            slot.patternValues[currentPattern][key] = paramManager.getNormValue(key);
    applyPatternValues();
}

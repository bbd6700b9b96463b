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

void Kavrel::setStep(int voice, int step, bool on) {
    if (voice < 0 || voice >= kNumVoices || step < 0 || step >= kPatternSteps) return;
    currentPatternPointer->steps[voice][step] = on ? 0xff : 0;
}

void Kavrel::setVelocity(int voice, int step, float value) {
    if (voice < 0 || voice >= kNumVoices || step < 0 || step >= kPatternSteps) return;
    currentPatternPointer->velocities[voice][step] = sanitizeNormalized(value);
}

void Kavrel::setLaneValue(int param, int step, float value) {
    const int k = kitPosition(param);
    if (k < 0 || step < 0 || step >= kPatternSteps) return;
    currentPatternPointer->ensureLane(param);
    currentPatternPointer->lanes[k][step] = sanitizeNormalized(value);
    addLockParam(param);
}

void Kavrel::shapeVelocity(int voice, int op) {
    if (voice < 0 || voice >= kNumVoices) return;
    KavrelPattern& pat = *currentPatternPointer;
    const int length = pat.stepCount();
    for (int k = 0; k < length; ++k)
        pat.velocities[voice][k] = shapeValue(op, k, length, pat.velocities[voice][k], 0.0f);
}

void Kavrel::shapeLane(int param, int op) {
    const int lane = kitPosition(param);
    if (lane < 0) return;
    KavrelPattern& pat = *currentPatternPointer;
    pat.ensureLane(param);
    const int length = pat.stepCount();
    for (int k = 0; k < length; ++k)
        pat.lanes[lane][k] = shapeValue(op, k, length, pat.lanes[lane][k], 0.5f);
    if (op == 0)
        removeLockParam(param);
    else
        addLockParam(param);
}

void Kavrel::setVelocityRandomize(int voice, bool on) {
    if (voice < 0 || voice >= kNumVoices) return;
    currentPatternPointer->velocityRandomize[voice] = on ? 1 : 0;
}

void Kavrel::setLaneRandomize(int param, bool on) {
    const int k = kitPosition(param);
    if (k < 0) return;
    currentPatternPointer->ensureLane(param);
    currentPatternPointer->laneRandomize[k] = on ? 1 : 0;
    addLockParam(param);
}

void Kavrel::addLockParam(int param) {
    currentPatternPointer->setLocked(KavrelParameterManager::voiceOfParam(param), param, true);
}

void Kavrel::removeLockParam(int param) {
    currentPatternPointer->setLocked(KavrelParameterManager::voiceOfParam(param), param, false);
}

void Kavrel::clearPatternSteps() {
    for (int v = 0; v < kNumVoices; ++v) currentPatternPointer->clearRow(v);
    if (editorOpen())
        for (int v = 0; v < kNumVoices; ++v) editorNotify->showRowSteps(v);
}

void Kavrel::copyPattern() {
    clipboardPattern.assign(*currentPatternPointer);
    paramManager.captureMemento(clipboardMemento);
}

void Kavrel::pastePattern() {
    currentPatternPointer->assign(clipboardPattern);
    paramManager.restoreMemento(clipboardMemento);
    paramManager.captureMemento(currentPattern);
    KavrelProgram& slot = playingProgram();
    for (int key = 0; key < kNumParams; ++key)
        if (slot.hasPatternValue[currentPattern][key])
            slot.patternValues[currentPattern][key] = paramManager.getNormValue(key);
    applyPatternValues();
}

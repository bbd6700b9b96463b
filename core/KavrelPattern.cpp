#include "core/KavrelPattern.h"

#include <cstring>

using namespace kavrel;

KavrelPattern::KavrelPattern() {
    reset();
}

void KavrelPattern::reset() {
    std::memset(steps, 0, sizeof(steps));
    for (auto& row : velocities)
        for (float& v : row) v = 0.7f;
    std::memset(velocityRandomize, 0, sizeof(velocityRandomize));
    std::memset(lockSets, 0, sizeof(lockSets));
    std::memset(hasLane, 0, sizeof(hasLane));
    for (auto& lane : lanes)
        for (float& v : lane) v = 0.5f;
    std::memset(laneRandomize, 0, sizeof(laneRandomize));
    restPlay();
}

void KavrelPattern::restPlay() {
    for (int v = 0; v < kNumVoices; ++v) {
        // What the parameter defaults give: Selected Beats 100 %, Random Beats 0 %,
        // Random Size 1/16, Random Velocity 1 of 127.
        selectedBeatsThreshold[v] = 32767;
        randomBeatsThreshold[v] = 0;
        randomSizeTicks[v] = 6;
        randomVelocity[v] = 1.0f / 127.0f;
    }
    currentStep = 0;
    length = 32;
    stepTicks = 3;
    tickGrain = 48;
    lastTickSeen = 0;
}

bool KavrelPattern::advance(int64_t tick) {
    if (tick == lastTickSeen) return false;
    lastTickSeen = tick;
    static const int grains[] = {48, 24, 12, 8, 6, 4, 3};
    tickGrain = 1;
    for (int g : grains)
        if (tick % g == 0) {
            tickGrain = g;
            break;
        }
    // The length and step size are plain fields other threads may change; never divide by
    // zero or leave the rows.
    int ticks = stepTicks > 0 ? stepTicks : 1;
    const int count = stepCount();
    int s = static_cast<int>((tick / ticks) % count);
    if (s < 0) s += count;
    if (s == currentStep) return false;
    currentStep = s;
    return true;
}

int KavrelPattern::stepBack() {
    int64_t t = lastTickSeen - stepTicks;
    if (t < 0) t += stepTicks * length;
    advance(t);
    return currentStep;
}

int KavrelPattern::stepForward() {
    advance(lastTickSeen + stepTicks);
    return currentStep;
}

void KavrelPattern::clearRow(int voice) {
    if (voice < 0 || voice >= kNumVoices) return;
    std::memset(steps[voice], 0, sizeof(steps[voice]));
}

void KavrelPattern::assign(const KavrelPattern& source) {
    if (&source == this) return;
    std::memcpy(this, &source, sizeof(KavrelPattern));
}

bool KavrelPattern::isLocked(int voice, int param) const {
    int k = kitPosition(param);
    return voice >= 0 && voice < kNumVoices && k >= 0 && lockSets[voice][k] != 0;
}

void KavrelPattern::setLocked(int voice, int param, bool locked) {
    int k = kitPosition(param);
    if (voice < 0 || voice >= kNumVoices || k < 0) return;
    lockSets[voice][k] = locked ? 1 : 0;
}

int KavrelPattern::lockCount(int voice) const {
    int n = 0;
    for (int k = 0; k < kKitParams; ++k) n += lockSets[voice][k] ? 1 : 0;
    return n;
}

void KavrelPattern::ensureLane(int param) {
    int k = kitPosition(param);
    if (k < 0 || hasLane[k]) return;
    for (float& v : lanes[k]) v = 0.5f;
    laneRandomize[k] = 0;
    hasLane[k] = 1;
}

void KavrelPattern::clearLanes() {
    std::memset(hasLane, 0, sizeof(hasLane));
    for (auto& lane : lanes)
        for (float& v : lane) v = 0.5f;
    std::memset(laneRandomize, 0, sizeof(laneRandomize));
}

int KavrelPattern::laneCount() const {
    int n = 0;
    for (uint8_t h : hasLane) n += h ? 1 : 0;
    return n;
}

KavrelProgram::KavrelProgram() {
    resetRecord();
}

void KavrelProgram::resetRecord() {
    for (KavrelPattern& pattern : patterns) pattern.reset();
    std::memset(name, 0, sizeof(name));
    std::memcpy(name, "init", 5);
    std::memset(params, 0, sizeof(params));
    std::memset(patternValues, 0, sizeof(patternValues));
    std::memset(hasPatternValue, 0, sizeof(hasPatternValue));
}

int KavrelProgram::patternValueCount(int pattern) const {
    int n = 0;
    for (uint8_t h : hasPatternValue[pattern]) n += h ? 1 : 0;
    return n;
}

// Program changes: the host side's model of the slots, and how a new program reaches the
// audio thread whole, between two blocks, without any thread waiting for another.
//
// A host thread builds the new state on its own (a copy of the slot it chose), makes the
// values the host reads those of the new program at once, and publishes the state with one
// atomic exchange. The audio thread takes it at the start of its next block and gives back the
// one it played, which a host thread later returns into its slot. Host threads order
// themselves with a lock that is only ever held for copies and pointer swaps; the audio thread
// never takes it, and nothing calls the host while holding it.
#include "core/Kavrel.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

using namespace kavrel;

thread_local bool Kavrel::recalling = false;

const KavrelProgram& Kavrel::freshestLocked(int slot) const {
    return heldBy[slot] ? heldBy[slot]->program : *slots[slot];
}

void Kavrel::retireLocked(PlayState* state) {
    // A copy that is still the newest content of its slot goes back into it; one that a load
    // or a later copy of the same slot replaced is simply reused.
    if (heldBy[state->slot] == state) {
        slots[state->slot] = std::make_shared<const KavrelProgram>(state->program);
        heldBy[state->slot] = nullptr;
    }
    spareStates[spareCount++] = state;
}

void Kavrel::collectLocked() {
    exchange.collect([this](PlayState* state) { retireLocked(state); });
}

Kavrel::PlayState* Kavrel::acquireLocked() {
    for (;;) {
        collectLocked();
        if (spareCount > 0) return spareStates[--spareCount];
        // Every state but the playing one is out: the one waiting is about to be replaced
        // anyway. If the audio thread took it meanwhile, it gave the one before back.
        if (PlayState* waiting = exchange.reclaim()) {
            absorbLater(waiting->program, UINT64_MAX);
            retireLocked(waiting);
        }
    }
}

void Kavrel::publishLocked(PlayState* state) {
    heldBy[state->slot] = state;
    state->publishedAt = laterClock.fetch_add(1) + 1;
    latestPublish.store(state->publishedAt);
    if (PlayState* replaced = exchange.publish(state)) {
        // Values set for a change that never played stay in its slot.
        absorbLater(replaced->program, state->publishedAt);
        retireLocked(replaced);
    }
    // The host reads the program it chose at once, though the engine takes it at the next
    // block. Play shows whether the sequencer runs: a recall never starts or stops it.
    const KavrelProgram& program = state->program;
    const int pattern =
        clampIndex(paramManager.normToReal(kParamPattern, program.params[kParamPattern]),
                   kPatternsPerProgram - 1);
    for (int index = 0; index < kNumParams; ++index) {
        const bool perPattern = KavrelParameterManager::isPatternParam(index) &&
                                program.hasPatternValue[pattern][index];
        float value = perPattern ? program.patternValues[pattern][index] : program.params[index];
        if (index == kParamPlay) value = playing ? 1.0f : 0.0f;
        hostValue[index].store(value, std::memory_order_relaxed);
    }
}

void Kavrel::changeProgram(int program, bool tellHost) {
    {
        std::lock_guard<std::mutex> lock(hostLock);
        PlayState* state = acquireLocked();
        state->program = freshestLocked(program);
        state->slot = program;
        curProgram = program;
        hostProgram.store(program, std::memory_order_relaxed);
        publishLocked(state);
    }
    // With no audio running (before the first resume, after a suspend) nobody else would
    // land it: the state goes in at once, on this thread.
    if (!resumed) takeHandover();
    if (tellHost) updateDisplay();
}

void Kavrel::setProgram(vst::int32 program) {
    if (program < 0 || program >= kNumPrograms) return;
    changeProgram(program, true);
}

const KavrelProgram& Kavrel::program(int slot) {
    std::lock_guard<std::mutex> lock(hostLock);
    collectLocked();
    return freshestLocked(slot);
}

void Kavrel::takeHandover() {
    const auto taken = exchange.take();
    if (!taken.next) return;
    // Values set after a newer change was published wait for that one.
    const uint64_t newest = latestPublish.load();
    const uint64_t limit = newest == taken.next->publishedAt ? UINT64_MAX : newest;
    recalling = true;
    applyProgram();
    recalling = false;
    // Nothing on this side points into the old copy any more.
    exchange.giveBack(taken.previous);
    replayLater(limit);
}

bool Kavrel::isRecallOnly(int index) {
    // Momentary actions act when they are set, not when a stored value comes back; Play and
    // Stop are transport, which a recall never moves; the pattern is selected directly once
    // all values are in.
    return (index >= kParamClearFirst && index < kParamRandomFillFirst + kNumVoices) ||
           index == kParamPattern || index == kParamPlay || index == kParamStop;
}

void Kavrel::recallValue(int index, float value) {
    paramManager.setNormValue(index, value);
    if (!recalling) hostValue[index].store(value, std::memory_order_relaxed);
    playingProgram().params[index] = value;
    if (editorNotify) editorNotify->setParameter(index, value);
}

void Kavrel::applyProgram() {
    KavrelProgram& slot = playingProgram();
    for (int index = 0; index < kNumParams; ++index) {
        if (KavrelParameterManager::isPatternParam(index)) continue;
        if (index == kParamPlay)
            recallValue(index, playing ? 1.0f : 0.0f);
        else if (isRecallOnly(index))
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

// A host thread queues the value and then looks whether a handover still waits; the thread
// that lands one takes it first and the queue after. Whichever way they interleave, each
// queued value is taken exactly once: by a landing, by a change that replaces the waiting one,
// or back by the host thread that finds no handover waiting any more. Stamps come from one
// clock with the handovers' own, so a landing takes only the values set before the next
// change was published; the ones after belong to that change.
bool Kavrel::deferToHandover(int index, float value) {
    const uint64_t stamp = laterClock.fetch_add(1) + 1;
    laterValue[index].store(value, std::memory_order_relaxed);
    laterSet[index].store(stamp);
    if (exchange.hasPending()) return true;
    uint64_t expected = stamp;
    return !laterSet[index].compare_exchange_strong(expected, 0);
}

bool Kavrel::takeLater(int index, uint64_t limit, float& value) {
    uint64_t stamp = laterSet[index].load();
    if (!stamp || stamp >= limit || !laterSet[index].compare_exchange_strong(stamp, 0))
        return false;
    value = laterValue[index].load(std::memory_order_relaxed);
    return true;
}

void Kavrel::replayLater(uint64_t limit) {
    // In the order they were set: a few entries, sorted in place without allocating.
    uint64_t stamps[kNumParams];
    int order[kNumParams];
    float values[kNumParams];
    int count = 0;
    for (int index = 0; index < kNumParams; ++index) {
        const uint64_t stamp = laterSet[index].load();
        float value = 0.0f;
        if (!takeLater(index, limit, value)) continue;
        int k = count++;
        while (k > 0 && stamps[k - 1] > stamp) {
            stamps[k] = stamps[k - 1];
            order[k] = order[k - 1];
            values[k] = values[k - 1];
            --k;
        }
        stamps[k] = stamp;
        order[k] = index;
        values[k] = value;
    }
    for (int k = 0; k < count; ++k) setParameter(order[k], values[k]);
}

void Kavrel::storeValue(KavrelProgram& program, int index, float value) const {
    program.params[index] = value;
    if (!KavrelParameterManager::isPatternParam(index)) return;
    const int p = clampIndex(paramManager.normToReal(kParamPattern, program.params[kParamPattern]),
                             kPatternsPerProgram - 1);
    program.patternValues[p][index] = value;
    program.hasPatternValue[p][index] = 1;
}

void Kavrel::absorbLater(KavrelProgram& program, uint64_t limit) {
    float value = 0.0f;
    for (int index = 0; index < kNumParams; ++index)
        if (takeLater(index, limit, value)) storeValue(program, index, value);
}

void Kavrel::overlayLater(KavrelProgram& program) const {
    for (int index = 0; index < kNumParams; ++index)
        if (laterSet[index].load())
            storeValue(program, index, laterValue[index].load(std::memory_order_relaxed));
}

void Kavrel::setProgramName(char* name) {
    std::lock_guard<std::mutex> lock(hostLock);
    collectLocked();
    const int current = hostProgram.load(std::memory_order_relaxed);
    // Names are never read on the audio thread: the playing copy's is the host side's.
    if (PlayState* held = heldBy[current]) {
        vst::copyString(held->program.name, name, KavrelProgram::kNameSize - 1);
        return;
    }
    auto renamed = std::make_shared<KavrelProgram>(*slots[current]);
    vst::copyString(renamed->name, name, KavrelProgram::kNameSize - 1);
    slots[current] = std::move(renamed);
}

void Kavrel::getProgramName(char* name) {
    char text[64];
    {
        std::lock_guard<std::mutex> lock(hostLock);
        const int current = hostProgram.load(std::memory_order_relaxed);
        const KavrelProgram& slot = freshestLocked(current);
        if (std::strcmp(slot.name, "init") == 0)
            std::snprintf(text, sizeof(text), "%s %d", slot.name, current + 1);
        else
            vst::copyString(text, slot.name, KavrelProgram::kNameSize - 1);
    }
    vst::copyString(name, text, vst::kVstMaxProgNameLen - 1);
}

bool Kavrel::getProgramNameIndexed(vst::int32, vst::int32 index, char* text) {
    if (index < 0 || index >= kNumPrograms) return false;
    std::lock_guard<std::mutex> lock(hostLock);
    vst::copyString(text, freshestLocked(index).name, KavrelProgram::kNameSize - 1);
    return true;
}

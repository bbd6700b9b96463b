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

#include "core/KavrelChunk.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

using namespace kavrel;

thread_local bool Kavrel::recalling = false;

const char* Kavrel::nameLocked(int slot) const {
    return heldBy[slot] ? heldBy[slot]->program.name : slots[slot] ? slots[slot]->name : "";
}

const Kavrel::SharedPacked& Kavrel::defaultProgram() {
    // Every value at its default, as a fresh parameter table holds them; once per process.
    static const SharedPacked packed = [] {
        const KavrelParameterManager fresh;
        auto defaults = std::make_unique<KavrelProgram>();
        for (int i = 0; i < kNumParams; ++i) defaults->params[i] = fresh.getNormValue(i);
        for (int p = 0; p < kPatternsPerProgram; ++p)
            for (int index : fresh.patternParamSet) {
                defaults->patternValues[p][index] = fresh.getNormValue(index);
                defaults->hasPatternValue[p][index] = 1;
            }
        return KavrelPackedProgram::pack(*defaults);
    }();
    return packed;
}

void Kavrel::fillDefaults(KavrelProgram& program) {
    const SharedPacked& defaults = defaultProgram();
    if (!defaults || !defaults->unpack(program, unpackScratch)) program.resetRecord();
}

void Kavrel::fillLocked(PlayState& state, int slot) {
    state.slot = slot;
    if (const PlayState* held = heldBy[slot]) {
        state.program = held->program;
        state.packed = held->packed;
        state.piece = held->piece;
        return;
    }
    state.piece = slots[slot];
    // Only a damaged factory resource could fail here (loaded pieces are checked before they
    // are taken): the slot then plays the defaults and keeps its bytes until it is changed.
    if (!state.piece || !state.piece->unpack(state.program, unpackScratch))
        fillDefaults(state.program);
    state.packed = state.program;
}

void Kavrel::retireLocked(PlayState* state) {
    // A copy that is still the newest content of its slot is packed back into it, outside the
    // lock; one that a load or a later copy of the same slot replaced is simply reused.
    if (heldBy[state->slot] == state)
        retiredStates.push_back(state);
    else
        spareStates.push_back(state);
}

void Kavrel::collectLocked() {
    exchange.collect([this](PlayState* state) { retireLocked(state); });
}

Kavrel::PlayState* Kavrel::acquireLocked() {
    collectLocked();
    if (!spareStates.empty()) {
        PlayState* state = spareStates.back();
        spareStates.pop_back();
        return state;
    }
    // Each one is the size of an expanded program; an instance needs three or four.
    ownedStates.push_back(std::make_unique<PlayState>());
    spareStates.reserve(ownedStates.size());
    retiredStates.reserve(ownedStates.size());
    return ownedStates.back().get();
}

void Kavrel::packRetired(size_t keep) {
    for (;;) {
        PlayState* state = nullptr;
        {
            std::lock_guard<std::mutex> lock(hostLock);
            collectLocked();
            if (retiredStates.size() <= keep) return;
            // The oldest first: the newer ones are the likelier to be chosen again.
            state = retiredStates.front();
            retiredStates.erase(retiredStates.begin());
            state->packing = true;
        }
        // Given back, the copy is the host side's: read without the lock (other host threads
        // only read it too), and packed again only if it changed while it played.
        SharedPacked piece = chunk::sameRecord(state->program, state->packed)
                                 ? state->piece
                                 : KavrelPackedProgram::pack(state->program);
        std::lock_guard<std::mutex> lock(hostLock);
        state->packing = false;
        if (!piece) { // out of memory: it stays the slot's content and is tried again later
            retiredStates.push_back(state);
            return;
        }
        if (heldBy[state->slot] == state) {
            slots[state->slot] = std::move(piece);
            heldBy[state->slot] = nullptr;
        }
        spareStates.push_back(state);
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
        fillLocked(*state, program);
        curProgram = program;
        hostProgram.store(program, std::memory_order_relaxed);
        publishLocked(state);
    }
    // A program that changed while it played takes a millisecond or two to pack: a change,
    // which hosts also make on their audio thread, leaves that to a save, and packs here only
    // the oldest beyond a few copies so their memory stays bounded.
    packRetired(kRetiredKept);
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
    if (const PlayState* held = heldBy[slot]) return held->program;
    if (!inspected) inspected = std::make_unique<KavrelProgram>();
    if (!slots[slot] || !slots[slot]->unpack(*inspected, unpackScratch)) fillDefaults(*inspected);
    return *inspected;
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
    // Nothing may act on the pattern of the program that played before (or on none, the first
    // time): values land in the new program's stored pattern from the start.
    currentPatternPointer = &slot.patterns[clampIndex(
        paramManager.normToReal(kParamPattern, slot.params[kParamPattern]),
        kPatternsPerProgram - 1)];
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
    // Names are never read on the audio thread: the playing copy's is the host side's. It no
    // longer matches its packed bytes, so it is packed again when it comes back.
    if (PlayState* held = heldBy[current]) {
        vst::copyString(held->program.name, name, KavrelProgram::kNameSize - 1);
        return;
    }
    if (!inspected) inspected = std::make_unique<KavrelProgram>();
    if (!slots[current] || !slots[current]->unpack(*inspected, unpackScratch)) return;
    vst::copyString(inspected->name, name, KavrelProgram::kNameSize - 1);
    if (SharedPacked renamed = KavrelPackedProgram::pack(*inspected))
        slots[current] = std::move(renamed);
}

void Kavrel::getProgramName(char* name) {
    char text[64];
    {
        std::lock_guard<std::mutex> lock(hostLock);
        const int current = hostProgram.load(std::memory_order_relaxed);
        const char* stored = nameLocked(current);
        if (std::strcmp(stored, "init") == 0)
            std::snprintf(text, sizeof(text), "%s %d", stored, current + 1);
        else
            vst::copyString(text, stored, KavrelProgram::kNameSize - 1);
    }
    vst::copyString(name, text, vst::kVstMaxProgNameLen - 1);
}

bool Kavrel::getProgramNameIndexed(vst::int32, vst::int32 index, char* text) {
    if (index < 0 || index >= kNumPrograms) return false;
    std::lock_guard<std::mutex> lock(hostLock);
    vst::copyString(text, nameLocked(index), KavrelProgram::kNameSize - 1);
    return true;
}

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
#include <new>

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

int Kavrel::storedPattern(const KavrelProgram& program) const {
    return clampIndex(paramManager.normToReal(kParamPattern, program.params[kParamPattern]),
                      kPatternsPerProgram - 1);
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
    // A spare copy is reused only while no host thread has the playing copy pinned: one that
    // pinned it just before the audio thread gave it back may still be writing into it.
    if (!spareStates.empty() && pinned.load() == 0) {
        PlayState* state = spareStates.back();
        spareStates.pop_back();
        return state;
    }
    // Each one is the size of an expanded program; an instance needs three or four. Null when
    // out of memory: the caller then changes nothing.
    try {
        ownedStates.reserve(ownedStates.size() + 1);
        spareStates.reserve(ownedStates.size() + 1);
        retiredStates.reserve(ownedStates.size() + 1);
        PlayState* state = new (std::nothrow) PlayState;
        if (state) ownedStates.emplace_back(state);
        return state;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void Kavrel::reclaimWaitingLocked() {
    // A change that waits for the audio thread and is about to be replaced: the values set
    // since it was published are its own, and go into its slot with it.
    if (PlayState* waiting = exchange.reclaim()) {
        absorbLater(waiting->program, 0);
        retireLocked(waiting);
    }
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
    // A pattern chosen for the program this one replaces is no choice for it.
    patternRequest.store(-1);
    state->publishedAt = nextStamp();
    latestPublish.store(state->publishedAt);
    // The callers took a waiting change back first (reclaimWaitingLocked) and hold the lock,
    // so nothing is waiting for this one to replace.
    exchange.publish(state);
    // The host reads the program it chose at once, though the engine takes it at the next
    // block. Play shows whether the sequencer runs: a recall never starts or stops it.
    const KavrelProgram& program = state->program;
    const int pattern = storedPattern(program);
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
        reclaimWaitingLocked();
        PlayState* state = acquireLocked();
        if (!state) return; // out of memory: the program stays as it is
        fillLocked(*state, program);
        curProgram = program;
        hostProgram.store(program, std::memory_order_relaxed);
        publishLocked(state);
    }
    // A program that changed while it played takes a millisecond or two to pack: a change,
    // which hosts also make on their audio thread, leaves that to a save, and packs here only
    // the oldest beyond a few copies so their memory stays bounded.
    packRetired(kRetiredKept);
    landWithoutAudio();
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

void Kavrel::landWithoutAudio() {
    // With no audio running (before the first resume, after a suspend) nobody else would land
    // it: the state goes in at once, on this thread, unless another thread plays right now
    // (it lands it, or the next block does). Looked at again after each landing, since a
    // change may have been published meanwhile by a thread that found the player busy.
    while (!resumed && (exchange.hasPending() || patternRequest.load() >= 0)) {
        if (playerBusy.exchange(true, std::memory_order_acquire)) return;
        inAudioCallback = true;
        takeHandover();
        takePatternRequest();
        inAudioCallback = false;
        playerBusy.store(false, std::memory_order_release);
    }
}

void Kavrel::takeHandover() {
    const auto taken = exchange.take();
    if (!taken.next) return;
    // Values set after a newer change was published wait for that one.
    const uint32_t newest = latestPublish.load();
    const uint32_t limit = newest == taken.next->publishedAt ? 0 : newest;
    recalling = true;
    applyProgram();
    recalling = false;
    // Nothing on this side points into the old copy any more.
    exchange.giveBack(taken.previous);
    replayLater(limit);
}

void Kavrel::takePatternRequest() {
    const int requested = patternRequest.exchange(-1);
    if (requested >= 0) requestPattern(requested);
}

KavrelPattern& Kavrel::hostPattern() {
    return exchange.playing()
        ->program.patterns[clampIndex(static_cast<float>(currentPattern), kPatternsPerProgram - 1)];
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
    // time): the new program's stored pattern is current from the start.
    const int pattern = storedPattern(slot);
    currentPattern = pendingPattern = pattern;
    currentPatternPointer = &slot.patterns[pattern];
    for (int index = 0; index < kNumParams; ++index) {
        if (KavrelParameterManager::isPatternParam(index)) continue;
        if (index == kParamPlay)
            recallValue(index, playing ? 1.0f : 0.0f);
        else if (isRecallOnly(index))
            recallValue(index, slot.params[index]);
        else
            setParameter(index, slot.params[index]);
    }
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
// change was published; the ones after belong to that change. The clock wraps after four
// billion values; stamps are compared by their difference, so only the order of values set
// within two billion of each other counts.
namespace {
uint64_t laterEntry(uint32_t stamp, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return static_cast<uint64_t>(stamp) << 32 | bits;
}
uint32_t stampOf(uint64_t entry) {
    return static_cast<uint32_t>(entry >> 32);
}
float valueOf(uint64_t entry) {
    const auto bits = static_cast<uint32_t>(entry);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
bool stampedBefore(uint32_t stamp, uint32_t limit) {
    return limit == 0 || static_cast<int32_t>(stamp - limit) < 0;
}
} // namespace

uint32_t Kavrel::nextStamp() {
    uint32_t stamp = laterClock.fetch_add(1) + 1;
    while (stamp == 0) stamp = laterClock.fetch_add(1) + 1; // 0 means "no value"
    return stamp;
}

bool Kavrel::deferToHandover(int index, float value) {
    const uint64_t entry = laterEntry(nextStamp(), value);
    later[index].store(entry);
    if (exchange.hasPending()) return true;
    uint64_t expected = entry;
    return !later[index].compare_exchange_strong(expected, 0);
}

bool Kavrel::takeLater(int index, uint32_t limit, float& value, uint32_t& stamp) {
    uint64_t entry = later[index].load();
    if (!entry || !stampedBefore(stampOf(entry), limit) ||
        !later[index].compare_exchange_strong(entry, 0))
        return false;
    value = valueOf(entry);
    stamp = stampOf(entry);
    return true;
}

void Kavrel::replayLater(uint32_t limit) {
    // In the order they were set: a few entries, sorted in place without allocating.
    uint32_t stamps[kNumParams];
    int order[kNumParams];
    float values[kNumParams];
    int count = 0;
    for (int index = 0; index < kNumParams; ++index) {
        float value = 0.0f;
        uint32_t stamp = 0;
        if (!takeLater(index, limit, value, stamp)) continue;
        int k = count++;
        while (k > 0 && static_cast<int32_t>(stamps[k - 1] - stamp) > 0) {
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
    const int p = storedPattern(program);
    program.patternValues[p][index] = value;
    program.hasPatternValue[p][index] = 1;
}

void Kavrel::absorbLater(KavrelProgram& program, uint32_t limit) {
    float value = 0.0f;
    uint32_t stamp = 0;
    for (int index = 0; index < kNumParams; ++index)
        if (takeLater(index, limit, value, stamp)) storeValue(program, index, value);
}

void Kavrel::overlayLater(KavrelProgram& program) const {
    for (int index = 0; index < kNumParams; ++index)
        if (const uint64_t entry = later[index].load()) storeValue(program, index, valueOf(entry));
}

void Kavrel::setProgramName(char* name) {
    SharedPacked resting;
    int current = 0;
    {
        std::lock_guard<std::mutex> lock(hostLock);
        collectLocked();
        current = hostProgram.load(std::memory_order_relaxed);
        // Names are never read on the audio thread: the playing copy's is the host side's. It
        // no longer matches its packed bytes, so it is packed again when it comes back.
        if (PlayState* held = heldBy[current]) {
            vst::copyString(held->program.name, name, KavrelProgram::kNameSize - 1);
            return;
        }
        resting = slots[current];
    }
    // A slot at rest is renamed in a new packed copy, made with nothing held.
    if (!resting) return;
    auto renamed = std::make_unique<KavrelProgram>();
    std::vector<uint8_t> scratch;
    if (!resting->unpack(*renamed, scratch)) return;
    vst::copyString(renamed->name, name, KavrelProgram::kNameSize - 1);
    SharedPacked packed = KavrelPackedProgram::pack(*renamed);
    std::lock_guard<std::mutex> lock(hostLock);
    if (packed && slots[current] == resting && !heldBy[current]) slots[current] = std::move(packed);
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

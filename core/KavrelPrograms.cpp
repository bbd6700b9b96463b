// State chunks and the factory bank.
#include "core/Kavrel.h"

#include "core/KavrelChunk.h"
#include "core/KavrelCompactChunk.h"
#include "platform/KavrelPlatform.h"

#include <memory>
#include <new>
#include <vector>

using namespace kavrel;

namespace {

vst::int32 clampProgram(vst::int32 program) {
    return program < 0 ? 0 : program >= Kavrel::kNumPrograms ? Kavrel::kNumPrograms - 1 : program;
}

} // namespace

vst::int32 Kavrel::programChunkSize(int slot) {
    return static_cast<vst::int32>(chunk::programSize(program(slot)));
}

vst::int32 Kavrel::getChunk(void** data, bool isPreset) {
    *data = nullptr;
    // Both a bank and a single program go out compact: hosts keep program chunks in their
    // projects and undo histories too, and a program deflates from 300 kB to a few kB. Only a
    // bank records the current program; a program chunk is the same from whichever slot.
    std::vector<uint8_t> out;
    try {
        // What the host side holds now, taken in a few microseconds: the slots at rest are
        // shared and never written, so they are kept as they are; the copies in the audio
        // thread's hands (at most two) are copied, since the editor and the sequencer change
        // the playing one in place. Everything slow happens after, with nothing held, so a
        // program change on another thread (the audio thread, in some hosts) never waits
        // for a save.
        SharedProgram rest[kNumPrograms];
        std::unique_ptr<KavrelProgram> copies[kPlayStates - 1]; // one waiting, one playing
        for (auto& copy : copies) copy = std::make_unique<KavrelProgram>();
        const KavrelProgram* snapshot[kNumPrograms] = {};
        int current = 0;
        {
            std::lock_guard<std::mutex> lock(hostLock);
            collectLocked();
            current = hostProgram.load(std::memory_order_relaxed);
            int used = 0;
            for (int slot = 0; slot < kNumPrograms; ++slot) {
                if (isPreset && slot != current) continue;
                if (const PlayState* held = heldBy[slot]) {
                    KavrelProgram& copy = *copies[used++];
                    copy = held->program;
                    // Values set since the newest change and not yet landed are part of it.
                    if (slot == current) overlayLater(copy);
                    snapshot[slot] = &copy;
                } else {
                    rest[slot] = slots[slot];
                    snapshot[slot] = rest[slot].get();
                }
            }
        }
        std::vector<uint8_t> legacy;
        chunk::CompactEncoder encoder(isPreset ? -1 : current);
        auto add = [&](const KavrelProgram& program) {
            legacy.resize(chunk::programSize(program));
            chunk::writeProgram(program, legacy.data());
            return encoder.add(legacy.data(), legacy.size());
        };
        bool ok = true;
        for (int slot = 0; slot < kNumPrograms && ok; ++slot)
            if (snapshot[slot]) ok = add(*snapshot[slot]);
        if (!ok || !encoder.finish(out)) return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(hostLock);
    previousChunk.swap(chunkBuffer);
    chunkBuffer.swap(out);
    *data = chunkBuffer.data();
    return static_cast<vst::int32>(chunkBuffer.size());
}

vst::int32 Kavrel::setChunk(void* data, vst::int32 byteSize, bool isPreset) {
    if (!data || byteSize <= 0) return 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t size = static_cast<size_t>(byteSize);
    // Everything is expanded, checked and parsed here, on the host's thread and with nothing
    // held; the new slots then go in with a few pointer swaps. A compact chunk is expanded
    // into the legacy layout that the rest reads.
    std::vector<uint8_t> expanded;
    int32_t savedProgram = -1;
    SharedProgram loaded[kNumPrograms];
    try {
        if (chunk::isCompact(bytes, size)) {
            if (!chunk::decodeCompact(bytes, size, expanded, savedProgram)) return 0;
            bytes = expanded.data();
            size = expanded.size();
        }
        // The bytes come from files that users move between machines and versions: check the
        // whole chunk before changing anything, so a refused chunk leaves every slot as it was.
        // A program chunk loads into the current slot, whichever program it was saved from.
        const int count = isPreset ? 1 : kNumPrograms;
        size_t at = 0;
        for (int i = 0; i < count; ++i) {
            const size_t length = chunk::validateProgram(bytes + at, size - at);
            if (!length) return 0;
            auto program = std::make_shared<KavrelProgram>();
            chunk::readProgram(bytes + at, *program);
            loaded[i] = std::move(program);
            at += length;
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    {
        std::lock_guard<std::mutex> lock(hostLock);
        collectLocked();
        int current = hostProgram.load(std::memory_order_relaxed);
        if (isPreset) {
            slots[current].swap(loaded[0]);
            heldBy[current] = nullptr;
        } else {
            // Hosts restore a session in either order (program then bank, or bank then
            // program) or hand over the bank alone: the program a compact bank recorded wins,
            // otherwise the one the host selected stays, and either is applied from the new
            // data.
            for (int i = 0; i < kNumPrograms; ++i) {
                slots[i].swap(loaded[i]);
                heldBy[i] = nullptr;
            }
            current = clampProgram(savedProgram >= 0 ? savedProgram : current);
        }
        PlayState* state = acquireLocked();
        state->program = *slots[current];
        state->slot = current;
        curProgram = current;
        hostProgram.store(current, std::memory_order_relaxed);
        publishLocked(state);
    }
    // The old slots are freed here (`loaded` holds them), outside the lock.
    if (!resumed) takeHandover();
    updateDisplay();
    return 1;
}

namespace {

using FactoryPrograms = std::vector<KavrelProgram, KavrelLargeAllocator<KavrelProgram>>;

// The factory bank, read from the module's resource once per process: every instance starts
// from the same 48 programs, and a host opening a project with many drum tracks would
// otherwise check and parse the same 14 MB for each. Null when the resource is missing or
// refused.
std::unique_ptr<const FactoryPrograms> readFactoryBank() {
    const uint8_t* bank = nullptr;
    size_t size = 0;
    if (!platform::loadModuleResource("PRESETBANK", 1000, &bank, &size) || size < 160)
        return nullptr;
    auto be32 = [bank](size_t at) {
        return (static_cast<uint32_t>(bank[at]) << 24) |
               (static_cast<uint32_t>(bank[at + 1]) << 16) |
               (static_cast<uint32_t>(bank[at + 2]) << 8) | static_cast<uint32_t>(bank[at + 3]);
    };
    if (be32(0) != static_cast<uint32_t>(vst::kCcnKMagic) ||
        be32(8) != static_cast<uint32_t>(vst::kFxbChunkMagic))
        return nullptr;
    size_t chunkSize = be32(156);
    if (chunkSize > size - 160) chunkSize = size - 160;
    const uint8_t* bytes = bank + 160;
    size_t offsets[Kavrel::kNumPrograms];
    size_t at = 0;
    for (int i = 0; i < Kavrel::kNumPrograms; ++i) {
        const size_t length = chunk::validateProgram(bytes + at, chunkSize - at);
        if (!length) return nullptr;
        offsets[i] = at;
        at += length;
    }
    auto programs = std::make_unique<FactoryPrograms>(Kavrel::kNumPrograms);
    for (int i = 0; i < Kavrel::kNumPrograms; ++i)
        chunk::readProgram(bytes + offsets[i], (*programs)[i]);
    return programs;
}

} // namespace

const FactoryPrograms* Kavrel::factoryBank() {
    static const std::unique_ptr<const FactoryPrograms> bank = readFactoryBank();
    return bank.get();
}

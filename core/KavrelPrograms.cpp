// State chunks and the factory bank.
#include "core/Kavrel.h"

#include "core/KavrelChunk.h"
#include "core/KavrelCompactChunk.h"
#include "platform/KavrelPlatform.h"

#include <cstring>
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
    // Both a bank and a single program go out compact, a piece per program: hosts keep
    // program chunks in their projects and undo histories too. Only a bank records the
    // current program; a program chunk is the same from whichever slot.
    SharedPacked pieces[kNumPrograms];
    struct Changed {
        std::unique_ptr<KavrelProgram> copy;
        int slot;
        const PlayState* state;
    };
    std::vector<Changed> changed;
    std::vector<uint8_t> out;
    int current = 0;
    // The copies of programs that played since the last save go back into their slots first.
    packRetired(0);
    try {
        changed.reserve(kNumPrograms);
        // What the host side holds now, taken in microseconds: the slots at rest are packed
        // already, and so is an expanded copy that has not changed since it was last packed.
        // A copy that changed (the editor and the sequencer change the playing one in place)
        // is copied here and packed with nothing held, so a program change on another thread
        // (the audio thread, in some hosts) never waits for a save.
        {
            std::lock_guard<std::mutex> lock(hostLock);
            collectLocked();
            current = hostProgram.load(std::memory_order_relaxed);
            bool laterWaiting = false;
            for (const auto& entry : later) laterWaiting = laterWaiting || entry.load() != 0;
            for (int slot = 0; slot < kNumPrograms; ++slot) {
                if (isPreset && slot != current) continue;
                const PlayState* held = heldBy[slot];
                if (!held) {
                    pieces[slot] = slots[slot];
                    continue;
                }
                // Values set since the newest change and not yet landed are part of it.
                const bool overlay = slot == current && laterWaiting;
                if (!overlay && chunk::sameRecord(held->program, held->packed)) {
                    pieces[slot] = held->piece;
                    continue;
                }
                changed.push_back({std::make_unique<KavrelProgram>(held->program), slot,
                                   overlay ? nullptr : held});
                if (overlay) overlayLater(*changed.back().copy);
            }
        }
        for (const Changed& c : changed) {
            pieces[c.slot] = KavrelPackedProgram::pack(*c.copy);
            if (!pieces[c.slot]) return 0;
        }
        if (!changed.empty()) {
            // The next save finds them packed, unless they change again meanwhile.
            std::lock_guard<std::mutex> lock(hostLock);
            for (const Changed& c : changed) {
                PlayState* held = heldBy[c.slot];
                if (!c.state || held != c.state || held->packing) continue;
                held->packed = *c.copy;
                held->piece = pieces[c.slot];
            }
        }
        chunk::Piece table[kNumPrograms];
        int count = 0;
        for (const SharedPacked& piece : pieces)
            if (piece) table[count++] = piece->piece();
        if (!chunk::encodePieces(table, static_cast<size_t>(count), isPreset ? -1 : current, out))
            return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(hostLock);
    previousChunk.swap(chunkBuffer);
    chunkBuffer.swap(out);
    *data = chunkBuffer.data();
    return static_cast<vst::int32>(chunkBuffer.size());
}

namespace {

// A loaded piece the plug-in holds already (the same program saved again, or a factory one)
// is taken as it is, without expanding it again to check it.
KavrelPackedProgram::Shared knownPiece(const chunk::Piece& piece,
                                       const KavrelPackedProgram::Shared& sameSlot) {
    if (sameSlot && sameSlot->holds(piece)) return sameSlot;
    for (const auto& factory : Kavrel::factoryBank())
        if (factory->holds(piece)) return factory;
    return nullptr;
}

// A program of an earlier form that is the factory program of its slot, unchanged: taken as
// the factory's own piece, without packing it again (sessions of earlier releases hold mostly
// those).
KavrelPackedProgram::Shared knownRecord(const uint8_t* legacy, size_t size, int slot,
                                        std::vector<uint8_t>& scratch) {
    const auto& bank = Kavrel::factoryBank();
    if (slot < 0 || static_cast<size_t>(slot) >= bank.size()) return nullptr;
    const KavrelPackedProgram::Shared& factory = bank[static_cast<size_t>(slot)];
    if (factory->legacySize != size) return nullptr;
    try {
        scratch.resize(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!chunk::inflatePiece(factory->piece(), scratch.data())) return nullptr;
    return std::memcmp(scratch.data(), legacy, size) == 0 ? factory : nullptr;
}

} // namespace

vst::int32 Kavrel::setChunk(void* data, vst::int32 byteSize, bool isPreset) {
    if (!data || byteSize <= 0) return 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t size = static_cast<size_t>(byteSize);
    const int count = isPreset ? 1 : kNumPrograms;
    // Everything is checked and packed here, on the host's thread and with nothing held; the
    // new slots then go in with a few pointer swaps. The bytes come from files that users move
    // between machines and versions: the whole chunk is checked before anything changes, so a
    // refused chunk leaves every slot as it was. A program chunk loads into the current slot,
    // whichever program it was saved from.
    SharedPacked loaded[kNumPrograms];
    int32_t savedProgram = -1;
    try {
        std::vector<chunk::Piece> pieces;
        if (chunk::readPieces(bytes, size, pieces, savedProgram)) {
            if (pieces.size() != static_cast<size_t>(count)) return 0;
            SharedPacked held[kNumPrograms];
            {
                std::lock_guard<std::mutex> lock(hostLock);
                const int current = hostProgram.load(std::memory_order_relaxed);
                for (int i = 0; i < count; ++i) held[i] = slots[isPreset ? current : i];
            }
            std::vector<uint8_t> scratch;
            for (int i = 0; i < count; ++i) {
                loaded[i] = knownPiece(pieces[static_cast<size_t>(i)], held[i]);
                if (!loaded[i])
                    loaded[i] =
                        KavrelPackedProgram::fromPiece(pieces[static_cast<size_t>(i)], scratch);
                if (!loaded[i]) return 0;
            }
        } else {
            // The first compact form, or the legacy layout of earlier releases: expanded,
            // checked, and packed a program at a time.
            std::vector<uint8_t> expanded;
            if (chunk::isCompact(bytes, size)) {
                if (!chunk::decodeCompact(bytes, size, expanded, savedProgram)) return 0;
                bytes = expanded.data();
                size = expanded.size();
            }
            size_t offsets[kNumPrograms];
            size_t lengths[kNumPrograms];
            size_t at = 0;
            for (int i = 0; i < count; ++i) {
                lengths[i] = chunk::validateProgram(bytes + at, size - at);
                if (!lengths[i]) return 0;
                offsets[i] = at;
                at += lengths[i];
            }
            std::vector<uint8_t> scratch;
            for (int i = 0; i < count; ++i) {
                const int slot = isPreset ? hostProgram.load(std::memory_order_relaxed) : i;
                loaded[i] = knownRecord(bytes + offsets[i], lengths[i], slot, scratch);
                if (!loaded[i])
                    loaded[i] = KavrelPackedProgram::fromLegacy(bytes + offsets[i], lengths[i]);
                if (!loaded[i]) return 0;
            }
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    {
        std::lock_guard<std::mutex> lock(hostLock);
        reclaimWaitingLocked();
        // Taken before anything changes: without memory for it the load changes nothing.
        PlayState* state = acquireLocked();
        if (!state) return 0;
        int current = hostProgram.load(std::memory_order_relaxed);
        if (isPreset) {
            slots[current].swap(loaded[0]);
            heldBy[current] = nullptr;
        } else {
            // Hosts restore a session in either order (program then bank, or bank then
            // program) or hand over the bank alone: the program a bank recorded wins,
            // otherwise the one the host selected stays, and either is applied from the new
            // data.
            for (int i = 0; i < kNumPrograms; ++i) {
                slots[i].swap(loaded[i]);
                heldBy[i] = nullptr;
            }
            current = clampProgram(savedProgram >= 0 ? savedProgram : current);
        }
        fillLocked(*state, current);
        curProgram = current;
        hostProgram.store(current, std::memory_order_relaxed);
        publishLocked(state);
    }
    // The old slots are let go here (`loaded` holds them), outside the lock, and so are the
    // copies the load replaced.
    packRetired(0);
    landWithoutAudio();
    updateDisplay();
    return 1;
}

namespace {

using FactoryPrograms = std::vector<KavrelPackedProgram::Shared>;

// The factory bank, read from the module's resource once per process: every instance's slots
// share its packed programs until they change, and a load or a save that meets one of them
// takes it as it is. Empty when the resource is missing or refused.
FactoryPrograms readFactoryBank() {
    const uint8_t* bank = nullptr;
    size_t size = 0;
    if (!platform::loadModuleResource("PRESETBANK", 1000, &bank, &size) || size < 160) return {};
    auto be32 = [bank](size_t at) {
        return (static_cast<uint32_t>(bank[at]) << 24) |
               (static_cast<uint32_t>(bank[at + 1]) << 16) |
               (static_cast<uint32_t>(bank[at + 2]) << 8) | static_cast<uint32_t>(bank[at + 3]);
    };
    if (be32(0) != static_cast<uint32_t>(vst::kCcnKMagic) ||
        be32(8) != static_cast<uint32_t>(vst::kFxbChunkMagic))
        return {};
    size_t chunkSize = be32(156);
    if (chunkSize > size - 160) chunkSize = size - 160;
    std::vector<chunk::Piece> pieces;
    int32_t program = 0;
    if (!chunk::readPieces(bank + 160, chunkSize, pieces, program) ||
        pieces.size() != static_cast<size_t>(Kavrel::kNumPrograms))
        return {};
    FactoryPrograms programs;
    for (const chunk::Piece& piece : pieces) {
        programs.push_back(KavrelPackedProgram::fromTrustedPiece(piece));
        if (!programs.back()) return {};
    }
    return programs;
}

} // namespace

const FactoryPrograms& Kavrel::factoryBank() {
    static const FactoryPrograms bank = readFactoryBank();
    return bank;
}

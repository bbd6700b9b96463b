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

vst::int32 Kavrel::programChunkSize(int slot) const {
    return static_cast<vst::int32>(chunk::programSize(programs[slot]));
}

vst::int32 Kavrel::getChunk(void** data, bool isPreset) {
    *data = nullptr;
    // The editor adds and removes locks and lanes, and setChunk rewrites whole programs, while
    // the host saves on a thread of its own: a program measured and then written live could
    // hold more entries by the time it is written than the buffer was sized for. Each program
    // is copied first and both measured and written from the copy.
    // Both a bank and a single program go out compact: hosts keep program chunks in their
    // projects and undo histories too, and a program deflates from 300 kB to a few kB. Only a
    // bank records the current program; a program chunk is the same from whichever slot.
    std::unique_ptr<KavrelProgram> copy;
    // A program change or chunk load waiting for the audio thread counts as done.
    struct Reading {
        Kavrel& plugin;
        int before;
        explicit Reading(Kavrel& p) : plugin(p), before(p.beginHandoverWrite(false)) {}
        ~Reading() { plugin.endHandoverWrite(before); }
    } reading(*this);
    try {
        copy = std::make_unique<KavrelProgram>();
        std::vector<uint8_t> legacy;
        chunk::CompactEncoder encoder(isPreset ? -1 : curProgram);
        auto add = [&](const KavrelProgram& program) {
            *copy = program;
            legacy.resize(chunk::programSize(*copy));
            chunk::writeProgram(*copy, legacy.data());
            return encoder.add(legacy.data(), legacy.size());
        };
        bool ok = true;
        if (isPreset)
            ok = add(slotView(curProgram));
        else
            for (int slot = 0; slot < kNumPrograms; ++slot) ok = ok && add(slotView(slot));
        if (!ok || !encoder.finish(chunkBuffer)) {
            chunkBuffer.clear();
            return 0;
        }
    } catch (const std::bad_alloc&) {
        chunkBuffer.clear();
        return 0;
    }
    *data = chunkBuffer.data();
    return static_cast<vst::int32>(chunkBuffer.size());
}

vst::int32 Kavrel::setChunk(void* data, vst::int32 byteSize, bool isPreset) {
    if (!data || byteSize <= 0) return 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t size = static_cast<size_t>(byteSize);
    // A compact chunk is expanded here, on the host's thread, into the legacy layout that the
    // rest reads; one that is damaged anywhere is refused before anything changes.
    std::vector<uint8_t> expanded;
    int32_t savedProgram = -1;
    if (chunk::isCompact(bytes, size)) {
        if (!chunk::decodeCompact(bytes, size, expanded, savedProgram)) return 0;
        bytes = expanded.data();
        size = expanded.size();
    }
    // The bytes come from files that users move between machines and versions: check the
    // whole chunk before changing anything, so a refused chunk leaves every slot as it was.
    // A program chunk loads into the current slot, whichever program it was saved from.
    if (isPreset) {
        if (!chunk::validateProgram(bytes, size)) return 0;
        const int before = beginHandoverWrite();
        chunk::readProgram(bytes, writableSlot(curProgram));
        handoverProgram = curProgram;
        endHandoverWrite(before);
        return 1;
    }
    size_t offsets[kNumPrograms];
    size_t at = 0;
    for (int i = 0; i < kNumPrograms; ++i) {
        const size_t length = chunk::validateProgram(bytes + at, size - at);
        if (!length) return 0;
        offsets[i] = at;
        at += length;
    }
    // Hosts restore a session in either order (program then bank, or bank then program) or
    // hand over the bank alone: the program a compact bank recorded wins, otherwise the one
    // the host selected stays, and either is applied from the new data.
    const int before = beginHandoverWrite();
    for (int i = 0; i < kNumPrograms; ++i) chunk::readProgram(bytes + offsets[i], writableSlot(i));
    curProgram = handoverProgram = clampProgram(savedProgram >= 0 ? savedProgram : curProgram);
    endHandoverWrite(before);
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

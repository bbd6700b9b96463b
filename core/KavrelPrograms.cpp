// State chunks and the factory bank.
#include "core/Kavrel.h"

#include "core/KavrelChunk.h"
#include "platform/KavrelPlatform.h"

#include <memory>
#include <new>
#include <vector>

using namespace kavrel;

vst::int32 Kavrel::programChunkSize(int slot) const {
    return static_cast<vst::int32>(chunk::programSize(programs[slot]));
}

vst::int32 Kavrel::getChunk(void** data, bool isPreset) {
    *data = nullptr;
    // The editor adds and removes locks and lanes, and setChunk rewrites whole programs, while
    // the host saves on a thread of its own: a program measured and then written live could
    // hold more entries by the time it is written than the buffer was sized for. Each program
    // is copied first and both measured and written from the copy.
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
        if (isPreset) {
            *copy = slotView(curProgram);
            chunkBuffer.assign(chunk::programSize(*copy), 0);
            chunk::writeProgram(*copy, chunkBuffer.data());
        } else {
            size_t estimate = 0;
            for (int slot = 0; slot < kNumPrograms; ++slot)
                estimate += chunk::programSize(slotView(slot));
            chunkBuffer.clear();
            chunkBuffer.reserve(estimate);
            for (int slot = 0; slot < kNumPrograms; ++slot) {
                *copy = slotView(slot);
                const size_t at = chunkBuffer.size();
                chunkBuffer.resize(at + chunk::programSize(*copy));
                chunk::writeProgram(*copy, chunkBuffer.data() + at);
            }
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
    const size_t size = static_cast<size_t>(byteSize);
    // The bytes come from files that users move between machines and versions: check the
    // whole chunk before changing anything, so a refused chunk leaves every slot as it was.
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
    const int before = beginHandoverWrite();
    for (int i = 0; i < kNumPrograms; ++i) chunk::readProgram(bytes + offsets[i], writableSlot(i));
    curProgram = handoverProgram = 0;
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

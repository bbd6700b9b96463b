// State chunks and the factory bank.
#include "core/Kavrel.h"

#include "core/KavrelChunk.h"
#include "platform/KavrelPlatform.h"

#include <new>

using namespace kavrel;

vst::int32 Kavrel::programChunkSize(int slot) const {
    return static_cast<vst::int32>(chunk::programSize(programs[slot]));
}

vst::int32 Kavrel::getChunk(void** data, bool isPreset) {
    *data = nullptr;
    size_t total = 0;
    if (isPreset)
        total = chunk::programSize(programs[curProgram]);
    else
        for (const KavrelProgram& program : programs) total += chunk::programSize(program);
    try {
        chunkBuffer.assign(total, 0);
    } catch (const std::bad_alloc&) {
        chunkBuffer.clear();
        return 0;
    }
    uint8_t* out = chunkBuffer.data();
    if (isPreset) {
        chunk::writeProgram(programs[curProgram], out);
    } else {
        for (const KavrelProgram& program : programs) {
            chunk::writeProgram(program, out);
            out += chunk::programSize(program);
        }
    }
    *data = chunkBuffer.data();
    return static_cast<vst::int32>(total);
}

vst::int32 Kavrel::setChunk(void* data, vst::int32 byteSize, bool isPreset) {
    if (!data || byteSize <= 0) return 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    const size_t size = static_cast<size_t>(byteSize);
    // The bytes come from files that users move between machines and versions: check the
    // whole chunk before changing anything, so a refused chunk leaves every slot as it was.
    if (isPreset) {
        if (!chunk::validateProgram(bytes, size)) return 0;
        chunk::readProgram(bytes, programs[curProgram]);
        setProgram(curProgram);
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
    for (int i = 0; i < kNumPrograms; ++i) chunk::readProgram(bytes + offsets[i], programs[i]);
    setProgram(0);
    return 1;
}

bool Kavrel::loadFactoryBank() {
    const uint8_t* bank = nullptr;
    size_t size = 0;
    if (!platform::loadModuleResource("PRESETBANK", 1000, &bank, &size) || size < 160) return false;
    auto be32 = [bank](size_t at) {
        return (static_cast<uint32_t>(bank[at]) << 24) |
               (static_cast<uint32_t>(bank[at + 1]) << 16) |
               (static_cast<uint32_t>(bank[at + 2]) << 8) | static_cast<uint32_t>(bank[at + 3]);
    };
    if (be32(0) != static_cast<uint32_t>(vst::kCcnKMagic) ||
        be32(8) != static_cast<uint32_t>(vst::kFxbChunkMagic))
        return false;
    size_t chunkSize = be32(156);
    if (chunkSize > size - 160) chunkSize = size - 160;
    return setChunk(const_cast<uint8_t*>(bank + 160), static_cast<vst::int32>(chunkSize), false) ==
           1;
}

// setChunk of a whole bank, with any bytes, in the legacy layout or the compact form. A refused
// bank leaves all 48 slots as they were; an accepted one selects the program it recorded (or
// keeps the current one), survives its own round trip and plays.
#include "core/KavrelChunk.h"
#include "core/KavrelCompactChunk.h"
#include "fuzz/FuzzPlugin.h"

#include <climits>
#include <memory>
#include <vector>

using namespace kavrel::fuzz;

namespace {

// The bank as the plug-in hands it out, expanded to the legacy layout.
std::vector<uint8_t> chunkOf(Kavrel& p) {
    void* data = nullptr;
    const vst::int32 size = p.getChunk(&data, false);
    if (size <= 0 || !data) fail("getChunk gave nothing");
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> legacy;
    int32_t program = -1;
    if (!kavrel::chunk::decodeCompact(bytes, static_cast<size_t>(size), legacy, program))
        fail("getChunk gave a chunk that does not expand");
    if (program != p.getProgram()) fail("getChunk recorded another program");
    return legacy;
}

struct Slots {
    KavrelProgram programs[Kavrel::kNumPrograms];
};

void snapshot(Kavrel& p, Slots& slots) {
    for (int i = 0; i < Kavrel::kNumPrograms; ++i)
        std::memcpy(static_cast<void*>(&slots.programs[i]), &p.program(i), sizeof(KavrelProgram));
}

bool unchanged(Kavrel& p, const Slots& slots) {
    for (int i = 0; i < Kavrel::kNumPrograms; ++i)
        if (std::memcmp(&slots.programs[i], &p.program(i), sizeof(KavrelProgram)) != 0)
            return false;
    return true;
}

// Where the current program's record starts in a legacy bank.
size_t currentRecord(Kavrel& p, const std::vector<uint8_t>& bank) {
    size_t at = 0;
    for (int i = 0; i < p.getProgram() && at < bank.size(); ++i)
        at += kavrel::chunk::validateProgram(bank.data() + at, bank.size() - at);
    return at;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Kavrel& p = plugin();
    // Slots change only when a bank is accepted (and while it plays), so the snapshot is taken
    // again only then.
    static auto slots = std::make_unique<Slots>();
    static bool fresh = false;
    if (!fresh) {
        snapshot(p, *slots);
        fresh = true;
    }

    const auto length = static_cast<vst::int32>(size > INT_MAX ? INT_MAX : size);
    // An accepted compact bank selects the program it recorded; a legacy one keeps the current.
    int expected = p.getProgram();
    if (kavrel::chunk::isCompact(data, size) && size >= kavrel::chunk::kCompactHeaderSize) {
        int32_t recorded = 0;
        std::memcpy(&recorded, data + 8, 4);
        if (recorded >= 0) expected = recorded < Kavrel::kNumPrograms ? recorded : 47;
    }
    if (!p.setChunk(const_cast<uint8_t*>(data), length, false)) {
        if (!unchanged(p, *slots)) fail("a refused bank changed the slots");
        return 0;
    }
    fresh = false;
    if (p.getProgram() != expected || p.currentPatternIndex() != 0)
        fail("a bank selected another program");
    void* handed = nullptr;
    const vst::int32 handedSize = p.getChunk(&handed, false);
    std::vector<uint8_t> copy(static_cast<uint8_t*>(handed),
                              static_cast<uint8_t*>(handed) + (handedSize > 0 ? handedSize : 0));
    std::vector<uint8_t> first = chunkOf(p);
    if (!p.setChunk(copy.data(), static_cast<vst::int32>(copy.size()), false))
        fail("the plug-in refused its own bank");
    if (p.getProgram() != expected) fail("its own bank selected another program");
    std::vector<uint8_t> second = chunkOf(p);
    maskRecallEdits(p.program(p.getProgram()), first, currentRecord(p, first));
    maskRecallEdits(p.program(p.getProgram()), second, currentRecord(p, second));
    if (second != first) fail("a bank changed in its round trip");

    p.setParameter(kavrel::kParamSync, 0.5f);
    p.setParameter(kavrel::kParamPlay, 1.0f);
    for (int block = 0; block < 4; ++block) render(p, 256);
    p.setParameter(kavrel::kParamStop, 1.0f);
    p.setProgram(47);
    render(p, 64);
    return 0;
}

// setChunk of one program (a preset), with any bytes, in the legacy layout or the compact form.
// A chunk the plug-in refuses must leave the slot exactly as it was; one it accepts must
// survive its own round trip and play.
#include "core/KavrelChunk.h"
#include "core/KavrelCompactChunk.h"
#include "fuzz/FuzzPlugin.h"

#include <climits>
#include <memory>
#include <vector>

using namespace kavrel::fuzz;

namespace {

// The program as the plug-in hands it out (compact), and expanded to the legacy layout.
std::vector<uint8_t> chunkOf(Kavrel& p, std::vector<uint8_t>& legacy) {
    void* data = nullptr;
    const vst::int32 size = p.getChunk(&data, true);
    if (size <= 0 || !data) fail("getChunk gave nothing");
    const auto* bytes = static_cast<const uint8_t*>(data);
    int32_t program = -1;
    if (!kavrel::chunk::decodeCompact(bytes, static_cast<size_t>(size), legacy, program))
        fail("getChunk gave a chunk that does not expand");
    return std::vector<uint8_t>(bytes, bytes + size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Kavrel& p = plugin();
    static auto before = std::make_unique<KavrelProgram>();
    std::memcpy(static_cast<void*>(before.get()), &p.program(p.getProgram()),
                sizeof(KavrelProgram));

    const auto length = static_cast<vst::int32>(size > INT_MAX ? INT_MAX : size);
    if (!p.setChunk(const_cast<uint8_t*>(data), length, true)) {
        if (std::memcmp(before.get(), &p.program(p.getProgram()), sizeof(KavrelProgram)) != 0)
            fail("a refused chunk changed the program");
        return 0;
    }
    std::vector<uint8_t> first, second;
    std::vector<uint8_t> copy = chunkOf(p, first);
    if (!p.setChunk(copy.data(), static_cast<vst::int32>(copy.size()), true))
        fail("the plug-in refused its own chunk");
    chunkOf(p, second);
    maskRecallEdits(p.program(p.getProgram()), first, 0);
    maskRecallEdits(p.program(p.getProgram()), second, 0);
    if (second != first) fail("a program chunk changed in its round trip");

    // Play what was loaded: lanes, locks and per-pattern values reach the engine.
    p.setParameter(kavrel::kParamSync, 0.5f);
    p.setParameter(kavrel::kParamPlay, 1.0f);
    for (int block = 0; block < 4; ++block) render(p, 256);
    p.setParameter(kavrel::kParamStop, 1.0f);
    return 0;
}

// The event lists a host hands to processEvents: any counts (past the plug-in's queue), any
// types, sizes and deltas, null entries, any MIDI bytes; interleaved with blocks of any length,
// sync modes, transport, controller learn and step edits, so that every MIDI path runs.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzPlugin.h"

#include <memory>
#include <vector>

using namespace kavrel::fuzz;

namespace {

constexpr int kMaxListEvents = 6000;
constexpr int kMaxTemplates = 8;

// Each event in its own block of exactly the size it claims (within 8..64 bytes), so a read
// past what the host promised is caught.
struct EventBlock {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
};

EventBlock makeEvent(Reader& r) {
    vst::VstMidiEvent e{};
    const uint8_t shape = r.u8();
    e.type = (shape & 3) == 0 ? r.i32() : vst::kVstMidiType;
    e.byteSize = (shape & 12) == 0 ? r.i32() : static_cast<int32_t>(sizeof(vst::VstMidiEvent));
    e.deltaFrames = (shape & 16) ? r.i32() : r.u16() % 1100;
    e.flags = r.u8();
    for (char& b : e.midiData) b = static_cast<char>(r.u8());
    EventBlock block;
    block.size = e.byteSize < 8 ? 8 : e.byteSize > 64 ? 64 : static_cast<size_t>(e.byteSize);
    block.bytes = std::make_unique<uint8_t[]>(block.size);
    std::memcpy(block.bytes.get(), &e, block.size < sizeof e ? block.size : sizeof e);
    return block;
}

void sendList(Kavrel& p, Reader& r) {
    const int templates = 1 + r.below(kMaxTemplates);
    EventBlock blocks[kMaxTemplates];
    for (int t = 0; t < templates; ++t) blocks[t] = makeEvent(r);
    const int count = r.u16() % (kMaxListEvents + 1);
    const int nullEvery = r.u8();
    // VstEvents declares two slots; a host allocates as many as it sends.
    const size_t bytes = sizeof(vst::VstEvents) + sizeof(vst::VstEvent*) * (count > 2 ? count : 2);
    auto storage = std::make_unique<uint8_t[]>(bytes);
    auto* list = reinterpret_cast<vst::VstEvents*>(storage.get());
    list->numEvents = count;
    list->reserved = 0;
    vst::VstEvent** slots = list->events;
    for (int i = 0; i < count; ++i) {
        const bool null = nullEvery != 0 && i % nullEvery == nullEvery - 1;
        slots[i] =
            null ? nullptr : reinterpret_cast<vst::VstEvent*>(blocks[i % templates].bytes.get());
    }
    p.processEvents(list);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Kavrel& p = plugin();
    Reader r(data, size);
    int operations = 0;
    while (!r.empty() && ++operations < 64) {
        switch (r.below(10)) {
        case 0:
        case 1:
            sendList(p, r);
            break;
        case 2:
        case 3:
            render(p, static_cast<int16_t>(r.u16()) % 1025);
            break;
        case 4: // sync HOST, INT or MIDI
            p.setParameter(kavrel::kParamSync, r.below(3) * 0.5f);
            break;
        case 5: {
            const uint8_t which = r.u8();
            p.setParameter(which & 1 ? kavrel::kParamPlay : kavrel::kParamStop, r.value());
            break;
        }
        case 6:
            p.toggleLearn(r.index(kavrel::kNumParams));
            break;
        case 7:
            p.setParameter(r.index(kavrel::kNumParams), r.value());
            break;
        case 8:
            p.setStep(r.below(12), r.below(32), r.u8() & 1);
            break;
        case 9: // the host's transport, plain values
            FuzzHost::giveTime = r.u8() & 1;
            FuzzHost::time.tempo = 40.0 + r.u8();
            FuzzHost::time.ppqPos = r.u16() / 64.0;
            FuzzHost::time.flags = vst::kVstTransportPlaying | vst::kVstTempoValid;
            break;
        }
    }
    p.flushAssignments();
    return 0;
}

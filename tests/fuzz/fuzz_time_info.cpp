// The host's time information: any doubles (NaN, infinities, zero and negative tempos, huge
// positions), any time signature and flags, or no answer at all, block after block, across
// sync modes, tempos, swing and sample rates.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzPlugin.h"

using namespace kavrel::fuzz;

namespace {

int32_t anyInt(Reader& r) {
    const uint8_t kind = r.u8();
    if (kind < 128) return static_cast<int32_t>(kind % 17) - 1; // -1..15
    return r.i32();
}

void hostTime(Reader& r) {
    vst::VstTimeInfo& t = FuzzHost::time;
    FuzzHost::giveTime = r.u8() % 8 != 0;
    t.samplePos = r.anyDouble();
    t.sampleRate = r.anyDouble();
    t.nanoSeconds = r.anyDouble();
    t.ppqPos = r.anyDouble();
    t.tempo = r.anyDouble();
    t.barStartPos = r.anyDouble();
    t.cycleStartPos = r.anyDouble();
    t.cycleEndPos = r.anyDouble();
    t.timeSigNumerator = anyInt(r);
    t.timeSigDenominator = anyInt(r);
    t.smpteOffset = r.i32();
    t.smpteFrameRate = r.i32();
    t.samplesToNextClock = r.i32();
    t.flags = static_cast<int32_t>(r.u32());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Kavrel& p = plugin();
    Reader r(data, size);
    p.setParameter(kavrel::kParamSync, 0.0f);
    int operations = 0;
    while (!r.empty() && ++operations < 64) {
        switch (r.below(6)) {
        case 0:
        case 1:
            hostTime(r);
            render(p, r.u16() % 1025);
            break;
        case 2:
            p.setParameter(kavrel::kParamSync, r.below(3) * 0.5f);
            break;
        case 3:
            p.setParameter(r.u8() & 1 ? kavrel::kParamTempo : kavrel::kParamSwing, r.value());
            break;
        case 4: {
            static const float rates[] = {8000.0f,  22050.0f, 44100.0f,  48000.0f,
                                          88200.0f, 96000.0f, 192000.0f, 384000.0f};
            p.setSampleRate(rates[r.below(8)]);
            break;
        }
        case 5:
            p.setParameter(r.u8() & 1 ? kavrel::kParamPlay : kavrel::kParamStepSize, r.value());
            break;
        }
    }
    return 0;
}

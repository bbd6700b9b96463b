// setParameter with any index and any value (NaN, infinities, negatives, huge numbers),
// mixed with the host's other parameter and program requests and the editor's pattern edits,
// with the engine rendering in between so every value reaches voices, mixer and sequencer.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzPlugin.h"

#include <memory>

using namespace kavrel::fuzz;

namespace {

// Host text requests get buffers of exactly what the interface promises, so a write past
// them is caught.
void texts(Kavrel& p, int32_t index) {
    auto name = std::make_unique<char[]>(vst::kVstMaxParamStrLen + 1);
    p.getParameterName(index, name.get());
    p.getParameterLabel(index, name.get());
    p.getParameterDisplay(index, name.get());
    auto program = std::make_unique<char[]>(vst::kVstMaxProgNameLen);
    p.getProgramName(program.get());
    p.getProgramNameIndexed(0, index, program.get());
    if (!(p.getParameter(index) >= 0.0f && p.getParameter(index) <= 1.0f))
        fail("a parameter reads outside 0..1");
}

void edit(Kavrel& p, Reader& r) {
    const int a = r.index(kavrel::kNumParams);
    const int b = r.index(32);
    switch (r.below(12)) {
    case 0:
        p.setStep(a, b, r.u8() & 1);
        break;
    case 1:
        p.setVelocity(a, b, r.value());
        break;
    case 2:
        p.setLaneValue(a, b, r.value());
        break;
    case 3:
        p.shapeVelocity(a, r.index(6));
        break;
    case 4:
        p.shapeLane(a, r.index(6));
        break;
    case 5:
        p.setVelocityRandomize(a, r.u8() & 1);
        break;
    case 6:
        p.setLaneRandomize(a, r.u8() & 1);
        break;
    case 7:
        p.addLockParam(a);
        break;
    case 8:
        p.removeLockParam(a);
        break;
    case 9:
        p.copyPattern();
        break;
    case 10:
        p.pastePattern();
        break;
    case 11:
        p.clearPatternSteps();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Kavrel& p = plugin();
    Reader r(data, size);
    int operations = 0;
    while (!r.empty() && ++operations < 128) {
        switch (r.below(8)) {
        case 0:
        case 1:
        case 2: {
            const int32_t index = r.index(kavrel::kNumParams);
            p.setParameter(index, r.value());
            break;
        }
        case 3:
            render(p, r.u16() % 1025);
            break;
        case 4:
            texts(p, r.index(kavrel::kNumParams));
            break;
        case 5:
            p.setProgram(r.index(Kavrel::kNumPrograms));
            break;
        case 6: {
            char name[40];
            for (char& c : name) c = static_cast<char>(r.u8());
            name[r.below(40)] = 0;
            name[39] = 0;
            p.setProgramName(name);
            break;
        }
        case 7:
            edit(p, r);
            break;
        }
    }
    return 0;
}

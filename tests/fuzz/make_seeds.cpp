// Writes the seed corpora of the fuzz targets: real program and bank chunks (factory programs
// and lean ones, compact as the plug-in hands them out and in the legacy layout), and real
// sessions in the targets' operation format (event lists a host
// sends, a host's transport, a program's parameter values, assignments files).
//   kavrel-fuzz-seeds OUTPUT_FOLDER
#include "core/KavrelChunk.h"
#include "core/KavrelCompactChunk.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzPlugin.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace kavrel::fuzz;
namespace fs = std::filesystem;

namespace {

fs::path root;

void save(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(root / target);
    std::ofstream file(root / target / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> programBytes(const KavrelProgram& program) {
    std::vector<uint8_t> bytes(kavrel::chunk::programSize(program));
    kavrel::chunk::writeProgram(program, bytes.data());
    return bytes;
}

// A program as a host may store one from an older editor: only some lanes, a few locks.
std::unique_ptr<KavrelProgram> leanProgram(const Kavrel& p, int locks) {
    auto program = std::make_unique<KavrelProgram>();
    for (int i = 0; i < kavrel::kNumParams; ++i)
        program->params[i] = p.parameters().getNormValue(i);
    for (int pat = 0; pat < kavrel::kPatternsPerProgram; ++pat) {
        for (int key : p.parameters().patternParamSet) program->hasPatternValue[pat][key] = 1;
        KavrelPattern& pattern = program->patterns[pat];
        for (int s = 0; s < 32; s += 4) pattern.steps[pat % 12][s] = 0xff;
        for (int k = 0; k < locks; ++k) {
            const int param = kavrel::kitParamAt((k * 37 + pat) % kavrel::kKitParams);
            pattern.setLocked(KavrelParameterManager::voiceOfParam(param), param, true);
            pattern.ensureLane(param);
            pattern.lanes[kavrel::kitPosition(param)][k % 32] = 0.9f;
            pattern.laneRandomize[kavrel::kitPosition(param)] = k == 0;
        }
    }
    std::snprintf(program->name, sizeof program->name, "lean %d", locks);
    return program;
}

std::vector<uint8_t> compact(const std::vector<uint8_t>& legacy, int program) {
    std::vector<uint8_t> out;
    kavrel::chunk::encodeCompact(legacy.data(), legacy.size(), program, out);
    return out;
}

std::vector<uint8_t> legacyOf(const uint8_t* bytes, size_t size) {
    std::vector<uint8_t> legacy;
    int32_t program = 0;
    kavrel::chunk::decodeCompact(bytes, size, legacy, program);
    return legacy;
}

void chunkSeeds(Kavrel& p) {
    for (int slot : {0, 13, 24, 47}) {
        p.setProgram(slot);
        void* data = nullptr;
        const int size = p.getChunk(&data, true);
        const auto* bytes = static_cast<const uint8_t*>(data);
        save("program_chunk", "factory-" + std::to_string(slot), {bytes, bytes + size});
        if (slot == 24)
            save("program_chunk", "factory-24-legacy", legacyOf(bytes, static_cast<size_t>(size)));
    }
    const auto lean = leanProgram(p, 0);
    const auto locked = leanProgram(p, 3);
    save("program_chunk", "lean", programBytes(*lean));
    save("program_chunk", "lean-locked", programBytes(*locked));
    save("program_chunk", "lean-locked-compact", compact(programBytes(*locked), -1));

    std::vector<uint8_t> bank;
    for (int i = 0; i < Kavrel::kNumPrograms; ++i) {
        const auto bytes = programBytes(i % 5 == 1 ? *locked : *lean);
        bank.insert(bank.end(), bytes.begin(), bytes.end());
    }
    save("bank_chunk", "lean-bank", bank);
    save("bank_chunk", "lean-bank-compact", compact(bank, 31));
    std::vector<uint8_t> mixed = programBytes(p.program(24));
    for (int i = 1; i < Kavrel::kNumPrograms; ++i) {
        const auto bytes = programBytes(*lean);
        mixed.insert(mixed.end(), bytes.begin(), bytes.end());
    }
    save("bank_chunk", "factory-and-lean-bank", mixed);
    // The factory bank as a session stores it: compact, on program 24.
    p.setProgram(24);
    void* whole = nullptr;
    const int wholeSize = p.getChunk(&whole, false);
    const auto* sessionBank = static_cast<const uint8_t*>(whole);
    save("bank_chunk", "factory-bank-compact", {sessionBank, sessionBank + wholeSize});
}

// fuzz_events operations.
void note(Writer& w, int status, int d1, int d2, int delta) {
    w.u8(5); // MIDI type, 32 bytes, a delta inside the block
    w.u16(static_cast<uint16_t>(delta));
    w.u8(0);
    w.u8(static_cast<uint8_t>(status));
    w.u8(static_cast<uint8_t>(d1));
    w.u8(static_cast<uint8_t>(d2));
    w.u8(0);
}
void list(Writer& w, const std::vector<std::vector<int>>& events, int count) {
    w.u8(0);
    w.u8(static_cast<uint8_t>(events.size() - 1));
    for (const auto& e : events) note(w, e[0], e[1], e[2], e[3]);
    w.u16(static_cast<uint16_t>(count));
    w.u8(0);
}
void block(Writer& w, int frames) {
    w.u8(2);
    w.u16(static_cast<uint16_t>(frames));
}
void sync(Writer& w, int mode) {
    w.u8(4);
    w.u8(static_cast<uint8_t>(mode));
}
void play(Writer& w) {
    w.u8(5);
    w.u8(1);
    w.value(1.0f);
}

void eventSeeds() {
    static const int notes[12] = {36, 38, 40, 41, 43, 45, 42, 46, 49, 37, 39, 51};
    Writer voices;
    sync(voices, 1);
    play(voices);
    for (int b = 0; b < 12; ++b) {
        list(voices,
             {{0x90, notes[b], 100, b * 40},
              {0x99, notes[(b + 5) % 12], 64, 300},
              {0x80, notes[b], 0, 400},
              {0xB0, 7, b * 10, 10},
              {0x90, 60 + b, 90, 0}},
             5);
        block(voices, 512);
    }
    save("events", "voices-patterns-controllers", voices.bytes());

    Writer steps;
    sync(steps, 2);
    for (int b = 0; b < 16; ++b) {
        list(steps, {{0x90, b % 5 == 0 ? 86 : 84, 100, 0}, {0x90, 83, 100, 200}}, b % 3 + 1);
        block(steps, 441);
    }
    save("events", "midi-clock-steps", steps.bytes());

    Writer learn;
    learn.u8(6);
    learn.index(kavrel::kParamTempo, kavrel::kNumParams);
    list(learn, {{0xB0, 20, 64, 0}}, 1);
    block(learn, 64);
    list(learn, {{0xB0, 20, 100, 0}}, 1);
    block(learn, 64);
    list(learn, {{0xB0, 20, 127, 5}, {0x90, 36, 127, 7}, {0xB0, 123, 0, 9}}, 5000);
    block(learn, 1024);
    save("events", "learn-and-flood", learn.bytes());
}

// fuzz_time_info operations.
void timeBlock(Writer& w, double ppq, double tempo, int numerator, int denominator, int flags,
               int frames) {
    w.u8(0);
    w.u8(1); // the host answers
    w.rawDouble(ppq * 22050.0);
    w.rawDouble(44100.0);
    w.rawDouble(0.0);
    w.rawDouble(ppq);
    w.rawDouble(tempo);
    w.rawDouble(0.0);
    w.rawDouble(0.0);
    w.rawDouble(16.0);
    w.u8(static_cast<uint8_t>(numerator + 1));
    w.u8(static_cast<uint8_t>(denominator + 1));
    w.i32(0);
    w.i32(0);
    w.i32(0);
    w.u32(static_cast<uint32_t>(flags));
    w.u16(static_cast<uint16_t>(frames));
}

void timeSeeds() {
    const int playing = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid |
                        vst::kVstTimeSigValid;
    Writer straight;
    double ppq = 0.0;
    for (int b = 0; b < 64; ++b, ppq += 512 * 120.0 / 60.0 / 44100.0)
        timeBlock(straight, ppq, 120.0, 4, 4, playing, 512);
    save("time_info", "playing-120-4-4", straight.bytes());

    Writer waltz;
    ppq = -1.0; // pre-roll before the song start
    for (int b = 0; b < 48; ++b, ppq += 256 * 174.0 / 60.0 / 44100.0)
        timeBlock(waltz, ppq, 174.0, 3, 8, b < 40 ? playing : vst::kVstPpqPosValid, 256);
    save("time_info", "preroll-3-8-then-stop", waltz.bytes());

    Writer loop;
    for (int b = 0; b < 40; ++b)
        timeBlock(loop, (b % 8) * 0.25, 90.0 + b, 4, 4, playing | vst::kVstTransportCycleActive,
                  700);
    save("time_info", "cycling-tempo-ramp", loop.bytes());
}

void parameterSeeds(Kavrel& p) {
    p.setProgram(24);
    Writer program;
    for (int i = 0; i < kavrel::kNumParams; ++i) {
        program.u8(0);
        program.index(i, kavrel::kNumParams);
        program.value(p.parameters().getNormValue(i));
        if (i % 16 == 15) {
            program.u8(3);
            program.u16(256);
        }
    }
    save("parameters", "factory-24-values", program.bytes());
    for (float v : {0.0f, 1.0f}) {
        Writer extreme;
        extreme.u8(0);
        extreme.index(kavrel::kParamSync, kavrel::kNumParams);
        extreme.value(0.5f);
        extreme.u8(0);
        extreme.index(kavrel::kParamPlay, kavrel::kNumParams);
        extreme.value(1.0f);
        for (int i = 0; i < kavrel::kNumParams; ++i) {
            if (i == kavrel::kParamSync || i == kavrel::kParamPlay || i == kavrel::kParamStop)
                continue;
            extreme.u8(0);
            extreme.index(i, kavrel::kNumParams);
            extreme.value(v);
        }
        for (int b = 0; b < 8; ++b) {
            extreme.u8(3);
            extreme.u16(1024);
        }
        save("parameters", v == 0.0f ? "all-at-0" : "all-at-1", extreme.bytes());
    }
}

void text(const std::string& target, const std::string& name, const std::string& content) {
    save(target, name, std::vector<uint8_t>(content.begin(), content.end()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    root = argv[1];
    Kavrel& p = plugin();
    if (std::string(p.program(0).name).rfind("00 Kit", 0) != 0) {
        std::fprintf(stderr, "the factory bank is missing\n");
        return 1;
    }
    chunkSeeds(p);
    eventSeeds();
    timeSeeds();
    parameterSeeds(p);
    text("assignments", "two-controllers", "111 7\n112 7\n");
    text("assignments", "unassigned-and-bounds", "12 -1\n0 0\n262 127\n263 5\n-1 3\n");
    text("assignments", "crlf-and-junk", "5 20\r\nabc\r\n 7   21 trailing\r\n\r\n100\n");
    return 0;
}

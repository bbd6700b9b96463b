// The whole engine per block: the busiest pattern the sequencer can play and a stopped
// plug-in. Real-time factor = audio time of a block / time to render it.
#include "core/Kavrel.h"
#include "core/KavrelChunk.h"
#include "core/KavrelCompactChunk.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

vst::intptr VST_CALLBACK benchHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*,
                                   float) {
    return opcode == vst::audioMasterVersion ? 2400 : (opcode == vst::audioMasterProcessEvents);
}

constexpr int kBlock = 512;
constexpr double kRate = 44100.0;

struct Engine {
    std::unique_ptr<Kavrel> plugin = std::make_unique<Kavrel>(&benchHost);
    std::vector<std::vector<float>> buffers =
        std::vector<std::vector<float>>(12, std::vector<float>(kBlock));
    float* outputs[12];
    Engine() {
        for (int c = 0; c < 12; ++c) outputs[c] = buffers[c].data();
        plugin->setSampleRate(static_cast<float>(kRate));
        plugin->resume();
    }
    void busy() {
        plugin->setParameter(108, 0.0f); // "1 x 32"
        for (int v = 0; v < 12; ++v)
            for (int s = 0; s < 32; ++s) plugin->setStep(v, s, true);
        plugin->setParameter(113, 0.5f); // INT
        plugin->setParameter(111, 1.0f); // 250 BPM
        plugin->setParameter(109, 1.0f);
    }
};

void report(benchmark::State& state) {
    const double audioSeconds = static_cast<double>(state.iterations()) * kBlock / kRate;
    state.counters["realtime_x"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_BusiestPattern(benchmark::State& state) {
    Engine engine;
    engine.busy();
    for (auto _ : state) engine.plugin->processReplacing(nullptr, engine.outputs, kBlock);
    report(state);
}
BENCHMARK(BM_BusiestPattern)->Unit(benchmark::kMicrosecond);

void BM_StoppedPlugin(benchmark::State& state) {
    Engine engine;
    for (auto _ : state) engine.plugin->processReplacing(nullptr, engine.outputs, kBlock);
    report(state);
}
BENCHMARK(BM_StoppedPlugin)->Unit(benchmark::kMicrosecond);

void BM_ConstructInstance(benchmark::State& state) {
    for (auto _ : state) {
        auto plugin = std::make_unique<Kavrel>(&benchHost);
        benchmark::DoNotOptimize(plugin.get());
    }
}
BENCHMARK(BM_ConstructInstance)->Unit(benchmark::kMillisecond);

// What a host stores for a session: the bank chunk, compact as the plug-in hands it out. The
// "bytes" counter is its size; the legacy variants time the layout older sessions hold.
void BM_BankGetChunk(benchmark::State& state) {
    Engine engine;
    vst::int32 size = 0;
    for (auto _ : state) {
        void* data = nullptr;
        benchmark::DoNotOptimize(size = engine.plugin->getChunk(&data, false));
    }
    state.counters["bytes"] = size;
}
BENCHMARK(BM_BankGetChunk)->Unit(benchmark::kMillisecond);

void BM_ProgramGetChunk(benchmark::State& state) {
    Engine engine;
    vst::int32 size = 0;
    for (auto _ : state) {
        void* data = nullptr;
        benchmark::DoNotOptimize(size = engine.plugin->getChunk(&data, true));
    }
    state.counters["bytes"] = size;
}
BENCHMARK(BM_ProgramGetChunk)->Unit(benchmark::kMillisecond);

std::vector<uint8_t> bankChunk(Kavrel& plugin, bool legacy) {
    void* data = nullptr;
    const int size = plugin.getChunk(&data, false);
    std::vector<uint8_t> bank(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    if (legacy) {
        std::vector<uint8_t> expanded;
        int32_t program = 0;
        kavrel::chunk::decodeCompact(bank.data(), bank.size(), expanded, program);
        bank.swap(expanded);
    }
    return bank;
}

void BM_BankSetChunk(benchmark::State& state) {
    Engine engine;
    std::vector<uint8_t> bank = bankChunk(*engine.plugin, false);
    const auto size = static_cast<vst::int32>(bank.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.plugin->setChunk(bank.data(), size, false));
    state.counters["bytes"] = size;
}
BENCHMARK(BM_BankSetChunk)->Unit(benchmark::kMillisecond);

void BM_BankSetChunkLegacy(benchmark::State& state) {
    Engine engine;
    std::vector<uint8_t> bank = bankChunk(*engine.plugin, true);
    const auto size = static_cast<vst::int32>(bank.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.plugin->setChunk(bank.data(), size, false));
    state.counters["bytes"] = size;
}
BENCHMARK(BM_BankSetChunkLegacy)->Unit(benchmark::kMillisecond);

// The legacy layout written as getChunk wrote it before the compact form: every program copied,
// then written back to back.
void BM_BankWriteLegacy(benchmark::State& state) {
    Engine engine;
    size_t size = 0;
    for (auto _ : state) {
        auto copy = std::make_unique<KavrelProgram>();
        std::vector<uint8_t> bank;
        for (int i = 0; i < Kavrel::kNumPrograms; ++i) {
            *copy = engine.plugin->program(i);
            const size_t at = bank.size();
            bank.resize(at + kavrel::chunk::programSize(*copy));
            kavrel::chunk::writeProgram(*copy, bank.data() + at);
        }
        benchmark::DoNotOptimize(bank.data());
        size = bank.size();
    }
    state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_BankWriteLegacy)->Unit(benchmark::kMillisecond);

} // namespace

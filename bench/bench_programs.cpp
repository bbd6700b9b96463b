// Whole-engine figures for the performance report (docs/performance.md): every factory
// program playing its first pattern at its own tempo, and the resident memory an instance
// takes. Real-time factor = audio time rendered / time spent rendering it.
//
//   kavrel_bench --benchmark_filter='FactoryProgram|ResidentMemory'
#include "core/Kavrel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

vst::intptr VST_CALLBACK quietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*,
                                   float) {
    return opcode == vst::audioMasterVersion ? 2400 : (opcode == vst::audioMasterProcessEvents);
}

constexpr int kBlock = 512;
constexpr double kRate = 44100.0;

// An instance resumed at 44.1 kHz with the buffers of one block.
struct Running {
    std::unique_ptr<Kavrel> plugin = std::make_unique<Kavrel>(&quietHost);
    std::vector<float> buffer = std::vector<float>(12 * kBlock);
    float* outputs[12];
    Running() {
        for (int c = 0; c < 12; ++c) outputs[c] = buffer.data() + c * kBlock;
        plugin->setSampleRate(static_cast<float>(kRate));
        plugin->resume();
    }
};

void BM_FactoryProgram(benchmark::State& state) {
    Running running;
    Kavrel* plugin = running.plugin.get();
    float** outputs = running.outputs;
    plugin->setProgram(static_cast<vst::int32>(state.range(0)));
    plugin->setParameter(kavrel::kParamSync, 0.5f); // its own tempo, no host needed
    plugin->setParameter(kavrel::kParamPlay, 1.0f);
    for (auto _ : state) plugin->processReplacing(nullptr, outputs, kBlock);
    state.counters["realtime_x"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kBlock / kRate, benchmark::Counter::kIsRate);
    state.SetLabel(plugin->program(static_cast<int>(state.range(0))).name);
}
BENCHMARK(BM_FactoryProgram)
    ->DenseRange(0, Kavrel::kNumPrograms - 1)
    ->Unit(benchmark::kMicrosecond);

// Resident set size of this process in kB (Linux), 0 where unknown.
long residentKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::strtol(line + 6, nullptr, 10);
    std::fclose(status);
    return kb;
}

// Eight instances built, played for a moment and kept alive together; the growth of the
// resident set divided by eight.
void BM_ResidentMemoryPerInstance(benchmark::State& state) {
    constexpr int kInstances = 8;
    double perInstance = 0.0;
    for (auto _ : state) {
        const long before = residentKb();
        std::vector<std::unique_ptr<Kavrel>> plugins;
        std::vector<float> buffer(12 * kBlock);
        float* outputs[12];
        for (int c = 0; c < 12; ++c) outputs[c] = buffer.data() + c * kBlock;
        for (int i = 0; i < kInstances; ++i) {
            plugins.push_back(std::make_unique<Kavrel>(&quietHost));
            plugins.back()->setSampleRate(static_cast<float>(kRate));
            plugins.back()->resume();
            plugins.back()->setParameter(kavrel::kParamSync, 0.5f);
            plugins.back()->setParameter(kavrel::kParamPlay, 1.0f);
            for (int b = 0; b < 200; ++b)
                plugins.back()->processReplacing(nullptr, outputs, kBlock);
            void* chunk = nullptr;
            benchmark::DoNotOptimize(plugins.back()->getChunk(&chunk, false));
        }
        perInstance = static_cast<double>(residentKb() - before) / kInstances;
    }
    state.counters["rss_kb_per_instance"] = perInstance;
}
BENCHMARK(BM_ResidentMemoryPerInstance)->Iterations(1)->Unit(benchmark::kMillisecond);

// Program changes as a host that plays program automation makes them, on its audio thread
// between blocks, with (range 1) or without another thread saving the bank all the while: the
// median and worst time one effSetProgram takes on the calling thread, and the time of the
// block that lands it (which renders its 512 samples too).
void BM_ProgramChangeOnTheAudioThread(benchmark::State& state) {
    Running running;
    Kavrel* plugin = running.plugin.get();
    float** outputs = running.outputs;
    std::atomic<bool> stop{false};
    std::atomic<long> saves{0};
    std::thread saver([&] {
        while (state.range(0) && !stop) {
            void* chunk = nullptr;
            benchmark::DoNotOptimize(plugin->getChunk(&chunk, false));
            ++saves;
        }
    });
    std::vector<double> times;
    std::vector<double> landings;
    times.reserve(state.max_iterations);
    landings.reserve(state.max_iterations);
    int change = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        plugin->setProgram(change++ * 7 % Kavrel::kNumPrograms);
        const auto changed = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(changed - start).count());
        // The block that lands the change: what the audio thread spends on it, never waiting.
        plugin->processReplacing(nullptr, outputs, kBlock);
        landings.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - changed)
                .count());
    }
    stop = true;
    saver.join();
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["worst_ms"] = times.back();
    std::sort(landings.begin(), landings.end());
    state.counters["landing_block_median_ms"] = landings[landings.size() / 2];
    state.counters["landing_block_worst_ms"] = landings.back();
    state.counters["saves"] = static_cast<double>(saves.load());
}
BENCHMARK(BM_ProgramChangeOnTheAudioThread)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2000)
    ->Unit(benchmark::kMillisecond);

} // namespace

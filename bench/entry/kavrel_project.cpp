// A project as a host opens one: sixteen instances of the plug-in binary, made through its
// entry point, each on its own factory program, resumed and playing; then what the host does
// to them: save the project (each bank's effGetChunk), reopen it (effSetChunk), and change
// programs. Prints each figure per instance. Built for both platforms (the DLL runs under wine).
//   kavrel_project PLUGIN [INSTANCES]      the project figures
//   kavrel_project PLUGIN --create N       N instances made in this fresh process, each timed
#include "host/PluginHost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which declares its types.
#include <psapi.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The memory of this process that is resident, in kB.
double residentKb() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0.0;
    return static_cast<double>(counters.WorkingSetSize) / 1024.0;
#else
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0.0;
    char line[256];
    double kb = 0.0;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::strtod(line + 6, nullptr);
    std::fclose(status);
    return kb;
#endif
}

struct Figures {
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    double median() {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0.0 : values[values.size() / 2];
    }
    double worst() {
        return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
    }
};

constexpr int kBlock = 512;

std::unique_ptr<kavrel::host::PluginHost> load(const std::string& path) {
    auto host = std::make_unique<kavrel::host::PluginHost>();
    std::string error;
    if (!host->load(path, error)) {
        std::fprintf(stderr, "kavrel_project: %s\n", error.c_str());
        std::exit(1);
    }
    return host;
}

int create(const std::string& path, int count) {
    // The library is loaded once, as a host does before it makes the first instance.
    kavrel::host::PluginModule module;
    std::string error;
    const auto start = Clock::now();
    if (!module.load(path, error)) {
        std::fprintf(stderr, "kavrel_project: %s\n", error.c_str());
        return 1;
    }
    std::printf("load %.2f ms\n", millisecondsSince(start));
    std::vector<std::unique_ptr<kavrel::host::PluginHost>> hosts;
    for (int i = 0; i < count; ++i) {
        hosts.push_back(std::make_unique<kavrel::host::PluginHost>());
        const auto made = Clock::now();
        if (!hosts.back()->instantiate(module.entryPoint(), error)) {
            std::fprintf(stderr, "kavrel_project: %s\n", error.c_str());
            return 1;
        }
        std::printf("instance %d %.2f ms\n", i + 1, millisecondsSince(made));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PLUGIN [INSTANCES | --create N]\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    if (argc > 3 && std::string(argv[2]) == "--create") return create(path, std::atoi(argv[3]));
    const int count = argc > 2 ? std::atoi(argv[2]) : 16;

    // Loaded once before the measured instances, so the library's own pages are not counted.
    auto first = load(path);
    first->start(44100.0f, kBlock);
    std::vector<std::unique_ptr<kavrel::host::PluginHost>> project;
    const double before = residentKb();
    for (int i = 0; i < count; ++i) {
        project.push_back(load(path));
        auto& host = *project.back();
        host.start(44100.0f, kBlock);
        host.dispatch(vst::effSetProgram, 0, (i * 3) % 48);
        vst::AEffect* effect = host.effect();
        effect->setParameter(effect, 113, 0.5f); // its own tempo
        effect->setParameter(effect, 109, 1.0f);
        for (int block = 0; block < 200; ++block) host.process(kBlock);
    }
    const double perInstance = (residentKb() - before) / count;

    // A host saving the project now and then while it plays (its autosave), and reopening it.
    Figures save, reopen, change, saveAfterChanges;
    std::vector<std::vector<uint8_t>> banks(project.size());
    auto saveAll = [&](Figures& figures) {
        for (size_t i = 0; i < project.size(); ++i) {
            void* data = nullptr;
            const auto start = Clock::now();
            const auto size = project[i]->dispatch(vst::effGetChunk, 0, 0, &data);
            figures.add(millisecondsSince(start));
            const auto* bytes = static_cast<const uint8_t*>(data);
            banks[i].assign(bytes, bytes + size);
        }
    };
    auto playAll = [&](int blocks) {
        for (auto& host : project)
            for (int block = 0; block < blocks; ++block) host->process(kBlock);
    };
    for (int round = 0; round < 5; ++round) {
        playAll(100);
        saveAll(save);
        for (size_t i = 0; i < project.size(); ++i) {
            const auto start = Clock::now();
            project[i]->dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(banks[i].size()),
                                 banks[i].data());
            reopen.add(millisecondsSince(start));
        }
    }
    // Program changes while playing, then a save of what they left behind.
    for (int round = 0; round < 3; ++round) {
        for (size_t i = 0; i < project.size(); ++i) {
            auto& host = *project[i];
            for (int k = 0; k < 10; ++k) {
                const auto start = Clock::now();
                host.dispatch(vst::effSetProgram, 0, (static_cast<int>(i) + 7 * k + round) % 48);
                change.add(millisecondsSince(start));
                for (int block = 0; block < 20; ++block) host.process(kBlock);
            }
        }
        saveAll(saveAfterChanges);
    }
    std::printf("instances                      %d\n", count);
    std::printf("resident memory per instance   %.2f MiB\n", perInstance / 1024.0);
    std::printf("effGetChunk of the bank        median %.3f ms, worst %.3f ms (%zu bytes)\n",
                save.median(), save.worst(), banks.empty() ? size_t(0) : banks[0].size());
    std::printf("  after ten program changes    median %.3f ms, worst %.3f ms\n",
                saveAfterChanges.median(), saveAfterChanges.worst());
    std::printf("effSetChunk of the bank        median %.3f ms, worst %.3f ms\n", reopen.median(),
                reopen.worst());
    std::printf("effSetProgram                  median %.3f ms, worst %.3f ms\n", change.median(),
                change.worst());
    return 0;
}

#include "params/KavrelMidiAssignments.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

bool kavrel::assignments::read(const fs::path& folder, KavrelControllerMap& map) {
    if (folder.empty()) return false;
    std::error_code error;
    fs::create_directories(folder, error);
    std::ifstream file(folder / kFileName);
    if (!file) return false;
    map.clear();
    std::string line;
    while (std::getline(file, line)) {
        int parameter = 0;
        int controller = 0;
        if (std::sscanf(line.c_str(), "%d %d", &parameter, &controller) != 2) continue;
        if (controller == -1) continue;
        if (parameter < 0 || parameter >= kNumParams || controller < 0 ||
            controller >= KavrelControllerMap::kControllers)
            continue;
        map.assign(controller, parameter);
    }
    return true;
}

namespace {
// Every instance in the process shares the file and its temporary, and one instance may
// write from the editor (unlearn) and from a host thread (a controller learned while
// rendering) at once: two writers truncating and filling the same temporary would leave a
// mix of both. Writers take turns.
std::mutex& fileTurn() {
    static std::mutex writing;
    return writing;
}

bool writeLocked(const fs::path& folder, const KavrelControllerMap& map);
} // namespace

bool kavrel::assignments::write(const fs::path& folder, const KavrelControllerMap& map) {
    if (folder.empty()) return false;
    std::lock_guard<std::mutex> turn(fileTurn());
    return writeLocked(folder, map);
}

bool kavrel::assignments::update(const fs::path& folder, int controller, int parameter) {
    if (folder.empty() || parameter < 0 || parameter >= kNumParams || controller < -1 ||
        controller >= KavrelControllerMap::kControllers)
        return false;
    std::lock_guard<std::mutex> turn(fileTurn());
    // The map is 130 KB of cells: on the heap, not on a host thread's stack.
    auto onDisk = std::make_unique<KavrelControllerMap>();
    read(folder, *onDisk);
    if (controller < 0)
        onDisk->removeParameter(parameter);
    else
        onDisk->assign(controller, parameter);
    return writeLocked(folder, *onDisk);
}

namespace {
bool writeLocked(const fs::path& folder, const KavrelControllerMap& map) {
    using kavrel::kNumParams;
    using kavrel::assignments::kFileName;
    std::error_code error;
    fs::create_directories(folder, error);
    std::string text;
    int parameters[kNumParams];
    for (int c = 0; c < KavrelControllerMap::kControllers; ++c) {
        int count = map.parametersOf(c, parameters);
        for (int i = 0; i < count; ++i)
            text += std::to_string(parameters[i]) + " " + std::to_string(c) + "\n";
    }
    const fs::path target = folder / kFileName;
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream file(temporary, std::ios::out | std::ios::trunc);
        if (!file) return false;
        file << text;
        file.flush();
        if (!file) {
            file.close();
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}
} // namespace

// The MIDI assignments file, shared by every instance on the machine and edited by users: any
// bytes. What the reader takes must be in range, and writing it and reading it back must give
// the same assignments in the same order.
#include "fuzz/FuzzPlugin.h"
#include "params/KavrelMidiAssignments.h"

#include <filesystem>
#include <fstream>

using namespace kavrel::fuzz;
namespace fs = std::filesystem;

namespace {

bool sameMap(const KavrelControllerMap& a, const KavrelControllerMap& b) {
    int first[kavrel::kNumParams];
    int second[kavrel::kNumParams];
    for (int c = 0; c < KavrelControllerMap::kControllers; ++c) {
        const int n = a.parametersOf(c, first);
        if (n != b.parametersOf(c, second)) return false;
        for (int i = 0; i < n; ++i)
            if (first[i] != second[i]) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path folder = kavrel::test::isolateSettingsFolder() / "fuzz-assignments";
    static KavrelControllerMap map;
    static KavrelControllerMap again;
    fs::create_directories(folder);
    {
        std::ofstream file(folder / kavrel::assignments::kFileName, std::ios::binary);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    map.clear();
    if (!kavrel::assignments::read(folder, map)) fail("an existing file was not read");
    int parameters[kavrel::kNumParams];
    for (int c = 0; c < KavrelControllerMap::kControllers; ++c) {
        const int n = map.parametersOf(c, parameters);
        for (int i = 0; i < n; ++i)
            if (parameters[i] < 0 || parameters[i] >= kavrel::kNumParams)
                fail("an assignment out of range");
    }
    if (!kavrel::assignments::write(folder, map)) fail("the file could not be written");
    again.clear();
    if (!kavrel::assignments::read(folder, again) || !sameMap(map, again))
        fail("assignments changed in their round trip");
    return 0;
}

#include "abi/PluginUnderTest.h"
#include "support/TestEnvironment.h"

#include <cstdio>

namespace {
std::string path;
}

const std::string& kavrel::test::pluginPath() {
    return path;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s [gtest flags] <plug-in library>\n", argv[0]);
        return 2;
    }
    path = argv[1];
    kavrel::test::isolateSettingsFolder();
    return RUN_ALL_TESTS();
}

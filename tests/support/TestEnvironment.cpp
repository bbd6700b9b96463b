#include "support/TestEnvironment.h"

#include <chrono>
#include <cstdlib>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

void kavrel::test::setEnvironment(const std::string& name, const std::string& value) {
#if defined(_WIN32)
    _putenv_s(name.c_str(), value.c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

void kavrel::test::unsetEnvironment(const std::string& name) {
#if defined(_WIN32)
    _putenv_s(name.c_str(), "");
#else
    unsetenv(name.c_str());
#endif
}

fs::path kavrel::test::isolateSettingsFolder() {
    static fs::path root;
    if (root.empty()) {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root = fs::temp_directory_path() /
               ("kavrel-test-" + std::to_string(getpid()) + "-" + std::to_string(stamp));
        fs::create_directories(root);
    }
#if defined(_WIN32)
    setEnvironment("ALLUSERSPROFILE", root.string());
    return root / "Application Data" / "Quellmark";
#else
    setEnvironment("XDG_CONFIG_HOME", root.string());
    return root / "Quellmark";
#endif
}

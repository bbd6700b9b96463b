#pragma once
#include "host/PluginHost.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kavrel::test {

// Path of the built plug-in binary, given on the command line of the ABI test binary.
const std::string& pluginPath();

// A fresh instance of the real binary for each test, loaded and started like a DAW does.
class PluginFixture : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<host::PluginHost>();
        std::string error;
        ASSERT_TRUE(host->load(pluginPath(), error)) << error;
        effect = host->effect();
    }
    void TearDown() override { host.reset(); }

    std::unique_ptr<host::PluginHost> host;
    vst::AEffect* effect = nullptr;
};

} // namespace kavrel::test

#pragma once
#include "core/Kavrel.h"
#include "host/PluginHost.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <memory>

namespace kavrel::test {

// A Kavrel built from the engine library inside the test process and driven through the same
// host harness a loaded binary gets, so tests can reach inside where the ABI cannot.
inline vst::AEffect* VST_CALLBACK inProcessEntry(vst::audioMasterCallback audioMaster) {
    return (new Kavrel(audioMaster))->getAeffect();
}

class InProcessPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        isolateSettingsFolder();
        host = std::make_unique<host::PluginHost>();
        std::string error;
        ASSERT_TRUE(host->instantiate(&inProcessEntry, error)) << error;
        effect = host->effect();
        plugin = static_cast<Kavrel*>(effect->object);
        host->start(44100.0f, 512);
        neutralise();
    }
    void TearDown() override { host.reset(); }

    // Takes the factory program's performance settings out of the way, so a test sees only
    // what it sets itself: every voice heard at full level on pair A, programmed steps always
    // playing, no random beats, resets or lanes, no swing.
    void neutralise() {
        for (int v = 0; v < 12; ++v) {
            set(118 + v, 1.0f);
            set(130 + v, 0.5f);
            set(142 + v, 0.0f);
            set(154 + v, 0.0f);
            set(166 + v, 0.0f);
            set(178 + v, 1.0f);
            set(190 + v, 0.0f);
            set(214 + v, 0.0f);
            set(250 + v, 0.0f);
            plugin->setVelocityRandomize(v, false);
        }
        for (int k = 0; k < kavrel::kKitParams; ++k) plugin->removeLockParam(kavrel::kitParamAt(k));
        set(81, 0.0f);
        set(112, 0.0f);
        set(262, 0.0f);
    }

    // Program changes and chunk loads reach the engine between blocks, as the host's next
    // block would take them.
    void land() { host->process(1); }
    void set(int index, float value) { effect->setParameter(effect, index, value); }
    float get(int index) { return effect->getParameter(effect, index); }
    // Normalised value that gives the real value r.
    float norm(int index, float r) { return plugin->parameters().realToNorm(index, r); }
    void setReal(int index, float r) { set(index, norm(index, r)); }

    // Renders `frames` samples in blocks; returns the sum of squares per channel.
    std::vector<double> render(int frames, int block = 512) {
        std::vector<double> energy(12, 0.0);
        while (frames > 0) {
            int n = frames < block ? frames : block;
            host->process(n);
            for (int c = 0; c < 12; ++c)
                for (int i = 0; i < n; ++i)
                    energy[c] += double(host->outputs()[c][i]) * host->outputs()[c][i];
            frames -= n;
        }
        return energy;
    }

    std::unique_ptr<host::PluginHost> host;
    vst::AEffect* effect = nullptr;
    Kavrel* plugin = nullptr;
};

} // namespace kavrel::test

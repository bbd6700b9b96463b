#include <cstdint>
#include <new>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/vxsp_compressor.h"
#include "dsp/vxsp_distort_exponential.h"
#include "dsp/vxsp_distort_parabolic.h"
#include "dsp/vxsp_eg_breakpoint_ar.h"
#include "dsp/vxsp_filter_rbj_band_pass.h"
#include "dsp/vxsp_filter_rbj_high_pass.h"
#include "dsp/vxsp_filter_rbj_low_pass.h"
#include "dsp/vxsp_noise_white_fast.h"
#include "dsp/vxsp_oscillator_wavetable_multi.h"
#include "dsp/vxsp_pulsegen.h"
#include "support/AllocationCounter.h"

using kavrel::test::AllocationCounter;

namespace {

// Storing to a volatile global makes every pointer escape, so the compiler cannot elide a
// new/delete pair the test makes on purpose.
void* volatile g_escape = nullptr;

TEST(DspAllocationCounter, SeesEveryFormOfNewOnThisThread) {
    struct alignas(64) Wide {
        float x[16];
    };
    AllocationCounter counter;
    float* scalar = new float(1.0f);
    g_escape = scalar;
    float* array = new float[64];
    g_escape = array;
    Wide* wide = new Wide();
    g_escape = wide;
    float* quiet = new (std::nothrow) float[8];
    g_escape = quiet;
    const std::size_t allocated = counter.allocations();
    const std::size_t bytes = counter.bytes();
    const bool aligned = reinterpret_cast<std::uintptr_t>(wide) % 64 == 0;
    delete scalar;
    delete[] array;
    delete wide;
    delete[] quiet;
    const std::size_t released = counter.deallocations();

    EXPECT_EQ(allocated, 4u);
    EXPECT_GE(bytes, sizeof(float) * 73 + sizeof(Wide));
    EXPECT_EQ(released, 4u);
    EXPECT_TRUE(aligned);
    counter.restart();
    EXPECT_EQ(counter.allocations(), 0u);
}

TEST(DspAllocationCounter, IgnoresOtherThreads) {
    AllocationCounter counter;
    std::thread other([] { g_escape = new float[16]; });
    // Starting a thread may allocate here; what the thread itself allocates must not count.
    const std::size_t started = counter.allocations();
    other.join();
    EXPECT_EQ(counter.allocations(), started);
    delete[] static_cast<float*>(g_escape);
}

// Every block's per-sample path, with the hit and parameter calls a voice makes while
// sounding, must run without touching the heap.
TEST(DspRealtime, ProcessingNeverAllocates) {
    vxsp_eg_breakpoint_ar env;
    env.set_attack_time(10.0f);
    vxsp_eg_breakpoint burst;
    burst.add_breakpoint(1.0f, 2.0f);
    vxsp_oscillator_wavetable sine;
    vxsp_oscillator_wavetable_resizeable odd;
    odd.resize_table(891);
    vxsp_oscillator_wavetable_multi multi;
    multi.resize_table(891);
    vxsp_pulsegen pulse;
    vxsp_noise_white_fast noise;
    vxsp_filter_rbj_low_pass lp;
    vxsp_filter_rbj_high_pass hp;
    vxsp_filter_rbj_band_pass bp;
    vxsp_distort_parabolic para;
    vxsp_distort_exponential expo;
    vxsp_compressor comp;
    std::vector<float> buffer(256, 0.1f);

    AllocationCounter counter;
    float sink = 0.0f;
    for (int i = 0; i < 20000; ++i) {
        if (i % 5000 == 0) {
            env.trigger();
            burst.trigger();
            pulse.trigger();
            sine.set_phase(0.0f);
            multi.select_table((i / 5000) % 2);
            lp.set_frequency(500.0f + i * 0.1f);
            bp.set_resonance(0.3f);
            comp.set_threshold(-0.001f * i);
            env.set_decay_curve(-0.5f);
        }
        const float e = env.process(0.0f) + burst.process(0.0f) + env.process_linear();
        const float tone = sine.process(e * 10.0f) + odd.process(1.0f) + multi.process(0.0f) +
                           sine.process_ratio(1.5f, 0.0f) + odd.process_free() +
                           sine.process_ratio_truncating(2.0f, 1.0f);
        const float n = lp.process(noise.next()) + hp.process(pulse.next()) + bp.process_plain(e);
        const float shaped = para.process(tone * 0.1f) + expo.process(n * 0.5f);
        float l = 0.0f, r = 0.0f;
        comp.process_stereo(shaped, -shaped, &l, &r);
        sink += comp.process(l) + r;
    }
    lp.process_buffer(buffer.data(), buffer.data(), 256);
    EXPECT_EQ(counter.allocations(), 0u);
    EXPECT_NE(sink, 12345.0f); // keeps the loop from being optimised away
}

} // namespace

// Cost of one sample of each DSP block, as the voices call them: on objects held by value,
// one call per sample. Every benchmark runs blocks of kBlock samples and reports
// "ns_per_sample".
#include <benchmark/benchmark.h>

#include <vector>

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

namespace {

constexpr int kBlock = 256;

void report(benchmark::State& state) {
    state.counters["ns_per_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Makes the block's outputs observable without a serial dependency between samples.
void flush(std::vector<float>& out) {
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
}

// A slowly varying modulation input, like an envelope times a depth.
std::vector<float> modulation() {
    std::vector<float> m(kBlock);
    for (int i = 0; i < kBlock; ++i) m[i] = 40.0f * static_cast<float>(kBlock - i) / kBlock;
    return m;
}

// Noise-like input in -0.5..0.5, so filters and shapers see a real signal.
std::vector<float> signal() {
    std::vector<float> s(kBlock);
    vxsp_noise_white_fast noise;
    for (float& v : s) v = noise.next();
    return s;
}

void envelope_running(benchmark::State& state, float curve) {
    vxsp_eg_breakpoint_ar eg;
    eg.set_attack_time(2.0f);
    eg.set_attack_curve(curve);
    eg.set_decay_time(5000.0f);
    eg.set_decay_curve(curve);
    eg.trigger();
    std::vector<float> out(kBlock);
    for (auto _ : state) {
        if (eg.is_finished()) eg.trigger();
        for (int i = 0; i < kBlock; ++i) out[i] = eg.process(0.0f);
        flush(out);
    }
    report(state);
}

void BM_EnvelopeRunningCurved(benchmark::State& state) {
    envelope_running(state, -0.6f);
}
void BM_EnvelopeRunningLinear(benchmark::State& state) {
    envelope_running(state, 0.0f);
}

void BM_EnvelopeIdle(benchmark::State& state) {
    vxsp_eg_breakpoint_ar eg;
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = eg.process(0.0f);
    flush(out);
    report(state);
}

void BM_OscillatorProcess(benchmark::State& state) {
    vxsp_oscillator_wavetable osc;
    osc.set_frequency(180.0f);
    const std::vector<float> fm = modulation();
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = osc.process(fm[i]);
    flush(out);
    report(state);
}

void BM_OscillatorProcessFree(benchmark::State& state) {
    vxsp_oscillator_wavetable osc;
    osc.build_waveform(5, 41.0f, 16);
    osc.set_frequency(584.0f);
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = osc.process_free();
    flush(out);
    report(state);
}

void BM_OscillatorProcessRatio(benchmark::State& state) {
    vxsp_oscillator_wavetable osc;
    osc.set_frequency(180.0f);
    const std::vector<float> fm = modulation();
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = osc.process_ratio(1.5f, fm[i]);
    flush(out);
    report(state);
}

void BM_OscillatorProcessRatioTruncating(benchmark::State& state) {
    vxsp_oscillator_wavetable osc;
    osc.set_frequency(180.0f);
    const std::vector<float> fm = modulation();
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = osc.process_ratio_truncating(1.5f, fm[i]);
    flush(out);
    report(state);
}

void BM_OscillatorResizeableProcess(benchmark::State& state) {
    vxsp_oscillator_wavetable_resizeable osc;
    osc.resize_table(891);
    osc.set_frequency(100.0f);
    const std::vector<float> fm = modulation();
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = osc.process(fm[i]);
    flush(out);
    report(state);
}

void BM_OscillatorMultiProcess(benchmark::State& state) {
    vxsp_oscillator_wavetable_multi osc;
    osc.resize_table(891);
    osc.set_frequency(50.0f);
    const std::vector<float> fm = modulation();
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = osc.process(fm[i]);
    flush(out);
    report(state);
}

template <class Filter> void filter_process(benchmark::State& state) {
    Filter f;
    f.set_frequency(2500.0f);
    f.set_q(1.7f);
    const std::vector<float> x = signal();
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = f.process(x[i]);
    flush(out);
    report(state);
}

void BM_FilterLowPass(benchmark::State& state) {
    filter_process<vxsp_filter_rbj_low_pass>(state);
}
void BM_FilterHighPass(benchmark::State& state) {
    filter_process<vxsp_filter_rbj_high_pass>(state);
}
void BM_FilterBandPass(benchmark::State& state) {
    filter_process<vxsp_filter_rbj_band_pass>(state);
}

void BM_FilterLowPassSilence(benchmark::State& state) {
    vxsp_filter_rbj_low_pass f;
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = f.process(0.0f);
    flush(out);
    report(state);
}

void BM_Noise(benchmark::State& state) {
    vxsp_noise_white_fast noise;
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = noise.next();
    flush(out);
    report(state);
}

void BM_Pulse(benchmark::State& state) {
    vxsp_pulsegen pulse;
    pulse.set_length(2.0f);
    std::vector<float> out(kBlock);
    for (auto _ : state) {
        pulse.trigger();
        for (int i = 0; i < kBlock; ++i) out[i] = pulse.next();
        flush(out);
    }
    report(state);
}

void BM_DistortParabolic(benchmark::State& state) {
    vxsp_distort_parabolic d;
    d.set_drive(2.0f);
    const std::vector<float> x = signal();
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = d.process(x[i]);
    flush(out);
    report(state);
}

void distort_exponential(benchmark::State& state, float amount) {
    vxsp_distort_exponential d;
    d.set_amount(amount);
    const std::vector<float> x = signal();
    std::vector<float> out(kBlock);
    for (auto _ : state) {
        for (int i = 0; i < kBlock; ++i) out[i] = d.process(x[i]);
        flush(out);
    }
    report(state);
}

void BM_DistortExponential(benchmark::State& state) {
    distort_exponential(state, 0.4f);
}
// Saturation 0 (k = 1), the setting most voices run with.
void BM_DistortExponentialUnsaturated(benchmark::State& state) {
    distort_exponential(state, 0.0f);
}

void configure_master(vxsp_compressor& c) {
    c.set_input_gain(5.0f);
    c.set_threshold(-15.0f);
    c.set_attack(0.0005f);
    c.set_release(0.05f);
    c.set_ratio(1000.0f);
    c.set_output_gain(9.0f);
}

void compressor_stereo(benchmark::State& state, float level) {
    vxsp_compressor c;
    configure_master(c);
    std::vector<float> x = signal();
    for (float& v : x) v *= level;
    std::vector<float> out(kBlock);
    float l = 0.0f, r = 0.0f;
    for (auto _ : state) {
        for (int i = 0; i < kBlock; ++i) {
            c.process_stereo(x[i], -x[kBlock - 1 - i], &l, &r);
            out[i] = l + r;
        }
        flush(out);
    }
    report(state);
}

void BM_CompressorStereo(benchmark::State& state) {
    compressor_stereo(state, 1.0f);
}
// Quiet input that never reaches the threshold.
void BM_CompressorStereoBelowThreshold(benchmark::State& state) {
    compressor_stereo(state, 0.01f);
}

void BM_CompressorMono(benchmark::State& state) {
    vxsp_compressor c;
    configure_master(c);
    const std::vector<float> x = signal();
    std::vector<float> out(kBlock);
    for (auto _ : state)
        for (int i = 0; i < kBlock; ++i) out[i] = c.process(x[i]);
    flush(out);
    report(state);
}

} // namespace

BENCHMARK(BM_EnvelopeRunningCurved);
BENCHMARK(BM_EnvelopeRunningLinear);
BENCHMARK(BM_EnvelopeIdle);
BENCHMARK(BM_OscillatorProcess);
BENCHMARK(BM_OscillatorProcessFree);
BENCHMARK(BM_OscillatorProcessRatio);
BENCHMARK(BM_OscillatorProcessRatioTruncating);
BENCHMARK(BM_OscillatorResizeableProcess);
BENCHMARK(BM_OscillatorMultiProcess);
BENCHMARK(BM_FilterLowPass);
BENCHMARK(BM_FilterHighPass);
BENCHMARK(BM_FilterBandPass);
BENCHMARK(BM_FilterLowPassSilence);
BENCHMARK(BM_Noise);
BENCHMARK(BM_Pulse);
BENCHMARK(BM_DistortParabolic);
BENCHMARK(BM_DistortExponential);
BENCHMARK(BM_DistortExponentialUnsaturated);
BENCHMARK(BM_CompressorStereo);
BENCHMARK(BM_CompressorStereoBelowThreshold);
BENCHMARK(BM_CompressorMono);

#include <cmath>
#include <limits>
#include <numeric>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/vxsp_noise_white_fast.h"
#include "dsp/vxsp_oscillator_bank.h"
#include "dsp/vxsp_oscillator_wavetable.h"
#include "dsp/vxsp_oscillator_wavetable_multi.h"
#include "dsp/vxsp_oscillator_wavetable_resizeable.h"
#include "dsp/vxsp_pulsegen.h"
#include "support/SignalAnalysis.h"

using kavrel::test::kPi;
using kavrel::test::tone_amplitude;
using kavrel::test::zero_crossing_frequency;

namespace {

std::vector<float> render(vxsp_oscillator_wavetable& osc, int n, float fm_hz = 0.0f) {
    std::vector<float> out(n);
    for (float& v : out) v = osc.process(fm_hz);
    return out;
}

std::vector<float> ramp(int n) {
    std::vector<float> t(n);
    std::iota(t.begin(), t.end(), 0.0f);
    return t;
}

// Amplitude of harmonic h in one stored cycle (a plain DFT bin of the table).
double harmonic_amplitude(const float* table, int n, int h) {
    double re = 0.0, im = 0.0;
    for (int i = 0; i < n; ++i) {
        re += table[i] * std::cos(2.0 * kPi * h * i / n);
        im += table[i] * std::sin(2.0 * kPi * h * i / n);
    }
    return 2.0 * std::sqrt(re * re + im * im) / n;
}

TEST(DspOscillator, DefaultIsA440SineAdvancing440CyclesPerSecond) {
    vxsp_oscillator_wavetable osc;
    EXPECT_EQ(osc.get_table_size(), 4096);
    EXPECT_NEAR(osc.get_increment(), 40.867f, 1e-3f);
    EXPECT_NEAR(osc.get_increment_per_hz(), 0.09287982f, 1e-8f);

    // Unwrap the read position over one second: 440 whole cycles, within float drift.
    double travelled = 0.0;
    float last = osc.get_phase();
    for (int i = 0; i < 44100; ++i) {
        osc.process(0.0f);
        float step = osc.get_phase() - last;
        if (step < 0) step += 4096.0f;
        travelled += step;
        last = osc.get_phase();
    }
    EXPECT_NEAR(travelled / 4096.0, 440.0, 0.001);

    const float* t = osc.get_table();
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_NEAR(t[1024], 1.0f, 1e-7f);
    EXPECT_NEAR(t[3072], -1.0f, 1e-7f);
}

TEST(DspOscillator, MeasuredFrequencyMatchesSetFrequencyAtEveryRate) {
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        for (float hz : {55.0f, 440.0f, 1234.5f, 5000.0f}) {
            vxsp_oscillator_wavetable osc;
            osc.set_sample_rate(rate);
            osc.set_frequency(hz);
            const std::vector<float> out = render(osc, static_cast<int>(rate));
            EXPECT_NEAR(zero_crossing_frequency(out, rate), hz, hz * 1e-4) << rate << " " << hz;
            EXPECT_NEAR(tone_amplitude(out, hz, rate), 1.0, 1e-3) << rate << " " << hz;
        }
    }
}

TEST(DspOscillator, FrequencySurvivesSampleRateChange) {
    vxsp_oscillator_wavetable osc;
    osc.set_frequency(1000.0f);
    osc.set_sample_rate(96000.0f);
    EXPECT_NEAR(osc.get_increment(), 4096.0f * 1000.0f / 96000.0f, 1e-4f);
    EXPECT_NEAR(osc.get_increment_per_hz(), 4096.0f / 96000.0f, 1e-7f);
    EXPECT_NEAR(zero_crossing_frequency(render(osc, 96000), 96000.0), 1000.0, 0.1);
}

TEST(DspOscillator, InvalidSampleRateKeepsThePitch) {
    vxsp_oscillator_wavetable osc;
    osc.set_sample_rate(48000.0f);
    const float increment = osc.get_increment();
    for (float bad : {0.0f, -1.0f, std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN()}) {
        osc.set_sample_rate(bad);
        EXPECT_EQ(osc.get_sample_rate(), 48000.0f);
        EXPECT_EQ(osc.get_increment(), increment);
    }
    for (float v : render(osc, 1000)) ASSERT_TRUE(std::isfinite(v));
}

TEST(DspOscillator, NotesFollowEqualTemperament) {
    vxsp_oscillator_wavetable osc;
    osc.set_note(69);
    EXPECT_FLOAT_EQ(osc.get_frequency(), 440.0f);
    osc.set_note(81);
    EXPECT_FLOAT_EQ(osc.get_frequency(), 880.0f);
    osc.set_note(57.0f);
    EXPECT_FLOAT_EQ(osc.get_frequency(), 220.0f);
    osc.set_note(70.0f);
    EXPECT_NEAR(osc.get_frequency(), 466.1638f, 1e-3f);
    EXPECT_NEAR(osc.get_increment(), 4096.0f * 466.1638f / 44100.0f, 1e-3f);
}

TEST(DspOscillator, ModulationInHzShiftsPitchAndCanHoldPhase) {
    vxsp_oscillator_wavetable osc;
    osc.set_frequency(300.0f);
    EXPECT_NEAR(zero_crossing_frequency(render(osc, 44100, 200.0f), 44100.0), 500.0, 0.05);

    osc.set_phase(123.25f);
    for (int i = 0; i < 1000; ++i) osc.process(-300.0f);
    EXPECT_NEAR(osc.get_phase(), 123.25f, 1e-3f);
}

TEST(DspOscillator, LookupInterpolatesAndWrapsAtTheTableEnd) {
    vxsp_oscillator_wavetable osc;
    std::vector<float> t = ramp(4096);
    osc.load_table(t.data());
    osc.set_frequency(0.0f);
    osc.set_phase(10.25f);
    EXPECT_FLOAT_EQ(osc.process(0.0f), 10.25f);
    EXPECT_FLOAT_EQ(osc.get_fraction(), 0.25f);
    osc.set_phase(4095.5f);
    EXPECT_FLOAT_EQ(osc.process(0.0f), 0.5f * 4095.0f);
    // Past the end the position wraps to the start of the table.
    osc.set_phase(4096.0f + 3.5f);
    EXPECT_FLOAT_EQ(osc.process(0.0f), 3.5f);
    EXPECT_FLOAT_EQ(osc.get_phase(), 3.5f);
}

TEST(DspOscillator, RatioAndFreeRunningLookups) {
    vxsp_oscillator_wavetable osc;
    osc.set_frequency(250.0f);
    std::vector<float> out(44100);
    for (float& v : out) v = osc.process_ratio(2.0f, 100.0f);
    EXPECT_NEAR(zero_crossing_frequency(out, 44100.0), 600.0, 0.05);
    for (float& v : out) v = osc.process_free();
    EXPECT_NEAR(zero_crossing_frequency(out, 44100.0), 250.0, 0.05);

    std::vector<float> t = ramp(4096);
    osc.load_table(t.data());
    osc.set_phase(20.75f);
    osc.set_frequency(0.0f);
    EXPECT_EQ(osc.process_ratio_truncating(1.0f, 0.0f), 20.0f);
    EXPECT_FLOAT_EQ(osc.get_phase(), 20.75f);
}

// A run of either kind of oscillator against the same oscillator sample by sample. Odd
// frequencies and a phase near the end so the runs cross the table's wrap; the modulated runs
// sweep the frequency down through 0 Hz so that the phase also runs backwards.
template <class Oscillator> void expect_runs_match(int table_size) {
    for (bool modulated : {false, true}) {
        Oscillator alone, in_runs;
        for (auto* o : {&alone, &in_runs}) {
            if constexpr (std::is_same_v<Oscillator, vxsp_oscillator_wavetable>)
                o->set_table_size(table_size);
            else
                o->resize_table(table_size);
            const std::vector<float> t = ramp(table_size);
            o->load_table(t.data());
            o->set_frequency(1062.3f);
            o->set_phase(static_cast<float>(table_size) - 5.3f);
        }
        float fm = 900.0f;
        for (int run : {1, 7, 256, 1000, 3}) {
            auto r = in_runs.begin_run();
            for (int i = 0; i < run; ++i, fm -= 2.3f) {
                if (modulated)
                    ASSERT_EQ(r.next(fm), alone.process(fm))
                        << table_size << " " << run << " " << i;
                else
                    ASSERT_EQ(r.next(), alone.process_free())
                        << table_size << " " << run << " " << i;
            }
            in_runs.end_run(r);
            ASSERT_EQ(in_runs.get_phase(), alone.get_phase());
            // Between runs the oscillator is still an oscillator.
            ASSERT_EQ(in_runs.process(fm), alone.process(fm));
        }
    }
}

TEST(DspOscillator, ARunGivesTheSamplesOfTheOscillatorAndHandsBackItsPhase) {
    expect_runs_match<vxsp_oscillator_wavetable>(4096);
    // The stored cycle's length wraps by subtraction, never by a mask.
    expect_runs_match<vxsp_oscillator_wavetable_resizeable>(3001);
    expect_runs_match<vxsp_oscillator_wavetable_multi>(1500);
}

// Six pulse waves as the metal voices use them, against copies of themselves read one by one.
struct MetalBankCase {
    vxsp_oscillator_wavetable bank_side[6], alone[6];
    vxsp_oscillator_bank bank;

    explicit MetalBankCase(int count = 6) {
        const float widths[6] = {41.0f, 42.0f, 43.0f, 42.0f, 41.0f, 43.0f};
        const float hz[6] = {584.0f, 690.3f, 1062.0f, 530.0f, 20000.0f, 0.0f};
        for (int k = 0; k < 6; ++k) {
            for (auto* o : {&bank_side[k], &alone[k]}) {
                // A shorter table in one lane: each lane wraps at its own length.
                if (k == 2) o->set_table_size(1024);
                o->build_waveform(vxsp_oscillator_wavetable::waveform_pulse, widths[k], 16);
                o->set_frequency(hz[k]);
                o->set_phase(static_cast<float>(o->get_table_size()) - 0.5f - 7.0f * k);
            }
        }
        bank.attach(bank_side, count);
    }

    // Renders runs of the given lengths and checks every lane's samples and phase.
    void expect_same(std::initializer_list<int> runs, const char* what) {
        float out[1000][vxsp_oscillator_bank::max_oscillators];
        for (int n : runs) {
            bank.render(bank_side, out, n);
            for (int i = 0; i < n; ++i)
                for (int k = 0; k < bank.get_count(); ++k)
                    ASSERT_EQ(out[i][k], alone[k].process_free())
                        << what << ": run of " << n << ", sample " << i << ", oscillator " << k;
            for (int k = 0; k < bank.get_count(); ++k) {
                ASSERT_EQ(bank_side[k].get_phase(), alone[k].get_phase()) << what << " " << k;
                ASSERT_EQ(bank_side[k].get_fraction(), alone[k].get_fraction()) << what << " " << k;
            }
        }
    }
};

TEST(DspOscillatorBank, EveryOscillatorGetsItsOwnSamplesAndPhase) {
    MetalBankCase all;
    all.expect_same({1, 7, 256, 1000, 3}, "six oscillators");
    MetalBankCase three(3);
    three.expect_same({256, 5}, "three oscillators");
    // Between runs the oscillators are still oscillators, and a new tuning applies.
    for (int k = 0; k < 6; ++k) {
        ASSERT_EQ(all.bank_side[k].process_free(), all.alone[k].process_free());
        all.bank_side[k].set_frequency(123.0f * (k + 1));
        all.alone[k].set_frequency(123.0f * (k + 1));
    }
    all.expect_same({256, 17}, "retuned");
}

// What the lanes cannot read exactly (a position the single subtraction would not wrap, a
// frequency that is not a number, a table built after attaching) is read one oscillator at a
// time, with the same results as the oscillator alone.
TEST(DspOscillatorBank, StatesTheLanesCannotWrapAreReadByTheOscillators) {
    {
        MetalBankCase c;
        for (auto* o : {&c.bank_side[1], &c.alone[1]}) o->set_phase(-3.25f);
        c.expect_same({3, 256}, "negative phase");
    }
    {
        MetalBankCase c;
        for (auto* o : {&c.bank_side[3], &c.alone[3]}) o->set_frequency(50000.0f);
        c.expect_same({100}, "increment beyond the table");
    }
    {
        MetalBankCase c;
        for (auto* o : {&c.bank_side[4], &c.alone[4]})
            o->build_waveform(vxsp_oscillator_wavetable::waveform_saw, 0.0f, 16);
        c.expect_same({64}, "table built after attaching");
        c.bank.attach(c.bank_side, 6);
        c.expect_same({64}, "attached again");
    }
    {
        MetalBankCase c;
        for (auto* o : {&c.bank_side[0], &c.alone[0]})
            o->set_frequency(std::numeric_limits<float>::quiet_NaN());
        float out[8][vxsp_oscillator_bank::max_oscillators];
        c.bank.render(c.bank_side, out, 8);
        for (int i = 0; i < 8; ++i) {
            for (int k = 1; k < 6; ++k) ASSERT_EQ(out[i][k], c.alone[k].process_free());
            ASSERT_TRUE(std::isnan(out[i][0]) && std::isnan(c.alone[0].process_free()));
        }
    }
    vxsp_oscillator_bank empty;
    float untouched[1][vxsp_oscillator_bank::max_oscillators] = {{5.0f}};
    empty.render(nullptr, untouched, 1);
    EXPECT_EQ(untouched[0][0], 5.0f);
}

TEST(DspOscillator, WaveformSpectraMatchTheirSeries) {
    struct Case {
        int type;
        float param;
        int harmonics;
        double (*amplitude)(int h, int harmonics);
    };
    const Case cases[] = {
        {0, 0.0f, 16, [](int h, int) { return h == 1 ? 1.0 : 0.0; }},
        {4, 0.0f, 16, [](int h, int n) { return h <= n ? 1.0 / h : 0.0; }},
        {4, 0.0f, 5, [](int h, int n) { return h <= n ? 1.0 / h : 0.0; }},
        {5, 50.0f, 16,
         [](int h, int n) { return h <= n ? std::fabs(std::sin(h * kPi * 0.5)) / h : 0.0; }},
        {5, 41.0f, 16,
         [](int h, int n) { return h <= n ? std::fabs(std::sin(h * kPi * 0.41)) / h : 0.0; }},
        {6, 0.0f, 16, [](int h, int n) { return h <= n && h % 2 ? 1.0 / (h * h) : 0.0; }},
        {7, 0.0f, 16, [](int h, int) { return h == 1   ? 1.0
                                              : h == 3 ? 1.0 / 9.0
                                                       : 0.0; }},
        {8, 0.0f, 16,
         [](int h, int) {
             switch (h) {
             case 1:
                 return 1.0;
             case 3:
                 return 0.058884;
             case 5:
                 return 0.011749;
             case 6:
                 return 0.004169;
             case 7:
                 return 0.010471;
             case 8:
                 return 0.003311;
             case 10:
                 return 0.004169;
             default:
                 return 0.0;
             }
         }},
    };
    for (const Case& c : cases) {
        vxsp_oscillator_wavetable osc;
        osc.build_waveform(c.type, c.param, c.harmonics);
        for (int h = 1; h <= 24; ++h)
            EXPECT_NEAR(harmonic_amplitude(osc.get_table(), 4096, h), c.amplitude(h, c.harmonics),
                        1e-6)
                << "type " << c.type << " harmonic " << h;
    }
}

TEST(DspOscillator, SawtoothFallsThroughTheCycle) {
    vxsp_oscillator_wavetable osc;
    osc.build_waveform(4, 0.0f, 16);
    const float* t = osc.get_table();
    EXPECT_GT(t[512], 0.5f);
    EXPECT_LT(t[3584], -0.5f);
    EXPECT_NEAR(t[2048], 0.0f, 1e-6f);
}

TEST(DspOscillator, UnknownWaveformTypesLeaveTheTable) {
    vxsp_oscillator_wavetable osc;
    std::vector<float> t = ramp(4096);
    osc.load_table(t.data());
    for (int type : {1, 2, 3, 9, -1, 100}) {
        osc.build_waveform(type, 50.0f, 16);
        EXPECT_EQ(std::vector<float>(osc.get_table(), osc.get_table() + 4096), t) << type;
    }
}

TEST(DspOscillator, HarmonicsBuildTheirSpectrum) {
    vxsp_oscillator_wavetable osc;
    const float amplitudes[] = {0.5f, 0.0f, 0.25f};
    osc.build_from_harmonics(3, amplitudes);
    EXPECT_NEAR(harmonic_amplitude(osc.get_table(), 4096, 1), 0.5, 1e-6);
    EXPECT_NEAR(harmonic_amplitude(osc.get_table(), 4096, 2), 0.0, 1e-6);
    EXPECT_NEAR(harmonic_amplitude(osc.get_table(), 4096, 3), 0.25, 1e-6);
}

TEST(DspOscillator, CallerTableIsReadInPlace) {
    vxsp_oscillator_wavetable osc;
    std::vector<float> mine(4096, 0.25f);
    osc.set_table(mine.data());
    EXPECT_EQ(osc.process(0.0f), 0.25f);
    mine.assign(4096, -0.5f);
    EXPECT_EQ(osc.process(0.0f), -0.5f);
    osc.set_table(nullptr); // ignored
    EXPECT_EQ(osc.process(0.0f), -0.5f);
}

TEST(DspOscillator, TableSizeChangeKeepsPitchAndModulationInHz) {
    vxsp_oscillator_wavetable osc;
    osc.set_frequency(500.0f);
    osc.set_table_size(1024);
    EXPECT_EQ(osc.get_table_size(), 1024);
    EXPECT_NEAR(osc.get_increment(), 1024.0f * 500.0f / 44100.0f, 1e-4f);
    EXPECT_NEAR(osc.get_increment_per_hz(), 1024.0f / 44100.0f, 1e-7f);
    osc.build_waveform(0, 0.0f, 16);
    EXPECT_NEAR(zero_crossing_frequency(render(osc, 44100, 100.0f), 44100.0), 600.0, 0.05);
}

TEST(DspOscillator, CopiesOwnTheirTables) {
    vxsp_oscillator_wavetable a;
    a.set_frequency(1000.0f);
    vxsp_oscillator_wavetable b(a);
    std::vector<float> t(4096, 0.5f);
    a.load_table(t.data());
    EXPECT_NE(b.get_table(), a.get_table());
    EXPECT_EQ(b.get_table()[1024], vxsp_oscillator_wavetable().get_table()[1024]);
    EXPECT_EQ(b.get_frequency(), 1000.0f);
    b = a;
    EXPECT_EQ(b.get_table()[1024], 0.5f);
    EXPECT_NE(b.get_table(), a.get_table());
}

TEST(DspOscillatorResizeable, InterpolatesAcrossTheEndOfAnOddLengthTable) {
    vxsp_oscillator_wavetable_resizeable osc;
    osc.resize_table(891);
    EXPECT_EQ(osc.get_table_size(), 891);
    EXPECT_EQ(osc.get_phase(), 0.0f);
    std::vector<float> t = ramp(891);
    osc.load_table(t.data());
    osc.set_frequency(0.0f);
    osc.set_phase(890.5f);
    EXPECT_FLOAT_EQ(osc.process(0.0f), 0.5f * 890.0f + 0.5f * 0.0f);
    osc.set_phase(891.0f + 5.25f);
    EXPECT_FLOAT_EQ(osc.process_free(), 5.25f);
    EXPECT_FLOAT_EQ(osc.get_phase(), 5.25f);
}

TEST(DspOscillatorResizeable, PitchIsRightAfterResize) {
    vxsp_oscillator_wavetable_resizeable osc;
    osc.set_frequency(100.0f);
    osc.resize_table(891);
    std::vector<float> cycle(891);
    for (int i = 0; i < 891; ++i) cycle[i] = static_cast<float>(std::sin(2.0 * kPi * i / 891));
    osc.load_table(cycle.data());
    EXPECT_NEAR(zero_crossing_frequency(render(osc, 44100), 44100.0), 100.0, 0.01);
    EXPECT_NEAR(zero_crossing_frequency(render(osc, 44100, 50.0f), 44100.0), 150.0, 0.01);
    std::vector<float> out(44100);
    for (float& v : out) v = osc.process_ratio(3.0f, 0.0f);
    EXPECT_NEAR(zero_crossing_frequency(out, 44100.0), 300.0, 0.02);
}

TEST(DspOscillatorResizeable, OutOfRangePositionsStayInsideTheTable) {
    vxsp_oscillator_wavetable_resizeable osc;
    osc.resize_table(891);
    std::vector<float> t = ramp(891);
    osc.load_table(t.data());
    // A frequency far beyond the sample rate, and a large negative modulation.
    osc.set_frequency(200000.0f);
    for (float v : render(osc, 1000)) ASSERT_TRUE(v >= 0.0f && v <= 890.0f);
    osc.set_frequency(100.0f);
    for (float v : render(osc, 1000, -90000.0f)) ASSERT_TRUE(v >= -1.0f && v <= 891.0f);
    osc.set_phase(4096.0f);
    const float v = osc.process_ratio_truncating(1.0f, 0.0f);
    EXPECT_TRUE(v >= 0.0f && v <= 890.0f);
}

TEST(DspOscillatorMulti, StartsWithTwoSilentTablesAndTheFirstSelected) {
    vxsp_oscillator_wavetable_multi osc;
    EXPECT_EQ(osc.get_table_count(), 2);
    EXPECT_EQ(osc.current_table(), 0);
    EXPECT_EQ(osc.get_table_size(), 4096);
    for (float v : render(osc, 100)) EXPECT_EQ(v, 0.0f);
}

TEST(DspOscillatorMulti, TablesKeepTheirContentsAcrossSwitches) {
    vxsp_oscillator_wavetable_multi osc;
    osc.resize_table(891);
    std::vector<float> t(891, 0.75f);
    osc.load_table(t.data());
    osc.select_table(1);
    osc.build_current_table(0, 0.0f);
    EXPECT_EQ(osc.get_table_size(), 4096);
    EXPECT_NEAR(osc.get_table()[1024], 1.0f, 1e-7f);

    osc.select_table(0);
    EXPECT_EQ(osc.get_table_size(), 891);
    EXPECT_EQ(osc.process(0.0f), 0.75f);
    osc.select_table(1);
    EXPECT_NEAR(osc.get_table()[1024], 1.0f, 1e-7f);
}

TEST(DspOscillatorMulti, SwitchingKeepsTheFrequency) {
    vxsp_oscillator_wavetable_multi osc;
    osc.set_frequency(50.0f);
    osc.select_table(1);
    const float increment_4096 = osc.get_increment();
    osc.add_table(4096);
    osc.select_table(2);
    EXPECT_EQ(osc.get_increment(), increment_4096); // same length: nothing recomputed

    osc.select_table(0);
    osc.resize_table(891);
    osc.select_table(1);
    osc.select_table(0);
    EXPECT_NEAR(osc.get_increment(), 891.0f * 50.0f / 44100.0f, 1e-5f);
    EXPECT_NEAR(osc.get_increment_per_hz(), 891.0f / 44100.0f, 1e-7f);
    std::vector<float> cycle(891);
    for (int i = 0; i < 891; ++i) cycle[i] = static_cast<float>(std::sin(2.0 * kPi * i / 891));
    osc.load_table(cycle.data());
    EXPECT_NEAR(zero_crossing_frequency(render(osc, 44100), 44100.0), 50.0, 0.01);
}

TEST(DspOscillatorMulti, PhaseBeyondTheNewTableRestarts) {
    vxsp_oscillator_wavetable_multi osc;
    osc.resize_table(891);
    osc.select_table(1);
    osc.set_phase(2000.0f);
    osc.select_table(0);
    EXPECT_EQ(osc.get_phase(), 0.0f);
    osc.set_phase(500.0f);
    osc.select_table(1);
    EXPECT_EQ(osc.get_phase(), 500.0f);
}

TEST(DspOscillatorMulti, UnknownIndexIsIgnored) {
    vxsp_oscillator_wavetable_multi osc;
    osc.select_table(1);
    osc.select_table(2);
    osc.select_table(-1);
    EXPECT_EQ(osc.current_table(), 1);
}

TEST(DspOscillatorMulti, CopiesReadTheirOwnTables) {
    vxsp_oscillator_wavetable_multi a;
    a.select_table(1);
    a.build_current_table(0, 0.0f);
    vxsp_oscillator_wavetable_multi b(a);
    EXPECT_NE(a.get_table(), b.get_table());
    EXPECT_EQ(b.get_table()[1024], a.get_table()[1024]);
    std::vector<float> zeros(4096, 0.0f);
    a.load_table(zeros.data());
    EXPECT_NEAR(b.get_table()[1024], 1.0f, 1e-7f);
}

TEST(DspPulsegen, LengthRoundsToTheNearestSample) {
    vxsp_pulsegen pulse;
    EXPECT_EQ(pulse.get_length_samples(), 441);
    EXPECT_EQ(pulse.next(), 0.0f); // silent until triggered
    pulse.set_length(2.0f);
    EXPECT_EQ(pulse.get_length_samples(), 88);
    pulse.trigger();
    for (int i = 0; i < 88; ++i) ASSERT_EQ(pulse.next(), 1.0f) << i;
    EXPECT_EQ(pulse.next(), 0.0f);
    EXPECT_EQ(pulse.next(), 0.0f);

    pulse.set_length(0.0113f); // 0.498 samples rounds down to none
    EXPECT_EQ(pulse.get_length_samples(), 0);
    pulse.set_length(0.0114f); // 0.503 rounds up to one
    EXPECT_EQ(pulse.get_length_samples(), 1);
}

TEST(DspPulsegen, RetriggerRestartsTheCount) {
    vxsp_pulsegen pulse;
    pulse.set_length(1.0f); // 44 samples
    pulse.trigger();
    for (int i = 0; i < 30; ++i) pulse.next();
    pulse.trigger();
    int ones = 0;
    while (pulse.next() == 1.0f) ++ones;
    EXPECT_EQ(ones, 44);
}

TEST(DspPulsegen, SampleRateChangeKeepsTheDuration) {
    vxsp_pulsegen pulse;
    pulse.set_length(2.0f);
    pulse.set_sample_rate(48000.0f);
    EXPECT_EQ(pulse.get_length_samples(), 96);
    pulse.set_sample_rate(96000.0f);
    EXPECT_EQ(pulse.get_length_samples(), 192);
    pulse.set_sample_rate(-1.0f);
    EXPECT_EQ(pulse.get_length_samples(), 192);
}

TEST(DspPulsegen, NegativeOrNanLengthGivesNoPulse) {
    vxsp_pulsegen pulse;
    for (float bad : {-5.0f, std::numeric_limits<float>::quiet_NaN()}) {
        pulse.set_length(bad);
        pulse.trigger();
        EXPECT_EQ(pulse.next(), 0.0f);
    }
}

TEST(DspNoise, SequenceStartsFromTheSeedAndStaysInRange) {
    vxsp_noise_white_fast noise;
    const double seed = 19.191919326782227;
    EXPECT_EQ(noise.get_state(), seed);
    const double s = seed * seed;
    EXPECT_EQ(noise.next(), static_cast<float>(s - std::floor(s) - 0.5));

    double sum = 0.0, sum_sq = 0.0;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        const float v = noise.next();
        ASSERT_GE(v, -0.5f);
        ASSERT_LT(v, 0.5f);
        sum += v;
        sum_sq += static_cast<double>(v) * v;
    }
    // White and uniform: zero mean, variance 1/12.
    EXPECT_NEAR(sum / n, 0.0, 0.01);
    EXPECT_NEAR(sum_sq / n, 1.0 / 12.0, 0.005);
}

// The generator takes the whole part of the squared state by clearing mantissa bits once the
// state is in its usual range; every value must still be the one the plain formula gives, from
// the default seed and from seeds outside that range (whose first value needs the formula),
// whether it comes from next() or from a run the voice holds.
TEST(DspNoise, EveryValueIsTheFractionOfTheSquaredState) {
    for (double seed :
         {vxsp_noise_white_fast::default_seed, 19.0, 19.999999999, 3.0, -7.25, 46339.5, 0.0}) {
        vxsp_noise_white_fast noise(seed);
        double state = seed;
        auto expected = [&state] {
            const double s = state * state;
            const double r = s - static_cast<double>(static_cast<int32_t>(s));
            state = r + 19.0;
            return static_cast<float>(r - 0.5);
        };
        for (int i = 0; i < 150000; ++i) {
            ASSERT_EQ(noise.next(), expected()) << "seed " << seed << " value " << i;
            ASSERT_EQ(noise.get_state(), state) << "seed " << seed << " value " << i;
        }
        for (int length : {1, 2, 255, 1000, 3, 148739}) {
            auto run = noise.begin_run();
            for (int i = 0; i < length; ++i)
                ASSERT_EQ(run.next(), expected()) << "seed " << seed << " run of " << length;
            noise.end_run(run);
            ASSERT_EQ(noise.get_state(), state) << "seed " << seed << " run of " << length;
        }
    }
}

TEST(DspNoise, SameSeedSameSequence) {
    vxsp_noise_white_fast a, b;
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(a.next(), b.next());
    b.set_seed(vxsp_noise_white_fast::default_seed);
    vxsp_noise_white_fast c;
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(b.next(), c.next());
}

TEST(DspNoise, SpectrumIsRoughlyFlat) {
    vxsp_noise_white_fast noise;
    std::vector<float> x(1 << 16);
    for (float& v : x) v = noise.next();
    double low = 0.0, high = 0.0;
    for (double f : {200.0, 500.0, 1000.0}) low += tone_amplitude(x, f, 44100.0);
    for (double f : {8000.0, 12000.0, 18000.0}) high += tone_amplitude(x, f, 44100.0);
    EXPECT_NEAR(low / high, 1.0, 0.6);
}

TEST(DspNoise, UnusableSeedsFallBackToTheDefault) {
    vxsp_noise_white_fast noise(1e12);
    EXPECT_EQ(noise.get_state(), vxsp_noise_white_fast::default_seed);
    noise.set_seed(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(noise.get_state(), vxsp_noise_white_fast::default_seed);
    noise.set_seed(3.0);
    EXPECT_EQ(noise.get_state(), 3.0);
}

} // namespace

#include "export/WavWriter.h"
#include "render/LevelMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sndfile.h>
#include <string>
#include <unistd.h>
#include <vector>

using kavrel::exporting::SampleFormat;
using kavrel::exporting::WavWriter;
using kavrel::render::LevelMeter;

TEST(WavWriter, ClipsIntegerFilesAndSilencesNonFiniteSamples) {
    std::string path = "/tmp/kavrel_wav_writer_" + std::to_string(getpid()) + ".wav";
    WavWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(path, 2, 48000, SampleFormat::Pcm16, 3, error)) << error;
    std::vector<float> frames{1.5f, -1.5f, 0.5f, NAN, INFINITY, -0.25f};
    ASSERT_TRUE(writer.write(frames.data(), 3, error)) << error;
    ASSERT_TRUE(writer.close(error)) << error;
    EXPECT_EQ(writer.samplesOverFullScale(), 2);
    EXPECT_EQ(writer.nonFiniteSamples(), 2);
    EXPECT_FALSE(writer.isRf64());

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(info.frames, 3);
    short read[6] = {};
    EXPECT_EQ(sf_readf_short(file, read, 3), 3);
    sf_close(file);
    std::remove(path.c_str());
    // Over full scale stays at the rails instead of wrapping to the opposite sign.
    EXPECT_EQ(read[0], 32767);
    EXPECT_EQ(read[1], -32768);
    EXPECT_NEAR(read[2], 16384, 1);
    EXPECT_EQ(read[3], 0);
    EXPECT_EQ(read[4], 0);
    EXPECT_NEAR(read[5], -8192, 1);
}

TEST(WavWriter, DiscardRemovesTheUnfinishedFileAndOpenReportsUnwritablePaths) {
    std::string path = "/tmp/kavrel_wav_discard_" + std::to_string(getpid()) + ".wav";
    WavWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(path, 12, 44100, SampleFormat::Float32, 10, error)) << error;
    writer.discard();
    EXPECT_NE(access(path.c_str(), F_OK), 0);

    EXPECT_FALSE(writer.open("/nonexistent/dir/out.wav", 2, 44100, SampleFormat::Pcm24, 1, error));
    EXPECT_NE(error.find("/nonexistent/dir/out.wav"), std::string::npos) << error;
}

TEST(WavWriter, RendersTooLargeForRiffBecomeRf64) {
    std::string path = "/tmp/kavrel_wav_rf64_" + std::to_string(getpid()) + ".wav";
    WavWriter writer;
    std::string error;
    // Twelve float channels for an hour and a half at 48 kHz exceed the 4 GiB a RIFF size holds.
    ASSERT_TRUE(writer.open(path, 12, 48000, SampleFormat::Float32, 48000LL * 5400, error));
    EXPECT_TRUE(writer.isRf64());
    std::vector<float> frame(12, 0.5f);
    ASSERT_TRUE(writer.write(frame.data(), 1, error)) << error;
    ASSERT_TRUE(writer.close(error)) << error;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    sf_close(file);
    std::remove(path.c_str());
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_RF64);
    EXPECT_EQ(info.frames, 1);
    EXPECT_EQ(info.channels, 12);
}

TEST(LevelMeter, ReadsPeakAndRmsInDbfsPerGroupOfChannels) {
    const int n = 48000;
    std::vector<float> sine(n), quiet(n), silence(n, 0.0f);
    for (int i = 0; i < n; ++i) {
        sine[i] = static_cast<float>(std::sin(2.0 * 3.141592653589793 * 1000.0 * i / n));
        quiet[i] = 0.1f * sine[i];
    }
    LevelMeter meter(4);
    meter.add(0, sine.data(), n);
    meter.add(1, sine.data(), n);
    meter.add(2, quiet.data(), n);
    meter.add(3, silence.data(), n);
    meter.addFrames(n);
    EXPECT_NEAR(meter.peakDb(0, 2), 0.0, 0.01);
    EXPECT_NEAR(meter.rmsDb(0, 2), -3.01, 0.01);
    EXPECT_NEAR(meter.peakDb(2, 1), -20.0, 0.01);
    // A pair with one silent side: the silent channel halves the power.
    EXPECT_NEAR(meter.rmsDb(2, 2), -23.01 - 3.01, 0.02);
    EXPECT_EQ(LevelMeter::format(meter.peakDb(3, 1)), "-inf");
    EXPECT_EQ(LevelMeter::format(meter.rmsDb(3, 1)), "-inf");
    EXPECT_EQ(LevelMeter::format(-3.0103), "-3.0");
}

TEST(BarPeaks, PutsEveryFrameInTheBarItStartsInWhateverTheBlocks) {
    // 10.5 frames a bar: bar 1 is frames 0..10, bar 2 frames 11..20, bar 3 from 21.
    const double barFrames = 10.5;
    std::vector<float> ramp(32);
    for (int i = 0; i < 32; ++i) ramp[i] = (i % 2 ? -1.0f : 1.0f) * 0.01f * static_cast<float>(i);
    kavrel::render::BarPeaks whole(2, barFrames), blocks(2, barFrames);
    whole.add(0, ramp.data(), 32, 0);
    for (int at = 0; at < 32; at += 3) blocks.add(0, ramp.data() + at, std::min(3, 32 - at), at);
    for (const auto* peaks : {&whole, &blocks}) {
        ASSERT_EQ(peaks->bars(), 3);
        EXPECT_NEAR(peaks->peakDb(0, 0, 2), 20.0 * std::log10(0.10), 1e-4); // frame 10
        EXPECT_NEAR(peaks->peakDb(1, 0, 2), 20.0 * std::log10(0.20), 1e-4); // frame 20
        EXPECT_NEAR(peaks->peakDb(2, 0, 2), 20.0 * std::log10(0.31), 1e-4); // frame 31
        EXPECT_TRUE(std::isinf(peaks->peakDb(0, 1, 1)));                    // channel 1 silent
        EXPECT_TRUE(std::isinf(peaks->peakDb(7, 0, 2)));                    // past the end
    }
}

#include "render/MidiFileSchedule.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

using kavrel::render::MidiFileSchedule;
using kavrel::render::readSmf;
using kavrel::render::SmfContents;
using Bytes = std::vector<unsigned char>;

namespace {

void append(Bytes& out, std::initializer_list<int> bytes) {
    for (int b : bytes) out.push_back(static_cast<unsigned char>(b));
}

void vlq(Bytes& out, uint32_t value) {
    Bytes reversed{static_cast<unsigned char>(value & 0x7F)};
    while (value >>= 7) reversed.push_back(static_cast<unsigned char>((value & 0x7F) | 0x80));
    out.insert(out.end(), reversed.rbegin(), reversed.rend());
}

Bytes header(int format, int tracks, int division) {
    Bytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6};
    append(out, {0, format, tracks >> 8, tracks & 0xFF, (division >> 8) & 0xFF, division & 0xFF});
    return out;
}

// A track from (delta, bytes) pairs; the end-of-track event is added unless asked not to.
struct TimedBytes {
    uint32_t delta;
    std::initializer_list<int> bytes;
};
Bytes track(std::initializer_list<TimedBytes> events, bool endOfTrack = true) {
    Bytes body;
    for (const auto& e : events) {
        vlq(body, e.delta);
        append(body, e.bytes);
    }
    if (endOfTrack) append(body, {0, 0xFF, 0x2F, 0});
    Bytes out{'M', 'T', 'r', 'k'};
    uint32_t n = static_cast<uint32_t>(body.size());
    append(out, {int(n >> 24), int((n >> 16) & 0xFF), int((n >> 8) & 0xFF), int(n & 0xFF)});
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

MidiFileSchedule scheduleOf(const Bytes& file, int rate) {
    SmfContents contents;
    std::string error;
    EXPECT_TRUE(readSmf(file.data(), file.size(), contents, error)) << error;
    MidiFileSchedule schedule;
    schedule.place(contents, rate);
    return schedule;
}

std::vector<int64_t> framesOf(const MidiFileSchedule& s) {
    std::vector<int64_t> frames;
    for (const auto& e : s.events()) frames.push_back(e.frame);
    return frames;
}

} // namespace

TEST(MidiFileSchedule, PlacesEventsThroughTheTempoMapOfAnyTrack) {
    // 96 ticks per quarter; 120 BPM, then 240 BPM from tick 192, set in the conductor track.
    Bytes file = join(
        {header(1, 2, 96),
         track({{0, {0xFF, 0x51, 3, 0x07, 0xA1, 0x20}}, {192, {0xFF, 0x51, 3, 0x03, 0xD0, 0x90}}}),
         track({{0, {0x99, 36, 100}},
                {96, {0x89, 36, 64}},
                {96, {0x99, 38, 90}},
                {96, {0xB9, 7, 100}},
                {96, {0x99, 40, 80}}})});
    MidiFileSchedule s = scheduleOf(file, 48000);
    EXPECT_EQ(framesOf(s), (std::vector<int64_t>{0, 24000, 48000, 60000, 72000}));
    EXPECT_EQ(s.events()[3].bytes[0], 0xB9);
    EXPECT_EQ(s.events()[3].bytes[2], 100);
    EXPECT_EQ(s.endFrame(), 72000);

    // Without any tempo event the file plays at 120 BPM; times round to the nearest frame.
    MidiFileSchedule plain =
        scheduleOf(join({header(0, 1, 3), track({{1, {0x90, 36, 1}}, {1, {0x90, 36, 2}}})}), 8000);
    EXPECT_EQ(framesOf(plain), (std::vector<int64_t>{1333, 2667}));
}

TEST(MidiFileSchedule, MergesTracksAndKeepsOnlyNotesAndControllers) {
    Bytes file = join({header(1, 2, 96),
                       track({{5, {0xC0, 3}},
                              {0, {0xE0, 0, 64}},
                              {5, {0x90, 36, 100}},
                              {0, {40, 90}}, // running status
                              {0, {0xF0, 2, 0x7E, 0xF7}},
                              {0, {0xFF, 0x01, 3, 'a', 'b', 'c'}},
                              {10, {38, 0}}}), // running status survives the meta event
                       track({{10, {0x91, 42, 80}}, {10, {0xB1, 1, 5}}},
                             false)}); // no end-of-track event: the chunk length suffices
    MidiFileSchedule s = scheduleOf(file, 19200); // 100 frames per tick
    ASSERT_EQ(s.events().size(), 5u);
    // Same tick: first track first, then file order within a track.
    EXPECT_EQ(framesOf(s), (std::vector<int64_t>{1000, 1000, 1000, 2000, 2000}));
    EXPECT_EQ(s.events()[0].bytes[1], 36);
    EXPECT_EQ(s.events()[1].bytes[1], 40);
    EXPECT_EQ(s.events()[2].bytes[1], 42);
    EXPECT_EQ(s.events()[3].bytes[0], 0x90); // note-on with velocity 0 is passed on as is
    EXPECT_EQ(s.events()[3].bytes[2], 0);
    EXPECT_EQ(s.events()[4].bytes[0], 0xB1);
    EXPECT_EQ(s.otherMessages(), 2u);
}

TEST(MidiFileSchedule, TimecodeDivisionCountsRealTime) {
    // 25 frames of 40 ticks: 1000 ticks a second, whatever a tempo event says.
    Bytes file = join({header(0, 1, (0xE7 << 8) | 40),
                       track({{0, {0xFF, 0x51, 3, 0x01, 0, 0}}, {500, {0x90, 36, 100}}})});
    EXPECT_EQ(framesOf(scheduleOf(file, 44100)), (std::vector<int64_t>{22050}));
    // 29 stands for 29.97 frames a second.
    Bytes ntsc = join({header(0, 1, (0xE3 << 8) | 100), track({{2997, {0x90, 36, 100}}})});
    EXPECT_EQ(framesOf(scheduleOf(ntsc, 44100)), (std::vector<int64_t>{44100}));
}

TEST(MidiFileSchedule, HandsEventsOutBlockByBlockWithTheirOffsets) {
    SmfContents contents; // at 48 kHz one tick is one frame
    contents.ticksPerQuarter = 24000;
    for (int64_t tick : {0, 511, 512, 1000, 1023, 1024})
        contents.events.push_back({tick, 0, {0x90, 36, 100}});
    contents.endTick = 1024;
    MidiFileSchedule s;
    s.place(contents, 48000);
    EXPECT_EQ(s.maxEventsPerBlock(512, 2048), 3u);
    EXPECT_EQ(s.maxEventsPerBlock(512, 1000), 2u);
    EXPECT_EQ(s.eventsFrom(1000), 3u);

    std::vector<vst::VstMidiEvent> block;
    auto deltas = [&] {
        std::vector<int> d;
        for (const auto& e : block) d.push_back(e.deltaFrames);
        return d;
    };
    s.takeBlock(0, 512, block);
    EXPECT_EQ(deltas(), (std::vector<int>{0, 511}));
    EXPECT_EQ(block[0].type, vst::kVstMidiType);
    EXPECT_EQ(block[0].byteSize, 32);
    EXPECT_EQ(static_cast<unsigned char>(block[0].midiData[0]), 0x90);
    EXPECT_EQ(block[0].midiData[1], 36);
    s.takeBlock(512, 512, block);
    EXPECT_EQ(deltas(), (std::vector<int>{0, 488, 511}));
    s.takeBlock(1024, 100, block);
    EXPECT_EQ(deltas(), (std::vector<int>{0}));
    s.takeBlock(1124, 100, block);
    EXPECT_TRUE(block.empty());
    s.rewind();
    s.takeBlock(0, 2000, block);
    EXPECT_EQ(block.size(), 6u);
}

TEST(MidiFileSchedule, RejectsMalformedFilesWithTheirFault) {
    Bytes good = join({header(0, 1, 96), track({{0, {0x90, 36, 100}}})});
    Bytes truncated(good.begin(), good.end() - 3);
    Bytes longQuantity = join({header(0, 1, 96), track({{0, {}}}, false)});
    longQuantity.insert(longQuantity.end() - 1, {0xFF, 0xFF, 0xFF, 0xFF});
    // The chunk length must follow the insertion.
    longQuantity[21] = static_cast<unsigned char>(longQuantity.size() - 22);
    struct Case {
        const char* what;
        Bytes file;
        const char* message;
    } cases[] = {
        {"empty", {}, "not a Standard MIDI File"},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'm', 'i', 'd', 'i', ' ', 'f', 'i', 'l', 'e'},
         "not a Standard MIDI File"},
        {"truncated", truncated, "past the end of the file"},
        {"missing track", join({header(1, 2, 96), track({{0, {0x90, 36, 100}}})}),
         "announces 2 tracks but the file holds 1"},
        {"no status", join({header(0, 1, 96), track({{0, {36, 100}}})}), "status byte is needed"},
        {"status inside message", join({header(0, 1, 96), track({{0, {0x90, 36, 0x90}}})}),
         "inside a channel message"},
        {"long quantity", longQuantity, "longer than four bytes"},
        {"zero division", join({header(0, 1, 0), track({})}), "zero ticks"},
        {"format 2", join({header(2, 1, 96), track({})}), "format 2"},
        {"zero tempo", join({header(0, 1, 96), track({{0, {0xFF, 0x51, 3, 0, 0, 0}}})}),
         "tempo event of zero"},
        {"system message", join({header(0, 1, 96), track({{0, {0xF2, 0, 0}}})}),
         "cannot occur in a file"},
        {"meta past track", join({header(0, 1, 96), track({{0, {0xFF, 0x01, 9, 'a'}}}, false)}),
         "past the end of its track"},
    };
    for (const auto& c : cases) {
        SmfContents contents;
        std::string error;
        EXPECT_FALSE(readSmf(c.file.data(), c.file.size(), contents, error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find("at byte"), std::string::npos) << c.what << ": " << error;
    }

    MidiFileSchedule s;
    std::string error;
    EXPECT_FALSE(s.load("/nonexistent/song.mid", 44100, error));
    EXPECT_NE(error.find("/nonexistent/song.mid"), std::string::npos) << error;
    EXPECT_FALSE(s.load("/tmp", 44100, error));
}

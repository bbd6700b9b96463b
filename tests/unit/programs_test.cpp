// Programs, names and state chunks, including chunks that cannot be right.
#include "core/KavrelChunk.h"
#include "support/InProcessPlugin.h"
#include "support/MidiEvents.h"

#include <cmath>
#include <cstring>

using kavrel::test::InProcessPlugin;

namespace {

std::vector<uint8_t> chunkOf(vst::AEffect* effect, bool preset) {
    void* data = nullptr;
    auto size = effect->dispatcher(effect, vst::effGetChunk, preset ? 1 : 0, 0, &data, 0.0f);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

vst::intptr load(vst::AEffect* effect, std::vector<uint8_t> bytes, bool preset) {
    return effect->dispatcher(effect, vst::effSetChunk, preset ? 1 : 0,
                              static_cast<vst::intptr>(bytes.size()), bytes.data(), 0.0f);
}

void putU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

// Offsets inside the first pattern record of a program chunk.
constexpr size_t kPattern0 = 1080;
constexpr size_t kLockCounts = kPattern0 + 1932;

using ProgramsTest = InProcessPlugin;

} // namespace

TEST_F(ProgramsTest, FactoryBankLoadsWithNamesAndSizes) {
    EXPECT_EQ(host->programName(), "00 Kit - Light House");
    char name[64];
    ASSERT_EQ(host->dispatch(vst::effGetProgramNameIndexed, 2, 0, name), 1);
    EXPECT_STREQ(name, "02 Kit - Minimal "); // the trailing blank is part of the name
    ASSERT_EQ(host->dispatch(vst::effGetProgramNameIndexed, 47, 0, name), 1);
    EXPECT_STREQ(name, "47 Set - Thwacker");
    EXPECT_EQ(host->dispatch(vst::effGetProgramNameIndexed, 48, 0, name), 0);
    for (int p = 0; p < 48; ++p) {
        EXPECT_EQ(plugin->program(p).patterns[0].laneCount(), 120) << p;
        EXPECT_GE(plugin->programChunkSize(p), 299768) << p;
    }
}

TEST_F(ProgramsTest, InitNamesAreNumberedOnlyWhenRead) {
    host->dispatch(vst::effSetProgram, 0, 5);
    char init[] = "init";
    host->dispatch(vst::effSetProgramName, 0, 0, init);
    EXPECT_EQ(host->programName(), "init 6");
    char name[64];
    host->dispatch(vst::effGetProgramNameIndexed, 5, 0, name);
    EXPECT_STREQ(name, "init");
    char longName[] = "A name far longer than twenty-three characters";
    host->dispatch(vst::effSetProgramName, 0, 0, longName);
    EXPECT_EQ(host->programName(), "A name far longer than ");
}

TEST_F(ProgramsTest, BankRoundTripsByteForByte) {
    auto bank = chunkOf(effect, false);
    ASSERT_EQ(load(effect, bank, false), 1);
    EXPECT_EQ(chunkOf(effect, false), bank);
    EXPECT_EQ(plugin->currentPatternIndex(), 0);
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 0);
}

TEST_F(ProgramsTest, AProgramWithoutLocksHasTheDocumentedSize) {
    KavrelProgram program;
    for (int p = 0; p < 16; ++p) {
        for (int k = 0; k < 120; ++k) program.patterns[p].ensureLane(kavrel::kitParamAt(k));
        for (int key : plugin->parameters().patternParamSet) program.hasPatternValue[p][key] = 1;
    }
    EXPECT_EQ(kavrel::chunk::programSize(program), 299768u);
    program.patterns[3].setLocked(0, 5, true);
    program.patterns[9].setLocked(2, 130, true);
    EXPECT_EQ(kavrel::chunk::programSize(program), 299776u);
}

TEST_F(ProgramsTest, APresetChangesOnlyTheCurrentSlot) {
    host->dispatch(vst::effSetProgram, 0, 7);
    auto preset = chunkOf(effect, true);
    auto before = chunkOf(effect, false);
    host->dispatch(vst::effSetProgram, 0, 3);
    ASSERT_EQ(load(effect, preset, true), 1);
    char name[64];
    host->dispatch(vst::effGetProgramNameIndexed, 3, 0, name);
    EXPECT_STREQ(name, "07 Kit - Paid In Full");
    host->dispatch(vst::effGetProgramNameIndexed, 7, 0, name);
    EXPECT_STREQ(name, "07 Kit - Paid In Full");
    host->dispatch(vst::effGetProgramNameIndexed, 4, 0, name);
    EXPECT_STREQ(name, "04 Kit - Tiny IDM");
    auto after = chunkOf(effect, false);
    const size_t slot = static_cast<size_t>(plugin->programChunkSize(0));
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 3 * slot, before.begin()));
}

TEST_F(ProgramsTest, APatternWithFewerLanesComesBackWithAll) {
    KavrelProgram sparse;
    for (int key : plugin->parameters().patternParamSet)
        for (int p = 0; p < 16; ++p) sparse.hasPatternValue[p][key] = 1;
    sparse.patterns[0].ensureLane(11);
    sparse.patterns[0].lanes[11][4] = 0.9f;
    std::vector<uint8_t> bytes(kavrel::chunk::programSize(sparse));
    kavrel::chunk::writeProgram(sparse, bytes.data());
    ASSERT_EQ(load(effect, bytes, true), 1);
    land();
    EXPECT_EQ(plugin->program(0).patterns[0].laneCount(), 120);
    EXPECT_FLOAT_EQ(plugin->program(0).patterns[0].lanes[11][4], 0.9f);
    EXPECT_EQ(plugin->programChunkSize(0), 299768);
}

TEST_F(ProgramsTest, TruncatedChunksAreRefusedWithoutChange) {
    auto preset = chunkOf(effect, true);
    auto bank = chunkOf(effect, false);
    std::vector<size_t> cuts;
    for (size_t at = 0; at < 8192; ++at) cuts.push_back(at);
    for (size_t at = 8192; at < preset.size(); at += 4099) cuts.push_back(at);
    cuts.push_back(preset.size() - 1);
    for (size_t cut : cuts) {
        std::vector<uint8_t> shorter(preset.begin(), preset.begin() + cut);
        if (shorter.empty()) shorter.push_back(0);
        ASSERT_EQ(load(effect, shorter, true), 0) << cut;
    }
    std::vector<uint8_t> shortBank(bank.begin(), bank.end() - 1);
    EXPECT_EQ(load(effect, shortBank, false), 0);
    EXPECT_EQ(chunkOf(effect, false), bank);
    // Room to spare after the content is fine.
    preset.resize(preset.size() + 100, 0xee);
    EXPECT_EQ(load(effect, preset, true), 1);
}

TEST_F(ProgramsTest, ImpossibleCountsAndIndicesAreRefused) {
    const auto bank = chunkOf(effect, false);
    const auto good = chunkOf(effect, true);
    const size_t laneCount = kLockCounts + 12 * 4; // no locks in the placeholder kits
    struct Corruption {
        size_t at;
        uint32_t value;
    } corruptions[] = {
        {kLockCounts, 0xffffffffu},       // negative lock count
        {kLockCounts, 121},               // more locks than kit parameters
        {laneCount, 121},                 // more than 120 lanes
        {laneCount, 0x80000000u},         // negative lane count
        {laneCount + 4, 108},             // a lane for a parameter outside the kit
        {laneCount + 4, 5000},            // a lane index past every parameter
        {laneCount + 4 + 120 * 132, 262}, // a lane flag outside the kit
    };
    for (const Corruption& c : corruptions) {
        auto bad = good;
        putU32(bad, c.at, c.value);
        EXPECT_EQ(load(effect, bad, true), 0) << c.at << " " << c.value;
    }
    auto lockedOutside = good;
    putU32(lockedOutside, kLockCounts, 1);
    lockedOutside.insert(lockedOutside.begin() + kLockCounts + 4, {200, 0, 0, 0});
    EXPECT_EQ(load(effect, lockedOutside, true), 0);
    EXPECT_EQ(chunkOf(effect, false), bank);
    EXPECT_EQ(load(effect, {}, true), 0);
}

TEST_F(ProgramsTest, ValuesOutsideTheRangeAreClampedWhenLoaded) {
    auto preset = chunkOf(effect, true);
    const float nan = std::nanf("");
    std::memcpy(&preset[28 + 4 * 0], &nan, 4); // Kickdrum Tune
    const float big = 7.0f;
    std::memcpy(&preset[28 + 4 * 118], &big, 4); // Kickdrum Level
    const float negative = -2.0f;
    std::memcpy(&preset[kPattern0 + 384], &negative, 4); // first velocity
    ASSERT_EQ(load(effect, preset, true), 1);
    land();
    EXPECT_EQ(get(0), 0.0f);
    EXPECT_EQ(get(118), 1.0f);
    EXPECT_EQ(plugin->program(0).patterns[0].velocities[0][0], 0.0f);
}

TEST_F(ProgramsTest, ProgramRecallHonoursMuteSoloAndLevelOrder) {
    set(154 + 3, 1.0f); // mute the low tom in this program
    set(166 + 2, 1.0f); // solo snare 9
    setReal(129, -12.0f);
    set(81, 1.0f); // More Cowbell
    host->dispatch(vst::effSetProgram, 0, 1);
    host->dispatch(vst::effSetProgram, 0, 0);
    land();
    EXPECT_EQ(plugin->soloParameter(), 168);
    EXPECT_GT(plugin->gainOf(2), 0.0f);
    EXPECT_EQ(plugin->gainOf(3), 0.0f);
    EXPECT_EQ(plugin->gainOf(11), 0.0f); // soloed away
    set(168, 0.0f);
    // After the recall the cowbell follows its level; More Cowbell is not applied again.
    host->dispatch(vst::effSetProgram, 0, 1);
    host->dispatch(vst::effSetProgram, 0, 0);
    land();
    EXPECT_NEAR(plugin->gainOf(11), std::pow(10.0f, -12.0f / 20.0f), 1e-3);
}

// Clear and Random Fill act when they are set, not when a program or a project comes back:
// a bank saved with them on reloads to exactly the bytes it was saved as.
TEST_F(ProgramsTest, StoredActionsDoNotActWhenRecalled) {
    plugin->setStep(0, 3, true);
    set(226, 1.0f); // KD Clear: clears now
    EXPECT_EQ(plugin->pattern().steps[0][3], 0);
    plugin->setStep(0, 3, true); // entered again after the clear
    set(238 + 1, 1.0f);          // S8 Random Fill: rolls now
    const auto saved = chunkOf(effect, false);
    for (int reload = 0; reload < 2; ++reload) {
        ASSERT_EQ(load(effect, saved, false), 1);
        land();
        EXPECT_EQ(chunkOf(effect, false), saved) << reload;
    }
    EXPECT_EQ(plugin->pattern().steps[0][3], 0xff);
    EXPECT_EQ(get(226), 1.0f);
    host->dispatch(vst::effSetProgram, 0, 1);
    host->dispatch(vst::effSetProgram, 0, 0);
    land();
    EXPECT_EQ(plugin->pattern().steps[0][3], 0xff);
}

// The pattern that was selected comes back with the program, and the Pattern parameter agrees,
// however the pattern was chosen.
TEST_F(ProgramsTest, TheSelectedPatternComesBackWithTheProgram) {
    setReal(114, 5.0f); // pattern 6
    ASSERT_EQ(plugin->currentPatternIndex(), 5);
    plugin->setStep(4, 7, true);
    auto saved = chunkOf(effect, false);
    host->dispatch(vst::effSetProgram, 0, 2);
    land();
    ASSERT_EQ(load(effect, saved, false), 1);
    land();
    EXPECT_EQ(plugin->currentPatternIndex(), 5);
    EXPECT_NEAR(plugin->parameters().getRealValue(114), 5.0f, 1e-4);
    EXPECT_EQ(plugin->pattern().steps[4][7], 0xff);

    // Chosen by a MIDI note while stopped: the parameter follows, and so does the project.
    host->process(16, {kavrel::test::noteOn(60 + 9)});
    ASSERT_EQ(plugin->currentPatternIndex(), 9);
    EXPECT_NEAR(plugin->parameters().getRealValue(114), 9.0f, 1e-4);
    saved = chunkOf(effect, true);
    setReal(114, 0.0f);
    ASSERT_EQ(load(effect, saved, true), 1);
    land();
    EXPECT_EQ(plugin->currentPatternIndex(), 9);
}

// A program change or chunk load reaches the engine whole between two blocks; until then the
// host already reads the new values, and values it sets after the change stay set.
TEST_F(ProgramsTest, ProgramChangesLandBetweenBlocks) {
    const float kitTune = get(0);
    host->dispatch(vst::effSetProgram, 0, 3);
    float newTune = plugin->program(3).params[0];
    ASSERT_NE(newTune, kitTune);
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 3);
    EXPECT_EQ(get(0), newTune);
    EXPECT_EQ(plugin->parameters().getNormValue(0), kitTune); // the engine has not seen it
    set(118, 0.25f);                                          // set after the change
    land();
    EXPECT_EQ(plugin->parameters().getNormValue(0), newTune);
    EXPECT_EQ(get(118), 0.25f);
    EXPECT_EQ(plugin->program(3).params[118], 0.25f);

    // A pattern chosen before the change lands is the new program's pattern, with its values.
    host->dispatch(vst::effSetProgram, 0, 5);
    setReal(114, 4.0f);
    land();
    EXPECT_EQ(plugin->currentPatternIndex(), 4);
    for (int index : {108, 190, 202})
        EXPECT_EQ(get(index), plugin->program(5).patternValues[4][index]) << index;
    host->dispatch(vst::effSetProgram, 0, 3);
    land();

    // A preset for the playing slot is staged: the slot changes with the block, not before.
    auto preset = chunkOf(effect, true);
    std::vector<uint8_t> edited = preset;
    edited[kPattern0 + 0 * 32 + 1] = 0xff; // kick, step 1
    edited[kPattern0 + 0 * 32 + 2] = 0x00;
    ASSERT_EQ(load(effect, edited, true), 1);
    EXPECT_EQ(chunkOf(effect, true), edited); // what the host saves already holds it
    EXPECT_NE(plugin->program(3).patterns[0].steps[0][1], 0xff);
    land();
    EXPECT_EQ(plugin->program(3).patterns[0].steps[0][1], 0xff);

    // Without audio (suspended), changes go in at once.
    host->suspend();
    host->dispatch(vst::effSetProgram, 0, 4);
    EXPECT_EQ(plugin->parameters().getNormValue(0), plugin->program(4).params[0]);
}

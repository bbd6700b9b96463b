// Programs, names and state chunks, including chunks that cannot be right.
#include "core/KavrelChunk.h"
#include "core/KavrelCompactChunk.h"
#include "support/InProcessPlugin.h"
#include "support/MidiEvents.h"

#include <cmath>
#include <cstring>
#include <iterator>
#include <zlib.h>

using kavrel::test::InProcessPlugin;

namespace {

std::vector<uint8_t> chunkOf(vst::AEffect* effect, bool preset) {
    void* data = nullptr;
    auto size = effect->dispatcher(effect, vst::effGetChunk, preset ? 1 : 0, 0, &data, 0.0f);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

// The legacy layout of a chunk the plug-in handed out compact.
std::vector<uint8_t> expand(const std::vector<uint8_t>& compact) {
    std::vector<uint8_t> legacy;
    int32_t program = -1;
    EXPECT_TRUE(kavrel::chunk::decodeCompact(compact.data(), compact.size(), legacy, program));
    return legacy;
}

std::vector<uint8_t> legacyChunkOf(vst::AEffect* effect, bool preset) {
    return expand(chunkOf(effect, preset));
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

// The bank as releases before the compact form handed it out: the programs back to back.
std::vector<uint8_t> legacyBankOf(Kavrel& plugin) {
    std::vector<uint8_t> bank;
    for (int i = 0; i < Kavrel::kNumPrograms; ++i) {
        const size_t at = bank.size();
        bank.resize(at + kavrel::chunk::programSize(plugin.program(i)));
        kavrel::chunk::writeProgram(plugin.program(i), bank.data() + at);
    }
    return bank;
}

uint32_t le32(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(bytes.at(at + i)) << (8 * i);
    return v;
}

// Rewrites a header field of a first-form compact chunk and signs it again, as a writer of
// that value would have.
void resign(std::vector<uint8_t>& compact, size_t at, uint32_t value) {
    putU32(compact, at, value);
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, compact.data(), 20);
    crc = crc32(crc, compact.data() + 24, static_cast<uInt>(le32(compact, 16)));
    putU32(compact, 20, static_cast<uint32_t>(crc));
}

// The same for a field of a chunk of pieces (header or piece table).
void resignPieces(std::vector<uint8_t>& compact, size_t at, uint32_t value) {
    putU32(compact, at, value);
    const size_t table = 12 * size_t(le32(compact, 12) < 64 ? le32(compact, 12) : 1);
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, compact.data(), 16);
    crc = crc32(crc, compact.data() + 20, static_cast<uInt>(table));
    putU32(compact, 16, static_cast<uint32_t>(crc));
}

// A chunk of one piece around any legacy bytes, as a writer of them would make it.
std::vector<uint8_t> onePiece(const std::vector<uint8_t>& legacy) {
    std::vector<uint8_t> deflated, out;
    EXPECT_TRUE(kavrel::chunk::deflatePiece(legacy.data(), legacy.size(), deflated));
    kavrel::chunk::Piece piece;
    piece.bytes = deflated.data();
    piece.size = static_cast<uint32_t>(deflated.size());
    piece.legacySize = static_cast<uint32_t>(legacy.size());
    piece.crc = kavrel::chunk::pieceChecksum(deflated.data(), deflated.size());
    EXPECT_TRUE(kavrel::chunk::encodePieces(&piece, 1, -1, out));
    return out;
}

TEST_F(ProgramsTest, BankRoundTripsByteForByteInBothForms) {
    const auto bank = chunkOf(effect, false);
    ASSERT_EQ(load(effect, bank, false), 1);
    EXPECT_EQ(chunkOf(effect, false), bank);
    EXPECT_EQ(plugin->currentPatternIndex(), 0);
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 0);
    // Sessions and files saved before the compact form, and in its first form (the bank as one
    // stream), load as they always did and save in pieces again.
    const auto legacy = legacyBankOf(*plugin);
    EXPECT_EQ(expand(bank), legacy);
    ASSERT_EQ(load(effect, legacy, false), 1);
    EXPECT_EQ(legacyBankOf(*plugin), legacy);
    EXPECT_EQ(chunkOf(effect, false), bank);
    std::vector<uint8_t> first;
    ASSERT_TRUE(kavrel::chunk::encodeCompact(legacy.data(), legacy.size(), 0, first));
    ASSERT_EQ(load(effect, first, false), 1);
    EXPECT_EQ(legacyBankOf(*plugin), legacy);
    EXPECT_EQ(chunkOf(effect, false), bank);
}

TEST_F(ProgramsTest, ChunksGoOutCompactAndRecordTheCurrentProgram) {
    host->dispatch(vst::effSetProgram, 0, 9);
    const auto bank = chunkOf(effect, false);
    ASSERT_TRUE(kavrel::chunk::isCompact(bank.data(), bank.size()));
    EXPECT_NE(le32(bank, 0), 100u); // never mistaken for a legacy chunk
    EXPECT_EQ(le32(bank, 4), 2u);
    EXPECT_EQ(le32(bank, 8), 9u);
    ASSERT_EQ(le32(bank, 12), 48u); // a piece per program, each the size of its record
    size_t pieces = 20 + 12 * 48;
    for (int p = 0; p < 48; ++p) {
        EXPECT_EQ(le32(bank, 20 + 12 * p), static_cast<uint32_t>(plugin->programChunkSize(p)));
        pieces += le32(bank, 24 + 12 * p);
    }
    EXPECT_EQ(pieces, bank.size());
    // What a session with one instance holding the factory bank stores.
    EXPECT_LT(bank.size(), 400u * 1024u);

    const auto preset = chunkOf(effect, true);
    ASSERT_TRUE(kavrel::chunk::isCompact(preset.data(), preset.size()));
    EXPECT_EQ(le32(preset, 8), 0xffffffffu); // a program chunk loads into the current slot
    EXPECT_EQ(le32(preset, 12), 1u);
    EXPECT_EQ(le32(preset, 20), static_cast<uint32_t>(plugin->programChunkSize(9)));
    EXPECT_LT(preset.size(), 16u * 1024u);

    // A program chunk loads into the current slot whatever program it came from.
    host->dispatch(vst::effSetProgram, 0, 2);
    ASSERT_EQ(load(effect, preset, true), 1);
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 2);
    EXPECT_EQ(host->programName(), "09 Kit - Electrotron");
}

TEST_F(ProgramsTest, ABankKeepsTheCurrentProgramUnlessItRecordsOne) {
    host->dispatch(vst::effSetProgram, 0, 12);
    const auto compact = chunkOf(effect, false);
    const auto legacy = expand(compact);
    host->dispatch(vst::effSetProgram, 0, 30);
    ASSERT_EQ(load(effect, legacy, false), 1);
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 30);
    EXPECT_EQ(plugin->currentPatternIndex(), 0);
    ASSERT_EQ(load(effect, compact, false), 1);
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 12);
    EXPECT_EQ(host->programName(), "12 Kit - Grinder");
}

TEST_F(ProgramsTest, DamagedCompactChunksAreRefusedWithNothingChanged) {
    host->dispatch(vst::effSetProgram, 0, 4);
    auto bank = chunkOf(effect, false);
    auto preset = chunkOf(effect, true);
    const auto before = legacyBankOf(*plugin);
    auto refused = [&](std::vector<uint8_t>& bytes, size_t size, bool isPreset) {
        return effect->dispatcher(effect, vst::effSetChunk, isPreset ? 1 : 0,
                                  static_cast<vst::intptr>(size), bytes.data(), 0.0f) == 0;
    };
    // Cut short at every length.
    for (size_t cut = 1; cut < preset.size(); ++cut) ASSERT_TRUE(refused(preset, cut, true)) << cut;
    for (size_t cut = 1; cut < bank.size(); ++cut) ASSERT_TRUE(refused(bank, cut, false)) << cut;
    // One byte changed anywhere in a program, and in the header and throughout a bank.
    for (size_t at = 0; at < preset.size(); ++at) {
        preset[at] ^= 0xA5;
        ASSERT_TRUE(refused(preset, preset.size(), true)) << at;
        preset[at] ^= 0xA5;
    }
    for (size_t at = 0; at < bank.size(); at += at < 64 ? 1 : 61) {
        bank[at] ^= 0x01;
        ASSERT_TRUE(refused(bank, bank.size(), false)) << at;
        bank[at] ^= 0x01;
    }
    // Signed correctly, yet not what this release writes or can use: in the first compact
    // form, still read...
    std::vector<uint8_t> first;
    const auto legacyPreset = expand(preset);
    ASSERT_TRUE(kavrel::chunk::encodeCompact(legacyPreset.data(), legacyPreset.size(), -1, first));
    struct Field {
        size_t at;
        uint32_t value;
    };
    const Field firstFields[] = {
        {4, 3},                    // a later format version
        {12, le32(first, 12) + 1}, // expands to less than announced
        {12, le32(first, 12) - 1}, // expands to more than announced
        {12, 64u << 20},           // more than any bank, refused before allocating
        {16, le32(first, 16) - 1}, // the stream does not end where announced
    };
    auto refusedSigned = [&](const std::vector<uint8_t>& sound, const Field* fields, size_t count,
                             void (*sign)(std::vector<uint8_t>&, size_t, uint32_t)) {
        for (size_t k = 0; k < count; ++k) {
            auto bad = sound;
            sign(bad, fields[k].at, fields[k].value);
            EXPECT_TRUE(refused(bad, bad.size(), true)) << fields[k].at << " " << fields[k].value;
        }
    };
    refusedSigned(first, firstFields, std::size(firstFields), resign);
    // ... and in pieces.
    const Field pieceFields[] = {
        {4, 3},                     // a later format version
        {12, 2},                    // more pieces than the chunk holds
        {12, 0},                    // none
        {20, le32(preset, 20) + 1}, // expands to less than announced
        {20, le32(preset, 20) - 1}, // expands to more than announced
        {20, 64u << 20},            // more than any bank, refused before allocating
        {24, le32(preset, 24) - 1}, // the stream does not end where announced
    };
    refusedSigned(preset, pieceFields, std::size(pieceFields), resignPieces);
    // A sound compact chunk of either form around a legacy record that is not.
    auto legacy = expand(preset);
    putU32(legacy, kLockCounts, 121);
    std::vector<uint8_t> wrapped;
    ASSERT_TRUE(kavrel::chunk::encodeCompact(legacy.data(), legacy.size(), -1, wrapped));
    EXPECT_TRUE(refused(wrapped, wrapped.size(), true));
    auto wrappedPiece = onePiece(legacy);
    EXPECT_TRUE(refused(wrappedPiece, wrappedPiece.size(), true));
    // The first form and the same record in pieces load alike.
    EXPECT_FALSE(refused(first, first.size(), true));
    EXPECT_TRUE(refused(preset, preset.size(), false)); // one program is not a bank

    EXPECT_EQ(legacyBankOf(*plugin), before);
    EXPECT_EQ(host->dispatch(vst::effGetProgram), 4);
    // Intact, with room to spare after it, both load.
    preset.resize(preset.size() + 100, 0xee);
    EXPECT_FALSE(refused(preset, preset.size(), true));
    EXPECT_FALSE(refused(bank, bank.size(), false));
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
    auto before = legacyChunkOf(effect, false);
    host->dispatch(vst::effSetProgram, 0, 3);
    ASSERT_EQ(load(effect, preset, true), 1);
    char name[64];
    host->dispatch(vst::effGetProgramNameIndexed, 3, 0, name);
    EXPECT_STREQ(name, "07 Kit - Paid In Full");
    host->dispatch(vst::effGetProgramNameIndexed, 7, 0, name);
    EXPECT_STREQ(name, "07 Kit - Paid In Full");
    host->dispatch(vst::effGetProgramNameIndexed, 4, 0, name);
    EXPECT_STREQ(name, "04 Kit - Tiny IDM");
    auto after = legacyChunkOf(effect, false);
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

TEST_F(ProgramsTest, TruncatedLegacyChunksAreRefusedWithoutChange) {
    auto preset = legacyChunkOf(effect, true);
    auto bank = legacyChunkOf(effect, false);
    std::vector<size_t> cuts;
    for (size_t at = 0; at < 8192; ++at) cuts.push_back(at);
    for (size_t at = 8192; at < preset.size(); at += 4099) cuts.push_back(at);
    cuts.push_back(preset.size() - 1);
    for (size_t cut : cuts) {
        // Cut 0 stands for a chunk of one zero byte.
        std::vector<uint8_t> shorter(preset.begin(), preset.begin() + (cut ? cut : 1));
        if (!cut) shorter[0] = 0;
        ASSERT_EQ(load(effect, shorter, true), 0) << cut;
    }
    std::vector<uint8_t> shortBank(bank.begin(), bank.end() - 1);
    EXPECT_EQ(load(effect, shortBank, false), 0);
    EXPECT_EQ(legacyChunkOf(effect, false), bank);
    // Room to spare after the content is fine.
    preset.resize(preset.size() + 100, 0xee);
    EXPECT_EQ(load(effect, preset, true), 1);
}

TEST_F(ProgramsTest, ImpossibleCountsAndIndicesAreRefused) {
    const auto bank = chunkOf(effect, false);
    const auto good = legacyChunkOf(effect, true);
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
    auto preset = legacyChunkOf(effect, true);
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
    land();
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
    {
        const auto saved = legacyChunkOf(effect, true); // a save before the landing holds it
        float level;
        std::memcpy(&level, &saved[28 + 4 * 118], 4);
        EXPECT_EQ(level, 0.25f);
    }
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

    // A preset for the playing slot is staged: what plays changes with the block, not before.
    std::vector<uint8_t> edited = legacyChunkOf(effect, true);
    edited[kPattern0 + 0 * 32 + 1] = 0xff; // kick, step 1
    edited[kPattern0 + 0 * 32 + 2] = 0x00;
    ASSERT_EQ(load(effect, edited, true), 1);
    EXPECT_EQ(legacyChunkOf(effect, true), edited); // what the host saves already holds it
    EXPECT_NE(plugin->pattern().steps[0][1], 0xff);
    land();
    EXPECT_EQ(plugin->pattern().steps[0][1], 0xff);

    // Without audio (suspended), changes go in at once.
    host->suspend();
    host->dispatch(vst::effSetProgram, 0, 4);
    EXPECT_EQ(plugin->parameters().getNormValue(0), plugin->program(4).params[0]);
}

// MIDI input: voice notes at their sample, controllers, learn, and the assignments file.
#include "params/KavrelMidiAssignments.h"
#include "support/InProcessPlugin.h"
#include "support/MidiEvents.h"

#include <fstream>
#include <sstream>

using kavrel::test::InProcessPlugin;
using kavrel::test::midiEvent;
namespace fs = std::filesystem;

namespace {

int firstSound(const std::vector<std::vector<float>>& outputs) {
    for (size_t i = 0; i < outputs[0].size(); ++i)
        for (const auto& channel : outputs)
            if (channel[i] != 0.0f) return static_cast<int>(i);
    return -1;
}

std::string readFile(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class MidiInputTest : public InProcessPlugin {
protected:
    void SetUp() override {
        folder = kavrel::test::isolateSettingsFolder();
        fs::remove_all(folder);
        InProcessPlugin::SetUp();
    }
    fs::path file() const { return folder / kavrel::assignments::kFileName; }
    fs::path folder;
};

} // namespace

TEST_F(MidiInputTest, ANoteSoundsFromItsOwnSample) {
    // A voice's first sample after a hit is its envelope's start; measure from there.
    host->process(512, {midiEvent(0x90, 36, 127, 0)});
    const int onset = firstSound(host->outputs());
    ASSERT_GE(onset, 0);
    InProcessPlugin::SetUp();
    host->process(512, {midiEvent(0x90, 36, 127, 300)});
    EXPECT_EQ(firstSound(host->outputs()), 300 + onset);
}

TEST_F(MidiInputTest, EventsOutsideTheBlockAreHeldToItsEdges) {
    host->process(512, {midiEvent(0x90, 36, 127, 0)});
    const int onset = firstSound(host->outputs());
    InProcessPlugin::SetUp();
    host->process(512, {midiEvent(0x90, 36, 127, -7)});
    EXPECT_EQ(firstSound(host->outputs()), onset);
    InProcessPlugin::SetUp();
    host->process(512, {midiEvent(0x90, 36, 127, 5000)});
    const int late = firstSound(host->outputs()); // held to the last sample of the block
    EXPECT_TRUE(late == -1 || late == 511) << late;
    host->process(512);
    EXPECT_GE(firstSound(host->outputs()), 0);
}

TEST_F(MidiInputTest, NoteOnWithVelocityZeroAndNoteOffsDoNothing) {
    host->process(512, {midiEvent(0x90, 36, 0), midiEvent(0x80, 36, 100), midiEvent(0xE0, 0, 64)});
    auto energy = render(2048);
    for (double e : energy) EXPECT_EQ(e, 0.0);
}

TEST_F(MidiInputTest, ClosedHatNoteChokesTheOpenHatOnlyWhenAudible) {
    host->process(512, {midiEvent(0x90, 46, 127)});
    set(160, 1.0f); // mute the closed hat
    host->process(512, {midiEvent(0x90, 42, 127)});
    float openHat = 0.0f;
    for (float s : host->outputs()[0]) openHat = std::max(openHat, std::fabs(s));
    EXPECT_GT(openHat, 0.0f); // still ringing: a muted closed hat chokes nothing
    set(160, 0.0f);
    set(124, 0.0f); // closed hat level -60 dB: audible no more, but no choke either way
    setReal(124, 0.0f);
    set(161, 1.0f); // now mute the open hat so only the closed hat is heard
    host->process(512, {midiEvent(0x90, 42, 127)});
    EXPECT_GT(render(512)[0], 0.0);
}

TEST_F(MidiInputTest, MalformedEventListsAreSkipped) {
    std::vector<unsigned char> storage(sizeof(vst::VstEvents) + 4 * sizeof(void*), 0);
    auto* list = reinterpret_cast<vst::VstEvents*>(storage.data());
    vst::VstMidiEvent shortEvent = midiEvent(0x90, 36, 127);
    shortEvent.byteSize = 8;
    vst::VstMidiEvent sysex = midiEvent(0x90, 36, 127);
    sysex.type = vst::kVstSysExType;
    // The host allocates as many slots as events; the record declares two.
    auto** slots =
        reinterpret_cast<vst::VstEvent**>(storage.data() + offsetof(vst::VstEvents, events));
    list->numEvents = 3;
    slots[0] = nullptr;
    slots[1] = reinterpret_cast<vst::VstEvent*>(&shortEvent);
    slots[2] = reinterpret_cast<vst::VstEvent*>(&sysex);
    EXPECT_EQ(host->dispatch(vst::effProcessEvents, 0, 0, list), 1);
    list->numEvents = -5;
    EXPECT_EQ(host->dispatch(vst::effProcessEvents, 0, 0, list), 1);
    EXPECT_EQ(render(1024)[0], 0.0);
}

TEST_F(MidiInputTest, LearningTakesTwoMessagesOfTheSameController) {
    plugin->toggleLearn(111);
    EXPECT_TRUE(plugin->isLearning());
    host->process(64, {midiEvent(0xB0, 7, 10)});
    EXPECT_TRUE(plugin->isLearning());
    EXPECT_FALSE(plugin->controllers().contains(7, 111));
    host->process(64, {midiEvent(0xB0, 7, 20)});
    EXPECT_FALSE(plugin->isLearning());
    EXPECT_TRUE(plugin->controllers().contains(7, 111));
    // Written by the next call on the host's other threads, never on the audio thread.
    EXPECT_FALSE(fs::exists(file()));
    host->dispatch(vst::effEditIdle);
    EXPECT_EQ(readFile(file()), "111 7\n");
}

TEST_F(MidiInputTest, OneControllerDrivesSeveralParametersInOrder) {
    plugin->toggleLearn(111);
    host->process(64, {midiEvent(0xB0, 7, 1), midiEvent(0xB0, 7, 1)});
    plugin->toggleLearn(112);
    host->process(64, {midiEvent(0xB0, 8, 1), midiEvent(0xB0, 7, 1), midiEvent(0xB0, 7, 1)});
    host->process(64, {midiEvent(0xB0, 7, 127)});
    EXPECT_FLOAT_EQ(get(111), 1.0f);
    EXPECT_FLOAT_EQ(get(112), 1.0f);
    host->process(64, {midiEvent(0xB0, 123, 0), midiEvent(0xB0, 126, 0)});
    EXPECT_FLOAT_EQ(get(111), 1.0f);
}

TEST_F(MidiInputTest, ToggleLearnSwitchesWaitsAndUnlearns) {
    plugin->toggleLearn(20);
    plugin->toggleLearn(12); // waiting for 12 now
    EXPECT_EQ(plugin->learningParameter(), 12);
    host->process(64, {midiEvent(0xB0, 20, 1), midiEvent(0xB0, 20, 1)});
    EXPECT_TRUE(plugin->controllers().contains(20, 12));
    host->dispatch(vst::effEditIdle);
    plugin->toggleLearn(12);
    plugin->toggleLearn(12); // the same parameter again: forget its controllers
    EXPECT_FALSE(plugin->isLearning());
    EXPECT_FALSE(plugin->controllers().contains(20, 12));
    EXPECT_EQ(readFile(file()).find("12 "), std::string::npos);
}

TEST(AssignmentsFile, ReadsOnlySensibleLines) {
    fs::path folder = kavrel::test::isolateSettingsFolder() / "read-test";
    fs::create_directories(folder);
    std::ofstream(folder / kavrel::assignments::kFileName)
        << "111 7\n112 7\n12 -1\n300 5\n5 128\n-3 4\ngarbage\n9 9 9\n";
    KavrelControllerMap map;
    ASSERT_TRUE(kavrel::assignments::read(folder, map));
    int params[263];
    ASSERT_EQ(map.parametersOf(7, params), 2);
    EXPECT_EQ(params[0], 111);
    EXPECT_EQ(params[1], 112);
    EXPECT_EQ(map.size(), 3); // and "9 9" from the line with a third number
}

TEST(AssignmentsFile, CreatesAMissingFolderAndKeepsMemoryWhenItCannotWrite) {
    fs::path root = kavrel::test::isolateSettingsFolder() / "write-test";
    fs::remove_all(root);
    KavrelControllerMap map;
    map.assign(3, 40);
    EXPECT_TRUE(kavrel::assignments::write(root / "a" / "b", map));
    EXPECT_TRUE(fs::exists(root / "a" / "b" / kavrel::assignments::kFileName));
    // A file where the folder should be: nothing can be written, nothing is lost.
    std::ofstream(root / "blocked") << "x";
    EXPECT_FALSE(kavrel::assignments::write(root / "blocked", map));
    EXPECT_TRUE(map.contains(3, 40));
    KavrelControllerMap untouched;
    untouched.assign(1, 2);
    EXPECT_FALSE(kavrel::assignments::read(root / "blocked", untouched));
    EXPECT_TRUE(untouched.contains(1, 2));
}

TEST_F(MidiInputTest, AnInstanceReadsTheFileAtConstruction) {
    fs::create_directories(folder);
    std::ofstream(file()) << "111 7\n";
    InProcessPlugin::SetUp();
    host->process(64, {midiEvent(0xB0, 7, 0)});
    EXPECT_FLOAT_EQ(get(111), 0.0f);
}

// Two instances share the file: each learn or unlearn changes its own line in the file as it
// is on disk, never writes back a whole map that drops what the other learned.
TEST_F(MidiInputTest, TwoInstancesLearnDifferentControllersIntoOneFile) {
    kavrel::host::PluginHost second;
    std::string error;
    ASSERT_TRUE(second.instantiate(&kavrel::test::inProcessEntry, error)) << error;
    second.start(44100.0f, 512);
    auto* other = static_cast<Kavrel*>(second.effect()->object);

    plugin->toggleLearn(111);
    host->process(64, {midiEvent(0xB0, 20, 5), midiEvent(0xB0, 20, 5)});
    host->dispatch(vst::effEditIdle);
    other->toggleLearn(116);
    second.process(64, {midiEvent(0xB0, 21, 5), midiEvent(0xB0, 21, 5)});
    second.dispatch(vst::effEditIdle);
    std::string text = readFile(file());
    EXPECT_NE(text.find("111 20\n"), std::string::npos) << text;
    EXPECT_NE(text.find("116 21\n"), std::string::npos) << text;

    // Unlearning in the first instance removes only its parameter's line.
    plugin->toggleLearn(111);
    plugin->toggleLearn(111);
    text = readFile(file());
    EXPECT_EQ(text.find("111 "), std::string::npos) << text;
    EXPECT_NE(text.find("116 21\n"), std::string::npos) << text;
}

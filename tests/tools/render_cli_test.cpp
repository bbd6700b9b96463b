// Runs the kavrel-render executable as a user does and checks what it says and writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sndfile.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Result {
    int exitCode;
    std::string output; // stdout and stderr together
};

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class RenderCli : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kavrel_render_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        // The plug-in reads the machine's learned controller assignments; keep the user's own
        // out of the renders, and keep a seed from the environment out too.
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        unsetenv("KAVREL_SEED");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    Result run(const std::vector<std::string>& args) const { return run(KAVREL_RENDER_EXE, args); }

    Result run(const char* tool, const std::vector<std::string>& args) const {
        std::string command = shellQuoted(tool);
        for (const auto& a : args) command += " " + shellQuoted(a);
        command += " 2>&1";
        Result result{-1, {}};
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return result;
        char buffer[4096];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
        int status = pclose(pipe);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }

    void writeFile(const std::string& name, const std::vector<unsigned char>& bytes) const {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    bool exists(const std::string& name) const { return access(path(name).c_str(), F_OK) == 0; }

    std::vector<unsigned char> contents(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }

    std::string dir;
};

// A format 0 file, 96 ticks per quarter note at the default 120 BPM, around one track's events.
std::vector<unsigned char> midiFile(std::vector<unsigned char> events) {
    std::vector<unsigned char> file = {'M', 'T', 'h', 'd', 0,   0,   0,   6, 0, 0, 0,
                                       1,   0,   96,  'M', 'T', 'r', 'k', 0, 0, 0};
    events.insert(events.end(), {0, 0xFF, 0x2F, 0});
    file.push_back(static_cast<unsigned char>(events.size()));
    file.insert(file.end(), events.begin(), events.end());
    return file;
}

// A kick at 0, a snare at one quarter note (0.5 s) and a cowbell at four (2 s).
const std::vector<unsigned char> kSong =
    midiFile({0, 0x99, 36, 100, 0x60, 0x99, 38, 100, 0x82, 0x20, 0x99, 51, 100});

} // namespace

TEST_F(RenderCli, RejectsBadArgumentsWithAMessage) {
    const std::string out = path("out.wav");
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--out", out, "--frobnicate"}, "unknown option --frobnicate"},
        {{"--out"}, "--out needs a value"},
        {{"--out", out, "--bars"}, "--bars needs a value"},
        {{"--out", out, "--tempo", "--bars", "2"}, "--tempo needs a value"},
        {{"--bars", "2"}, "--out FILE.wav is required"},
        {{"--bars", "2", "--quiet"}, "--out FILE.wav is required"},
        {{"--out", out, "stray"}, "unexpected argument 'stray'"},
        {{"--out", out, "--program", "48"}, "--program: 48 is out of range (0..47)"},
        {{"--out", out, "--pattern", "0"}, "--pattern: 0 is out of range (1..16)"},
        {{"--out", out, "--pattern=17"}, "--pattern: 17 is out of range"},
        {{"--out", out, "--sync", "int", "--tempo", "251"}, "--tempo: 251 is out of range"},
        {{"--out", out, "--tempo", "49.5", "--sync", "int"}, "--tempo: 49.5 is out of range"},
        {{"--out", out, "--tempo", "1000"}, "--tempo: 1000 is out of range"},
        {{"--out", out, "--rate", "100"}, "--rate: 100 is out of range"},
        {{"--out", out, "--block", "0"}, "--block: 0 is out of range"},
        {{"--out", out, "--seconds", "-1"}, "--seconds: -1 is out of range"},
        {{"--out", out, "--seed", "4294967296"}, "--seed: 4294967296 is out of range"},
        {{"--out", out, "--bars", "four"}, "--bars: 'four' is not a whole number"},
        {{"--out", out, "--bars", "2.5"}, "is not a whole number"},
        {{"--out", out, "--tempo", "12abc"}, "--tempo: '12abc' is not a number"},
        {{"--out", out, "--tempo", "nan"}, "is not a number"},
        {{"--out", out, "--rate", "99999999999999999999"}, "out of range"},
        {{"--out", out, "--bars", "2", "--seconds", "3"}, "use one of them"},
        {{"--out", out, "--sync", "both"}, "not one of host, int, midi"},
        {{"--out", out, "--outputs", "stereo"}, "not one of mix, all"},
        {{"--out", out, "--format", "32"}, "not one of 16, 24, float"},
        {{"--out", out, "--param", "116"}, "is not INDEX=VALUE"},
        {{"--out", out, "--param", "116=1.5"}, "out of range (0..1"},
        {{"--out", out, "--param", "x=0.5"}, "is not a whole number"},
        {{"--out", out, "--param", "400=0.5"}, "parameters 0..262, not 400"},
        {{"--out=" + out, "--quiet=yes"}, "--quiet takes no value"},
        {{"--out", out, "--export-kit", path("kit")}, "use one or the other"},
        {{"--export-midi", path("p.mid"), "--passes", "0"}, "--passes: 0 is out of range"},
        {{"--out", out, "--passes", "4"}, "--passes needs --export-midi"},
    };
    for (const auto& c : cases) {
        Result r = run(c.args);
        std::string line = c.args.back();
        EXPECT_EQ(r.exitCode, 2) << line << "\n" << r.output;
        EXPECT_NE(r.output.find("kavrel-render: "), std::string::npos) << line;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << line << "\n" << r.output;
        EXPECT_FALSE(exists("out.wav")) << line;
    }
    Result help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("Usage: kavrel-render"), std::string::npos);
}

TEST_F(RenderCli, ReportsFilesItCannotUse) {
    writeFile("notes.txt", {'n', 'o', 't', ' ', 'a', ' ', 'l', 'i', 'b'});
    writeFile("broken.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T'});
    const std::string out = path("out.wav");
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--out", out, "--plugin", path("missing.so")}, "cannot load the plug-in"},
        {{"--out", out, "--plugin", path("notes.txt")}, "cannot load the plug-in"},
        {{"--out", out, "--midi", path("missing.mid")}, "missing.mid"},
        {{"--out", out, "--midi", path("broken.mid")}, "announces 1 track but the file holds 0"},
        {{"--out", out, "--midi", path("notes.txt")}, "not a Standard MIDI File"},
        {{"--out", path("no/such/dir/out.wav")}, "cannot write"},
    };
    for (const auto& c : cases) {
        Result r = run(c.args);
        std::string line = c.args.back();
        EXPECT_EQ(r.exitCode, 1) << line << "\n" << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << line << "\n" << r.output;
        EXPECT_FALSE(exists("out.wav")) << line;
    }

    // An output path naming an input would destroy it before it is read.
    writeFile("song.mid", kSong);
    Result clash = run({"--out", path("song.mid"), "--midi", path("song.mid")});
    EXPECT_EQ(clash.exitCode, 2) << clash.output;
    EXPECT_NE(clash.output.find("would overwrite"), std::string::npos) << clash.output;
    std::ifstream kept(path("song.mid"), std::ios::binary);
    EXPECT_EQ(std::vector<unsigned char>(std::istreambuf_iterator<char>(kept), {}), kSong);
}

TEST_F(RenderCli, WritesExactlyTheRequestedLengthAndLayout) {
    struct Case {
        std::vector<std::string> args;
        sf_count_t frames;
        int channels;
        int rate;
        int subtype;
    } cases[] = {
        // 2 bars of 4 quarters at 100 BPM: 4.8 s.
        {{"--bars", "2", "--tempo", "100", "--rate", "48000"}, 230400, 2, 48000, SF_FORMAT_PCM_24},
        // 1 bar at 133 BPM: 79578.9 frames, rounded; a block size that does not divide it.
        {{"--bars", "1", "--tempo", "133", "--block", "300", "--outputs", "all"},
         79579,
         12,
         44100,
         SF_FORMAT_PCM_24},
        {{"--seconds", "1.5", "--rate", "22050", "--format", "16", "--sync", "int", "--program",
          "3", "--pattern", "16"},
         33075,
         2,
         22050,
         SF_FORMAT_PCM_16},
        {{"--seconds", "0.25", "--format", "float", "--block", "1", "--param", "116=0.5"},
         11025,
         2,
         44100,
         SF_FORMAT_FLOAT},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), {"--out", path("out.wav")});
        Result r = run(args);
        ASSERT_EQ(r.exitCode, 0) << r.output;
        for (const char* pair : {"\nA ", "\nF ", "peak dBFS"})
            EXPECT_NE(r.output.find(pair), std::string::npos) << r.output;
        SF_INFO info{};
        SNDFILE* file = sf_open(path("out.wav").c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << r.output;
        sf_close(file);
        EXPECT_EQ(info.frames, c.frames) << r.output;
        EXPECT_EQ(info.channels, c.channels);
        EXPECT_EQ(info.samplerate, c.rate);
        EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_WAV);
        EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, c.subtype);
        std::remove(path("out.wav").c_str());
    }
}

TEST_F(RenderCli, SendsMidiFileEventsAndWarnsAboutThoseBeyondTheEnd) {
    writeFile("song.mid", kSong);
    // Output A turned down: the factory program's own levels are not what this is about.
    Result whole = run({"--out", path("a.wav"), "--midi", path("song.mid"), "--seconds", "3",
                        "--param", "115=0.5"});
    EXPECT_EQ(whole.exitCode, 0) << whole.output;
    EXPECT_NE(whole.output.find("3 events sent"), std::string::npos) << whole.output;
    EXPECT_EQ(whole.output.find("warning"), std::string::npos) << whole.output;

    Result cut = run({"--out", path("b.wav"), "--midi", path("song.mid"), "--seconds", "1",
                      "--param", "115=0.5"});
    EXPECT_EQ(cut.exitCode, 0) << cut.output;
    EXPECT_NE(cut.output.find("2 events sent"), std::string::npos) << cut.output;
    EXPECT_NE(cut.output.find("warning: not sent: 1 MIDI file event after the end"),
              std::string::npos)
        << cut.output;
}

TEST_F(RenderCli, AMidiFileNoteSoundsAtItsTime) {
    // A kick at one quarter note, 0.5 s at the file's 120 BPM; the sequencer waits for
    // stepping notes in MIDI sync, so nothing else sounds.
    writeFile("kick.mid", midiFile({0x60, 0x99, 36, 127}));
    Result r = run({"--out", path("kick.wav"), "--midi", path("kick.mid"), "--sync", "midi",
                    "--seconds", "1", "--block", "1", "--format", "float"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    SF_INFO info{};
    SNDFILE* file = sf_open(path("kick.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    size_t first = 0;
    while (first < samples.size() && samples[first] == 0.0f) ++first;
    // The voice starts at the note's frame (its first sample may be a zero crossing).
    EXPECT_GE(first / 2, 22050u);
    EXPECT_LE(first / 2, 22052u);
}

TEST_F(RenderCli, TheSeedDecidesTheRandomDraws) {
    // Random Fill of the kick row and Random Reset at every pattern start draw from the
    // plug-in's random source.
    auto render = [&](const std::string& name, const char* seed) {
        Result r = run({"--out", path(name), "--seconds", "2", "--seed", seed, "--sync", "int",
                        "--param", "238=1", "--param", "250=1", "--quiet"});
        EXPECT_EQ(r.exitCode, 0) << r.output;
        EXPECT_EQ(r.output, ""); // --quiet: nothing unless something is wrong
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::string first = render("1.wav", "1234");
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, render("2.wav", "1234"));
    EXPECT_NE(first, render("3.wav", "99"));
}

// The bank measurement asks only for bar peaks and writes no file: what it reads must be what
// a render to a file would have said, bar for bar, with nothing else printed.
TEST_F(RenderCli, BarPeaksWithoutAFileMeasureTheSameRender) {
    const std::vector<std::string> take = {
        "--program", "31",  "--pattern", "5",     "--bars",     "3",
        "--sync",    "int", "--tempo",   "94",    "--seed",     "7",
        "--outputs", "all", "--format",  "float", "--bar-peaks"};
    std::vector<std::string> withFile = take;
    withFile.insert(withFile.end(), {"--out", path("take.wav"), "--quiet"});
    const Result written = run(withFile);
    const Result measured = run(take);
    ASSERT_EQ(written.exitCode, 0) << written.output;
    ASSERT_EQ(measured.exitCode, 0) << measured.output;
    EXPECT_EQ(measured.output, written.output);
    EXPECT_EQ(std::count(measured.output.begin(), measured.output.end(), '\n'), 3);
    EXPECT_EQ(measured.output.rfind("bar 1: ", 0), 0u) << measured.output;
}

TEST_F(RenderCli, ExportsPatternsAsMidiFilesAndTheKitAsOneShots) {
    Result once = run({"--export-midi", path("once.mid"), "--program", "3", "--pattern", "1"});
    ASSERT_EQ(once.exitCode, 0) << once.output;
    EXPECT_NE(once.output.find("wrote " + path("once.mid")), std::string::npos) << once.output;
    const auto take = [&](const char* name) {
        Result r = run({"--export-midi", path(name), "--program", "3", "--passes", "4", "--seed",
                        "11", "--quiet"});
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return contents(name);
    };
    // The dice roll the same with the same seed; four passes are longer than one.
    EXPECT_EQ(take("a.mid"), take("b.mid"));
    EXPECT_GT(contents("a.mid").size(), contents("once.mid").size());

    Result kit = run({"--export-kit", dir, "--program", "3", "--rate", "48000"});
    ASSERT_EQ(kit.exitCode, 0) << kit.output;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".wav") continue;
        ++files;
        SF_INFO info{};
        SNDFILE* file = sf_open(entry.path().c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << entry.path();
        sf_close(file);
        EXPECT_EQ(info.samplerate, 48000);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    }
    EXPECT_EQ(files, 12) << kit.output;
}

TEST_F(RenderCli, SavesLoadsAndListsPresetFiles) {
    // Saving alone renders nothing and needs no --out.
    Result saved = run({"--save-fxb", path("a.fxb")});
    ASSERT_EQ(saved.exitCode, 0) << saved.output;
    const std::vector<unsigned char> factory = contents("a.fxb");
    ASSERT_GT(factory.size(), 160u);
    EXPECT_EQ(std::string(factory.begin(), factory.begin() + 4), "CcnK");

    Result again = run({"--load-fxb", path("a.fxb"), "--save-fxb", path("b.fxb")});
    ASSERT_EQ(again.exitCode, 0) << again.output;
    EXPECT_EQ(contents("b.fxb"), factory);

    // Program 24 saved, then loaded into slot 3 of the factory bank.
    ASSERT_EQ(run({"--program", "24", "--save-fxp", path("p24.fxp")}).exitCode, 0);
    Result mixed = run({"--program", "3", "--load-fxp", path("p24.fxp"), "--save-fxb",
                        path("mixed.fxb"), "--list-programs"});
    ASSERT_EQ(mixed.exitCode, 0) << mixed.output;
    EXPECT_NE(mixed.output.find("\n 3  24 Set - Light House\n"), std::string::npos) << mixed.output;
    EXPECT_NE(contents("mixed.fxb"), factory);

    // A render from a loaded bank plays --program of that bank.
    Result render = run({"--load-fxb", path("mixed.fxb"), "--program", "3", "--out",
                         path("out.wav"), "--seconds", "0.1"});
    ASSERT_EQ(render.exitCode, 0) << render.output;
    EXPECT_NE(render.output.find("program 3 \"24 Set - Light House\""), std::string::npos)
        << render.output;
}

TEST_F(RenderCli, ListsTheProgramsWithoutRendering) {
    Result r = run({"--list-programs", "--out", path("out.wav")});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.rfind(" 0  00 Kit - Light House\n 1  ", 0), 0u) << r.output;
    EXPECT_NE(r.output.find("\n47  "), std::string::npos) << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 48);
    EXPECT_FALSE(exists("out.wav"));
}

TEST_F(RenderCli, RefusesPresetFilesItCannotUse) {
    ASSERT_EQ(run({"--save-fxb", path("good.fxb"), "--save-fxp", path("good.fxp")}).exitCode, 0);
    std::vector<unsigned char> bank = contents("good.fxb");
    std::vector<unsigned char> cut(bank.begin(), bank.begin() + bank.size() / 2);
    writeFile("cut.fxb", cut);
    // A sound header over a chunk the plug-in cannot read.
    std::vector<unsigned char> scrambled = bank;
    for (size_t i = 160; i < scrambled.size(); i += 3) scrambled[i] = 0xA5;
    writeFile("scrambled.fxb", scrambled);

    const std::string out = path("out.wav");
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--out", out, "--load-fxb", path("cut.fxb")}, "cut.fxb: truncated"},
        {{"--out", out, "--load-fxb", path("scrambled.fxb")}, "the plug-in refused the bank"},
        {{"--out", out, "--load-fxb", path("good.fxp")}, "not a bank file"},
        {{"--out", out, "--load-fxp", path("good.fxb")}, "not a program file"},
        {{"--out", out, "--load-fxb", path("missing.fxb")}, "cannot read"},
        {{"--save-fxb", path("no/such/dir/a.fxb")}, "cannot save the bank"},
    };
    for (const auto& c : cases) {
        Result r = run(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args.back() << "\n" << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args.back() << r.output;
        EXPECT_FALSE(exists("out.wav"));
    }

    Result clash = run({"--out", path("good.fxb"), "--load-fxb", path("good.fxb")});
    EXPECT_EQ(clash.exitCode, 2) << clash.output;
    EXPECT_NE(clash.output.find("would overwrite"), std::string::npos) << clash.output;
    Result twice = run({"--save-fxb", path("x"), "--save-fxp", path("x")});
    EXPECT_EQ(twice.exitCode, 2) << twice.output;
    EXPECT_EQ(contents("good.fxb"), bank);
}

TEST_F(RenderCli, PresetToolRunsItsCommandsInOrder) {
    Result r =
        run(KAVREL_PRESET_EXE,
            {KAVREL_PLUGIN_FILE, "save-bank", path("a.fxb"), "save-program", "47", path("p47.fxp"),
             "program", "10", "load-program", path("p47.fxp"), "list", "save-bank", path("b.fxb"),
             "load-bank", path("a.fxb"), "save-bank", path("c.fxb")});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("\n10  47 Set - Thwacker\n"), std::string::npos) << r.output;
    EXPECT_NE(contents("b.fxb"), contents("a.fxb"));
    EXPECT_EQ(contents("c.fxb"), contents("a.fxb"));

    // Every command is checked before the first runs.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"save-bank", path("d.fxb"), "frobnicate"},
          {"save-bank", path("d.fxb"), "save-program", "48", path("e.fxp")},
          {"save-bank", path("d.fxb"), "program", "x"},
          {"save-bank", path("d.fxb"), "load-bank"}}) {
        std::vector<std::string> line = args;
        line.insert(line.begin(), KAVREL_PLUGIN_FILE);
        Result bad = run(KAVREL_PRESET_EXE, line);
        EXPECT_EQ(bad.exitCode, 2) << args.back() << "\n" << bad.output;
        EXPECT_FALSE(exists("d.fxb")) << args.back();
    }
    writeFile("bad.fxb", {'C', 'c', 'n', 'K', 0, 0});
    Result corrupt = run(KAVREL_PRESET_EXE, {KAVREL_PLUGIN_FILE, "load-bank", path("bad.fxb")});
    EXPECT_EQ(corrupt.exitCode, 1) << corrupt.output;
    EXPECT_NE(corrupt.output.find("kavrel-preset: cannot load the bank"), std::string::npos);
}

TEST_F(RenderCli, PresetFilesInBothChunkForms) {
    // The plug-in hands out compact chunks; `format legacy` writes the layout older releases
    // read, many times larger.
    Result saved = run(KAVREL_PRESET_EXE,
                       {KAVREL_PLUGIN_FILE, "program", "6", "save-bank", path("c.fxb"), "format",
                        "legacy", "save-bank", path("l.fxb"), "save-program", "6", path("l6.fxp"),
                        "format", "compact", "save-program", "6", path("c6.fxp")});
    ASSERT_EQ(saved.exitCode, 0) << saved.output;
    EXPECT_NE(saved.output.find("(legacy, "), std::string::npos) << saved.output;
    const auto compact = contents("c.fxb");
    const auto legacy = contents("l.fxb");
    ASSERT_GT(compact.size(), 160u + 24u);
    EXPECT_EQ(std::string(compact.begin() + 160, compact.begin() + 164), "KvZc");
    EXPECT_EQ(std::vector<unsigned char>(legacy.begin() + 160, legacy.begin() + 164),
              (std::vector<unsigned char>{100, 0, 0, 0}));
    EXPECT_GT(legacy.size(), 20 * compact.size());
    const auto program = contents("c6.fxp");
    ASSERT_GT(program.size(), 64u);
    EXPECT_EQ(std::string(program.begin() + 60, program.begin() + 64), "KvZc");

    // Either form loads into either tool and saves as the other, the same bytes again.
    Result preset = run(KAVREL_PRESET_EXE, {KAVREL_PLUGIN_FILE, "program", "6", "load-bank",
                                            path("l.fxb"), "save-bank", path("c2.fxb")});
    ASSERT_EQ(preset.exitCode, 0) << preset.output;
    EXPECT_EQ(contents("c2.fxb"), compact);
    Result toLegacy =
        run({"--load-fxb", path("c.fxb"), "--chunk-format", "legacy", "--save-fxb", path("l2.fxb"),
             "--load-fxp", path("c6.fxp"), "--save-fxp", path("l7.fxp")});
    ASSERT_EQ(toLegacy.exitCode, 0) << toLegacy.output;
    EXPECT_EQ(contents("l2.fxb"), legacy);
    EXPECT_EQ(contents("l7.fxp"), contents("l6.fxp"));
    Result toCompact = run({"--load-fxb", path("l.fxb"), "--program", "6", "--load-fxp",
                            path("l6.fxp"), "--chunk-format", "compact", "--save-fxb",
                            path("c3.fxb"), "--save-fxp", path("c7.fxp")});
    ASSERT_EQ(toCompact.exitCode, 0) << toCompact.output;
    EXPECT_EQ(contents("c3.fxb"), compact);
    EXPECT_EQ(contents("c7.fxp"), contents("c6.fxp"));

    Result bad = run({"--save-fxb", path("x.fxb"), "--chunk-format", "zip"});
    EXPECT_EQ(bad.exitCode, 2) << bad.output;
    EXPECT_NE(bad.output.find("neither compact nor legacy"), std::string::npos) << bad.output;
    Result badPreset = run(KAVREL_PRESET_EXE, {KAVREL_PLUGIN_FILE, "format", "zip"});
    EXPECT_EQ(badPreset.exitCode, 2) << badPreset.output;
    EXPECT_FALSE(exists("x.fxb"));
}

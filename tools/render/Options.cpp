#include "render/Options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace kavrel::render {
namespace {

constexpr int kPrograms = 48;
constexpr int kPatterns = 16;
constexpr double kMaxSeconds = 86400.0;

const char kUsage[] =
    R"(Usage: kavrel-render --out FILE.wav [options]
       kavrel-render --list-programs [--load-fxb FILE] [options]
       kavrel-render --save-fxb FILE | --save-fxp FILE [options]
       kavrel-render --export-midi FILE.mid [--passes K] [--seed S] [options]
       kavrel-render --export-kit DIR [options]

Loads the Kavrel plug-in the way a host does and renders it offline to a WAV file: the
step sequencer plays the chosen program and pattern, and a MIDI file can play the voices.
It also loads, lists and saves programs and banks in the preset files hosts use.

Options:
  --out FILE            WAV file to write (required)
  --plugin PATH         plug-in library (default: Kavrel.so next to this program)
  --program N           program 0..47 (default: the one Kavrel starts with, 0)
  --pattern N           pattern 1..16 (default: the program's own)
  --bars N              length in bars of four quarter notes at --tempo, 1..10000
                        (default 4)
  --seconds S           length in seconds instead of bars, up to 86400
  --tempo BPM           with --sync int the sequencer's own tempo (50..250; default:
                        the program's own); otherwise the tempo of the simulated host
                        (20..999, default 120)
  --sync host|int|midi  the sequencer's clock (default host):
                          host  the tool plays a host transport from position 0 in 4/4
                          int   Kavrel's own clock: Sync is set to INT and Play pressed
                          midi  the sequencer steps on notes 83, 84 and 86 of --midi
  --midi FILE.mid       Standard MIDI File (format 0 or 1): its notes and controllers
                        are sent to the plug-in, timed by the file's own tempo map
  --rate HZ             sample rate 8000..384000 (default 44100)
  --block N             frames per process call 1..16384 (default 512)
  --outputs mix|all     mix: a stereo file summing the six output pairs (default);
                        all: 12 channels, A left, A right, B left ... F right
  --format 16|24|float  sample format (default 24); 16 and 24 clip at 0 dBFS
  --seed N              seed 0..4294967295 for the plug-in's random source
  --param I=V           set parameter I to the normalised value V (0..1); repeatable
  --load-fxb FILE.fxb   load a bank of 48 programs; the render then plays --program of
                        that bank (default: the program the file selects, or 0)
  --load-fxp FILE.fxp   load a program into the current program (--program, if given)
  --save-fxb FILE.fxb   save the bank, after loading, as a bank file
  --save-fxp FILE.fxp   save the current program, after loading, as a program file
  --chunk-format compact|legacy
                        the form of the state in the saved files: compact (what the
                        plug-in hands out, the default) or legacy (the uncompressed
                        layout older releases read); files in either form load
  --list-programs       print the number and name of every program of the bank, after
                        loading, and render nothing
  --quiet               print only warnings and errors
  --bar-peaks           after the render, print the peak of each output pair in each
                        bar of --tempo, one line a bar ("bar N: A B C D E F", dBFS with
                        two decimals), even with --quiet; without --out the render
                        is only measured: no file, nothing else printed
  --export-midi FILE.mid
                        write --pattern of --program as a Standard MIDI File instead
                        of rendering: one track per voice on the notes Kavrel sends
                        as MIDI output, at the program's tempo, 480 ticks a quarter;
                        one pass of the steps as written (probabilities ignored)
  --passes K            with --export-midi: K passes (1..64) as the pattern plays,
                        with its probabilities, random velocities and random beats
                        rolled (give --seed for the same file every time)
  --row N               with --export-midi: only voice N's row (1..12: kick, snare 8,
                        snare 9, low, mid, high tom, closed, open hat, cymbal,
                        rimshot, clap, cowbell)
  --export-kit DIR      write each voice's hit at full velocity from --program, a
                        24-bit WAV at --rate, into DIR/<program name>/ as
                        "<program name> - <voice>.wav", and render nothing else
  --help                this text
  --version             the tool's version

--out is needed only for a render: with --list-programs, or with --save-fxb or
--save-fxp and no --out, the tool works on the presets and renders nothing.

Settings reach the plug-in in this order: --load-fxb, program, --load-fxp; then the
preset files are saved, so that they hold what was loaded and none of the render
settings; then sync, tempo, pattern and the --param values; then the transport starts.
Options given twice keep the last value.

Kavrel reads its random seed from the environment variable KAVREL_SEED when it is
created. --seed sets that variable before the plug-in is loaded, so two renders with
the same seed and settings are identical; without --seed, a KAVREL_SEED already in
the environment applies.

MIDI file events are handed to the plug-in with the block they fall in, their offset
within it in deltaFrames; times are rounded to the nearest frame. Events after the end
of the render are not sent.

The report gives peak and RMS levels in dBFS for each output pair (a full-scale sine
reads 0.0 peak, -3.0 RMS) and for the written mix.

Exit status: 0 on success; 1 when the plug-in cannot be loaded, a file cannot be read
or written, or the plug-in refuses a preset file; 2 for a command-line error.
)";

bool isInteger(const char* text) {
    const char* p = text;
    if (*p == '+' || *p == '-') ++p;
    if (!*p) return false;
    for (; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    return true;
}

// strtod alone would also take "inf", "nan", hexadecimal and leading blanks.
bool isDecimal(const char* text) {
    if (!*text) return false;
    for (const char* p = text; *p; ++p)
        if (!std::strchr("0123456789.+-eE", *p)) return false;
    return true;
}

class Reader {
public:
    Reader(int argc, const char* const* argv, std::string& error)
        : argc(argc), argv(argv), error(error) {}

    bool more() const { return next < argc; }
    const char* take() { return argv[next++]; }

    // The value of option `name`, attached ("--x=v") or as the next argument.
    bool value(const std::string& name, const char* attached, std::string& out) {
        if (attached) {
            out = attached;
        } else if (next < argc && !(argv[next][0] == '-' && argv[next][1] == '-')) {
            out = argv[next++];
        } else {
            return fail(name + " needs a value");
        }
        if (out.empty()) return fail(name + " needs a value");
        return true;
    }

    bool integer(const std::string& name, const std::string& text, long long min, long long max,
                 long long& out) {
        if (!isInteger(text.c_str())) return fail(name + ": '" + text + "' is not a whole number");
        errno = 0;
        out = std::strtoll(text.c_str(), nullptr, 10);
        if (errno == ERANGE || out < min || out > max)
            return fail(name + ": " + text + " is out of range (" + std::to_string(min) + ".." +
                        std::to_string(max) + ")");
        return true;
    }

    bool real(const std::string& name, const std::string& text, double& out) {
        char* end = nullptr;
        if (isDecimal(text.c_str())) out = std::strtod(text.c_str(), &end);
        if (!end || *end || !std::isfinite(out))
            return fail(name + ": '" + text + "' is not a number");
        return true;
    }

    bool fail(const std::string& message) {
        error = message;
        return false;
    }

private:
    int argc;
    const char* const* argv;
    std::string& error;
    int next = 1;
};

std::string formatNumber(double value) {
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

} // namespace

const char* usageText() {
    return kUsage;
}

const char* syncName(SyncMode mode) {
    switch (mode) {
    case SyncMode::Host:
        return "HOST";
    case SyncMode::Internal:
        return "INT";
    case SyncMode::Midi:
        return "MIDI";
    }
    return "?";
}

bool rendersAudio(const RenderOptions& options) {
    return !options.listPrograms && (!options.outPath.empty() || options.barPeaks);
}

int64_t renderFrames(const RenderOptions& options) {
    // Bars are multiplied out before dividing, so that lengths that are whole frames stay exact.
    double frames = options.seconds > 0.0
                        ? options.seconds * options.sampleRate
                        : options.bars * 240.0 * options.sampleRate / options.tempo;
    return std::max<int64_t>(1, std::llround(frames));
}

ParseOutcome parseOptions(int argc, const char* const* argv, RenderOptions& options,
                          std::string& error) {
    Reader in(argc, argv, error);
    bool barsGiven = false, secondsGiven = false;
    while (in.more()) {
        std::string arg = in.take();
        std::string name = arg, attachedText;
        const char* attached = nullptr;
        size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            attachedText = arg.substr(equals + 1);
            attached = attachedText.c_str();
        }

        auto flag = [&]() {
            if (attached) {
                in.fail(name + " takes no value");
                return false;
            }
            return true;
        };
        std::string text;
        long long number = 0;
        double real = 0.0;

        if (name == "--help" || name == "-h") {
            if (!flag()) return ParseOutcome::Error;
            return ParseOutcome::Help;
        } else if (name == "--version") {
            if (!flag()) return ParseOutcome::Error;
            return ParseOutcome::Version;
        } else if (name == "--quiet" || name == "-q") {
            if (!flag()) return ParseOutcome::Error;
            options.quiet = true;
        } else if (name == "--bar-peaks") {
            if (!flag()) return ParseOutcome::Error;
            options.barPeaks = true;
        } else if (name == "--out" || name == "--plugin" || name == "--midi") {
            if (!in.value(name, attached, text)) return ParseOutcome::Error;
            (name == "--out"      ? options.outPath
             : name == "--plugin" ? options.pluginPath
                                  : options.midiPath) = text;
        } else if (name == "--load-fxb" || name == "--load-fxp" || name == "--save-fxb" ||
                   name == "--save-fxp") {
            if (!in.value(name, attached, text)) return ParseOutcome::Error;
            (name == "--load-fxb"   ? options.loadFxb
             : name == "--load-fxp" ? options.loadFxp
             : name == "--save-fxb" ? options.saveFxb
                                    : options.saveFxp) = text;
        } else if (name == "--chunk-format") {
            if (!in.value(name, attached, text)) return ParseOutcome::Error;
            if (text != "compact" && text != "legacy") {
                in.fail(name + ": '" + text + "' is neither compact nor legacy");
                return ParseOutcome::Error;
            }
            options.chunkFormat = text;
        } else if (name == "--export-midi" || name == "--export-kit") {
            if (!in.value(name, attached, text)) return ParseOutcome::Error;
            (name == "--export-midi" ? options.exportMidi : options.exportKit) = text;
        } else if (name == "--passes" || name == "--row") {
            if (!in.value(name, attached, text) ||
                !in.integer(name, text, 1, name == "--passes" ? 64 : 12, number))
                return ParseOutcome::Error;
            (name == "--passes" ? options.passes : options.row) = static_cast<int>(number);
        } else if (name == "--list-programs") {
            if (!flag()) return ParseOutcome::Error;
            options.listPrograms = true;
        } else if (name == "--program") {
            if (!in.value(name, attached, text) ||
                !in.integer(name, text, 0, kPrograms - 1, number))
                return ParseOutcome::Error;
            options.program = static_cast<int>(number);
        } else if (name == "--pattern") {
            if (!in.value(name, attached, text) || !in.integer(name, text, 1, kPatterns, number))
                return ParseOutcome::Error;
            options.pattern = static_cast<int>(number);
        } else if (name == "--bars") {
            if (!in.value(name, attached, text) || !in.integer(name, text, 1, 10000, number))
                return ParseOutcome::Error;
            options.bars = static_cast<int>(number);
            barsGiven = true;
        } else if (name == "--seconds") {
            if (!in.value(name, attached, text) || !in.real(name, text, real))
                return ParseOutcome::Error;
            if (real <= 0.0 || real > kMaxSeconds) {
                in.fail(name + ": " + text + " is out of range (more than 0, at most " +
                        formatNumber(kMaxSeconds) + ")");
                return ParseOutcome::Error;
            }
            options.seconds = real;
            secondsGiven = true;
        } else if (name == "--tempo") {
            if (!in.value(name, attached, text) || !in.real(name, text, real))
                return ParseOutcome::Error;
            options.tempo = real;
            options.tempoGiven = true;
        } else if (name == "--rate") {
            if (!in.value(name, attached, text) || !in.integer(name, text, 8000, 384000, number))
                return ParseOutcome::Error;
            options.sampleRate = static_cast<int>(number);
        } else if (name == "--block") {
            if (!in.value(name, attached, text) || !in.integer(name, text, 1, 16384, number))
                return ParseOutcome::Error;
            options.blockSize = static_cast<int>(number);
        } else if (name == "--seed") {
            if (!in.value(name, attached, text) || !in.integer(name, text, 0, 4294967295LL, number))
                return ParseOutcome::Error;
            options.seed = static_cast<uint32_t>(number);
            options.hasSeed = true;
        } else if (name == "--sync") {
            if (!in.value(name, attached, text)) return ParseOutcome::Error;
            if (text == "host")
                options.sync = SyncMode::Host;
            else if (text == "int")
                options.sync = SyncMode::Internal;
            else if (text == "midi")
                options.sync = SyncMode::Midi;
            else {
                in.fail(name + ": '" + text + "' is not one of host, int, midi");
                return ParseOutcome::Error;
            }
        } else if (name == "--outputs") {
            if (!in.value(name, attached, text)) return ParseOutcome::Error;
            if (text == "mix")
                options.outputs = OutputLayout::Mix;
            else if (text == "all")
                options.outputs = OutputLayout::All;
            else {
                in.fail(name + ": '" + text + "' is not one of mix, all");
                return ParseOutcome::Error;
            }
        } else if (name == "--format") {
            if (!in.value(name, attached, text)) return ParseOutcome::Error;
            if (text == "16")
                options.format = SampleFormat::Pcm16;
            else if (text == "24")
                options.format = SampleFormat::Pcm24;
            else if (text == "float")
                options.format = SampleFormat::Float32;
            else {
                in.fail(name + ": '" + text + "' is not one of 16, 24, float");
                return ParseOutcome::Error;
            }
        } else if (name == "--param") {
            if (!in.value(name, attached, text)) return ParseOutcome::Error;
            size_t split = text.find('=');
            if (split == std::string::npos) {
                in.fail(name + ": '" + text + "' is not INDEX=VALUE");
                return ParseOutcome::Error;
            }
            if (!in.integer(name + " index", text.substr(0, split), 0, 1 << 20, number) ||
                !in.real(name + " value", text.substr(split + 1), real))
                return ParseOutcome::Error;
            if (real < 0.0 || real > 1.0) {
                in.fail(name + ": value " + text.substr(split + 1) +
                        " is out of range (0..1, normalised)");
                return ParseOutcome::Error;
            }
            options.parameters.emplace_back(static_cast<int>(number), static_cast<float>(real));
        } else if (arg.rfind("-", 0) == 0 && arg.size() > 1) {
            in.fail("unknown option " + name + " (see --help)");
            return ParseOutcome::Error;
        } else {
            in.fail("unexpected argument '" + arg + "' (see --help)");
            return ParseOutcome::Error;
        }
    }

    if (exports(options) && (!options.outPath.empty() || options.barPeaks)) {
        in.fail("an export renders no --out file and no --bar-peaks: use one or the other");
        return ParseOutcome::Error;
    }
    if ((options.passes || options.row) && options.exportMidi.empty()) {
        in.fail(std::string(options.passes ? "--passes" : "--row") + " needs --export-midi");
        return ParseOutcome::Error;
    }
    if (options.outPath.empty() && !options.listPrograms && options.saveFxb.empty() &&
        options.saveFxp.empty() && !options.barPeaks && !exports(options)) {
        in.fail("--out FILE.wav is required (see --help)");
        return ParseOutcome::Error;
    }
    if (barsGiven && secondsGiven) {
        in.fail("--bars and --seconds both give the length: use one of them");
        return ParseOutcome::Error;
    }
    double low = options.sync == SyncMode::Internal ? 50.0 : 20.0;
    double high = options.sync == SyncMode::Internal ? 250.0 : 999.0;
    if (options.tempo < low || options.tempo > high) {
        in.fail("--tempo: " + formatNumber(options.tempo) + " is out of range (" +
                formatNumber(low) + ".." + formatNumber(high) + " with --sync " +
                (options.sync == SyncMode::Internal ? "int" : "host or midi") + ")");
        return ParseOutcome::Error;
    }
    return ParseOutcome::Render;
}

bool exports(const RenderOptions& options) {
    return !options.exportMidi.empty() || !options.exportKit.empty();
}

} // namespace kavrel::render

// Renders the plug-in offline to a WAV file, loading it through its entry point and driving
// it block by block the way a host plays a project: transport, tempo and MIDI file included.
#include "core/Kavrel.h"
#include "export/OneShotExport.h"
#include "export/PatternExport.h"
#include "export/WavWriter.h"
#include "host/ChunkForm.h"
#include "host/FxFile.h"
#include "host/PluginHost.h"
#include "render/LevelMeter.h"
#include "render/MidiFileSchedule.h"
#include "render/Options.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifndef KAVREL_VERSION
#define KAVREL_VERSION "unknown"
#endif

using namespace kavrel::host;
using namespace kavrel::render;
using namespace kavrel::exporting;

namespace {

// The plug-in's parameter indices that the tool drives.
constexpr int kPlayParam = 109;
constexpr int kTempoParam = 111;
constexpr int kSyncParam = 113;
constexpr int kPatternParam = 114;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

volatile std::sig_atomic_t interrupted = 0;
void onInterrupt(int) {
    interrupted = 1;
}

int fail(int code, const std::string& message) {
    std::fprintf(stderr, "kavrel-render: %s\n", message.c_str());
    return code;
}

void warn(const std::string& message) {
    std::fprintf(stderr, "kavrel-render: warning: %s\n", message.c_str());
}

std::string defaultPluginPath(const char* argv0) {
    std::string self;
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0)
        self.assign(buffer, static_cast<size_t>(length));
    else if (argv0)
        self = argv0;
    size_t slash = self.rfind('/');
    return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/Kavrel.so";
}

// Hosts keep a plug-in library mapped once they have loaded it, and so does this tool, until
// the process exits: unmapping it would orphan the buffers its own statically linked C++
// runtime keeps, which leak checkers then report against every render.
void keepMapped(const std::string& path) {
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

bool sameFile(const std::string& a, const std::string& b) {
    using FileStatus = struct stat;
    FileStatus first{}, second{};
    return !a.empty() && !b.empty() && stat(a.c_str(), &first) == 0 &&
           stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

std::string counted(long long count, const char* thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", value);
    return text;
}

// An updating percentage on a terminal; in a log, a line at each quarter.
class Progress {
public:
    Progress(bool enabled, int64_t total, int rate)
        : enabled(enabled), total(total), rate(rate), terminal(isatty(STDERR_FILENO) == 1) {}

    void update(int64_t done) {
        if (!enabled) return;
        int percent = static_cast<int>(done * 100 / total);
        int step = terminal ? percent : percent / 25 * 25;
        if (step == shown || (step == 0 && !terminal)) return;
        shown = step;
        if (terminal)
            std::fprintf(stderr, "\rrendering %3d%%  %.1f of %.1f s", percent,
                         static_cast<double>(done) / rate, static_cast<double>(total) / rate);
        else
            std::fprintf(stderr, "rendering %d%%\n", step);
        if (terminal && done == total) std::fputc('\n', stderr);
        std::fflush(stderr);
    }

    void abandon() {
        if (enabled && terminal && shown >= 0 && shown < 100) std::fputc('\n', stderr);
    }

private:
    bool enabled;
    int64_t total;
    int rate;
    bool terminal;
    int shown = -1;
};

void setParameter(vst::AEffect* effect, int index, float value) {
    if (index >= 0 && index < effect->numParams) effect->setParameter(effect, index, value);
}

// Exports run on the engine linked into the tool, the plug-in's own code and factory bank.
vst::AEffect* VST_CALLBACK linkedEntry(vst::audioMasterCallback audioMaster) {
    return (new Kavrel(audioMaster))->getAeffect();
}

int runExport(PluginHost& host, const RenderOptions& options) {
    Kavrel& plugin = *static_cast<Kavrel*>(host.effect()->object);
    std::string error;
    if (!options.exportMidi.empty()) {
        PatternExportOptions request;
        request.pattern = options.pattern > 0
                              ? options.pattern - 1
                              : static_cast<int>(plugin.getParameter(kPatternParam) * 15.0f + 0.5f);
        request.playedPasses = options.passes;
        request.hasSeed = options.hasSeed;
        request.seed = options.seed;
        request.voice = options.row - 1;
        const MidiFileContent content = patternMidi(plugin, request);
        if (!writeWholeFile(options.exportMidi, encodeMidiFile(content), error))
            return fail(kExitFailure, error);
        if (!options.quiet) {
            size_t notes = 0;
            for (const MidiFileTrack& track : content.tracks) notes += track.notes.size();
            std::printf("wrote %s: pattern %d of \"%s\" (passes: %s), %s in %s at %g BPM\n",
                        options.exportMidi.c_str(), request.pattern + 1, content.name.c_str(),
                        options.passes ? (std::to_string(options.passes) + " played").c_str()
                                       : "as written",
                        counted(static_cast<long long>(notes), "note").c_str(),
                        counted(static_cast<long long>(content.tracks.size()), "track").c_str(),
                        content.tempo);
        }
    }
    if (!options.exportKit.empty()) {
        std::filesystem::path folder;
        if (!exportKit(plugin, options.exportKit, folder, error)) return fail(kExitFailure, error);
        if (!options.quiet)
            std::printf("wrote 12 one-shots at %d Hz to %s\n", options.sampleRate,
                        displayPath(folder).c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    switch (parseOptions(argc, argv, options, error)) {
    case ParseOutcome::Help:
        std::fputs(usageText(), stdout);
        return 0;
    case ParseOutcome::Version:
        std::printf("kavrel-render %s\n", KAVREL_VERSION);
        return 0;
    case ParseOutcome::Error:
        return fail(kExitUsage, error);
    case ParseOutcome::Render:
        break;
    }
    if (options.pluginPath.empty()) options.pluginPath = defaultPluginPath(argv[0]);
    int64_t totalFrames = renderFrames(options);
    const int rate = options.sampleRate;

    // Saving a preset file over the one it was loaded from is fine: the file is read whole
    // before anything is written.
    const struct {
        const char* option;
        const std::string& path;
        const std::string* mayReplace;
    } writes[] = {{"--out", options.outPath, nullptr},
                  {"--save-fxb", options.saveFxb, &options.loadFxb},
                  {"--save-fxp", options.saveFxp, &options.loadFxp}};
    for (const auto& output : writes) {
        for (const std::string* input :
             {&options.midiPath, &options.pluginPath, &options.loadFxb, &options.loadFxp})
            if (input != output.mayReplace && sameFile(output.path, *input))
                return fail(kExitUsage, std::string(output.option) + " " + output.path +
                                            " would overwrite " + *input);
        for (const auto& other : writes)
            if (&other != &output && !output.path.empty() &&
                (output.path == other.path || sameFile(output.path, other.path)))
                return fail(kExitUsage, std::string(output.option) + " and " + other.option +
                                            " name the same file " + output.path);
    }

    MidiFileSchedule midi;
    if (!options.midiPath.empty() && !midi.load(options.midiPath, rate, error))
        return fail(kExitFailure, "cannot use the MIDI file: " + error);
    if (options.sync == SyncMode::Midi && options.midiPath.empty())
        warn("--sync midi without --midi: nothing will step the sequencer");

    // The plug-in reads its seed once, while it is being constructed.
    if (options.hasSeed) setenv("KAVREL_SEED", std::to_string(options.seed).c_str(), 1);

    PluginHost host;
    if (exports(options)) {
        if (!host.instantiate(&linkedEntry, error))
            return fail(kExitFailure, "cannot create the engine: " + error);
    } else {
        if (!host.load(options.pluginPath, error))
            return fail(kExitFailure, "cannot load the plug-in: " + error);
        keepMapped(options.pluginPath);
    }
    vst::AEffect* effect = host.effect();
    const int outputs = effect->numOutputs;
    if (outputs < 1 || outputs > 52)
        return fail(kExitFailure,
                    options.pluginPath + " reports " + std::to_string(outputs) + " audio outputs");
    if (options.program >= effect->numPrograms)
        return fail(kExitUsage, "--program: the plug-in has only " +
                                    std::to_string(effect->numPrograms) + " programs");
    for (const auto& [index, value] : options.parameters)
        if (index >= effect->numParams)
            return fail(kExitUsage, "--param: the plug-in has parameters 0.." +
                                        std::to_string(effect->numParams - 1) + ", not " +
                                        std::to_string(index));

    host.start(static_cast<float>(rate), options.blockSize);

    if (!options.loadFxb.empty()) {
        FxBankFile bank;
        if (!readBankFile(options.loadFxb, effect->uniqueID, bank, error) ||
            !applyBank(host, bank, error))
            return fail(kExitFailure, "cannot load the bank: " + error);
        if (!options.quiet)
            std::printf("loaded bank %s (%zu bytes)\n", options.loadFxb.c_str(), bank.chunk.size());
    }
    if (options.program >= 0) host.dispatch(vst::effSetProgram, 0, options.program);
    if (!options.loadFxp.empty()) {
        FxProgramFile preset;
        if (!readProgramFile(options.loadFxp, effect->uniqueID, preset, error) ||
            !applyProgram(host, preset, error))
            return fail(kExitFailure, "cannot load the program: " + error);
        if (!options.quiet)
            std::printf("loaded program %s into program %ld \"%s\"\n", options.loadFxp.c_str(),
                        static_cast<long>(host.dispatch(vst::effGetProgram)),
                        printable(host.programName()).c_str());
    }
    ChunkForm chunkForm = ChunkForm::AsHandedOut;
    if (!options.chunkFormat.empty()) parseChunkForm(options.chunkFormat, chunkForm);
    const auto currentProgram = [&host] {
        return static_cast<int32_t>(host.dispatch(vst::effGetProgram));
    };
    if (!options.saveFxb.empty()) {
        FxBankFile bank;
        if (!captureBank(host, bank, error) ||
            !convertChunk(bank.chunk, chunkForm, currentProgram(), error) ||
            !writeBankFile(options.saveFxb, bank, error))
            return fail(kExitFailure, "cannot save the bank: " + error);
        if (!options.quiet)
            std::printf("saved bank %s (%d programs, %s, %zu bytes)\n", options.saveFxb.c_str(),
                        bank.numPrograms, chunkFormName(chunkFormOf(bank.chunk)),
                        bank.chunk.size());
    }
    if (!options.saveFxp.empty()) {
        FxProgramFile preset;
        if (!captureProgram(host, preset, error) ||
            !convertChunk(preset.chunk, chunkForm, -1, error) ||
            !writeProgramFile(options.saveFxp, preset, error))
            return fail(kExitFailure, "cannot save the program: " + error);
        if (!options.quiet)
            std::printf("saved program \"%s\" to %s (%s, %zu bytes)\n",
                        printable(preset.name).c_str(), options.saveFxp.c_str(),
                        chunkFormName(chunkFormOf(preset.chunk)), preset.chunk.size());
    }
    if (options.listPrograms) {
        const std::vector<std::string> names = programNames(host);
        for (size_t i = 0; i < names.size(); ++i) std::printf("%2zu  %s\n", i, names[i].c_str());
    }
    if (exports(options)) {
        const int status = runExport(host, options);
        host.close();
        return status;
    }
    if (!rendersAudio(options)) {
        host.close();
        return 0;
    }

    float syncValue = options.sync == SyncMode::Host       ? 0.0f
                      : options.sync == SyncMode::Internal ? 0.5f
                                                           : 1.0f;
    setParameter(effect, kSyncParam, syncValue);
    if (options.sync == SyncMode::Internal) {
        if (options.tempoGiven) {
            setParameter(effect, kTempoParam, static_cast<float>((options.tempo - 50.0) / 200.0));
        } else {
            // The program's own tempo, and bars counted at it.
            options.tempo = 50.0 + 200.0 * effect->getParameter(effect, kTempoParam);
            totalFrames = renderFrames(options);
        }
    }
    if (options.pattern > 0)
        setParameter(effect, kPatternParam, static_cast<float>(options.pattern - 1) / 15.0f);
    for (const auto& [index, value] : options.parameters) setParameter(effect, index, value);
    if (options.sync == SyncMode::Internal) setParameter(effect, kPlayParam, 1.0f);

    // What the render starts from, for the report: MIDI notes may switch patterns later.
    const std::string programName = host.programName();
    const int program = static_cast<int>(host.dispatch(vst::effGetProgram));
    const int pattern =
        effect->numParams > kPatternParam
            ? static_cast<int>(effect->getParameter(effect, kPatternParam) * 15.0f + 0.5f) + 1
            : 0;

    // A host playing from the start of its timeline; in INT and MIDI sync the plug-in does not
    // ask, but a real host would answer all the same.
    vst::VstTimeInfo time{};
    time.sampleRate = rate;
    time.tempo = options.tempo;
    time.timeSigNumerator = 4;
    time.timeSigDenominator = 4;
    host.timeInfo = &time;

    const int fileChannels = options.outputs == OutputLayout::Mix ? 2 : outputs;
    // Bar peaks without a file: the render is only measured, and everything a file would
    // cost (interleaving, converting, the level meters of the summary) is left out.
    const bool toFile = !options.outPath.empty();
    WavWriter writer;
    if (toFile &&
        !writer.open(options.outPath, fileChannels, rate, options.format, totalFrames, error))
        return fail(kExitFailure, error);

    // Everything the loop needs is allocated here: the loop itself allocates nothing.
    const int block = options.blockSize;
    std::vector<float> interleaved(static_cast<size_t>(block) * fileChannels);
    std::vector<vst::VstMidiEvent> blockEvents;
    blockEvents.reserve(std::max<size_t>(1, midi.maxEventsPerBlock(block, totalFrames)));
    LevelMeter outputMeter(outputs);
    LevelMeter mixMeter(2);
    BarPeaks barPeaks(outputs, 240.0 * rate / options.tempo);
    std::vector<float> mixLeft(block), mixRight(block);
    size_t midiSent = 0, midiReceived = 0;

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    Progress progress(toFile && !options.quiet && totalFrames > 2 * static_cast<int64_t>(rate),
                      totalFrames, rate);
    const auto started = std::chrono::steady_clock::now();

    for (int64_t position = 0; position < totalFrames;) {
        if (interrupted) {
            progress.abandon();
            writer.discard();
            return fail(130, toFile ? "interrupted; " + options.outPath + " was not written"
                                    : std::string("interrupted"));
        }
        const int frames = static_cast<int>(std::min<int64_t>(block, totalFrames - position));

        time.samplePos = static_cast<double>(position);
        time.ppqPos = static_cast<double>(position) * options.tempo / (60.0 * rate);
        time.barStartPos = std::floor(time.ppqPos / 4.0) * 4.0;
        time.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid |
                     vst::kVstTimeSigValid | vst::kVstBarsValid |
                     (position == 0 ? vst::kVstTransportChanged : 0);

        midi.takeBlock(position, frames, blockEvents);
        midiSent += blockEvents.size();
        host.process(frames, blockEvents);
        // The harness keeps what the plug-in sent; counting and clearing it each block keeps
        // a long render from growing those records without end.
        midiReceived += host.sentEventCount();
        host.clearRecords();

        const auto& out = host.outputs();
        if (options.barPeaks)
            for (int c = 0; c < outputs; ++c) barPeaks.add(c, out[c].data(), frames, position);
        if (!toFile) {
            position += frames;
            progress.update(position);
            continue;
        }
        for (int c = 0; c < outputs; ++c) outputMeter.add(c, out[c].data(), frames);
        outputMeter.addFrames(frames);
        if (options.outputs == OutputLayout::Mix) {
            std::fill(mixLeft.begin(), mixLeft.begin() + frames, 0.0f);
            std::fill(mixRight.begin(), mixRight.begin() + frames, 0.0f);
            for (int c = 0; c < outputs; ++c) {
                float* sum = (c % 2 == 0 ? mixLeft : mixRight).data();
                for (int i = 0; i < frames; ++i) sum[i] += out[c][i];
            }
            mixMeter.add(0, mixLeft.data(), frames);
            mixMeter.add(1, mixRight.data(), frames);
            mixMeter.addFrames(frames);
            for (int i = 0; i < frames; ++i) {
                interleaved[2 * i] = mixLeft[i];
                interleaved[2 * i + 1] = mixRight[i];
            }
        } else {
            for (int i = 0; i < frames; ++i)
                for (int c = 0; c < outputs; ++c)
                    interleaved[static_cast<size_t>(i) * outputs + c] = out[c][i];
        }
        if (!writer.write(interleaved.data(), frames, error)) {
            progress.abandon();
            writer.discard();
            return fail(kExitFailure, error);
        }
        position += frames;
        progress.update(position);
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    host.close();
    if (toFile && !writer.close(error)) {
        writer.discard();
        return fail(kExitFailure, error);
    }

    const double length = static_cast<double>(totalFrames) / rate;
    if (size_t late = midi.eventsFrom(totalFrames))
        warn("not sent: " + counted(late, "MIDI file event") + " after the end of the render (" +
             seconds(length) + "); the file ends at " +
             seconds(static_cast<double>(midi.endFrame()) / rate) +
             ": use --bars or --seconds to render longer");
    if (writer.nonFiniteSamples())
        warn("the plug-in produced " + counted(writer.nonFiniteSamples(), "sample") +
             " that are not numbers; they were written as silence");
    else if (!toFile && barPeaks.nonFiniteSamples())
        warn("the plug-in produced " + counted(barPeaks.nonFiniteSamples(), "sample") +
             " that are not numbers; the bar peaks leave them out");
    if (writer.samplesOverFullScale() && options.format != SampleFormat::Float32)
        warn(counted(writer.samplesOverFullScale(), "sample") +
             " went over 0 dBFS and were clipped; lower the levels or use --format float");

    if (options.barPeaks)
        for (int bar = 0; bar < barPeaks.bars(); ++bar) {
            std::printf("bar %d:", bar + 1);
            for (int c = 0; c < outputs; c += 2) {
                const double db = barPeaks.peakDb(bar, c, std::min(2, outputs - c));
                if (std::isinf(db))
                    std::printf(" -inf");
                else
                    std::printf(" %.2f", db);
            }
            std::printf("\n");
        }
    if (options.quiet || !toFile) return 0;
    std::printf("wrote %s: %lld frames (%s) at %d Hz, %d channel%s, %s %s\n",
                options.outPath.c_str(), static_cast<long long>(totalFrames),
                seconds(length).c_str(), rate, fileChannels, fileChannels == 1 ? "" : "s",
                describe(options.format), writer.isRf64() ? "RF64" : "WAV");
    std::printf("program %d \"%s\", pattern %d, %s sync at %g BPM", program, programName.c_str(),
                pattern, syncName(options.sync), options.tempo);
    if (options.hasSeed) std::printf(", seed %u", options.seed);
    std::printf("\n");
    if (!options.midiPath.empty()) {
        std::printf("MIDI file %s: %s sent", options.midiPath.c_str(),
                    counted(midiSent, "event").c_str());
        if (midi.otherMessages())
            std::printf(", %zu skipped (neither note nor controller)", midi.otherMessages());
        std::printf("\n");
    }
    std::printf("MIDI from the plug-in: %s\n", counted(midiReceived, "event").c_str());
    std::printf("rendered in %.2f s (%.0fx real time)\n", elapsed,
                elapsed > 0.0 ? length / elapsed : 0.0);
    if (writer.samplesOverFullScale() && options.format == SampleFormat::Float32)
        std::printf("%s over 0 dBFS (kept in the float file)\n",
                    counted(writer.samplesOverFullScale(), "sample").c_str());

    std::printf("\noutput  peak dBFS  RMS dBFS\n");
    for (int c = 0; c < outputs; c += 2) {
        int width = std::min(2, outputs - c);
        std::printf("%-6c  %9s  %8s\n", 'A' + c / 2,
                    LevelMeter::format(outputMeter.peakDb(c, width)).c_str(),
                    LevelMeter::format(outputMeter.rmsDb(c, width)).c_str());
    }
    if (options.outputs == OutputLayout::Mix)
        std::printf("%-6s  %9s  %8s\n", "mix", LevelMeter::format(mixMeter.peakDb(0, 2)).c_str(),
                    LevelMeter::format(mixMeter.rmsDb(0, 2)).c_str());
    return 0;
}

// Saves, loads and lists a plug-in's programs and banks as the preset files hosts exchange,
// driving the plug-in through its entry point like a host. Commands run left to right on one
// plug-in instance, so a bank can be loaded, changed and saved in one call.
#include "host/ChunkForm.h"
#include "host/FxFile.h"
#include "host/PluginHost.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef KAVREL_VERSION
#define KAVREL_VERSION "unknown"
#endif

using namespace kavrel::host;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    R"(Usage: kavrel-preset PLUGIN COMMAND [ARGUMENT...] [COMMAND [ARGUMENT...]]...

Loads the plug-in library PLUGIN the way a host does and runs the commands on it, left to
right: each one sees what the ones before it loaded.

Commands:
  list                      print the number and name of every program
  program N                 make program N current
  save-program N OUT.fxp    make program N current and save it as a program file
  save-bank OUT.fxb         save every program as a bank file
  load-program IN.fxp       load a program file into the current program
  load-bank IN.fxb          load a bank file (it makes the program it recorded current, or
                            keeps the current one)
  format compact|legacy     the form of the state in the files saved after it: compact
                            (what the plug-in hands out, a few hundred kB for a bank) or
                            legacy (the uncompressed layout that older releases read)

Examples:
  kavrel-preset Kavrel.so save-bank factory.fxb
  kavrel-preset Kavrel.so load-bank mine.fxb program 5 load-program snare.fxp \
                save-bank mine-2.fxb
  kavrel-preset Kavrel.so load-bank mine.fxb format legacy save-bank for-older.fxb

The files are VST 2.4 preset files holding the plug-in's state chunk; they are read by
hosts on every platform. Files in either form load. All commands are checked before the
first one runs.

Exit status: 0 on success; 1 when the plug-in cannot be loaded, a file cannot be read or
written, or the plug-in refuses a file; 2 for a command-line error.
)";

enum class Action { List, Program, SaveProgram, SaveBank, LoadProgram, LoadBank, Format };

struct Command {
    Action action;
    int program = -1;
    std::string path;
    ChunkForm form = ChunkForm::AsHandedOut;
};

int fail(int code, const std::string& message) {
    std::fprintf(stderr, "kavrel-preset: %s\n", message.c_str());
    return code;
}

bool parseProgram(const std::string& text, int& out) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != text.npos)
        return false;
    out = std::atoi(text.c_str());
    return true;
}

// Reads the commands after the plug-in path; false with a message for the first mistake.
bool parseCommands(int argc, char** argv, std::vector<Command>& commands, std::string& error) {
    struct Known {
        const char* name;
        Action action;
        bool number;
        const char* file;
        bool form;
    } const known[] = {
        {"list", Action::List, false, nullptr, false},
        {"program", Action::Program, true, nullptr, false},
        {"save-program", Action::SaveProgram, true, "OUT.fxp", false},
        {"save-bank", Action::SaveBank, false, "OUT.fxb", false},
        {"load-program", Action::LoadProgram, false, "IN.fxp", false},
        {"load-bank", Action::LoadBank, false, "IN.fxb", false},
        {"format", Action::Format, false, nullptr, true},
    };
    for (int i = 2; i < argc;) {
        const std::string word = argv[i++];
        const Known* match = nullptr;
        for (const Known& k : known)
            if (word == k.name) match = &k;
        if (!match) {
            error = "unknown command '" + word + "' (see --help)";
            return false;
        }
        Command command{match->action, -1, {}, ChunkForm::AsHandedOut};
        if (match->number) {
            if (i >= argc) {
                error = word + " needs a program number";
                return false;
            }
            if (!parseProgram(argv[i], command.program)) {
                error = word + ": '" + argv[i] + "' is not a program number";
                return false;
            }
            ++i;
        }
        if (match->form) {
            if (i >= argc || !parseChunkForm(argv[i], command.form)) {
                error = word + " needs compact or legacy";
                return false;
            }
            ++i;
        }
        if (match->file) {
            if (i >= argc || !*argv[i]) {
                error = word + " needs a file name (" + match->file + ")";
                return false;
            }
            command.path = argv[i++];
        }
        commands.push_back(command);
    }
    if (commands.empty()) {
        error = "no command given (see --help)";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2) {
        const std::string first = argv[1];
        if (first == "--help" || first == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (first == "--version") {
            std::printf("kavrel-preset %s\n", KAVREL_VERSION);
            return 0;
        }
    }
    if (argc < 3) return fail(kExitUsage, "a plug-in and a command are needed (see --help)");
    std::vector<Command> commands;
    std::string error;
    if (!parseCommands(argc, argv, commands, error)) return fail(kExitUsage, error);

    PluginHost host;
    if (!host.load(argv[1], error)) return fail(kExitFailure, "cannot load the plug-in: " + error);
    host.start(44100.0f, 512);
    const vst::AEffect* effect = host.effect();

    for (const Command& command : commands)
        if (command.program >= effect->numPrograms)
            return fail(kExitUsage, "program " + std::to_string(command.program) +
                                        ": the plug-in has programs 0.." +
                                        std::to_string(effect->numPrograms - 1));

    ChunkForm form = ChunkForm::AsHandedOut;
    const auto current = [&host] {
        return static_cast<int32_t>(host.dispatch(vst::effGetProgram));
    };
    for (const Command& command : commands) {
        if (command.program >= 0) host.dispatch(vst::effSetProgram, 0, command.program);
        switch (command.action) {
        case Action::List: {
            const std::vector<std::string> names = programNames(host);
            for (size_t i = 0; i < names.size(); ++i)
                std::printf("%2zu  %s\n", i, names[i].c_str());
            break;
        }
        case Action::Program:
            break;
        case Action::Format:
            form = command.form;
            break;
        case Action::SaveProgram: {
            FxProgramFile preset;
            if (!captureProgram(host, preset, error) ||
                !convertChunk(preset.chunk, form, -1, error) ||
                !writeProgramFile(command.path, preset, error))
                return fail(kExitFailure, "cannot save the program: " + error);
            std::printf("saved program %d \"%s\" to %s (%s, %zu bytes)\n", command.program,
                        printable(preset.name).c_str(), command.path.c_str(),
                        chunkFormName(chunkFormOf(preset.chunk)), preset.chunk.size());
            break;
        }
        case Action::SaveBank: {
            FxBankFile bank;
            if (!captureBank(host, bank, error) ||
                !convertChunk(bank.chunk, form, current(), error) ||
                !writeBankFile(command.path, bank, error))
                return fail(kExitFailure, "cannot save the bank: " + error);
            std::printf("saved bank of %d programs to %s (%s, %zu bytes)\n", bank.numPrograms,
                        command.path.c_str(), chunkFormName(chunkFormOf(bank.chunk)),
                        bank.chunk.size());
            break;
        }
        case Action::LoadProgram: {
            FxProgramFile preset;
            if (!readProgramFile(command.path, effect->uniqueID, preset, error) ||
                !applyProgram(host, preset, error))
                return fail(kExitFailure, "cannot load the program: " + error);
            std::printf("loaded %s into program %ld \"%s\"\n", command.path.c_str(),
                        static_cast<long>(host.dispatch(vst::effGetProgram)),
                        printable(host.programName()).c_str());
            break;
        }
        case Action::LoadBank: {
            FxBankFile bank;
            if (!readBankFile(command.path, effect->uniqueID, bank, error) ||
                !applyBank(host, bank, error))
                return fail(kExitFailure, "cannot load the bank: " + error);
            std::printf("loaded bank %s\n", command.path.c_str());
            break;
        }
        }
    }
    host.close();
    return 0;
}

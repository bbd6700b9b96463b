#include "bankgen/FactorySource.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

using namespace kavrel;

namespace {

const char* const kVoiceNames[kNumVoices] = {"KD", "S8", "S9", "LT", "MT", "HT",
                                             "CH", "OH", "CY", "RS", "CL", "CB"};

int voiceByName(const std::string& name) {
    for (int v = 0; v < kNumVoices; ++v)
        if (name == kVoiceNames[v]) return v;
    return -1;
}

std::string trim(const std::string& text) {
    size_t a = text.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    size_t b = text.find_last_not_of(" \t\r");
    return text.substr(a, b - a + 1);
}

// Splits a line into words; a quoted text is one word (without its quotes).
std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
        } else if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos) end = line.size();
            out.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = i;
            while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
            out.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return out;
}

// Removes a comment that is not inside quotes.
std::string uncomment(const std::string& line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == '#' && !quoted) return line.substr(0, i);
    }
    return line;
}

bool toNumber(const std::string& text, float& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    return end && *end == 0 && std::isfinite(value);
}

void initialise(KavrelProgram& program, const KavrelParameterManager& manager) {
    program = KavrelProgram();
    for (int i = 0; i < kNumParams; ++i)
        program.params[i] = manager.realToNorm(i, manager.getDefault(i));
    for (int p = 0; p < kPatternsPerProgram; ++p) {
        for (int key : manager.patternParamSet) {
            program.patternValues[p][key] = program.params[key];
            program.hasPatternValue[p][key] = 1;
        }
        for (int k = 0; k < kKitParams; ++k) program.patterns[p].ensureLane(kitParamAt(k));
    }
}

} // namespace

int FactorySource::findParameter(const std::string& name) const {
    float number;
    if (toNumber(name, number) && number == std::floor(number) && number >= 0 &&
        number < kNumParams)
        return static_cast<int>(number);
    for (int i = 0; i < kNumParams; ++i) {
        char shortName[16] = {};
        manager.getName(i, shortName, 8);
        if (manager.getLongName(i) == name || name == shortName) return i;
    }
    return -1;
}

bool FactorySource::parseValue(int index, const std::string& text, float& normalized) {
    float real;
    if (toNumber(text, real)) {
        if (real < manager.getMin(index) || real > manager.getMax(index)) return false;
        normalized = manager.realToNorm(index, real);
        return true;
    }
    // A choice or switch given by the text it displays.
    const int low = static_cast<int>(std::ceil(manager.getMin(index)));
    const int high = static_cast<int>(std::floor(manager.getMax(index)));
    for (int r = low; r <= high; ++r) {
        const float n = manager.realToNorm(index, static_cast<float>(r));
        char display[32] = {};
        manager.setNormValue(index, n);
        manager.getDisplay(index, display, 24);
        if (trim(display) == text) {
            normalized = n;
            return true;
        }
    }
    return false;
}

bool FactorySource::parse(const std::string& text, KavrelProgram& program, std::string& error) {
    initialise(program, manager);
    std::istringstream in(text);
    std::string raw;
    int lineNumber = 0;
    int pattern = -1;
    bool named = false;
    auto fail = [&](const std::string& message) {
        error = "line " + std::to_string(lineNumber) + ": " + message;
        return false;
    };
    while (std::getline(in, raw)) {
        ++lineNumber;
        const std::vector<std::string> w = words(uncomment(raw));
        if (w.empty()) continue;
        const std::string& key = w[0];
        if (key == "name") {
            if (w.size() != 2 || w[1].size() > 23)
                return fail("name needs one text of at most 23 characters");
            std::memset(program.name, 0, sizeof(program.name));
            std::memcpy(program.name, w[1].data(), w[1].size());
            named = true;
        } else if (key == "set") {
            if (w.size() != 3) return fail("set needs a parameter and a value");
            const int index = findParameter(w[1]);
            if (index < 0) return fail("no parameter \"" + w[1] + "\"");
            float n;
            if (!parseValue(index, w[2], n)) return fail("bad value \"" + w[2] + "\" for " + w[1]);
            const bool perPattern = KavrelParameterManager::isPatternParam(index);
            if (pattern >= 0) {
                if (!perPattern) return fail(w[1] + " is not a per-pattern parameter");
                program.patternValues[pattern][index] = n;
                if (pattern == 0) program.params[index] = n;
            } else {
                program.params[index] = n;
                if (perPattern)
                    for (int p = 0; p < kPatternsPerProgram; ++p)
                        program.patternValues[p][index] = n;
            }
        } else if (key == "pattern") {
            float number;
            if (w.size() != 2 || !toNumber(w[1], number) || number < 1 || number > 16 ||
                number != std::floor(number))
                return fail("pattern needs a number 1..16");
            pattern = static_cast<int>(number) - 1;
        } else if (key == "copy") {
            float number;
            if (pattern < 0 || w.size() != 2 || !toNumber(w[1], number) || number < 1 ||
                number > 16 || number != std::floor(number))
                return fail("copy needs a pattern number 1..16 inside a pattern");
            const int from = static_cast<int>(number) - 1;
            program.patterns[pattern].assign(program.patterns[from]);
            for (int k = 0; k < kNumParams; ++k)
                program.patternValues[pattern][k] = program.patternValues[from][k];
            if (pattern == 0)
                for (int k : manager.patternParamSet)
                    program.params[k] = program.patternValues[0][k];
        } else if (voiceByName(key) >= 0) {
            if (pattern < 0) return fail("step rows belong inside a pattern");
            const int v = voiceByName(key);
            std::string steps;
            for (size_t i = 1; i < w.size(); ++i) steps += w[i];
            if (steps.size() > kPatternSteps) return fail("more than 32 steps");
            KavrelPattern& pat = program.patterns[pattern];
            for (int s = 0; s < kPatternSteps; ++s) {
                const char c = s < static_cast<int>(steps.size()) ? steps[s] : '.';
                if (c == '.') {
                    pat.steps[v][s] = 0;
                } else if (c == 'x') {
                    pat.steps[v][s] = 0xff;
                    pat.velocities[v][s] = 0.7f;
                } else if (c >= '1' && c <= '9') {
                    pat.steps[v][s] = 0xff;
                    pat.velocities[v][s] = (c - '0') / 9.0f;
                } else {
                    return fail(std::string("bad step character '") + c + "'");
                }
            }
        } else if (key == "velrandom") {
            if (pattern < 0 || w.size() != 2 || voiceByName(w[1]) < 0)
                return fail("velrandom needs a voice inside a pattern");
            program.patterns[pattern].velocityRandomize[voiceByName(w[1])] = 1;
        } else if (key == "lane" || key == "lanerandom") {
            if (pattern < 0 || w.size() < 2)
                return fail(key + " needs a parameter inside a pattern");
            const int index = findParameter(w[1]);
            const int k = kitPosition(index);
            if (k < 0) return fail("no lanes for \"" + w[1] + "\"");
            KavrelPattern& pat = program.patterns[pattern];
            pat.setLocked(KavrelParameterManager::voiceOfParam(index), index, true);
            if (key == "lanerandom") {
                if (w.size() != 2) return fail("lanerandom takes only the parameter");
                pat.laneRandomize[k] = 1;
                continue;
            }
            float number;
            if (w.size() == 2 + kPatternSteps && toNumber(w[2], number)) {
                for (int s = 0; s < kPatternSteps; ++s) {
                    if (!toNumber(w[2 + s], number) || number < 0 || number > 1)
                        return fail("lane values are numbers 0..1");
                    pat.lanes[k][s] = number;
                }
                continue;
            }
            std::string values;
            for (size_t i = 2; i < w.size(); ++i) values += w[i];
            if (values.size() > kPatternSteps) return fail("more than 32 lane values");
            for (int s = 0; s < kPatternSteps; ++s) {
                const char c = s < static_cast<int>(values.size()) ? values[s] : '.';
                if (c == '.')
                    pat.lanes[k][s] = 0.5f;
                else if (c >= '0' && c <= '9')
                    pat.lanes[k][s] = (c - '0') / 9.0f;
                else
                    return fail(std::string("bad lane character '") + c + "'");
            }
        } else {
            return fail("unknown word \"" + key + "\"");
        }
    }
    if (!named) {
        lineNumber = 0;
        return fail("the program has no name");
    }
    return true;
}

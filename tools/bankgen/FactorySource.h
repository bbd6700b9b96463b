#pragma once
#include "core/KavrelPattern.h"
#include "params/KavrelParameterManager.h"

#include <string>

// Reads one program from its readable source text. The format, line by line ('#' starts a
// comment, blank lines are ignored):
//
//   name "00 Kit - Light House"      the program name (at most 23 characters)
//   set "Kickdrum Tune" 48           a parameter by long name, short name or index, with its
//                                    value in its own unit (Hz, msec, dB, %, BPM, ...), or the
//                                    text it displays for choices and switches ("1 x 16",
//                                    "INT", "On", "C"). Outside a pattern it sets the program's
//                                    value; a per-pattern parameter set there applies to all 16.
//   pattern 3                        the lines below describe pattern 3 (1..16)
//   copy 1                           (in a pattern) start from a copy of pattern 1
//   KD x... x... x..5 x...           a step row: voice (KD S8 S9 LT MT HT CH OH CY RS CL CB),
//                                    then one character per step: '.' off, 'x' on at velocity
//                                    0.7, '1'..'9' on at velocity n/9; blanks are ignored and
//                                    missing steps are off
//   velrandom CH                     re-randomise that row's velocities at every pattern start
//   lane "Kickdrum Tune" ..9. ..0.   per-step values of a sound or pan parameter: '.' is 0.5
//                                    (no change), '0'..'9' is n/9; or 32 numbers 0..1
//   lanerandom "Clap Tone"           re-randomise that lane at every pattern start
//
// Every pattern holds all 120 lanes, so the bank reads back exactly as written.
class FactorySource {
public:
    explicit FactorySource(KavrelParameterManager& manager) : manager(manager) {}

    // False with a message naming the line when the text is not valid.
    bool parse(const std::string& text, KavrelProgram& program, std::string& error);

private:
    int findParameter(const std::string& name) const;
    bool parseValue(int index, const std::string& text, float& normalized);

    KavrelParameterManager& manager;
};

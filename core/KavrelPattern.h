#pragma once
#include "params/KavrelParams.h"

#include <cstdint>

namespace kavrel {

constexpr int kPatternSteps = 32;
constexpr int kPatternsPerProgram = 16;
// The sound and pan parameters a pattern may hold per-step values for: 0..107, then 130..141.
constexpr int kKitParams = 120;

constexpr bool isKitParam(int index) {
    return (index >= 0 && index <= 107) || (index >= kParamPanFirst && index < kParamPanFirst + 12);
}
// Position of a kit parameter among the 120 (ascending index order), or -1.
constexpr int kitPosition(int index) {
    return index >= 0 && index <= 107                               ? index
           : index >= kParamPanFirst && index < kParamPanFirst + 12 ? index - kParamPanFirst + 108
                                                                    : -1;
}
constexpr int kitParamAt(int position) {
    return position < 108 ? position : position - 108 + kParamPanFirst;
}

// Step counts of the five step grids; the ticks per step come from the parameter table.
constexpr int kStepSizeLengths[5] = {32, 32, 24, 16, 12};

} // namespace kavrel

// One pattern: twelve rows of 32 steps with velocities, per-step parameter values (lanes) and
// the per-voice settings of probabilistic playing.
//
// Everything lives in fixed-size arrays. The editor, the host (through chunks) and the audio
// thread all touch a pattern without locks, so no edit may resize or rebuild anything the audio
// thread could be walking: a lock set or a lane map is a row of flags, and adding or removing
// an entry is a single byte store. The flags keep which entries exist, so a pattern still
// saves exactly the lanes and locks it holds.
struct KavrelPattern {
    uint8_t steps[kavrel::kNumVoices][kavrel::kPatternSteps];
    float velocities[kavrel::kNumVoices][kavrel::kPatternSteps];
    uint8_t velocityRandomize[kavrel::kNumVoices];
    // lockSets[v][k]: kit parameter k (kitParamAt) is in voice v's lock set.
    uint8_t lockSets[kavrel::kNumVoices][kavrel::kKitParams];
    // A lane and its randomise flag exist together, so the saved lane list and flag list
    // always describe the same parameters.
    uint8_t hasLane[kavrel::kKitParams];
    float lanes[kavrel::kKitParams][kavrel::kPatternSteps];
    uint8_t laneRandomize[kavrel::kKitParams];
    int selectedBeatsThreshold[kavrel::kNumVoices];
    int randomBeatsThreshold[kavrel::kNumVoices];
    int randomSizeTicks[kavrel::kNumVoices];
    float randomVelocity[kavrel::kNumVoices];
    int currentStep;
    int length;
    int stepTicks;
    int tickGrain;
    int64_t lastTickSeen;

    KavrelPattern();
    // Everything as a new pattern holds it.
    void reset();
    // Only what it does while it plays, and what the per-pattern values set in it: back at its
    // start, as a new pattern.
    void restPlay();

    // Moves to the given clock tick; true when that moved the pattern to another step.
    bool advance(int64_t tick);
    int stepBack();
    int stepForward();
    // The number of steps that play, safe to loop over even while another thread is changing
    // the length field.
    int stepCount() const {
        return length > 0 && length <= kavrel::kPatternSteps ? length : kavrel::kPatternSteps;
    }
    // Turns every step of a voice's row off.
    void clearRow(int voice);
    // Copies another pattern's content and play state (nothing when it is this pattern).
    void assign(const KavrelPattern& source);

    // Lock-set and lane access by parameter index; parameters outside the kit set are ignored.
    bool isLocked(int voice, int param) const;
    void setLocked(int voice, int param, bool locked);
    int lockCount(int voice) const;
    // Creates the lane (all 0.5, not randomised) if the pattern does not hold it yet.
    void ensureLane(int param);
    void clearLanes();
    int laneCount() const;
};

// One program slot: a name, the normalised value of every parameter, 16 patterns and, per
// pattern, the values of the per-pattern parameters.
struct KavrelProgram {
    static constexpr int kNameSize = 24;
    char name[kNameSize];
    float params[kavrel::kNumParams];
    KavrelPattern patterns[kavrel::kPatternsPerProgram];
    // Per-pattern values by parameter index; only the per-pattern parameters are ever present.
    float patternValues[kavrel::kPatternsPerProgram][kavrel::kNumParams];
    uint8_t hasPatternValue[kavrel::kPatternsPerProgram][kavrel::kNumParams];

    KavrelProgram();
    // Everything as a new program holds it, in place (a program is too large for the stack).
    void resetRecord();
    int patternValueCount(int pattern) const;
};

// The step sequencer: the clock that turns song position into ticks and steps, the step
// events that trigger voices and send notes, and pattern selection.
#include "core/Kavrel.h"

#include "core/KavrelRandom.h"

#include <algorithm>
#include <cmath>

using namespace kavrel;

namespace {
// Hosts have been seen reporting garbage; positions beyond this (millions of years of music)
// are treated as missing so that the tick arithmetic cannot overflow.
constexpr double kMaxPosition = 1.0e12;

// Outgoing notes last one 32nd note. A host tempo or time signature far outside music (a
// tempo of 1e-300 is finite and positive) would make that longer than an int holds; an hour
// and more of audio is as good as endless, and keeps delta + length far from overflowing.
constexpr double kMaxNoteLength = 1 << 30;

int noteLengthOf(double samples) {
    if (!(samples > 0.0)) return 0;
    return samples >= kMaxNoteLength ? static_cast<int>(kMaxNoteLength) : static_cast<int>(samples);
}

bool usableTimeInfo(const vst::VstTimeInfo* info) {
    if (!info) return false;
    if (!std::isfinite(info->tempo) || info->tempo <= 0.0) return false;
    if (!std::isfinite(info->ppqPos) || std::fabs(info->ppqPos) > kMaxPosition) return false;
    if ((info->flags & vst::kVstTimeSigValid) && info->timeSigDenominator <= 0) return false;
    return true;
}
} // namespace

Kavrel::BlockClock Kavrel::startBlockClock() {
    BlockClock clock;
    clock.position = songPosition.load(std::memory_order_relaxed);
    clock.increment = 0.0;
    clock.swing = paramManager.getDspValue(kParamSwing);
    const double rate = sampleRate;
    const double tempo = paramManager.getRealValue(kParamTempo);
    clock.noteLength = noteLengthOf(rate / (tempo * 8.0 / 60.0));

    switch (static_cast<int>(paramManager.getRealValue(kParamSync))) {
    case kSyncHost: {
        const vst::VstTimeInfo* info =
            getTimeInfo(vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstTransportPlaying);
        if (!usableTimeInfo(info)) {
            // Nothing usable for this block: hold the position, keep the transport state.
            if (hostTempo > 0.0) clock.noteLength = noteLengthOf(rate / (hostTempo * 8.0 / 60.0));
            break;
        }
        playing = (info->flags & vst::kVstTransportPlaying) != 0;
        clock.position = info->ppqPos;
        // The host's position and tempo are in quarter notes whatever the meter, so the
        // position moves by tempo / 60 quarters a second in 6/8 and 2/2 as in 4/4, and a
        // note lasts one 32nd of a quarter-note beat.
        hostTempo = info->tempo;
        clock.increment = info->tempo / 60.0 / rate;
        clock.noteLength = noteLengthOf(rate / (info->tempo * 8.0 / 60.0));
        break;
    }
    case kSyncInternal:
        clock.increment = playing ? tempo / 60.0 / rate : 0.0;
        break;
    default: // MIDI: only notes move the pattern
        clock.noteLength = static_cast<int>(rate * 0.0625);
        clock.swing = 1.0f;
        break;
    }
    return clock;
}

namespace {

// The clock in ticks (24 a quarter note) at `position` in quarter notes, the second sixteenth
// of each pair moved late by the swing u.
double swungTicks(double u, double position) {
    const double h = position * 4.0;
    const double e = std::fmod(h, 2.0);
    const double g =
        e < 1.0 ? std::floor(h) + e * u : std::floor(h) + (2.0 - u) * e - 3.0 + 2.0 * u;
    // A position that lands exactly on a tick boundary is computed from the host's block
    // start plus samples into the block, and rounds to either side depending on where the
    // block started; a margin far below one sample keeps such hits on the same sample at any
    // block size.
    return g * 6.0 + 1e-7;
}

// Beyond this the rounding of the tick count approaches the margin below; song positions
// never get there (a million quarter notes is days of music), and past it the clock simply
// goes sample by sample.
constexpr double kSkipPositionLimit = 1.0e6;

} // namespace

int Kavrel::samplesOnSameTick(const BlockClock& clock, double position, int limit) const {
    if (limit <= 0 || !(clock.increment >= 0.0) || !(position >= 0.0)) return 0;
    if (!(position + (limit + 1.0) * clock.increment < kSkipPositionLimit)) return 0;
    if (clock.increment == 0.0) return limit;
    const double ticks = swungTicks(clock.swing, position);
    const double room = std::floor(ticks) + 1.0 - ticks;
    // The clock runs at most max(u, 2 - u) times its even pace (24 ticks a quarter note)
    // through either half of a swung pair: it cannot cover `room` in fewer samples than this.
    // Two samples of margin keep the rounding of positions and ticks far away.
    const double u = clock.swing;
    const double fastest = 24.0 * std::max(std::fabs(u), std::fabs(2.0 - u)) * clock.increment;
    const double samples = room / fastest - 2.0;
    if (!(samples > 0.0)) return 0;
    return samples >= limit ? limit : static_cast<int>(samples);
}

bool Kavrel::dueTick(const BlockClock& clock, double position, int64_t& tick) {
    // A position the host's tempo carried beyond the range the ticks are computed in plays
    // nothing, like a negative one.
    if (!playing || !(position >= 0.0) || position > kMaxPosition) {
        clockRunning = false;
        return false;
    }
    tick = static_cast<int64_t>(swungTicks(clock.swing, position));
    // The first tick after the transport starts always plays its step, even when the pattern
    // stopped on that same step.
    if (!clockRunning) return true;
    // Hosts ramping the tempo with large blocks can start a block a few samples before where
    // the last one ended. Less than a step back is that jitter, not a relocation: nothing
    // plays again, and the clock goes on once the position passes the last tick.
    if (tick < lastTick && lastTick - tick < currentPatternPointer->stepTicks) return false;
    return tick != lastTick;
}

void Kavrel::runClock(const BlockClock& clock, int64_t tick, int frame) {
    const bool restart = !clockRunning;
    clockRunning = true;
    lastTick = tick;
    if (currentPatternPointer->advance(tick) || restart)
        stepEvent(tick, frame, clock.noteLength);
    else
        betweenSteps(frame, clock.noteLength);
}

void Kavrel::patternStart(int64_t tick, bool randomizeLanesAlways) {
    if (pendingPattern != currentPattern) {
        selectPattern(pendingPattern);
        currentPatternPointer->advance(tick);
    }
    KavrelPattern& pat = *currentPatternPointer;
    const int length = pat.stepCount();
    for (int v = 0; v < kNumVoices; ++v) {
        if (paramManager.getRealValue(kParamRandomResetFirst + v) == 1.0f) {
            for (uint8_t& step : pat.steps[v]) step = static_cast<uint8_t>(kavrel::rand() & 1);
            sendRow(v);
        }
        if (pat.velocityRandomize[v]) {
            for (int k = 0; k < length; ++k)
                pat.velocities[v][k] = static_cast<float>(kavrel::rand() / 32767.0);
            if (editorOpen()) editorNotify->refreshLane(kRefreshVelocities);
        }
        if (!midiOutputOnly || randomizeLanesAlways) {
            for (int k = 0; k < kKitParams; ++k) {
                if (!pat.lockSets[v][k] || !pat.laneRandomize[k]) continue;
                for (int s = 0; s < length; ++s)
                    pat.lanes[k][s] = static_cast<float>(kavrel::rand() / 32767.0);
                if (editorOpen()) editorNotify->refreshLane(kitParamAt(k));
            }
        }
    }
}

void Kavrel::triggerVoice(int v, float velocity) {
    voices[v]->trigger(velocity);
    if (v == CH) openHat.choke();
}

void Kavrel::fireVoices(int t, int frame, int noteLength, bool applyAlways) {
    KavrelPattern& pat = *currentPatternPointer;
    for (int v = 0; v < kNumVoices; ++v) {
        if (voiceGain[v] == 0.0f) continue;
        const int size = pat.randomSizeTicks[v];
        bool fire = pat.steps[v][t] != 0 && kavrel::rand() < pat.selectedBeatsThreshold[v];
        if (!fire)
            fire = size > 0 && pat.tickGrain >= size && pat.tickGrain % size == 0 &&
                   kavrel::rand() < pat.randomBeatsThreshold[v];
        if (!fire) continue;
        float velocity = pat.steps[v][t] != 0         ? pat.velocities[v][t]
                         : pat.randomVelocity[v] != 0 ? pat.randomVelocity[v]
                                                      : pat.velocities[v][pat.currentStep];
        if (!midiOutputOnly || applyAlways) {
            releaseLanes(v, true);
            for (int k = 0; k < kKitParams; ++k) {
                if (!pat.lockSets[v][k]) continue;
                const int p = kitParamAt(k);
                applyToEngine(p, paramManager.getDspValueOffset(p, pat.lanes[k][t]));
                laneApplied[k] = 1;
            }
            triggerVoice(v, velocity);
        }
        sendMidiNote(v, velocity, frame, noteLength);
    }
}

void Kavrel::releaseLanes(int v, bool patternPlays) {
    const KavrelPattern& pat = *currentPatternPointer;
    for (int k = 0; k < kKitParams; ++k) {
        if (!laneApplied[k] || laneVoice[k] != v) continue;
        // Stored patterns may lock a parameter in another voice's set than its own.
        bool locked = false;
        for (int u = 0; u < kNumVoices && patternPlays && !locked; ++u)
            locked = pat.lockSets[u][k] != 0;
        if (locked) continue;
        const int p = kitParamAt(k);
        applyToEngine(p, paramManager.getDspValue(p));
        laneApplied[k] = 0;
    }
}

void Kavrel::stepEvent(int64_t tick, int frame, int noteLength) {
    int t = currentPatternPointer->currentStep;
    if (t == 0) {
        patternStart(tick, false);
        t = currentPatternPointer->currentStep;
    }
    fireVoices(t, frame, noteLength, false);
    if (editorOpen()) editorNotify->showStepPosition(t);
}

void Kavrel::betweenSteps(int frame, int noteLength) {
    KavrelPattern& pat = *currentPatternPointer;
    for (int v = 0; v < kNumVoices; ++v) {
        const int size = pat.randomSizeTicks[v];
        if (size > 0 && pat.tickGrain >= size && pat.tickGrain % size == 0 &&
            kavrel::rand() < pat.randomBeatsThreshold[v] && voiceGain[v] != 0.0f) {
            float velocity = pat.randomVelocity[v] != 0 ? pat.randomVelocity[v]
                                                        : pat.velocities[v][pat.currentStep];
            if (!midiOutputOnly) {
                releaseLanes(v, true);
                triggerVoice(v, velocity);
            }
            sendMidiNote(v, velocity, frame, noteLength);
        }
    }
}

void Kavrel::midiStep(int note, int frame) {
    KavrelPattern& pat = *currentPatternPointer;
    int d;
    if (note == 83)
        d = pat.stepBack();
    else if (note == 84)
        d = pat.stepForward();
    else {
        pat.advance(0);
        d = 0;
    }
    if (d == 0) {
        patternStart(currentPatternPointer->lastTickSeen, true);
        d = 0;
    }
    fireVoices(d, frame, static_cast<int>(sampleRate * 0.0625f), true);
    midiStepAge = 0;
    if (editorOpen()) editorNotify->showStepPosition(d);
}

void Kavrel::requestPattern(int p) {
    if (p < 0 || p >= kPatternsPerProgram) return;
    if (!inAudioCallback) {
        // Only the thread that plays moves the pattern it plays: a host thread's choice is
        // taken at the next block, or here at once when no audio runs.
        patternRequest.store(p);
        if (editorOpen()) editorNotify->showPendingPattern(p);
        landWithoutAudio();
        return;
    }
    if (!playing) {
        selectPattern(p);
        return;
    }
    pendingPattern = p;
    if (editorOpen()) editorNotify->showPendingPattern(p);
}

void Kavrel::selectPattern(int p) {
    if (p < 0 || p >= kPatternsPerProgram) return;
    currentPattern = pendingPattern = p;
    currentPatternPointer = &playingProgram().patterns[p];
    // The Pattern parameter shows, and a saved program restores, the pattern that plays,
    // however it was chosen (a MIDI note, the end of a pattern, the parameter itself).
    if (clampIndex(paramManager.getRealValue(kParamPattern), kPatternsPerProgram - 1) != p)
        recallValue(kParamPattern, paramManager.realToNorm(kParamPattern, static_cast<float>(p)));
    applyPatternValues();
    if (editorOpen()) editorNotify->showPattern(pendingPattern);
}

void Kavrel::applyPatternValues() {
    const KavrelProgram& slot = playingProgram();
    const int p = currentPattern;
    for (int index : paramManager.patternParamSet) {
        if (!slot.hasPatternValue[p][index]) continue;
        const float value = slot.patternValues[p][index];
        // Every value goes into the new pattern, but the host hears only of those that
        // changed at a switch (hosts writing automation would otherwise record all of them),
        // and of none that a program change or a load recalls: the host chose those.
        if (resumed && !recalling && value != paramManager.getNormValue(index))
            setParameterAutomated(index, value);
        else
            setParameter(index, value);
    }
    if (editorOpen()) {
        for (int v = 0; v < kNumVoices; ++v) editorNotify->showRowSteps(v);
        editorNotify->refreshLane(kRefreshPattern);
    }
}

void Kavrel::resetSongPosition() {
    if (static_cast<int>(paramManager.getRealValue(kParamSync)) == kSyncInternal)
        songPosition.store(0.0, std::memory_order_relaxed);
}

float Kavrel::currentTempo() const {
    if (static_cast<int>(paramManager.getRealValue(kParamSync)) == kSyncInternal)
        return paramManager.getRealValue(kParamTempo);
    return static_cast<float>(hostTempo);
}

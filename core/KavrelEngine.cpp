// The audio engine: how parameter values reach voices, mixer and pattern, and the mix itself.
#include "core/Kavrel.h"

#include "core/KavrelDenormals.h"
#include "core/KavrelRandom.h"

#include <algorithm>
#include <cmath>
#include <optional>

using namespace kavrel;

void Kavrel::setParameter(vst::int32 index, float value) {
    if (!isParameterIndex(index)) return;
    value = sanitizeNormalized(value);
    // A host thread's value goes into the playing copy, which must not be reused meanwhile.
    std::optional<Pin> pin;
    if (!inAudioCallback) pin.emplace(*this);
    if (!recalling) hostValue[index].store(value, std::memory_order_relaxed);
    // A value set between a program change and the block that lands it belongs to the new
    // program: it waits and goes in after the landing, rather than acting now on the program
    // that is about to be replaced (a pattern selected now would be the old program's).
    if (!inAudioCallback && !recalling && exchange.hasPending() && deferToHandover(index, value))
        return;
    paramManager.setNormValue(index, value);
    KavrelProgram& slot = playingProgram();
    slot.params[index] = value;
    if (KavrelParameterManager::isPatternParam(index)) {
        slot.patternValues[currentPattern][index] = value;
        slot.hasPatternValue[currentPattern][index] = 1;
    }
    KavrelPattern& pat = actingPattern();

    if ((index <= 107) || (index >= kParamTempo && index <= kParamSync) || index == kParamOutputA ||
        (index >= kParamLevelFirst && index <= 141) || (index >= kParamMuteFirst && index <= 201) ||
        (index >= kParamClearFirst && index <= 261)) {
        applyToEngine(index, paramManager.getDspValue(index));
    } else if (index == kParamStepSize) {
        pat.stepTicks = static_cast<int>(paramManager.getDspValue(index));
        pat.length = kStepSizeLengths[clampIndex(paramManager.getRealValue(index), 4)];
        if (pat.currentStep >= pat.length) pat.currentStep = 0;
    } else if (index == kParamPlay) {
        if (static_cast<int>(paramManager.getRealValue(kParamSync)) == kSyncInternal) {
            if (value == 0.25f || !playing) resetSongPosition();
            if (value == 1.0f) playing = true;
        }
    } else if (index == kParamStop) {
        if (value > 0.5f) {
            playing = false;
            setParameterAutomated(kParamPlay, 0.0f);
        }
    } else if (index == kParamPattern) {
        requestPattern(clampIndex(paramManager.getRealValue(index), kPatternsPerProgram - 1));
    } else if (index == kParamCompressor) {
        compressor.set_input_gain(10.0f * value);
        compressor.set_output_gain(18.0f * value);
        compressor.set_threshold(-30.0f * value);
    } else if (index == kParamCompressorAttack) {
        // The parameter reads in milliseconds but the compressor takes the number as seconds;
        // factory programs are voiced with that response, so it stays.
        compressor.set_attack(paramManager.getRealValue(index));
    } else if (index >= kParamOutputFirst && index < kParamOutputFirst + kNumVoices) {
        voiceOutput[index - kParamOutputFirst] = clampIndex(paramManager.getRealValue(index), 5);
    } else if (index >= kParamRandomSizeFirst && index < kParamRandomSizeFirst + kNumVoices) {
        pat.randomSizeTicks[index - kParamRandomSizeFirst] =
            static_cast<int>(paramManager.getDspValue(index));
    } else if (index >= kParamRandomVelocityFirst &&
               index < kParamRandomVelocityFirst + kNumVoices) {
        pat.randomVelocity[index - kParamRandomVelocityFirst] = value;
    } else if (index == kParamMidiOutputOnly) {
        midiOutputOnly = value == 1.0f;
    }

    if (editorNotify) editorNotify->setParameter(index, value);
}

void Kavrel::applyToEngine(int index, float x) {
    switch (index) {
    // Kick.
    case 0:
        kick.set_tune(x);
        break;
    case 1:
        kick.set_saturation(x);
        break;
    case 2:
        kick.set_amp_attack_time(x);
        break;
    case 3:
        kick.set_amp_attack_curve(x);
        break;
    case 4:
        kick.set_amp_decay_time(x);
        break;
    case 5:
        kick.set_amp_decay_curve(x);
        break;
    case 6:
        kick.set_pitch_attack_time(x);
        break;
    case 7:
        kick.set_pitch_attack_curve(x);
        break;
    case 8:
        kick.set_pitch_decay_time(x);
        break;
    case 9:
        kick.set_pitch_decay_curve(x);
        break;
    case 10:
        kick.set_pitch_depth(x);
        break;
    case 11:
        kick.set_noise_frequency(x);
        break;
    case 12:
        kick.set_click_level(x);
        break;
    case 13:
        kick.set_waveform(static_cast<int>(x));
        break;
    // Snare 9. Its tone and noise attacks (15, 16, 20, 21) stay at their built-in shape.
    case 14:
        snare909.set_tune(x);
        break;
    case 17:
        snare909.set_tone_decay(x);
        break;
    case 18:
        snare909.set_tone_decay_curve(x);
        break;
    case 19:
        snare909.set_noise_color(x);
        break;
    case 22:
        snare909.set_noise_decay(x);
        break;
    case 23:
        snare909.set_noise_decay_curve(x);
        break;
    case 24:
        snare909.set_noise_level(x);
        break;
    // Snare 8.
    case 25:
        snare808.set_tune(x);
        break;
    case 26:
        snare808.set_noise_color(x);
        break;
    case 27:
        snare808.set_noise_decay(x);
        break;
    case 28:
        snare808.set_noise_level(x);
        break;
    // Clap.
    case 71:
        claps.set_tone(x);
        break;
    case 72:
        claps.set_reverb(x);
        break;
    // Cowbell. Its attack (75, 76) stays at its built-in shape.
    case 73:
        cowbell.set_tune(x);
        break;
    case 74:
        cowbell.set_ratio(x);
        break;
    case 77:
        cowbell.set_amp_decay_time(x);
        break;
    case 78:
        cowbell.set_amp_decay_curve(x);
        break;
    case 79:
        cowbell.set_filter_frequency(x);
        break;
    case 80:
        cowbell.set_filter_resonance(x);
        break;
    case 81:
    case kParamLevelFirst + CB:
        voiceGain[CB] = paramManager.getRealValue(81) == 1.0f
                            ? 1.2f
                            : paramManager.getDspValue(kParamLevelFirst + CB);
        break;
    // Closed and open hat.
    case 82:
        closedHat.set_bandpass_frequency(x);
        break;
    case 83:
        closedHat.set_highpass_frequency(x);
        break;
    case 84:
        closedHat.set_tune(x);
        break;
    case 85:
        closedHat.set_noise_mix(x);
        break;
    case 86:
        closedHat.set_amp_decay_time(x);
        break;
    case 87:
        openHat.set_bandpass_frequency(x);
        break;
    case 88:
        openHat.set_highpass_frequency(x);
        break;
    case 89:
        openHat.set_tune(x);
        break;
    case 90:
        openHat.set_noise_mix(x);
        break;
    case 91:
        openHat.set_amp_decay_time(x);
        break;
    case 92:
        openHat.set_amp_decay_curve(x);
        break;
    // Cymbal.
    case 93:
        cymbal.set_tune(x);
        break;
    case 94:
        cymbal.set_noise_level(x);
        break;
    case 95:
        cymbal.set_ding_level(x);
        break;
    case 96:
        cymbal.set_body_frequency(x);
        break;
    case 97:
        cymbal.set_amp_attack_time(x);
        break;
    case 98:
        cymbal.set_amp_attack_curve(x);
        break;
    case 99:
        cymbal.set_amp_decay_time(x);
        break;
    case 100:
        cymbal.set_amp_decay_curve(x);
        break;
    case 101:
        cymbal.set_ding_frequency(x);
        break;
    case 102:
        cymbal.set_ding_attack_time(x);
        break;
    case 103:
        cymbal.set_ding_attack_curve(x);
        break;
    case 104:
        cymbal.set_ding_decay_time(x);
        break;
    case 105:
        cymbal.set_ding_decay_curve(x);
        break;
    // Rimshot.
    case 106:
        rimshot.set_tuning(x);
        break;
    case 107:
        rimshot.set_highpass_frequency(x);
        break;
    default:
        if (index >= 29 && index <= 70) {
            kavrel_voice_tom& tom = index < 43 ? lowTom : index < 57 ? midTom : highTom;
            switch ((index - 29) % 14) {
            case 0:
                tom.set_tune(x);
                break;
            case 1:
                tom.set_pitch_depth(x);
                break;
            case 2:
                tom.set_click_level(x);
                break;
            case 3:
                tom.set_noise_level(x);
                break;
            case 4:
                tom.set_tone_level(x);
                break;
            case 5:
                tom.set_saturation(x);
                break;
            case 6:
                tom.set_tone1_attack_time(x);
                break;
            case 7:
                tom.set_tone1_attack_curve(x);
                break;
            case 8:
                tom.set_tone1_decay_time(x);
                break;
            case 9:
                tom.set_tone1_decay_curve(x);
                break;
            case 10:
                tom.set_tone2_attack_time(x);
                break;
            case 11:
                tom.set_tone2_attack_curve(x);
                break;
            case 12:
                tom.set_tone2_decay_time(x);
                break;
            case 13:
                tom.set_tone2_decay_curve(x);
                break;
            }
        } else if (index >= kParamLevelFirst && index < kParamLevelFirst + CB) {
            voiceGain[index - kParamLevelFirst] = paramManager.getDspValue(index);
        } else if (index >= kParamPanFirst && index < kParamPanFirst + kNumVoices) {
            int k = clampIndex(x * 999.0f, 999);
            voicePanLeft[index - kParamPanFirst] = paramManager.panCosTable[k];
            voicePanRight[index - kParamPanFirst] = paramManager.panSinTable[k];
        } else if (index >= kParamMuteFirst && index < kParamMuteFirst + kNumVoices) {
            updateVoiceGain(index - kParamMuteFirst);
        } else if (index >= kParamSoloFirst && index < kParamSoloFirst + kNumVoices) {
            updateSolo(index, x > 0.5f);
        } else if (index >= kParamSelectedBeatsFirst && index < kParamSelectedBeatsFirst + 12) {
            actingPattern().selectedBeatsThreshold[index - kParamSelectedBeatsFirst] =
                static_cast<int>(x * 32767.0f);
        } else if (index >= kParamRandomBeatsFirst && index < kParamRandomBeatsFirst + 12) {
            actingPattern().randomBeatsThreshold[index - kParamRandomBeatsFirst] =
                static_cast<int>(x * 32767.0f);
        } else if (index >= kParamClearFirst && index < kParamClearFirst + kNumVoices) {
            if (x == 1.0f) {
                int v = index - kParamClearFirst;
                actingPattern().clearRow(v);
                sendRow(v);
            }
        } else if (index >= kParamRandomFillFirst && index < kParamRandomFillFirst + 12) {
            if (x == 1.0f) {
                int v = index - kParamRandomFillFirst;
                for (uint8_t& step : actingPattern().steps[v])
                    step = static_cast<uint8_t>(kavrel::rand() & 1);
                sendRow(v);
            }
        }
        break;
    }
}

void Kavrel::updateVoiceGain(int v) {
    bool audible = paramManager.getRealValue(kParamMuteFirst + v) != 1.0f;
    if (soloParam != 0) audible = audible && (soloParam - kParamSoloFirst == v);
    voiceGain[v] = audible ? paramManager.getDspValue(kParamLevelFirst + v) : 0.0f;
}

void Kavrel::updateSolo(int index, bool on) {
    if (on) {
        // Solo is exclusive, and the host records every solo this releases.
        for (int other = kParamSoloFirst; other < kParamSoloFirst + kNumVoices; ++other)
            if (other != index && paramManager.getRealValue(other) == 1.0f) {
                // A recall applies the stored solos without reporting to the host.
                if (recalling)
                    setParameter(other, 0.0f);
                else
                    setParameterAutomated(other, 0.0f);
            }
        soloParam = index;
    } else if (soloParam == index) {
        // Only the solo that is on can end it: a program recall applies the solos in index
        // order, and a later solo that is off must not undo an earlier one that is on.
        soloParam = 0;
    }
    for (int v = 0; v < kNumVoices; ++v) updateVoiceGain(v);
}

void Kavrel::sendRow(int voice) {
    if (editorOpen()) editorNotify->showRowSteps(voice);
}

void Kavrel::setSampleRate(float rate) {
    // A rate that is not a positive number would turn every coefficient into infinities.
    if (!(rate > 0.0f) || !std::isfinite(rate)) return;
    // Compared with this instance's own rate: another instance at the same rate must not keep
    // this one's voices at the rate they were built with.
    if (rate == sampleRate) return;
    AudioEffectX::setSampleRate(rate);
    for (kavrel_voice* v : voices) v->set_sample_rate(rate);
    compressor.set_sample_rate(rate);
}

// Mixes the voices into the six pairs for frames [from, to), where nothing triggers a voice or
// changes the sequencer. Sums run voice by voice in the same order for every sample, so the
// output is the same as mixing sample by sample.
void Kavrel::renderVoices(float** outputs, int from, int to, float masterGain) {
    while (from < to) {
        const int n = std::min(to - from, kRenderRun);
        if (midiOutputOnly) {
            for (int c = 0; c < kNumOutputs; ++c) std::fill_n(outputs[c] + from, n, 0.0f);
            from += n;
            continue;
        }
        float* left[6] = {pairARun[0]};
        float* right[6] = {pairARun[1]};
        for (int k = 1; k < 6; ++k) {
            left[k] = outputs[2 * k] + from;
            right[k] = outputs[2 * k + 1] + from;
        }
        for (int k = 0; k < 6; ++k) {
            std::fill_n(left[k], n, 0.0f);
            std::fill_n(right[k], n, 0.0f);
        }
        for (int v = 0; v < kNumVoices; ++v) {
            const float gain = voiceGain[v];
            if (gain == 0.0f) continue;
            // An idle voice would add exactly 0.0 to sums that start at +0.0 and so never
            // hold -0.0: skipping it changes no bit.
            if (!voices[v]->process_block(voiceRun, n)) continue;
            const int pair = voiceOutput[v];
            float* l = left[pair];
            float* r = right[pair];
            const float panLeft = voicePanLeft[v];
            const float panRight = voicePanRight[v];
            for (int i = 0; i < n; ++i) {
                float s = voiceRun[i] * gain;
                // A voice caught mid-change by another thread may give one bad sample; it
                // must never reach the host's mix.
                if (!std::isfinite(s)) s = 0.0f;
                l[i] += s * panLeft;
                r[i] += s * panRight;
            }
        }
        float* outLeft = outputs[0] + from;
        float* outRight = outputs[1] + from;
        compressor.process_stereo_run(pairARun[0], pairARun[1], outLeft, outRight, n, masterGain);
        from += n;
    }
}

thread_local bool Kavrel::inAudioCallback = false;

void Kavrel::processReplacing(float**, float** outputs, vst::int32 sampleFrames) {
    if (!outputs || sampleFrames <= 0) return;
    for (int c = 0; c < kNumOutputs; ++c)
        if (!outputs[c]) return;
    // Parameters set from inside the block (learned controllers) act at once.
    struct InCallback {
        InCallback() { inAudioCallback = true; }
        ~InCallback() { inAudioCallback = false; }
    } inCallback;

    // A host thread landing a change without audio (a host that processes while it suspends)
    // holds the player's place: this block renders silence rather than wait for it.
    if (playerBusy.exchange(true, std::memory_order_acquire)) {
        for (int c = 0; c < kNumOutputs; ++c) std::fill_n(outputs[c], sampleFrames, 0.0f);
        return;
    }
    struct Playing {
        std::atomic<bool>& busy;
        ~Playing() { busy.store(false, std::memory_order_release); }
    } player{playerBusy};

    const KavrelFlushDenormals flushDenormals;
    takeHandover();
    takePatternRequest();
    midiOut.beginBlock(sampleFrames);
    BlockClock clock = startBlockClock();
    const float masterGain = paramManager.getDspValue(kParamOutputA);
    double position = clock.position;
    int nextEvent = 0;
    int rendered = 0;
    // Events land at their own sample; deltas outside the block are held to its edges.
    auto eventDue = [&](int i) {
        return nextEvent < inputCount &&
               (inputEvents[nextEvent].delta <= i || i == sampleFrames - 1);
    };
    // The first sample after i where an event can be due (the block's end when none is left).
    auto nextEventFrame = [&](int i) {
        if (nextEvent >= inputCount) return sampleFrames;
        return std::min(std::max(inputEvents[nextEvent].delta, i + 1), sampleFrames - 1);
    };
    for (int i = 0; i < sampleFrames; ++i) {
        if (eventDue(i)) {
            renderVoices(outputs, rendered, i, masterGain);
            rendered = i;
            while (eventDue(i)) applyInputEvent(inputEvents[nextEvent++], i);
        }
        if (!playing) {
            // A stopped clock can only be started by an event.
            clockRunning = false;
            i = nextEventFrame(i) - 1;
        } else {
            int64_t tick = 0;
            if (dueTick(clock, position, tick)) {
                renderVoices(outputs, rendered, i, masterGain);
                rendered = i;
                runClock(clock, tick, i);
            } else if (clockRunning && tick == lastTick) {
                // Nothing is due before the clock reaches its next tick or an event arrives.
                i += samplesOnSameTick(clock, position, nextEventFrame(i) - i - 1);
            }
        }
        // From the block's start rather than summed sample by sample: the host hands its
        // position at every block start, and a sample must get the same position whatever
        // the block size.
        position = clock.position + (i + 1) * clock.increment;
    }
    renderVoices(outputs, rendered, sampleFrames, masterGain);
    inputCount = 0;
    songPosition.store(position, std::memory_order_relaxed);
    lastStep = currentPatternPointer->currentStep;
    // MIDI sync has no transport of its own: it counts as running while steps keep coming.
    const auto runningFor = static_cast<int64_t>(2.0f * sampleRate);
    if (midiStepAge < runningFor) midiStepAge += sampleFrames;
    const bool midiRunning = static_cast<int>(paramManager.getRealValue(kParamSync)) == kSyncMidi &&
                             midiStepAge < runningFor;
    transportRunning.store(playing || midiRunning, std::memory_order_relaxed);
    midiOut.endBlock();
}

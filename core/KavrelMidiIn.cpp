// MIDI input: voice notes, pattern notes, MIDI-clock steps and learned controllers.
#include "core/Kavrel.h"

#include "params/KavrelMidiAssignments.h"

using namespace kavrel;

namespace {
// The controller seen last while learning; one for the whole process, so a controller moved
// while two instances learn is learned by whichever sees its second message.
std::atomic<uint8_t> lastLearnController{255};
constexpr float kVelocityScale = 0.007874016f; // 1 / 127
} // namespace

vst::int32 Kavrel::processEvents(vst::VstEvents* events) {
    if (!events || events->numEvents <= 0) return 1;
    // The list holds numEvents pointers although the structure declares two; reading them
    // through a plain pointer keeps the access defined.
    vst::VstEvent* const* slots = events->events;
    for (int e = 0; e < events->numEvents; ++e) {
        const vst::VstEvent* event = slots[e];
        if (!event || event->type != vst::kVstMidiType) continue;
        // A record too short to hold the MIDI bytes is not a MIDI event we can read.
        if (event->byteSize < static_cast<vst::int32>(offsetof(vst::VstMidiEvent, detune)))
            continue;
        const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
        if (inputCount == kMaxInputEvents) break;
        InputEvent in{midi->deltaFrames < 0 ? 0 : midi->deltaFrames,
                      static_cast<uint8_t>(midi->midiData[0]),
                      static_cast<uint8_t>(midi->midiData[1] & 0x7f),
                      static_cast<uint8_t>(midi->midiData[2] & 0x7f)};
        // Keep delta order, and list order among equal deltas.
        int k = inputCount++;
        while (k > 0 && inputEvents[k - 1].delta > in.delta) {
            inputEvents[k] = inputEvents[k - 1];
            --k;
        }
        inputEvents[k] = in;
    }
    return 1;
}

void Kavrel::applyInputEvent(const InputEvent& event, int frame) {
    const int status = event.status & 0xf0;
    if (status == 0x90 && event.data2 > 0) {
        const float velocity = event.data2 * kVelocityScale;
        const int note = event.data1;
        if (note >= 60 && note <= 75) {
            if (playing) {
                pendingPattern = note - 60;
                if (editorOpen()) editorNotify->showPendingPattern(note - 60);
            } else {
                selectPattern(note - 60);
            }
            return;
        }
        if (note == 83 || note == 84 || note == 86) {
            if (paramManager.getRealValue(kParamSync) == 2.0f) midiStep(note, frame);
            return;
        }
        for (int v = 0; v < kNumVoices; ++v) {
            if (noteOfVoice(v) != note) continue;
            if (voiceGain[v] == 0.0f) return;
            // A live hit takes the lane value of the playing step only while a pattern with
            // that lane plays; otherwise the parameter's own value.
            releaseLanes(v, playing);
            if (v == CH) openHat.choke();
            voices[v]->trigger(velocity);
            return;
        }
    } else if (status == 0xb0) {
        if (event.data1 != 123 && event.data1 != 126) handleController(event.data1, event.data2);
    }
}

void Kavrel::handleController(int controller, int value) {
    if (learnMode.load(std::memory_order_relaxed)) {
        if (controller == lastLearnController.load(std::memory_order_relaxed)) {
            const int param = learnParam.load(std::memory_order_relaxed);
            controllerMap.assign(controller, param);
            // The audio thread never writes files: the next call on another thread does.
            // Learning again needs the editor's toggleLearn, which writes this one first, so
            // one slot is enough.
            learnedAssignment.store(controller << 16 | param, std::memory_order_release);
            lastLearnController.store(255, std::memory_order_relaxed);
            learnMode.store(0, std::memory_order_relaxed);
            if (editorNotify) editorNotify->learnHighlight(param, false);
        } else {
            lastLearnController.store(static_cast<uint8_t>(controller), std::memory_order_relaxed);
        }
        return;
    }
    int parameters[kNumParams];
    const int count = controllerMap.parametersOf(controller, parameters);
    for (int i = 0; i < count; ++i) setParameter(parameters[i], value * kVelocityScale);
}

void Kavrel::toggleLearn(int index) {
    if (!isParameterIndex(index)) return;
    flushAssignments();
    if (!learnMode.load(std::memory_order_relaxed)) {
        learnParam.store(index, std::memory_order_relaxed);
        learnMode.store(1, std::memory_order_relaxed);
        if (editorNotify) editorNotify->learnHighlight(index, true);
        return;
    }
    const int waiting = learnParam.load(std::memory_order_relaxed);
    if (index != waiting) {
        if (editorNotify) editorNotify->learnHighlight(waiting, false);
        learnParam.store(index, std::memory_order_relaxed);
        if (editorNotify) editorNotify->learnHighlight(index, true);
        return;
    }
    controllerMap.removeParameter(index);
    assignments::update(settingsFolder, -1, index);
    if (editorNotify) editorNotify->learnHighlight(index, false);
    learnMode.store(0, std::memory_order_relaxed);
}

void Kavrel::flushAssignments() {
    const int learned = learnedAssignment.exchange(-1, std::memory_order_acquire);
    if (learned >= 0) assignments::update(settingsFolder, learned >> 16, learned & 0xffff);
}

vst::intptr Kavrel::dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                               float opt) {
    switch (opcode) {
    // Requests hosts make from their user-interface or main thread.
    case vst::effEditIdle:
    case vst::effIdle:
    case vst::effEditOpen:
    case vst::effEditClose:
    case vst::effMainsChanged:
    case vst::effClose:
    case vst::effGetChunk:
    case vst::effSetChunk:
        flushAssignments();
        break;
    default:
        break;
    }
    return AudioEffectX::dispatcher(opcode, index, value, ptr, opt);
}

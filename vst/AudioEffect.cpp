#include "vst/AudioEffect.h"

#include <cstring>

namespace {

vst::intptr VST_CALLBACK dispatchEffect(vst::AEffect* e, vst::int32 opcode, vst::int32 index,
                                        vst::intptr value, void* ptr, float opt) {
    auto* effect = e ? static_cast<AudioEffect*>(e->object) : nullptr;
    if (!effect) return 0;
    vst::intptr result = effect->dispatcher(opcode, index, value, ptr, opt);
    if (opcode == vst::effClose) {
        // The host gives up the plug-in with this request; nothing touches it afterwards.
        delete effect;
        return 1;
    }
    return result;
}

// The accumulating process call is obsolete; hosts that know the replacing flag never use it.
void VST_CALLBACK processAccumulating(vst::AEffect*, float**, float**, vst::int32) {}

void VST_CALLBACK processReplacingTrampoline(vst::AEffect* e, float** inputs, float** outputs,
                                             vst::int32 frames) {
    static_cast<AudioEffect*>(e->object)->processReplacing(inputs, outputs, frames);
}

void VST_CALLBACK processDoubleTrampoline(vst::AEffect* e, double** inputs, double** outputs,
                                          vst::int32 frames) {
    static_cast<AudioEffect*>(e->object)->processDoubleReplacing(inputs, outputs, frames);
}

void VST_CALLBACK setParameterTrampoline(vst::AEffect* e, vst::int32 index, float value) {
    static_cast<AudioEffect*>(e->object)->setParameter(index, value);
}

float VST_CALLBACK getParameterTrampoline(vst::AEffect* e, vst::int32 index) {
    return static_cast<AudioEffect*>(e->object)->getParameter(index);
}

} // namespace

void vst::copyString(char* dst, const char* src, int maxLength) {
    if (!dst || maxLength < 0) return;
    int n = 0;
    if (src)
        while (n < maxLength && src[n]) ++n;
    std::memcpy(dst, src ? src : "", static_cast<size_t>(n));
    dst[n] = 0;
}

AudioEffect::AudioEffect(vst::audioMasterCallback audioMaster, vst::int32 numPrograms,
                         vst::int32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = vst::kEffectMagic;
    cEffect.dispatcher = dispatchEffect;
    cEffect.process = processAccumulating;
    cEffect.setParameter = setParameterTrampoline;
    cEffect.getParameter = getParameterTrampoline;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = vst::fourCC('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingTrampoline;
    cEffect.processDoubleReplacing = processDoubleTrampoline;
}

AudioEffect::~AudioEffect() {
    delete editor;
}

void AudioEffect::setFlag(vst::int32 flag, bool state) {
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

void AudioEffect::canProcessReplacing(bool state) {
    setFlag(vst::effFlagsCanReplacing, state);
}
void AudioEffect::programsAreChunks(bool state) {
    setFlag(vst::effFlagsProgramChunks, state);
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(vst::effFlagsHasEditor, editor != nullptr);
}

void AudioEffect::processDoubleReplacing(double**, double** outputs, vst::int32 sampleFrames) {
    // Never announced to hosts; a host that calls it anyway gets silence, not garbage.
    if (!outputs || sampleFrames <= 0) return;
    for (vst::int32 c = 0; c < cEffect.numOutputs; ++c)
        if (outputs[c]) std::memset(outputs[c], 0, sizeof(double) * sampleFrames);
}

vst::intptr AudioEffect::callHost(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                                  float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setParameterAutomated(vst::int32 index, float value) {
    setParameter(index, value);
    callHost(vst::audioMasterAutomate, index, 0, nullptr, value);
}

vst::int32 AudioEffect::getMasterVersion() {
    vst::int32 version = static_cast<vst::int32>(callHost(vst::audioMasterVersion));
    return version ? version : 1;
}

void AudioEffect::beginEdit(vst::int32 index) {
    callHost(vst::audioMasterBeginEdit, index);
}
void AudioEffect::endEdit(vst::int32 index) {
    callHost(vst::audioMasterEndEdit, index);
}

vst::intptr AudioEffect::dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value,
                                    void* ptr, float opt) {
    using namespace vst;
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms) setProgram(static_cast<int32>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (ptr) setProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetProgramName:
        if (ptr) getProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetParamLabel:
        if (ptr) getParameterLabel(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamDisplay:
        if (ptr) getParameterDisplay(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamName:
        if (ptr) getParameterName(index, static_cast<char*>(ptr));
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<int32>(value));
        return 0;
    case effMainsChanged:
        if (value)
            resume();
        else
            suspend();
        return 0;
    case effEditGetRect:
        if (editor && ptr) return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
        return 0;
    case effEditOpen:
        if (editor) return editor->open(ptr) ? 1 : 0;
        return 0;
    case effEditClose:
        if (editor) editor->close();
        return 0;
    case effEditIdle:
        if (editor) editor->idle();
        return 0;
    case effEditTop:
        if (editor) editor->top();
        return 0;
    case effEditSleep:
        if (editor) editor->sleep();
        return 0;
    case effIdentify:
        return fourCC('N', 'v', 'E', 'f');
    case effGetChunk:
        if (!ptr) return 0;
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        if (!ptr || value <= 0 || value > 0x7fffffff) return 0;
        return setChunk(ptr, static_cast<int32>(value), index != 0);
    default:
        return 0;
    }
}

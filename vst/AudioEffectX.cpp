#include "vst/AudioEffectX.h"

AudioEffectX::AudioEffectX(vst::audioMasterCallback audioMaster, vst::int32 numPrograms,
                           vst::int32 numParams)
    : AudioEffect(audioMaster, numPrograms, numParams) {}

void AudioEffectX::isSynth(bool state) {
    setFlag(vst::effFlagsIsSynth, state);
}

vst::int32 AudioEffectX::getPlugCategory() {
    return (cEffect.flags & vst::effFlagsIsSynth) ? vst::kPlugCategSynth : vst::kPlugCategUnknown;
}

void AudioEffectX::wantEvents(vst::int32 filter) {
    callHost(vst::audioMasterWantMidi, 0, filter);
}

vst::VstTimeInfo* AudioEffectX::getTimeInfo(vst::int32 filter) {
    return reinterpret_cast<vst::VstTimeInfo*>(callHost(vst::audioMasterGetTime, 0, filter));
}

bool AudioEffectX::sendVstEventsToHost(vst::VstEvents* events) {
    return callHost(vst::audioMasterProcessEvents, 0, 0, events) == 1;
}

bool AudioEffectX::ioChanged() {
    return callHost(vst::audioMasterIOChanged) != 0;
}

bool AudioEffectX::updateDisplay() {
    return callHost(vst::audioMasterUpdateDisplay) != 0;
}

vst::intptr AudioEffectX::dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value,
                                     void* ptr, float opt) {
    using namespace vst;
    switch (opcode) {
    case effProcessEvents:
        return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated:
        return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
        return ptr && string2parameter(index, static_cast<char*>(ptr)) ? 1 : 0;
    case effGetNumProgramCategories:
        return getNumCategories();
    case effGetProgramNameIndexed:
        if (!ptr || index < 0) return 0;
        return getProgramNameIndexed(static_cast<int32>(value), index, static_cast<char*>(ptr)) ? 1
                                                                                                : 0;
    case effCopyProgram:
        return index >= 0 && copyProgram(index) ? 1 : 0;
    case effGetInputProperties:
        if (!ptr || index < 0) return 0;
        return getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetOutputProperties:
        if (!ptr || index < 0) return 0;
        return getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetEffectName:
        return ptr && getEffectName(static_cast<char*>(ptr)) ? 1 : 0;
    case effGetVendorString:
        return ptr && getVendorString(static_cast<char*>(ptr)) ? 1 : 0;
    case effGetProductString:
        return ptr && getProductString(static_cast<char*>(ptr)) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return ptr ? canDo(static_cast<char*>(ptr)) : 0;
    case effGetTailSize:
        return getTailSize();
    case effGetParameterProperties:
        return ptr && getParameterProperties(index, ptr) ? 1 : 0;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
        return editor && editor->onKeyDown(index, static_cast<int>(value), static_cast<int>(opt))
                   ? 1
                   : 0;
    case effEditKeyUp:
        return editor && editor->onKeyUp(index, static_cast<int>(value), static_cast<int>(opt)) ? 1
                                                                                                : 0;
    case effSetEditKnobMode:
        return editor && editor->setKnobMode(static_cast<int>(value)) ? 1 : 0;
    case effGetMidiProgramName:
        return getMidiProgramName(index, ptr);
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, ptr);
    case effGetMidiProgramCategory:
        return getMidiProgramCategory(index, ptr);
    case effHasMidiProgramsChanged:
        return hasMidiProgramsChanged(index) ? 1 : 0;
    case effGetMidiKeyName:
        return getMidiKeyName(index, ptr) ? 1 : 0;
    case effBeginSetProgram:
        return beginSetProgram() ? 1 : 0;
    case effEndSetProgram:
        return endSetProgram() ? 1 : 0;
    case effStartProcess:
        return startProcess();
    case effStopProcess:
        return stopProcess();
    case effSetBypass:
        return setBypass(value != 0) ? 1 : 0;
    case effSetProcessPrecision:
        return setProcessPrecision(static_cast<int32>(value)) ? 1 : 0;
    case effGetNumMidiInputChannels:
        return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
        return getNumMidiOutputChannels();
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

#pragma once
#include "vst/AudioEffect.h"

// The 2.x extensions: events, pins, identity strings, capabilities and the time query.
class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(vst::audioMasterCallback audioMaster, vst::int32 numPrograms,
                 vst::int32 numParams);

    vst::intptr dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                           float opt) override;

    virtual vst::int32 processEvents(vst::VstEvents* /*events*/) { return 0; }
    virtual bool canParameterBeAutomated(vst::int32 /*index*/) { return true; }
    virtual bool string2parameter(vst::int32 /*index*/, char* /*text*/) { return false; }
    virtual vst::int32 getNumCategories() { return 1; }
    virtual bool getProgramNameIndexed(vst::int32 /*category*/, vst::int32 /*index*/,
                                       char* /*text*/) {
        return false;
    }
    virtual bool copyProgram(vst::int32 /*destination*/) { return false; }
    virtual bool getInputProperties(vst::int32 /*index*/, vst::VstPinProperties* /*props*/) {
        return false;
    }
    virtual bool getOutputProperties(vst::int32 /*index*/, vst::VstPinProperties* /*props*/) {
        return false;
    }
    virtual vst::int32 getPlugCategory();
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual vst::int32 getVendorVersion() { return 0; }
    virtual vst::intptr vendorSpecific(vst::int32 /*lArg*/, vst::intptr /*lArg2*/, void* /*ptrArg*/,
                                       float /*floatArg*/) {
        return 0;
    }
    virtual vst::int32 canDo(char* /*text*/) { return 0; }
    virtual vst::int32 getTailSize() { return 0; }
    virtual bool getParameterProperties(vst::int32 /*index*/, void* /*props*/) { return false; }
    virtual vst::int32 getVstVersion() { return vst::kVstVersion; }
    virtual vst::int32 getMidiProgramName(vst::int32 /*channel*/, void* /*name*/) { return 0; }
    virtual vst::int32 getCurrentMidiProgram(vst::int32 /*channel*/, void* /*name*/) { return -1; }
    virtual vst::int32 getMidiProgramCategory(vst::int32 /*channel*/, void* /*category*/) {
        return 0;
    }
    virtual bool hasMidiProgramsChanged(vst::int32 /*channel*/) { return false; }
    virtual bool getMidiKeyName(vst::int32 /*channel*/, void* /*keyName*/) { return false; }
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    virtual vst::int32 startProcess() { return 0; }
    virtual vst::int32 stopProcess() { return 0; }
    virtual bool setBypass(bool /*onOff*/) { return false; }
    virtual bool setProcessPrecision(vst::int32 /*precision*/) { return false; }
    virtual vst::int32 getNumMidiInputChannels() { return 0; }
    virtual vst::int32 getNumMidiOutputChannels() { return 0; }

    // Calls to the host.
    void isSynth(bool state = true);
    virtual void wantEvents(vst::int32 filter = 1);
    virtual vst::VstTimeInfo* getTimeInfo(vst::int32 filter);
    virtual bool sendVstEventsToHost(vst::VstEvents* events);
    virtual bool ioChanged();
    // Asks the host to read names, values and display texts again.
    virtual bool updateDisplay();
};

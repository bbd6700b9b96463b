#pragma once
#include "vst/AEffEditor.h"
#include "vst/vst24.h"

#include <cstddef>

// Base of every plug-in object: owns the AEffect record the host holds and turns dispatcher
// requests into virtual operations. Defaults are the answers a plug-in gives when it has
// nothing to say.
class AudioEffect {
public:
    AudioEffect(vst::audioMasterCallback audioMaster, vst::int32 numPrograms, vst::int32 numParams);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    vst::AEffect* getAeffect() { return &cEffect; }

    // Host-facing operations.
    virtual vst::intptr dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value,
                                   void* ptr, float opt);
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(vst::int32 size) { blockSize = size; }
    virtual void processReplacing(float** inputs, float** outputs, vst::int32 sampleFrames) = 0;
    virtual void processDoubleReplacing(double** inputs, double** outputs, vst::int32 sampleFrames);

    virtual void setParameter(vst::int32 /*index*/, float /*value*/) {}
    virtual float getParameter(vst::int32 /*index*/) { return 0.0f; }
    virtual void setParameterAutomated(vst::int32 index, float value);

    virtual void setProgram(vst::int32 program) { curProgram = program; }
    virtual vst::int32 getProgram() { return curProgram; }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* name) { name[0] = 0; }
    virtual void getParameterLabel(vst::int32 /*index*/, char* label) { label[0] = 0; }
    virtual void getParameterDisplay(vst::int32 /*index*/, char* text) { text[0] = 0; }
    virtual void getParameterName(vst::int32 /*index*/, char* text) { text[0] = 0; }
    virtual vst::int32 getChunk(void** data, bool /*isPreset*/) {
        *data = nullptr;
        return 0;
    }
    virtual vst::int32 setChunk(void* /*data*/, vst::int32 /*byteSize*/, bool /*isPreset*/) {
        return 0;
    }

    // Calls to the host.
    virtual vst::int32 getMasterVersion();
    virtual void beginEdit(vst::int32 index);
    virtual void endEdit(vst::int32 index);
    vst::intptr callHost(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                         void* ptr = nullptr, float opt = 0.0f);

    // Setup, used by constructors.
    void setUniqueID(vst::int32 id) { cEffect.uniqueID = id; }
    void setNumInputs(vst::int32 n) { cEffect.numInputs = n; }
    void setNumOutputs(vst::int32 n) { cEffect.numOutputs = n; }
    void canProcessReplacing(bool state = true);
    void programsAreChunks(bool state = true);
    void setInitialDelay(vst::int32 delay) { cEffect.initialDelay = delay; }
    void setEditor(AEffEditor* newEditor);
    AEffEditor* getEditor() const { return editor; }

    float getSampleRate() const { return sampleRate; }
    vst::int32 getBlockSize() const { return blockSize; }
    vst::int32 getNumPrograms() const { return numPrograms; }
    vst::int32 getNumParams() const { return numParams; }

protected:
    void setFlag(vst::int32 flag, bool state);

    vst::audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    vst::int32 blockSize = 1024;
    vst::int32 numPrograms;
    vst::int32 numParams;
    vst::int32 curProgram = 0;
    vst::AEffect cEffect;
};

namespace vst {
// Copies at most maxLength characters of src and always terminates, so dst needs
// maxLength + 1 bytes. Null pointers and negative lengths write nothing.
void copyString(char* dst, const char* src, int maxLength);
} // namespace vst

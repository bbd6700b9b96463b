#pragma once
#include "host/PluginModule.h"
#include "vst/vst24.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kavrel::host {

// A minimal DAW: instantiates a plug-in through its entry point, drives the dispatcher in the
// order hosts do (open, sample rate, block size, resume, process, suspend, close), answers the
// callback requests a host answers, and records what the plug-in asked of it.
class PluginHost {
public:
    struct Automation {
        int index;
        float value;
    };
    struct Edit {
        int index;
        bool begin;
    };

    PluginHost() = default;
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the library and instantiates the plug-in; false with a message on failure.
    bool load(const std::string& path, std::string& error);
    // Instantiates through an entry point the caller already has (another host callback test).
    bool instantiate(vst::VstPluginMainProc entry, std::string& error);

    vst::AEffect* effect() const { return plugin; }
    vst::intptr dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                         void* ptr = nullptr, float opt = 0.0f);

    // Lifecycle as a host performs it.
    void start(float sampleRate, int blockSize);
    void resume();
    void suspend();
    void close();

    // Feeds the events to effProcessEvents, then renders `frames` samples (≤ block size)
    // into outputs(). Pass an empty list for no MIDI.
    void process(int frames, const std::vector<vst::VstMidiEvent>& events = {});
    const std::vector<std::vector<float>>& outputs() const { return outputBuffers; }

    // Convenience wrappers over the dispatcher.
    std::string parameterName(int index);
    std::string parameterLabel(int index);
    std::string parameterDisplay(int index);
    std::string programName();
    std::string effectName();
    std::string vendorString();
    std::string productString();
    vst::intptr canDo(const char* text);

    // Called from audioMasterAutomate once it is recorded, with no lock of the host's held, on
    // whichever thread the plug-in reports from: hosts lock their own state or read the
    // plug-in again here. Set it before the plug-in runs.
    std::function<void(int index, float value)> onAutomate;
    int updateDisplayCalls() const;

    // What the host answers. The time info is handed out when non-null.
    vst::intptr versionAnswer = 2400;
    vst::VstTimeInfo* timeInfo = nullptr;

    // What the plug-in asked, under a lock since plug-ins may call from several threads.
    std::vector<Automation> automations() const;
    std::vector<Edit> edits() const;
    std::vector<vst::VstMidiEvent> sentEvents() const;
    // For each sent event, the frame it falls on counted from the first processed sample.
    std::vector<int64_t> sentEventFrames() const;
    int64_t framesProcessed() const { return framesDone; }
    // How many events sentEvents() holds, without copying them.
    size_t sentEventCount() const;
    // Reads the last event list the plug-in sent, now rather than during the call, as hosts
    // that collect events and read them after the block do.
    std::vector<vst::VstMidiEvent> lastEventListNow() const;
    int eventListCallCount() const;
    int wantMidiCalls() const;
    int getTimeCalls() const;
    void clearRecords();

    static vst::intptr VST_CALLBACK callback(vst::AEffect* effect, vst::int32 opcode,
                                             vst::int32 index, vst::intptr value, void* ptr,
                                             float opt);

private:
    vst::intptr answer(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                       float opt);

    PluginModule module;
    vst::AEffect* plugin = nullptr;
    float rate = 44100.0f;
    int maxFrames = 1024;
    bool resumed = false;
    std::vector<std::vector<float>> outputBuffers;
    std::vector<float*> outputPointers;
    std::vector<unsigned char> eventStorage;

    mutable std::mutex recordLock;
    std::vector<Automation> automationLog;
    std::vector<Edit> editLog;
    std::vector<vst::VstMidiEvent> sentEventLog;
    std::vector<int64_t> sentFrameLog;
    int64_t framesDone = 0;
    const vst::VstEvents* lastEventList = nullptr;
    int eventListCalls = 0;
    int wantMidiCount = 0;
    int getTimeCount = 0;
    int updateDisplayCount = 0;
};

} // namespace kavrel::host

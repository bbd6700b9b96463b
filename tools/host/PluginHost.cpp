#include "host/PluginHost.h"

#include <algorithm>
#include <cstring>

namespace kavrel::host {
namespace {
// The entry point's version query comes before the plug-in has an AEffect the host could tag,
// so the host being instantiated is remembered here for that one call.
thread_local PluginHost* instantiating = nullptr;
} // namespace

PluginHost::~PluginHost() {
    close();
}

vst::intptr VST_CALLBACK PluginHost::callback(vst::AEffect* effect, vst::int32 opcode,
                                              vst::int32 index, vst::intptr value, void* ptr,
                                              float opt) {
    PluginHost* host =
        effect && effect->user ? static_cast<PluginHost*>(effect->user) : instantiating;
    if (!host) return opcode == vst::audioMasterVersion ? 2400 : 0;
    return host->answer(opcode, index, value, ptr, opt);
}

vst::intptr PluginHost::answer(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                               float opt) {
    switch (opcode) {
    case vst::audioMasterVersion:
        return versionAnswer;
    case vst::audioMasterAutomate: {
        {
            std::lock_guard<std::mutex> lock(recordLock);
            automationLog.push_back({index, opt});
        }
        if (onAutomate) onAutomate(index, opt);
        return 0;
    }
    case vst::audioMasterUpdateDisplay: {
        std::lock_guard<std::mutex> lock(recordLock);
        ++updateDisplayCount;
        return 1;
    }
    case vst::audioMasterWantMidi: {
        std::lock_guard<std::mutex> lock(recordLock);
        ++wantMidiCount;
        return 1;
    }
    case vst::audioMasterGetTime: {
        std::lock_guard<std::mutex> lock(recordLock);
        ++getTimeCount;
        return reinterpret_cast<vst::intptr>(timeInfo);
    }
    case vst::audioMasterProcessEvents: {
        auto* events = static_cast<vst::VstEvents*>(ptr);
        if (!events) return 0;
        std::lock_guard<std::mutex> lock(recordLock);
        ++eventListCalls;
        lastEventList = events;
        // The list holds numEvents pointers although the record declares two.
        vst::VstEvent* const* slots = events->events;
        for (int i = 0; i < events->numEvents; ++i) {
            const vst::VstEvent* e = slots[i];
            if (e && e->type == vst::kVstMidiType) {
                sentEventLog.push_back(*reinterpret_cast<const vst::VstMidiEvent*>(e));
                sentFrameLog.push_back(framesDone + e->deltaFrames);
            }
        }
        return 1;
    }
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit: {
        std::lock_guard<std::mutex> lock(recordLock);
        editLog.push_back({index, opcode == vst::audioMasterBeginEdit});
        return 1;
    }
    case vst::audioMasterGetSampleRate:
        return static_cast<vst::intptr>(rate);
    case vst::audioMasterGetBlockSize:
        return maxFrames;
    case vst::audioMasterGetVendorString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "Kavrel test host");
        return 1;
    case vst::audioMasterGetProductString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "PluginHost");
        return 1;
    default:
        (void)value;
        return 0;
    }
}

bool PluginHost::load(const std::string& path, std::string& error) {
    close();
    if (!module.load(path, error)) return false;
    return instantiate(module.entryPoint(), error);
}

bool PluginHost::instantiate(vst::VstPluginMainProc entry, std::string& error) {
    instantiating = this;
    plugin = entry ? entry(&PluginHost::callback) : nullptr;
    instantiating = nullptr;
    if (!plugin) {
        error = "the entry point returned no plug-in";
        return false;
    }
    if (plugin->magic != vst::kEffectMagic) {
        error = "the plug-in record has the wrong magic number";
        plugin = nullptr;
        return false;
    }
    plugin->user = this;
    return true;
}

vst::intptr PluginHost::dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                                 float opt) {
    return plugin ? plugin->dispatcher(plugin, opcode, index, value, ptr, opt) : 0;
}

void PluginHost::start(float sampleRate, int blockSize) {
    rate = sampleRate;
    maxFrames = blockSize;
    dispatch(vst::effOpen);
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(vst::effSetBlockSize, 0, blockSize);
    int channels = plugin ? plugin->numOutputs : 0;
    outputBuffers.assign(static_cast<size_t>(channels), std::vector<float>(blockSize, 0.0f));
    outputPointers.resize(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c) outputPointers[c] = outputBuffers[c].data();
    resume();
}

void PluginHost::resume() {
    if (!plugin || resumed) return;
    dispatch(vst::effMainsChanged, 0, 1);
    resumed = true;
}

void PluginHost::suspend() {
    if (!plugin || !resumed) return;
    dispatch(vst::effMainsChanged, 0, 0);
    resumed = false;
}

void PluginHost::close() {
    if (!plugin) return;
    suspend();
    dispatch(vst::effClose);
    plugin = nullptr;
    module.unload();
}

void PluginHost::process(int frames, const std::vector<vst::VstMidiEvent>& events) {
    if (!plugin) return;
    frames = std::min(frames, maxFrames);
    if (!events.empty()) {
        // One VstEvents header with as many slots as events, followed by the events.
        size_t header = sizeof(vst::VstEvents) + sizeof(vst::VstEvent*) * events.size();
        eventStorage.assign(header + sizeof(vst::VstMidiEvent) * events.size(), 0);
        auto* list = reinterpret_cast<vst::VstEvents*>(eventStorage.data());
        auto* body = reinterpret_cast<vst::VstMidiEvent*>(eventStorage.data() + header);
        list->numEvents = static_cast<int>(events.size());
        for (size_t i = 0; i < events.size(); ++i) {
            body[i] = events[i];
            list->events[i] = reinterpret_cast<vst::VstEvent*>(&body[i]);
        }
        dispatch(vst::effProcessEvents, 0, 0, list);
    }
    for (auto& channel : outputBuffers) std::fill(channel.begin(), channel.end(), 0.0f);
    plugin->processReplacing(plugin, nullptr, outputPointers.data(), frames);
    framesDone += frames;
}

std::vector<vst::VstMidiEvent> PluginHost::lastEventListNow() const {
    std::lock_guard<std::mutex> lock(recordLock);
    std::vector<vst::VstMidiEvent> events;
    if (!lastEventList) return events;
    vst::VstEvent* const* slots = lastEventList->events;
    for (int i = 0; i < lastEventList->numEvents; ++i)
        if (slots[i] && slots[i]->type == vst::kVstMidiType)
            events.push_back(*reinterpret_cast<const vst::VstMidiEvent*>(slots[i]));
    return events;
}

int PluginHost::updateDisplayCalls() const {
    std::lock_guard<std::mutex> lock(recordLock);
    return updateDisplayCount;
}

int PluginHost::eventListCallCount() const {
    std::lock_guard<std::mutex> lock(recordLock);
    return eventListCalls;
}

namespace {
std::string textFrom(const char* buffer) {
    return std::string(buffer);
}
} // namespace

std::string PluginHost::parameterName(int index) {
    char buffer[256] = {};
    dispatch(vst::effGetParamName, index, 0, buffer);
    return textFrom(buffer);
}

std::string PluginHost::parameterLabel(int index) {
    char buffer[256] = {};
    dispatch(vst::effGetParamLabel, index, 0, buffer);
    return textFrom(buffer);
}

std::string PluginHost::parameterDisplay(int index) {
    char buffer[256] = {};
    dispatch(vst::effGetParamDisplay, index, 0, buffer);
    return textFrom(buffer);
}

std::string PluginHost::programName() {
    char buffer[256] = {};
    dispatch(vst::effGetProgramName, 0, 0, buffer);
    return textFrom(buffer);
}

std::string PluginHost::effectName() {
    char buffer[256] = {};
    dispatch(vst::effGetEffectName, 0, 0, buffer);
    return textFrom(buffer);
}

std::string PluginHost::vendorString() {
    char buffer[256] = {};
    dispatch(vst::effGetVendorString, 0, 0, buffer);
    return textFrom(buffer);
}

std::string PluginHost::productString() {
    char buffer[256] = {};
    dispatch(vst::effGetProductString, 0, 0, buffer);
    return textFrom(buffer);
}

vst::intptr PluginHost::canDo(const char* text) {
    return dispatch(vst::effCanDo, 0, 0, const_cast<char*>(text));
}

std::vector<PluginHost::Automation> PluginHost::automations() const {
    std::lock_guard<std::mutex> lock(recordLock);
    return automationLog;
}

std::vector<PluginHost::Edit> PluginHost::edits() const {
    std::lock_guard<std::mutex> lock(recordLock);
    return editLog;
}

std::vector<vst::VstMidiEvent> PluginHost::sentEvents() const {
    std::lock_guard<std::mutex> lock(recordLock);
    return sentEventLog;
}

std::vector<int64_t> PluginHost::sentEventFrames() const {
    std::lock_guard<std::mutex> lock(recordLock);
    return sentFrameLog;
}

size_t PluginHost::sentEventCount() const {
    std::lock_guard<std::mutex> lock(recordLock);
    return sentEventLog.size();
}

int PluginHost::wantMidiCalls() const {
    std::lock_guard<std::mutex> lock(recordLock);
    return wantMidiCount;
}

int PluginHost::getTimeCalls() const {
    std::lock_guard<std::mutex> lock(recordLock);
    return getTimeCount;
}

void PluginHost::clearRecords() {
    std::lock_guard<std::mutex> lock(recordLock);
    automationLog.clear();
    editLog.clear();
    sentEventLog.clear();
    sentFrameLog.clear();
    wantMidiCount = 0;
    getTimeCount = 0;
    eventListCalls = 0;
    updateDisplayCount = 0;
}

} // namespace kavrel::host

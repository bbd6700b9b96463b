#include "export/OfflineEngine.h"

#include "core/Kavrel.h"

#include <cstring>

namespace kavrel::exporting {

OfflineEngine::OfflineEngine(Kavrel& source, float sampleRate)
    : rate(sampleRate > 0.0f ? sampleRate : 44100.0f) {
    instance = new Kavrel(&OfflineEngine::callback);
    effect = instance->getAeffect();
    effect->user = this;
    effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, rate);
    effect->dispatcher(effect, vst::effSetBlockSize, 0, kBlock, nullptr, 0.0f);

    // The source's program as a host would save it: that copy holds the edits of the playing
    // pattern too.
    vst::AEffect* from = source.getAeffect();
    void* data = nullptr;
    const auto size = from->dispatcher(from, vst::effGetChunk, 1, 0, &data, 0.0f);
    if (data && size > 0) {
        std::vector<uint8_t> chunk(static_cast<const uint8_t*>(data),
                                   static_cast<const uint8_t*>(data) + size);
        effect->dispatcher(effect, vst::effSetChunk, 1, static_cast<vst::intptr>(chunk.size()),
                           chunk.data(), 0.0f);
    }
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);

    outputs.assign(static_cast<size_t>(effect->numOutputs), std::vector<float>(kBlock, 0.0f));
    for (auto& channel : outputs) outputPointers.push_back(channel.data());
}

OfflineEngine::~OfflineEngine() {
    effect->dispatcher(effect, vst::effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->user = nullptr;
    // Deletes the instance.
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
}

void OfflineEngine::set(int index, float value) {
    effect->setParameter(effect, index, value);
}

void OfflineEngine::land() {
    effect->dispatcher(effect, vst::effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
}

void OfflineEngine::process(int frames, const std::vector<vst::VstMidiEvent>& events) {
    if (frames <= 0) return;
    if (frames > kBlock) frames = kBlock;
    if (!events.empty()) {
        std::vector<uint8_t> list(sizeof(vst::VstEvents) + events.size() * sizeof(vst::VstEvent*));
        auto* header = reinterpret_cast<vst::VstEvents*>(list.data());
        header->numEvents = static_cast<vst::int32>(events.size());
        std::vector<vst::VstMidiEvent> copies(events);
        for (size_t i = 0; i < copies.size(); ++i)
            header->events[i] = reinterpret_cast<vst::VstEvent*>(&copies[i]);
        effect->dispatcher(effect, vst::effProcessEvents, 0, 0, header, 0.0f);
    }
    for (auto& channel : outputs) std::memset(channel.data(), 0, sizeof(float) * kBlock);
    effect->processReplacing(effect, nullptr, outputPointers.data(), frames);
    rendered += frames;
}

void OfflineEngine::record(const vst::VstEvents& events) {
    const int64_t start = rendered;
    for (vst::int32 i = 0; i < events.numEvents; ++i) {
        const vst::VstEvent* event = events.events[i];
        if (!event || event->type != vst::kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
        const int status = static_cast<unsigned char>(midi->midiData[0]) & 0xf0;
        const int velocity = static_cast<unsigned char>(midi->midiData[2]);
        if (status != 0x90 || velocity == 0) continue;
        notes.push_back({start + midi->deltaFrames, static_cast<unsigned char>(midi->midiData[1]),
                         velocity, midi->noteLength});
    }
}

vst::intptr VST_CALLBACK OfflineEngine::callback(vst::AEffect* effect, vst::int32 opcode,
                                                 vst::int32, vst::intptr, void* ptr, float) {
    auto* self = effect ? static_cast<OfflineEngine*>(effect->user) : nullptr;
    switch (opcode) {
    case vst::audioMasterVersion:
        return 2400;
    case vst::audioMasterGetSampleRate:
        return self ? static_cast<vst::intptr>(self->rate) : 0;
    case vst::audioMasterProcessEvents:
        if (self && ptr) self->record(*static_cast<const vst::VstEvents*>(ptr));
        return 1;
    default:
        // No time info and no automation: the export plays on the program's own clock, and
        // the values it sets concern nobody else.
        return 0;
    }
}

} // namespace kavrel::exporting

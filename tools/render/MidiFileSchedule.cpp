#include "render/MidiFileSchedule.h"

#include <algorithm>
#include <limits>

namespace kavrel::render {
namespace {

using Wide = unsigned __int128;

// Rounds numerator / denominator to the nearest integer, halves upward.
int64_t roundedQuotient(Wide numerator, Wide denominator) {
    Wide q = (numerator + denominator / 2) / denominator;
    Wide limit = static_cast<Wide>(std::numeric_limits<int64_t>::max());
    return static_cast<int64_t>(q > limit ? limit : q);
}

// Converts ticks to frames exactly in integers: a tempo map is a sum of spans of ticks times
// microseconds per quarter, and summing in floating point would let long files drift.
class TickClock {
public:
    TickClock(const SmfContents& c, int sampleRate) : contents(c), rate(sampleRate) {}

    // Ticks must be asked for in ascending order.
    int64_t frameAt(int64_t tick) {
        if (contents.ticksPerQuarter <= 0) return timecodeFrame(tick);
        const auto& changes = contents.tempoChanges;
        while (next < changes.size() && changes[next].tick <= tick) {
            elapsed += static_cast<Wide>(changes[next].tick - spanStart) * tempo;
            spanStart = changes[next].tick;
            tempo = changes[next].microsecondsPerQuarter;
            ++next;
        }
        Wide total = elapsed + static_cast<Wide>(tick - spanStart) * tempo;
        // total is in microseconds times ticks per quarter.
        return roundedQuotient(total * static_cast<Wide>(rate),
                               static_cast<Wide>(contents.ticksPerQuarter) * 1000000u);
    }

private:
    int64_t timecodeFrame(int64_t tick) const {
        // 29 stands for 29.97 frames per second (30000/1001).
        Wide fpsNumerator =
            contents.smpteFramesPerSecond == 29 ? 30000u : contents.smpteFramesPerSecond;
        Wide fpsDenominator = contents.smpteFramesPerSecond == 29 ? 1001u : 1u;
        return roundedQuotient(static_cast<Wide>(tick) * static_cast<Wide>(rate) * fpsDenominator,
                               fpsNumerator * static_cast<Wide>(contents.ticksPerFrame));
    }

    const SmfContents& contents;
    int rate;
    size_t next = 0;
    int64_t spanStart = 0;
    uint32_t tempo = 500000; // 120 BPM until the file says otherwise
    Wide elapsed = 0;
};

} // namespace

bool MidiFileSchedule::load(const std::string& path, int sampleRate, std::string& error) {
    SmfContents contents;
    if (!readSmfFile(path, contents, error)) return false;
    place(contents, sampleRate);
    return true;
}

void MidiFileSchedule::place(const SmfContents& contents, int sampleRate) {
    timed.clear();
    timed.reserve(contents.events.size());
    TickClock clock(contents, sampleRate);
    for (const auto& e : contents.events)
        timed.push_back({clock.frameAt(e.tick), {e.bytes[0], e.bytes[1], e.bytes[2]}});
    end = std::max(clock.frameAt(std::max(contents.endTick, int64_t{0})),
                   timed.empty() ? int64_t{0} : timed.back().frame);
    others = contents.otherChannelMessages;
    cursor = 0;
}

size_t MidiFileSchedule::maxEventsPerBlock(int blockSize, int64_t totalFrames) const {
    if (blockSize <= 0) return 0;
    size_t most = 0, count = 0;
    int64_t block = -1;
    for (const auto& e : timed) {
        if (e.frame >= totalFrames) break;
        int64_t b = e.frame / blockSize;
        count = b == block ? count + 1 : 1;
        block = b;
        most = std::max(most, count);
    }
    return most;
}

size_t MidiFileSchedule::eventsFrom(int64_t frame) const {
    auto first = std::lower_bound(timed.begin(), timed.end(), frame,
                                  [](const Event& e, int64_t f) { return e.frame < f; });
    return static_cast<size_t>(timed.end() - first);
}

void MidiFileSchedule::takeBlock(int64_t start, int frames, std::vector<vst::VstMidiEvent>& out) {
    out.clear();
    while (cursor < timed.size() && timed[cursor].frame < start) ++cursor;
    while (cursor < timed.size() && timed[cursor].frame < start + frames) {
        const Event& e = timed[cursor++];
        vst::VstMidiEvent m{};
        m.type = vst::kVstMidiType;
        m.byteSize = sizeof(vst::VstMidiEvent);
        m.deltaFrames = static_cast<vst::int32>(e.frame - start);
        // Played from a sequence, not live: the realtime flag stays clear, as hosts leave it.
        m.flags = 0;
        m.midiData[0] = static_cast<char>(e.bytes[0]);
        m.midiData[1] = static_cast<char>(e.bytes[1]);
        m.midiData[2] = static_cast<char>(e.bytes[2]);
        out.push_back(m);
    }
}

} // namespace kavrel::render

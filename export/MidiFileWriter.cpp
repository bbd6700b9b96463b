#include "export/MidiFileWriter.h"

#include "export/WavWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <system_error>

namespace kavrel::exporting {
namespace {

void putVarLength(std::vector<uint8_t>& out, uint64_t value) {
    uint8_t bytes[10];
    int count = 0;
    do {
        bytes[count++] = static_cast<uint8_t>(value & 0x7f);
        value >>= 7;
    } while (value && count < 10);
    while (count-- > 0) out.push_back(static_cast<uint8_t>(bytes[count] | (count ? 0x80 : 0)));
}

void putBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

struct TimedBytes {
    int64_t tick;
    int order; // at one tick: note-offs before note-ons, so a repeated note is not cut short
    std::vector<uint8_t> bytes;
};

void putTrack(std::vector<uint8_t>& out, std::vector<TimedBytes> events, int64_t endTick) {
    std::stable_sort(events.begin(), events.end(), [](const TimedBytes& a, const TimedBytes& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<uint8_t> body;
    int64_t now = 0;
    for (const TimedBytes& event : events) {
        putVarLength(body, static_cast<uint64_t>(event.tick - now));
        now = event.tick;
        body.insert(body.end(), event.bytes.begin(), event.bytes.end());
    }
    putVarLength(body, static_cast<uint64_t>(std::max<int64_t>(0, endTick - now)));
    body.insert(body.end(), {0xff, 0x2f, 0x00});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    putBigEndian(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
}

std::vector<uint8_t> textEvent(uint8_t type, const std::string& text) {
    std::vector<uint8_t> bytes{0xff, type};
    putVarLength(bytes, text.size());
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

} // namespace

std::vector<uint8_t> encodeMidiFile(const MidiFileContent& content) {
    std::vector<uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    putBigEndian(out, static_cast<uint32_t>(content.tracks.size() + 1), 2);
    putBigEndian(out, static_cast<uint32_t>(content.ticksPerQuarter), 2);

    int64_t end = content.endTick;
    for (const MidiFileTrack& track : content.tracks)
        for (const MidiFileTrack::Note& note : track.notes)
            end = std::max(end, note.tick + std::max<int64_t>(1, note.length));

    const double tempo = content.tempo > 0.0 ? content.tempo : 120.0;
    const auto microseconds =
        static_cast<uint32_t>(std::min(16777215.0, std::round(60000000.0 / tempo)));
    std::vector<TimedBytes> first;
    if (!content.name.empty()) first.push_back({0, 0, textEvent(0x03, content.name)});
    first.push_back(
        {0,
         1,
         {0xff, 0x51, 0x03, static_cast<uint8_t>(microseconds >> 16),
          static_cast<uint8_t>(microseconds >> 8), static_cast<uint8_t>(microseconds)}});
    first.push_back({0, 2, {0xff, 0x58, 0x04, 4, 2, 24, 8}});
    putTrack(out, std::move(first), end);

    for (const MidiFileTrack& track : content.tracks) {
        std::vector<TimedBytes> events;
        if (!track.name.empty()) events.push_back({0, -1, textEvent(0x03, track.name)});
        const auto channel = static_cast<uint8_t>(track.channel & 0x0f);
        for (const MidiFileTrack::Note& note : track.notes) {
            const auto key = static_cast<uint8_t>(note.note & 0x7f);
            const auto velocity = static_cast<uint8_t>(std::clamp(note.velocity, 1, 127));
            events.push_back({note.tick, 1, {static_cast<uint8_t>(0x90 | channel), key, velocity}});
            // The sequencer's note-offs carry release velocity 64; so do the file's.
            events.push_back({note.tick + std::max<int64_t>(1, note.length),
                              0,
                              {static_cast<uint8_t>(0x80 | channel), key, 64}});
        }
        putTrack(out, std::move(events), end);
    }
    return out;
}

bool writeWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes,
                    std::string& error) {
    std::FILE* file = openForWriting(path);
    if (!file) {
        error = "cannot write " + displayPath(path) + ": " +
                std::error_code(errno, std::generic_category()).message();
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    error = "cannot write " + displayPath(path) + ": " +
            std::error_code(errno, std::generic_category()).message();
    // Only a regular file is ours to delete: the output may also be a device or a pipe.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored)) std::filesystem::remove(path, ignored);
    return false;
}

} // namespace kavrel::exporting

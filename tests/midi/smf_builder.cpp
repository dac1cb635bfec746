#include "tests/midi/smf_builder.h"

namespace corvane::midi::testing {

std::string VarLength(std::uint32_t value) {
    std::string groups(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) groups.insert(groups.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    return groups;
}

std::string BigEndian16(std::uint32_t value) {
    return {static_cast<char>(value >> 8 & 0xFF), static_cast<char>(value & 0xFF)};
}

std::string BigEndian32(std::uint32_t value) {
    return BigEndian16(value >> 16) + BigEndian16(value & 0xFFFF);
}

std::string Chunk(std::string_view id, std::string_view body) {
    return std::string(id) + BigEndian32(static_cast<std::uint32_t>(body.size())) + std::string(body);
}

std::string Header(int format, int trackCount, int division) {
    return Chunk("MThd", BigEndian16(format) + BigEndian16(trackCount) + BigEndian16(division));
}

std::string TrackChunk(std::string_view events) {
    return Chunk("MTrk", events);
}

std::string Event(std::uint32_t delta, std::initializer_list<int> bytes) {
    std::string out = VarLength(delta);
    for (int b : bytes) out += static_cast<char>(b);
    return out;
}

std::string Tempo(std::uint32_t delta, std::uint32_t microsPerQuarter) {
    return Event(delta,
                 {0xFF, 0x51, 0x03, static_cast<int>(microsPerQuarter >> 16 & 0xFF),
                  static_cast<int>(microsPerQuarter >> 8 & 0xFF), static_cast<int>(microsPerQuarter & 0xFF)});
}

std::string EndOfTrack(std::uint32_t delta) {
    return Event(delta, {0xFF, 0x2F, 0x00});
}

std::string OneNoteSong(int key, std::uint32_t ticks) {
    return Header(0, 1, 96) +
           TrackChunk(Event(0, {0x90, key, 100}) + Event(ticks, {0x80, key, 0}) + EndOfTrack());
}

}  // namespace corvane::midi::testing

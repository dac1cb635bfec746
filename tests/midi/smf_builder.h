// Writes small Standard MIDI Files byte by byte, for fixtures that show one parser or player fault.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace corvane::midi::testing {

std::string VarLength(std::uint32_t value);
std::string BigEndian16(std::uint32_t value);
std::string BigEndian32(std::uint32_t value);

std::string Chunk(std::string_view id, std::string_view body);
// The MThd chunk.
std::string Header(int format, int trackCount, int division);
// An MTrk chunk around `events`, which must bring their own end of track.
std::string TrackChunk(std::string_view events);

// A delta time followed by raw event bytes.
std::string Event(std::uint32_t delta, std::initializer_list<int> bytes);
std::string Tempo(std::uint32_t delta, std::uint32_t microsPerQuarter);
std::string EndOfTrack(std::uint32_t delta = 0);

// A format 0 song of one note: on at tick 0, off at `ticks`, end of track there; 96 ticks per
// quarter note at the default tempo, so 96 ticks last 500 ms.
std::string OneNoteSong(int key, std::uint32_t ticks);

}  // namespace corvane::midi::testing

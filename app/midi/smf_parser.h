// Parses Standard MIDI Files (formats 0 and 1) from bytes into tracks of channel messages and a tempo map.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "app/midi/midi_message.h"

namespace corvane::midi {

struct TrackEvent {
    std::uint32_t tick = 0;  // from the start of the song
    ShortMessage message;
};

struct TempoChange {
    std::uint32_t tick = 0;
    std::uint32_t microsPerQuarter = 0;  // never 0
};

struct Track {
    std::vector<TrackEvent> events;  // channel messages only, in file order
    std::uint32_t endTick = 0;       // where its end-of-track event stands
};

struct Song {
    int format = 0;           // 0 or 1
    int ticksPerQuarter = 0;  // 1 to 32767
    std::vector<Track> tracks;
    // Tempo events of every track, ordered by tick; at equal ticks in track order, so the last one wins.
    std::vector<TempoChange> tempoMap;
};

enum class SmfError {
    kNone,
    kBadHeader,          // no "MThd" chunk, a header that is too short, format above 2, division 0
    kUnsupportedFormat,  // format 2
    kSmpteDivision,      // time code division instead of ticks per quarter note
    kNoTracks,
    kTruncated,        // a chunk or an event that runs past the end of its data
    kBadVarLength,     // a variable-length quantity of more than four bytes
    kNoRunningStatus,  // a data byte where a status byte is needed
    kBadEvent,         // a status the file format does not allow, a data byte >= 0x80, a bad tempo
    kMissingEndOfTrack,
    kTooLong,  // a track longer than 2^32 - 1 ticks
};

// The song in `bytes`, or nothing (with the reason in *error when given) if the data is not a
// well-formed file of format 0 or 1. Never reads outside `bytes`; what it allocates is bounded by
// the size of the input. Meta events other than tempo and end of track, system-exclusive events
// and chunks of unknown type are skipped.
std::optional<Song> ParseSmf(std::span<const std::uint8_t> bytes, SmfError* error = nullptr);

inline std::optional<Song> ParseSmf(std::string_view bytes, SmfError* error = nullptr) {
    return ParseSmf(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), error);
}

}  // namespace corvane::midi

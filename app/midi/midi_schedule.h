// Merges the tracks of a parsed song into one time-ordered list of messages, timed by its tempo map.
#pragma once

#include <cstdint>
#include <vector>

#include "app/midi/midi_message.h"
#include "app/midi/smf_parser.h"

namespace corvane::midi {

// The tempo a song has until its first tempo event: 120 quarter notes a minute.
inline constexpr std::uint32_t kDefaultMicrosPerQuarter = 500000;

struct TimedMessage {
    std::int64_t timeUs = 0;  // microseconds from the start of the song
    ShortMessage message;

    friend bool operator==(const TimedMessage&, const TimedMessage&) = default;
};

struct Schedule {
    // Ordered by time; messages at the same tick keep track order, then their order in the track.
    std::vector<TimedMessage> messages;
    // Time of the last end-of-track event: the song lasts this long, rests at its end included.
    std::int64_t lengthUs = 0;
};

// Every tick of the song fits in 32 bits and every tempo in 24, so no time computed here
// exceeds 2^56 microseconds.
Schedule ScheduleSong(const Song& song);

}  // namespace corvane::midi

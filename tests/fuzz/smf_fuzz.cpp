// libFuzzer target: any bytes through the MIDI file parser, and whatever parses through the scheduler.
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/midi/midi_schedule.h"
#include "app/midi/smf_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto song = corvane::midi::ParseSmf(std::span(data, size));
    if (!song) return 0;
    const corvane::midi::Schedule schedule = corvane::midi::ScheduleSong(*song);
    // What the player relies on: times never go backwards, and the song lasts past its last message.
    std::int64_t last = 0;
    for (const auto& timed : schedule.messages) {
        if (timed.timeUs < last) __builtin_trap();
        last = timed.timeUs;
    }
    if (schedule.lengthUs < last) __builtin_trap();
    return 0;
}

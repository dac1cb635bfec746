// A MIDI channel message of one status byte and up to two data bytes, as the player sends it.
#pragma once

#include <cstdint>

namespace corvane::midi {

// Status 0x80-0xEF with its data bytes. Program change and channel pressure carry one data
// byte; their data2 is 0.
struct ShortMessage {
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;

    friend bool operator==(const ShortMessage&, const ShortMessage&) = default;
};

// Number of data bytes that follow a channel status byte.
constexpr int DataByteCount(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// The layout midiOutShortMsg takes: status in the low byte, then data1, then data2.
constexpr std::uint32_t PackShortMessage(ShortMessage m) {
    return std::uint32_t{m.status} | std::uint32_t{m.data1} << 8 | std::uint32_t{m.data2} << 16;
}

}  // namespace corvane::midi

// The device a MidiPlayer plays on: an interface, so tests can record what a song would sound like.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "app/midi/midi_message.h"

namespace corvane::midi {

class MidiOutput {
  public:
    virtual ~MidiOutput() = default;

    // False when there is no device to play on; the player then drops the item.
    virtual bool Open() = 0;
    virtual void Send(ShortMessage message) = 0;
    // Stops every sounding note on all 16 channels, held ones included.
    virtual void Silence() = 0;
    virtual void Close() = 0;
};

// Makes a fresh, unopened output for each item the player plays. Called on the player's thread.
using MidiOutputFactory = std::function<std::unique_ptr<MidiOutput>()>;

inline constexpr int kMidiChannelCount = 16;

// What Silence sends when a device has no reset of its own: sustain pedal up, All Sound Off
// (controller 120) and All Notes Off (controller 123) on every channel. The pedal comes first
// because some synthesizers keep notes held by it through All Notes Off.
constexpr std::array<ShortMessage, 3 * kMidiChannelCount> SilenceMessages() {
    std::array<ShortMessage, 3 * kMidiChannelCount> messages{};
    for (int channel = 0; channel < kMidiChannelCount; ++channel) {
        const auto status = static_cast<std::uint8_t>(0xB0 | channel);
        messages[3 * channel] = {status, 64, 0};
        messages[3 * channel + 1] = {status, 120, 0};
        messages[3 * channel + 2] = {status, 123, 0};
    }
    return messages;
}

}  // namespace corvane::midi

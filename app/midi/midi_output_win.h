// MIDI output through the Windows multimedia API's MIDI mapper.
#pragma once

#include <memory>

#include "app/midi/midi_output.h"

namespace corvane::midi {

// An output on the MIDI mapper; its Open fails when the system has no MIDI device.
std::unique_ptr<MidiOutput> MakeWinmmOutput();

// For MidiPlayer: one mapper output per item played.
inline MidiOutputFactory WinmmOutputFactory() {
    return &MakeWinmmOutput;
}

}  // namespace corvane::midi

// Test doubles for the MIDI player's seams: a clock of virtual time and an output that records.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/midi/midi_output.h"
#include "app/midi/midi_player.h"

namespace corvane::midi::testing {

// Virtual time that passes at once: SleepUntil moves the clock to the deadline and returns.
// A deadline past the limit instead parks the thread at the limit until stop is requested or
// the limit is raised: a playback caught in the middle, for the test to act on.
class FakeClock final : public PlaybackClock {
  public:
    std::int64_t NowUs() override;
    bool SleepUntil(std::int64_t deadlineUs, StopSignal& stop) override;

    // A parked thread goes on once the limit reaches its deadline.
    void SetLimit(std::int64_t limitUs);
    // Waits (in real time, up to `timeout`) until a playback thread is parked at the limit.
    bool WaitUntilParked(std::chrono::milliseconds timeout = std::chrono::seconds(10));

  private:
    std::mutex mutex_;
    std::condition_variable parkedChanged_;
    std::int64_t nowUs_ = 0;
    std::int64_t limitUs_ = std::numeric_limits<std::int64_t>::max();
    bool parked_ = false;
};

struct OutputEvent {
    enum class Kind { kOpen, kSend, kSilence, kClose };
    Kind kind = Kind::kSend;
    std::int64_t timeUs = 0;  // the clock's time when it happened
    ShortMessage message;     // for kSend
};

std::string Describe(const OutputEvent& event);

// The shared log of every output a factory made, and the factory itself.
class OutputRecorder {
  public:
    explicit OutputRecorder(std::shared_ptr<PlaybackClock> clock) : clock_(std::move(clock)) {}

    // Outputs that open only while `available` is true (true at first).
    MidiOutputFactory Factory();
    void SetDeviceAvailable(bool available);

    void Record(OutputEvent::Kind kind, ShortMessage message = {});
    std::vector<OutputEvent> Events() const;
    // Messages sent, without the open/silence/close entries.
    std::vector<OutputEvent> Sent() const;
    // One line per event, for failure messages.
    std::string Dump() const;

  private:
    const std::shared_ptr<PlaybackClock> clock_;
    mutable std::mutex mutex_;
    std::vector<OutputEvent> events_;
    bool available_ = true;
};

// Waits in real time until the player's thread has ended.
bool WaitUntilIdle(const MidiPlayer& player, std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace corvane::midi::testing

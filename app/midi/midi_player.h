// Plays a list of Standard MIDI Files, from memory or from disk, on a background thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "app/midi/midi_output.h"

namespace corvane::midi {

// Tells a playback thread to stop and wakes it from any wait. One per playback.
class StopSignal {
  public:
    void Request();
    bool Requested() const;
    // Waits up to `timeout` or until stop is requested; true when it was requested.
    bool WaitFor(std::chrono::microseconds timeout);
    // Waits until stop is requested.
    void Wait();

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool requested_ = false;
};

// Time as the player sees it. The real clock waits on the stop signal's condition variable, so a
// stop ends any wait at once; a test clock can let time pass without waiting at all.
class PlaybackClock {
  public:
    virtual ~PlaybackClock() = default;
    // Microseconds since a fixed origin of this clock.
    virtual std::int64_t NowUs() = 0;
    // Returns true once NowUs() has reached `deadlineUs`, or false as soon as stop is requested
    // (also when it already was, even if the deadline has passed).
    virtual bool SleepUntil(std::int64_t deadlineUs, StopSignal& stop) = 0;
};

// The clock of real time, on std::chrono::steady_clock.
std::shared_ptr<PlaybackClock> MakeSteadyClock();

// One entry of a play list: MIDI data in memory, or the name of a file read when its turn comes.
class MidiItem {
  public:
    // `bytes` must stay valid for as long as the player may play it: constant data of the program.
    static MidiItem FromMemory(std::span<const std::uint8_t> bytes) { return MidiItem(bytes); }
    static MidiItem FromMemory(std::string_view bytes) {
        return MidiItem(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    }
    static MidiItem FromFile(std::string path) { return MidiItem(std::move(path)); }

    const std::span<const std::uint8_t>* Memory() const { return std::get_if<0>(&source_); }
    const std::string* FilePath() const { return std::get_if<1>(&source_); }

  private:
    explicit MidiItem(std::span<const std::uint8_t> bytes) : source_(std::in_place_index<0>, bytes) {}
    explicit MidiItem(std::string path) : source_(std::in_place_index<1>, std::move(path)) {}

    std::variant<std::span<const std::uint8_t>, std::string> source_;
};

// Files larger than this are not MIDI files anyone means to play; they are dropped unread.
inline constexpr std::uintmax_t kMaxMidiFileBytes = 16u << 20;

// Passes over the list start at least this far apart, so that an endless list of songs without
// length cannot keep the thread busy.
inline constexpr std::int64_t kMinPassUs = 100'000;

class MidiPlayer {
  public:
    static constexpr int kEndless = -1;

    MidiPlayer(MidiOutputFactory makeOutput, std::shared_ptr<PlaybackClock> clock);
    ~MidiPlayer();
    MidiPlayer(const MidiPlayer&) = delete;
    MidiPlayer& operator=(const MidiPlayer&) = delete;

    // Stops any playback, then plays `items` in order on a new thread, the whole list `count`
    // times, waiting `pauseTenths` x 100 ms after each item played. Returns at once.
    //  - count 0 plays nothing; any negative count plays endlessly, until Stop, the next Play or
    //    the player's end (kEndless is the usual way to say it).
    //  - A negative pause counts as none.
    //  - An item that cannot be read or parsed, or whose output cannot be opened, is dropped
    //    without a pause; a pass in which no item could be played ends the playback.
    void Play(int count, int pauseTenths, std::vector<MidiItem> items);
    // One pass without pause.
    void Play(std::vector<MidiItem> items) { Play(1, 0, std::move(items)); }

    // Ends the playback, if any, and waits for its thread; the output is silenced and closed.
    void Stop();

    // True while a playback thread is running.
    bool IsPlaying() const;

  private:
    struct Session;

    void StopLocked();

    const MidiOutputFactory makeOutput_;
    const std::shared_ptr<PlaybackClock> clock_;
    mutable std::mutex control_;  // Play, Stop and the destructor may come from different threads
    std::unique_ptr<Session> session_;
    std::thread thread_;
};

}  // namespace corvane::midi

#include "app/midi/midi_player.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <new>
#include <optional>
#include <system_error>

#include "app/midi/midi_schedule.h"
#include "app/midi/smf_parser.h"

namespace corvane::midi {

void StopSignal::Request() {
    {
        std::lock_guard lock(mutex_);
        requested_ = true;
    }
    changed_.notify_all();
}

bool StopSignal::Requested() const {
    std::lock_guard lock(mutex_);
    return requested_;
}

bool StopSignal::WaitFor(std::chrono::microseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return requested_; });
}

void StopSignal::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return requested_; });
}

namespace {

// Waits are cut into pieces no longer than this, which keeps the chrono arithmetic far from
// overflow however distant a deadline a strange file asks for.
constexpr std::int64_t kLongestWaitUs = 3'600'000'000;

class SteadyClock final : public PlaybackClock {
  public:
    std::int64_t NowUs() override {
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                     origin_)
            .count();
    }

    bool SleepUntil(std::int64_t deadlineUs, StopSignal& stop) override {
        for (;;) {
            if (stop.Requested()) return false;
            const std::int64_t now = NowUs();
            if (now >= deadlineUs) return true;
            // Looping also absorbs the condition variable's early wake-ups.
            if (stop.WaitFor(std::chrono::microseconds(std::min(deadlineUs - now, kLongestWaitUs))))
                return false;
        }
    }

  private:
    const std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
};

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    char buffer[16384];
    // Read in pieces rather than trusting a size from seeking, which a pipe or device would not give.
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        const auto got = static_cast<std::size_t>(in.gcount());
        if (bytes.size() + got > kMaxMidiFileBytes) return std::nullopt;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    if (in.bad()) return std::nullopt;
    return bytes;
}

// The item's schedule, or nothing when it cannot be read or parsed.
std::optional<Schedule> LoadItem(const MidiItem& item) {
    try {
        std::optional<Song> song;
        if (const auto* memory = item.Memory()) {
            song = ParseSmf(*memory);
        } else if (auto bytes = ReadFileBytes(*item.FilePath())) {
            song = ParseSmf(std::span<const std::uint8_t>(*bytes));
        }
        if (!song) return std::nullopt;
        return ScheduleSong(*song);
    } catch (const std::bad_alloc&) {
        return std::nullopt;  // a file too big for memory is an item that cannot be played
    }
}

// Closes the output however the song ends, leaving no note sounding.
class OpenOutput {
  public:
    explicit OpenOutput(MidiOutput& output) : output_(output) {}
    ~OpenOutput() {
        output_.Silence();
        output_.Close();
    }
    OpenOutput(const OpenOutput&) = delete;
    OpenOutput& operator=(const OpenOutput&) = delete;

  private:
    MidiOutput& output_;
};

// Plays one song to its end, rests included. False when stopped.
bool PlaySchedule(const Schedule& schedule, MidiOutput& output, PlaybackClock& clock, StopSignal& stop) {
    OpenOutput open(output);
    const std::int64_t start = clock.NowUs();
    for (const TimedMessage& timed : schedule.messages) {
        if (!clock.SleepUntil(start + timed.timeUs, stop)) return false;
        output.Send(timed.message);
    }
    return clock.SleepUntil(start + schedule.lengthUs, stop);
}

}  // namespace

std::shared_ptr<PlaybackClock> MakeSteadyClock() {
    return std::make_shared<SteadyClock>();
}

// Everything the playback thread uses; it touches nothing else.
struct MidiPlayer::Session {
    MidiOutputFactory makeOutput;
    std::shared_ptr<PlaybackClock> clock;
    std::vector<MidiItem> items;
    int count = 0;
    std::int64_t pauseUs = 0;
    StopSignal stop;
    std::atomic<bool> finished{false};

    void Run() {
        std::int64_t passStart = clock->NowUs();
        for (std::int64_t pass = 0; count < 0 || pass < count; ++pass) {
            if (pass > 0) {
                if (!clock->SleepUntil(passStart + kMinPassUs, stop)) return;
                passStart = clock->NowUs();
            }
            bool playedAny = false;
            for (const MidiItem& item : items) {
                if (stop.Requested()) return;
                const std::optional<Schedule> schedule = LoadItem(item);
                if (!schedule) continue;
                const std::unique_ptr<MidiOutput> output = makeOutput ? makeOutput() : nullptr;
                if (!output || !output->Open()) continue;
                playedAny = true;
                if (!PlaySchedule(*schedule, *output, *clock, stop)) return;
                if (pauseUs > 0 && !clock->SleepUntil(clock->NowUs() + pauseUs, stop)) return;
            }
            // Another pass over a list none of whose items plays would only spin.
            if (!playedAny) return;
        }
    }
};

MidiPlayer::MidiPlayer(MidiOutputFactory makeOutput, std::shared_ptr<PlaybackClock> clock)
    : makeOutput_(std::move(makeOutput)), clock_(clock ? std::move(clock) : MakeSteadyClock()) {}

MidiPlayer::~MidiPlayer() {
    Stop();
}

void MidiPlayer::Play(int count, int pauseTenths, std::vector<MidiItem> items) {
    std::lock_guard lock(control_);
    StopLocked();
    if (count == 0 || items.empty()) return;

    auto session = std::make_unique<Session>();
    session->makeOutput = makeOutput_;
    session->clock = clock_;
    session->items = std::move(items);
    session->count = count;
    session->pauseUs = std::int64_t{std::max(pauseTenths, 0)} * 100'000;
    try {
        thread_ = std::thread([s = session.get()] {
            s->Run();
            s->finished = true;
        });
    } catch (const std::system_error&) {
        return;  // no thread to be had: the list is not played, like an item that cannot be played
    }
    session_ = std::move(session);
}

void MidiPlayer::Stop() {
    std::lock_guard lock(control_);
    StopLocked();
}

void MidiPlayer::StopLocked() {
    if (thread_.joinable()) {
        session_->stop.Request();
        thread_.join();
    }
    session_.reset();
}

bool MidiPlayer::IsPlaying() const {
    std::lock_guard lock(control_);
    return session_ && !session_->finished;
}

}  // namespace corvane::midi

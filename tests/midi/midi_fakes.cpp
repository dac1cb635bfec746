#include "tests/midi/midi_fakes.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace corvane::midi::testing {

std::int64_t FakeClock::NowUs() {
    std::lock_guard lock(mutex_);
    return nowUs_;
}

bool FakeClock::SleepUntil(std::int64_t deadlineUs, StopSignal& stop) {
    std::unique_lock lock(mutex_);
    while (deadlineUs > limitUs_) {
        nowUs_ = std::max(nowUs_, limitUs_);
        parked_ = true;
        parkedChanged_.notify_all();
        lock.unlock();
        // Polls, so that both a stop and a raised limit end the wait.
        const bool stopped = stop.WaitFor(std::chrono::milliseconds(1));
        lock.lock();
        if (stopped) break;
    }
    parked_ = false;
    if (stop.Requested()) return false;
    nowUs_ = std::max(nowUs_, deadlineUs);
    return true;
}

void FakeClock::SetLimit(std::int64_t limitUs) {
    std::lock_guard lock(mutex_);
    limitUs_ = limitUs;
    parked_ = false;  // a parked thread parks again if the new limit still holds it back
}

bool FakeClock::WaitUntilParked(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return parkedChanged_.wait_for(lock, timeout, [this] { return parked_; });
}

namespace {

class RecordingOutput final : public MidiOutput {
  public:
    RecordingOutput(OutputRecorder& recorder, bool available) : recorder_(recorder), available_(available) {}

    bool Open() override {
        if (!available_) return false;
        recorder_.Record(OutputEvent::Kind::kOpen);
        return true;
    }
    void Send(ShortMessage message) override { recorder_.Record(OutputEvent::Kind::kSend, message); }
    void Silence() override { recorder_.Record(OutputEvent::Kind::kSilence); }
    void Close() override { recorder_.Record(OutputEvent::Kind::kClose); }

  private:
    OutputRecorder& recorder_;
    const bool available_;
};

}  // namespace

MidiOutputFactory OutputRecorder::Factory() {
    return [this]() -> std::unique_ptr<MidiOutput> {
        std::lock_guard lock(mutex_);
        return std::make_unique<RecordingOutput>(*this, available_);
    };
}

void OutputRecorder::SetDeviceAvailable(bool available) {
    std::lock_guard lock(mutex_);
    available_ = available;
}

void OutputRecorder::Record(OutputEvent::Kind kind, ShortMessage message) {
    const std::int64_t now = clock_->NowUs();
    std::lock_guard lock(mutex_);
    events_.push_back({kind, now, message});
}

std::vector<OutputEvent> OutputRecorder::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<OutputEvent> OutputRecorder::Sent() const {
    std::vector<OutputEvent> sent = Events();
    std::erase_if(sent, [](const OutputEvent& e) { return e.kind != OutputEvent::Kind::kSend; });
    return sent;
}

std::string Describe(const OutputEvent& event) {
    char line[64];
    switch (event.kind) {
        case OutputEvent::Kind::kOpen:
            std::snprintf(line, sizeof line, "%lld open", static_cast<long long>(event.timeUs));
            break;
        case OutputEvent::Kind::kSilence:
            std::snprintf(line, sizeof line, "%lld silence", static_cast<long long>(event.timeUs));
            break;
        case OutputEvent::Kind::kClose:
            std::snprintf(line, sizeof line, "%lld close", static_cast<long long>(event.timeUs));
            break;
        case OutputEvent::Kind::kSend:
            std::snprintf(line, sizeof line, "%lld send %02X %02X %02X", static_cast<long long>(event.timeUs),
                          event.message.status, event.message.data1, event.message.data2);
            break;
    }
    return line;
}

std::string OutputRecorder::Dump() const {
    std::string text;
    for (const OutputEvent& event : Events()) text += Describe(event) + "\n";
    return text;
}

bool WaitUntilIdle(const MidiPlayer& player, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (player.IsPlaying()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace corvane::midi::testing

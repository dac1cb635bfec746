// FixedClock: tick readings scripted by the test and a local date-time that never moves.
#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <optional>

#include "app/clock.h"

namespace corvane::testing {

// Readings come from the queue while it lasts, then from the steady value. A reading with neither left
// is a test failure: the code read the clock more often than the test expected.
class FixedClock final : public Clock {
  public:
    explicit FixedClock(LocalDateTime now = {2012, 10, 10, 15, 21, 28}) : now_(now) {}

    std::int32_t TickCount() override;
    LocalDateTime Now() override;

    void SetSteadyTick(std::int32_t reading) { steady_ = reading; }
    void QueueTicks(std::initializer_list<std::int32_t> readings) { queue_.insert(queue_.end(), readings); }
    void SetNow(const LocalDateTime& now) { now_ = now; }

    int tickReads() const { return tickReads_; }
    int nowReads() const { return nowReads_; }
    int queuedTicks() const { return static_cast<int>(queue_.size()); }

  private:
    std::deque<std::int32_t> queue_;
    std::optional<std::int32_t> steady_;
    LocalDateTime now_;
    int tickReads_ = 0;
    int nowReads_ = 0;
};

}  // namespace corvane::testing

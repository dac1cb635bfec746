#include "tests/fakes/fixed_clock.h"

#include <gtest/gtest.h>

namespace corvane::testing {

std::int32_t FixedClock::TickCount() {
    ++tickReads_;
    if (!queue_.empty()) {
        const std::int32_t reading = queue_.front();
        queue_.pop_front();
        return reading;
    }
    if (steady_) return *steady_;
    ADD_FAILURE() << "tick count read " << tickReads_ << " times, more than the test scripted";
    return 0;
}

LocalDateTime FixedClock::Now() {
    ++nowReads_;
    return now_;
}

}  // namespace corvane::testing

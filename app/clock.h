// The clock seam: the millisecond tick count and the local date-time.
#pragma once

#include <cstdint>

namespace corvane {

struct LocalDateTime {
    int year, month, day, hour, minute, second;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since the machine started, as a signed 32-bit reading (negative after ~24.8 days).
    virtual std::int32_t TickCount() = 0;
    virtual LocalDateTime Now() = 0;
};

}  // namespace corvane

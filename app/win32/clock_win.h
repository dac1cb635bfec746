// The system clock: GetTickCount and the local time.
#pragma once

#include "app/clock.h"

namespace corvane::win32 {

class Win32Clock final : public Clock {
  public:
    std::int32_t TickCount() override;
    LocalDateTime Now() override;
};

}  // namespace corvane::win32

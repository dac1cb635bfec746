#include "app/win32/clock_win.h"

#include <windows.h>

namespace corvane::win32 {

std::int32_t Win32Clock::TickCount() {
    return static_cast<std::int32_t>(GetTickCount());
}

LocalDateTime Win32Clock::Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace corvane::win32

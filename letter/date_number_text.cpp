#include "letter/date_number_text.h"

#include <cstdio>

namespace corvane {

Text DateTimeText(const LocalDateTime& t) {
    char buffer[128];
    int n = std::snprintf(buffer, sizeof buffer, "%d年%d月%d日", t.year, t.month, t.day);
    Text text(buffer, static_cast<std::size_t>(n));
    if (t.second != 0) {
        n = std::snprintf(buffer, sizeof buffer, "%d时%d分%d秒", t.hour, t.minute, t.second);
    } else if (t.minute != 0) {
        n = std::snprintf(buffer, sizeof buffer, "%d时%d分", t.hour, t.minute);
    } else if (t.hour != 0) {
        n = std::snprintf(buffer, sizeof buffer, "%d时", t.hour);
    } else {
        n = 0;
    }
    text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

Text NumberText(double value) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%.13g", value);
    return Text(buffer, static_cast<std::size_t>(n));
}

}  // namespace corvane

// The Chinese date-time text and the "%.13g" number text of the letter and its count caption.
#pragma once

#include "app/clock.h"
#include "app/text.h"

namespace corvane {

// "2012年10月10日15时21分28秒"; the time part shortens at zero seconds, minutes and hours.
Text DateTimeText(const LocalDateTime& t);
// At most 13 significant digits, as the C format "%.13g".
Text NumberText(double value);

}  // namespace corvane

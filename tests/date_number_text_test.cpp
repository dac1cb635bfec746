// DateTimeText and NumberText: the Chinese date-time of the letter and the "%.13g" count.
#include <gtest/gtest.h>

#include "letter/date_number_text.h"

namespace corvane {
namespace {

TEST(DateTimeText, ShortensTheTimeAtZeroSecondsMinutesAndHours) {
    struct Case {
        LocalDateTime t;
        const char* text;
    };
    const Case cases[] = {
        {{2012, 10, 10, 15, 21, 28}, "2012年10月10日15时21分28秒"},
        {{2013, 1, 5, 9, 0, 0}, "2013年1月5日9时"},
        {{2013, 1, 5, 0, 0, 0}, "2013年1月5日"},  // midnight exactly: the date alone
        {{2013, 1, 5, 0, 7, 0}, "2013年1月5日0时7分"},
        {{2013, 1, 5, 0, 0, 3}, "2013年1月5日0时0分3秒"},
        {{2013, 1, 5, 9, 0, 5}, "2013年1月5日9时0分5秒"},
        {{2009, 3, 7, 8, 5, 0}, "2009年3月7日8时5分"},  // no leading zeros anywhere
        {{1999, 12, 31, 23, 59, 59}, "1999年12月31日23时59分59秒"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DateTimeText(c.t), c.text);
    }
}

TEST(NumberText, FormatsAsPercentPoint13G) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {1234.5, "1234.5"},
        {1234.0, "1234"},
        {0.0, "0"},
        {0.5, "0.5"},
        {2283.5, "2283.5"},
        {524288.5, "524288.5"},
        {1234567890123.0, "1234567890123"},        // 13 digits still plain
        {1234567890123.5, "1234567890124"},        // rounded to 13 significant digits
        {12345678901234.0, "1.234567890123e+13"},  // exponent 13: exponent notation
        {1e13, "1e+13"},
        {1.0 / 3.0, "0.3333333333333"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},  // exponent below -4
        {-1234.5, "-1234.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NumberText(c.value), c.text);
    }
}

}  // namespace
}  // namespace corvane

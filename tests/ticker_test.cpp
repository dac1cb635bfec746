// The slogan ticker: one more byte of TickerText in 标签5 per tick of 时钟1, a cycle of 250 ticks.
#include <gtest/gtest.h>

#include <string>

#include "app/text.h"
#include "resources/resource_data.h"
#include "tests/program_harness.h"
#include "ui/main_window_controls.h"

namespace corvane::testing {
namespace {

using main_window::k时钟1;
using main_window::k标签5;

TEST(Ticker, TypesTheSloganByteByByteInCyclesOf250Ticks) {
    const std::string_view slogan = resources::kTickerText;
    ASSERT_EQ(slogan.size(), 248u);
    ASSERT_TRUE(slogan.starts_with("杜 "));
    const std::string loneLead(std::string_view("杜").substr(0, 1));
    ASSERT_TRUE(IsGbkLeadByte(static_cast<unsigned char>(loneLead[0])));

    struct Case {
        int tick;  // counted from the first tick after MainWindow came up
        int position;
        std::string caption;
    };
    const Case cases[] = {
        {1, 1, loneLead},  // the first byte of 杜 alone
        {2, 2, "杜"},
        {3, 3, "杜 "},
        {247, 247, std::string(slogan.substr(0, 247))},
        {248, 248, std::string(slogan)},
        {249, 249, std::string(slogan)},
        {250, 0, std::string(slogan)},
        {251, 1, loneLead},
        {252, 2, "杜"},
        {500, 0, std::string(slogan)},
        {501, 1, loneLead},
    };

    ProgramHarness h;
    h.OpenMainWindow();
    ASSERT_EQ(h.program.TickerPosition, 0);
    int tick = 0;
    int highest = 0;
    for (const Case& c : cases) {
        while (tick < c.tick) {
            h.ui.Tick(k时钟1);
            ++tick;
            highest = std::max(highest, h.program.TickerPosition);
            ASSERT_FALSE(h.ui.TextOf(k标签5).empty()) << "tick " << tick;
        }
        SCOPED_TRACE(c.tick);
        EXPECT_EQ(h.program.TickerPosition, c.position);
        EXPECT_EQ(h.ui.TextOf(k标签5), c.caption);
        EXPECT_EQ(h.program.TickerShownText, c.caption);
    }
    EXPECT_EQ(highest, 249);  // reset to 0 on the tick that reaches 250
}

TEST(Ticker, AnEmptySloganGivesATwoTickCycleOfEmptyCaptions) {
    ProgramHarness h;
    h.OpenMainWindow();
    h.program.TickerText = "";
    const int positions[] = {1, 0, 1, 0};
    for (int expected : positions) {
        h.ui.Tick(k时钟1);
        EXPECT_EQ(h.program.TickerPosition, expected);
        EXPECT_EQ(h.ui.TextOf(k标签5), "");
    }
}

TEST(Ticker, KeepsTickingWhileTheGateIsOpen) {
    ProgramHarness h;
    h.OpenMainWindow([&] {
        for (int i = 0; i < 5; ++i) h.ui.Tick(k时钟1);
    });
    EXPECT_EQ(h.program.TickerPosition, 5);
    EXPECT_EQ(h.ui.TextOf(k标签5), resources::kTickerText.substr(0, 5));
}

}  // namespace
}  // namespace corvane::testing

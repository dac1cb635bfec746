// The six style check boxes: which boxes stay checked and which salutation the next letter gets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/program_harness.h"
#include "ui/main_window_controls.h"

namespace corvane::testing {
namespace {

using main_window::k选择框;

TEST(StyleBoxes, ClicksMoveTheCheckMarkAndSetTheSalutation) {
    struct Case {
        std::vector<int> clicks;  // box numbers, in order, from the state MainWindow comes up in
        int checkedBox;           // 0: none
        std::string_view salutation;
    };
    const Case cases[] = {
        {{}, 1, "尊敬的党组织："},
        {{2}, 2, "敬爱的党组织："},
        {{3}, 3, "党组织您好："},
        {{4}, 4, "尊敬的党组织："},  // same text as box 1, the mark still moves
        {{5}, 5, "敬爱的党组织："},
        {{6}, 6, "崇敬的党组织您好："},
        {{1}, 0, "尊敬的党组织："},  // clicking the checked box unchecks it and keeps its text
        {{3, 3}, 0, "党组织您好："},
        {{2, 5}, 5, "敬爱的党组织："},
        {{2, 6}, 6, "崇敬的党组织您好："},
        {{3, 3, 2}, 2, "敬爱的党组织："},
        {{6, 1}, 1, "尊敬的党组织："},
    };
    for (const Case& c : cases) {
        std::string trace = "clicks:";
        for (int box : c.clicks) trace += " " + std::to_string(box);
        SCOPED_TRACE(trace);
        ProgramHarness h;
        h.OpenMainWindow();
        for (int box : c.clicks) h.ui.Click(k选择框[box - 1]);
        for (int box = 1; box <= 6; ++box) {
            EXPECT_EQ(h.ui.IsChecked(k选择框[box - 1]), box == c.checkedBox) << "选择框" << box;
        }
        EXPECT_EQ(h.program.Salutation, c.salutation);
    }
}

TEST(StyleBoxes, ChangingTheStyleTouchesOnlyTheNextLetter) {
    ProgramHarness h;
    h.OpenMainWindow();
    h.clock.SetSteadyTick(0);
    h.ui.Type(main_window::k编辑框1, "张三");
    h.ui.Click(kGenerateButton);
    const Text first = h.ui.TextOf(main_window::k编辑框5);

    h.ui.Click(k选择框[2]);
    h.ui.Click(k选择框[2]);  // no box checked now; 选择框3's text stays
    EXPECT_EQ(h.ui.TextOf(main_window::k编辑框5), first);

    h.ui.Click(kGenerateButton);
    const Text second = h.ui.TextOf(main_window::k编辑框5);
    // The salutation stands right after the 53-byte title and right before the opening entry's CR LF pairs.
    EXPECT_EQ(first.substr(53, 18), "尊敬的党组织：\r\n\r\n");
    EXPECT_EQ(second.substr(53, 16), "党组织您好：\r\n\r\n");
    EXPECT_EQ(second.substr(53 + 12), first.substr(53 + 14));
}

}  // namespace
}  // namespace corvane::testing

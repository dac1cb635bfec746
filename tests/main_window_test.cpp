// OnMainWindowCreated: ticker, default salutation and banner tooltip set up before the gate opens modally.
#include <gtest/gtest.h>

#include "resources/resource_data.h"
#include "tests/program_harness.h"
#include "ui/main_window_controls.h"

namespace corvane::testing {
namespace {

using namespace main_window;

constexpr std::string_view kBannerText =
    "加入中国共产党是神圣的，软件自动生成的例文只用于写作参考，请熟读软件内的党章，"
    "其实只要做到5个字我们就都是共产党员，那就是<为人民服务>";

TEST(OnMainWindowCreated, SetsUpEverythingBeforeTheGateOpensModally) {
    ProgramHarness h;
    h.program.TickerPosition = 77;  // the handler sets it, it does not rely on the start value
    bool gateSeen = false;
    h.OpenMainWindow([&] {
        gateSeen = true;
        const WindowState* gate = h.ui.Window(WindowId::kConstitutionWindow);
        ASSERT_NE(gate, nullptr);
        EXPECT_TRUE(gate->modal);
        const WindowState* main = h.ui.Window(WindowId::kMainWindow);
        ASSERT_NE(main, nullptr);
        EXPECT_FALSE(main->everShown);  // the user sees the gate alone
        EXPECT_FALSE(main->enabled);

        EXPECT_EQ(h.program.TickerText.data(), resources::kTickerText.data());  // the constant, not a copy
        EXPECT_EQ(h.program.TickerText.size(), resources::kTickerText.size());
        EXPECT_EQ(h.ui.TimerPeriodOf(k时钟1), 100);
        EXPECT_EQ(h.program.TickerPosition, 0);
        EXPECT_EQ(h.program.Salutation, "尊敬的党组织：");

        ASSERT_EQ(h.ui.tooltips().size(), 1u);
        const TooltipCall& tip = h.ui.tooltips()[0];
        EXPECT_EQ(tip.handle, h.ui.HandleOf(k图片框1));
        EXPECT_EQ(tip.text, kBannerText);
        EXPECT_EQ(tip.text.size(), 133u);
        EXPECT_TRUE(tip.balloon);
        EXPECT_FALSE(tip.centred);
    });
    EXPECT_TRUE(gateSeen);

    // After the gate, MainWindow comes up enabled, with the state its definition gives it.
    const WindowState* main = h.ui.Window(WindowId::kMainWindow);
    EXPECT_TRUE(main->shown);
    EXPECT_TRUE(main->enabled);
    EXPECT_FALSE(main->modal);
    EXPECT_EQ(h.ui.loadCalls(), 2);
    EXPECT_EQ(h.ui.tooltips().size(), 1u);
    EXPECT_EQ(h.ui.TextOf(k标签5), "");  // no tick yet
    EXPECT_EQ(h.ui.TextOf(k标签6), "");
    for (int box = 0; box < 6; ++box)
        EXPECT_EQ(h.ui.IsChecked(k选择框[box]), box == 0) << "选择框" << box + 1;
    EXPECT_TRUE(h.ui.messageBoxes().empty());
}

}  // namespace
}  // namespace corvane::testing

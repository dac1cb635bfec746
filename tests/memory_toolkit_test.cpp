// The in-memory toolkit's own rules: a fault in a test or in the program's calls never goes unnoticed.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>

#include "tests/program_harness.h"
#include "ui/main_window.h"
#include "ui/main_window_controls.h"

namespace corvane::testing {
namespace {

using namespace main_window;

TEST(MemoryToolkit, ReportsCallsThatTheRealToolkitCouldNotServe) {
    struct Case {
        const char* what;
        std::function<void(MemoryToolkit&)> call;
        const char* failure;
    };
    const Case cases[] = {
        {"unknown control",
         [](MemoryToolkit& ui) {
             ui.GetControlText({WindowId::kMainWindow, "编辑框9"});
         },
         "has no control"},
        {"control of the other window",
         [](MemoryToolkit& ui) {
             ui.SetControlText({WindowId::kConstitutionWindow, "编辑框1"}, "x");
         },
         "not open"},
        {"wrong kind", [](MemoryToolkit& ui) { ui.SetLabelCaption(k编辑框5, "x"); }, "not a label"},
        {"check state of a button", [](MemoryToolkit& ui) { ui.GetCheckState(kGenerateButton); },
         "not a check box"},
        {"click on a label", [](MemoryToolkit& ui) { ui.Click(k标签6); }, "Click on"},
        {"tooltip on no control", [](MemoryToolkit& ui) { ui.AddTooltip(nullptr, "x", true, false); },
         "no control of an open window"},
        {"handle of the timer", [](MemoryToolkit& ui) { ui.GetControlHandle(k时钟1); },
         "without a native window"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramHarness h;
        h.OpenMainWindow();
        EXPECT_NONFATAL_FAILURE(c.call(h.ui), c.failure);
    }
}

TEST(MemoryToolkit, UserEventsNeedAReachableWindowAndARunningTimer) {
    ProgramHarness h;
    h.OpenMainWindow([&] {
        // The gate is modal: MainWindow is disabled and not yet shown.
        EXPECT_NONFATAL_FAILURE(h.ui.Click(kGenerateButton), "cannot reach");
        EXPECT_NONFATAL_FAILURE(h.ui.Close(WindowId::kMainWindow), "cannot reach");
    });
    EXPECT_EQ(h.ui.messageBoxes().size(), 0u);  // the refused click ran no handler

    ProgramHarness stopped;
    stopped.ui.SetCreationProbe(WindowId::kMainWindow,
                                [&] { EXPECT_NONFATAL_FAILURE(stopped.ui.Tick(k时钟1), "stopped"); });
    stopped.OpenMainWindow();
}

TEST(MemoryToolkit, CheckBoxClickTogglesBeforeItsHandlerAndSetCheckStateRunsNone) {
    ProgramHarness h;
    h.OpenMainWindow();
    h.ui.Click(k选择框[1]);  // the handler reads the toggled state: checked, so it clears 选择框1
    EXPECT_TRUE(h.ui.IsChecked(k选择框[1]));
    EXPECT_FALSE(h.ui.IsChecked(k选择框[0]));
    h.ui.SetCheckState(k选择框[4], true);  // from the program: no click, so no handler
    EXPECT_TRUE(h.ui.IsChecked(k选择框[1]));
    EXPECT_EQ(h.program.Salutation, "敬爱的党组织：");
}

TEST(MemoryToolkit, AModalWindowLeftOpenByItsScriptIsAFailure) {
    ProgramHarness h;
    h.ui.Initialise(h.program);
    h.ui.SetModalScript(WindowId::kConstitutionWindow, [] {});
    EXPECT_NONFATAL_FAILURE(h.ui.LoadWindow(MainWindowDefinition(), false), "still open after its script");
    EXPECT_TRUE(h.ui.Window(WindowId::kMainWindow)->enabled);  // the modal load gave the state back
}

TEST(MemoryToolkit, MessageLoopMustEndWithNoWindowLeft) {
    ProgramHarness h;
    h.OpenMainWindow();
    h.ui.SetMessageLoopScript([] {});
    EXPECT_NONFATAL_FAILURE(h.ui.RunMessageLoop(), "still open after the message loop script");
}

}  // namespace
}  // namespace corvane::testing

// Start-up and shut-down through the in-memory toolkit: the three ways a run of the program ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "app/startup.h"
#include "tests/program_harness.h"
#include "ui/main_window.h"
#include "ui/main_window_controls.h"

namespace corvane::testing {
namespace {

// The exit code with which the process ended, or nothing if it did not end.
std::optional<int> RunToTheEnd(ProgramHarness& h) {
    try {
        RunProgram(h.program, MainWindowDefinition());
    } catch (const ProcessEnded& ended) {
        return ended.exitCode;
    }
}

TEST(ProgramState, StartsEmpty) {
    ProgramHarness h;
    EXPECT_TRUE(h.program.Salutation.empty());
    EXPECT_TRUE(h.program.TickerText.empty());
    EXPECT_EQ(h.program.TickerPosition, 0);
    EXPECT_TRUE(h.program.TickerShownText.empty());
    EXPECT_EQ(h.program.Registry, nullptr);
    EXPECT_EQ(h.program.exitRoutine, nullptr);
    EXPECT_EQ(h.program.stateReleases, 0);
}

TEST(StartUp, PreparesToolkitRegistryAndExitRoutineBeforeMainWindowIsCreated) {
    ProgramHarness h;
    bool probed = false;
    h.ui.SetCreationProbe(WindowId::kMainWindow, [&] {
        probed = true;
        EXPECT_EQ(h.ui.initialisations(), 1);
        EXPECT_EQ(h.ui.program(), &h.program);
        EXPECT_NE(h.program.Registry, nullptr);
        EXPECT_EQ(h.program.exitRoutine, &ReleaseProgramState);
        // The creation handler has not run yet.
        EXPECT_TRUE(h.program.Salutation.empty());
        EXPECT_TRUE(h.program.TickerText.empty());
        EXPECT_EQ(h.program.TickerPosition, 0);
        EXPECT_EQ(h.ui.TimerPeriodOf(main_window::k时钟1), 0);
    });
    h.ui.SetModalScript(WindowId::kConstitutionWindow, [&] { h.ui.Click(kAcceptButton); });
    h.ui.SetMessageLoopScript([&] { h.ui.Close(WindowId::kMainWindow); });
    EXPECT_EQ(RunToTheEnd(h), 0);
    EXPECT_TRUE(probed);
}

TEST(StartUp, ClosingMainWindowAfterTheGateEndsWithZero) {
    // "知 道" and Esc (a close request, nothing bound to it) leave the gate the same way.
    struct Case {
        const char* how;
        std::function<void(MemoryToolkit&)> leaveGate;
    };
    const Case cases[] = {
        {"知 道", [](MemoryToolkit& ui) { ui.Click(kAcceptButton); }},
        {"Esc", [](MemoryToolkit& ui) { ui.Close(WindowId::kConstitutionWindow); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        ProgramHarness h;
        h.ui.SetModalScript(WindowId::kConstitutionWindow, [&] { c.leaveGate(h.ui); });
        h.ui.SetMessageLoopScript([&] {
            // Closing the gate alone ended nothing: MainWindow is up and usable.
            EXPECT_FALSE(h.ui.IsOpen(WindowId::kConstitutionWindow));
            const WindowState* main = h.ui.Window(WindowId::kMainWindow);
            ASSERT_NE(main, nullptr);
            EXPECT_TRUE(main->shown);
            EXPECT_TRUE(main->enabled);
            EXPECT_FALSE(h.ui.quitPosted());
            EXPECT_EQ(h.program.stateReleases, 0);
            for (int i = 0; i < 3; ++i) h.ui.Tick(main_window::k时钟1);
            EXPECT_FALSE(h.program.TickerShownText.empty());
            h.ui.Close(WindowId::kMainWindow);
        });

        EXPECT_EQ(RunToTheEnd(h), 0);
        EXPECT_EQ(h.ui.messageLoopRuns(), 1);
        EXPECT_TRUE(h.ui.quitPosted());
        EXPECT_EQ(h.program.stateReleases, 1);
        EXPECT_EQ(h.program.exitRoutine, nullptr);
        EXPECT_EQ(h.program.Registry, nullptr);
        EXPECT_TRUE(h.program.TickerShownText.empty());
        EXPECT_EQ(h.ui.releases(), 1);
        EXPECT_TRUE(h.ui.messageBoxes().empty());
    }
}

TEST(StartUp, DecliningTheConstitutionEndsWithZeroBeforeMainWindowIsShown) {
    ProgramHarness h;
    h.ui.SetModalScript(WindowId::kConstitutionWindow, [&] { h.ui.Click(kDeclineButton); });
    h.ui.SetMessageLoopScript([] { ADD_FAILURE() << "the message loop ran after 不知道"; });

    EXPECT_EQ(RunToTheEnd(h), 0);
    EXPECT_EQ(h.program.stateReleases, 1);
    EXPECT_EQ(h.program.Registry, nullptr);
    EXPECT_EQ(h.ui.releases(), 1);
    EXPECT_EQ(h.ui.messageLoopRuns(), 0);
    const WindowState* main = h.ui.Window(WindowId::kMainWindow);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(main->everShown);
    EXPECT_TRUE(h.ui.messageBoxes().empty());
}

TEST(StartUp, LoadFailureShowsTheErrorBoxAndEndsWithMinusOne) {
    ProgramHarness h;
    h.ui.SetLoadFails(true);
    h.ui.SetMessageLoopScript([] { ADD_FAILURE() << "the message loop ran without a window"; });

    const std::optional<int> code = RunToTheEnd(h);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, -1);
    EXPECT_EQ(static_cast<std::uint32_t>(*code), 0xFFFFFFFFu);

    ASSERT_EQ(h.ui.messageBoxes().size(), 1u);
    const MessageBoxCall& box = h.ui.messageBoxes()[0];
    EXPECT_EQ(box.text, "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    EXPECT_EQ(box.title, "错误");
    EXPECT_EQ(box.style, 16);  // OK button and error icon (MB_OK | MB_ICONERROR)
    EXPECT_EQ(h.program.stateReleases, 0);
    EXPECT_EQ(h.program.exitRoutine, nullptr);
    EXPECT_EQ(h.ui.releases(), 1);
    EXPECT_EQ(h.ui.messageLoopRuns(), 0);
}

}  // namespace
}  // namespace corvane::testing

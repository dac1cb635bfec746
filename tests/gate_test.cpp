// ConstitutionWindow: its pages and music at creation, and "知 道" letting the user on to MainWindow.
#include <gtest/gtest.h>

#include "resources/resource_data.h"
#include "tests/program_harness.h"
#include "ui/main_window.h"

namespace corvane::testing {
namespace {

constexpr ControlRef kTabs{WindowId::kConstitutionWindow, "选择夹1"};
constexpr ControlRef kProgrammePage{WindowId::kConstitutionWindow, "编辑框1"};
constexpr ControlRef kArticlesPage{WindowId::kConstitutionWindow, "编辑框2"};

TEST(ConstitutionWindow, OpensOnTheFirstPageAndPlaysBothTunesOnce) {
    ProgramHarness h;
    h.OpenMainWindow([&] {
        EXPECT_EQ(h.ui.SelectedPageOf(kTabs), 1);
        EXPECT_TRUE(h.ui.TextOf(kProgrammePage) == resources::kGeneralProgrammeText);
        EXPECT_TRUE(h.ui.TextOf(kArticlesPage) == resources::kConstitutionArticlesText);

        ASSERT_EQ(h.ui.midiCalls().size(), 1u);
        const MidiCall& music = h.ui.midiCalls()[0];
        EXPECT_EQ(music.count, 1);
        EXPECT_EQ(music.pause, 0);
        ASSERT_EQ(music.items.size(), 2u);
        // The tunes themselves, in order, held in memory; not copies and not file names.
        EXPECT_EQ(music.items[0].data.data(), resources::kGateTune1.data());
        EXPECT_EQ(music.items[0].data.size(), resources::kGateTune1.size());
        EXPECT_EQ(music.items[1].data.data(), resources::kGateTune2.data());
        EXPECT_EQ(music.items[1].data.size(), resources::kGateTune2.size());
        EXPECT_TRUE(music.items[0].fileName.empty());
        EXPECT_TRUE(music.items[1].fileName.empty());
    });
    // Nothing stops the music when the window closes.
    EXPECT_EQ(h.ui.midiCalls().size(), 1u);
}

TEST(ConstitutionWindow, AcceptClosesTheGateOnceItsHandlerHasReturned) {
    ProgramHarness h;
    h.ui.Initialise(h.program);
    h.ui.SetModalScript(WindowId::kConstitutionWindow, [&] {
        h.ui.Click(kAcceptButton);
        EXPECT_FALSE(h.ui.IsOpen(WindowId::kConstitutionWindow));
        // MainWindow still waits in its creation handler: open, not yet shown.
        EXPECT_TRUE(h.ui.IsOpen(WindowId::kMainWindow));
        EXPECT_FALSE(h.ui.Window(WindowId::kMainWindow)->everShown);
    });
    ASSERT_TRUE(h.ui.LoadWindow(MainWindowDefinition(), false));

    const WindowState* main = h.ui.Window(WindowId::kMainWindow);
    EXPECT_TRUE(main->shown);
    EXPECT_TRUE(main->enabled);
    EXPECT_FALSE(h.ui.exitCode().has_value());
    EXPECT_EQ(h.program.stateReleases, 0);
}

}  // namespace
}  // namespace corvane::testing

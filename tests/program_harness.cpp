#include "tests/program_harness.h"

#include <gtest/gtest.h>

#include "ui/main_window.h"

namespace corvane::testing {

long UntouchedSeams::Touched(const char* what) {
    ADD_FAILURE() << what << " called on a path that must not reach it";
    return 5;  // ERROR_ACCESS_DENIED, should the caller go on
}

void ProgramHarness::OpenMainWindow(const std::function<void()>& atGate) {
    ui.Initialise(program);
    ui.SetModalScript(WindowId::kConstitutionWindow, [this, atGate] {
        if (atGate) atGate();
        ui.Click(kAcceptButton);
    });
    ASSERT_TRUE(ui.LoadWindow(MainWindowDefinition(), false));
    ASSERT_TRUE(ui.IsOpen(WindowId::kMainWindow));
}

}  // namespace corvane::testing

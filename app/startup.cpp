#include "app/startup.h"

#include <cstdlib>

namespace corvane {

void ReleaseProgramState(Program& program) {
    Text().swap(program.TickerShownText);
    program.Registry.reset();
    ++program.stateReleases;
}

[[noreturn]] static void ShutDown(Program& program, int exitCode) {
    if (Handler routine = program.exitRoutine) {
        program.exitRoutine = nullptr;  // cleared first so that it can never run twice
        routine(program);
    }
    program.ui.Release();
    program.ui.EndProcess(exitCode);
    std::abort();  // EndProcess does not return; this keeps the compiler's noreturn check honest
}

void ExitProgram(Program& program, int exitCode) {
    ShutDown(program, exitCode);
}

void RunProgram(Program& program, const WindowDefinition& startWindow) {
    program.ui.Initialise(program);
    program.Registry = std::make_unique<注册表类>(program.services.registryApi, program.ui);
    program.exitRoutine = &ReleaseProgramState;
    if (!program.ui.LoadWindow(startWindow, false)) {
        program.ui.ShowMessageBox(kLoadFailureText, kMessageOk | kMessageErrorIcon, kLoadFailureTitle);
        program.exitRoutine = nullptr;
        ShutDown(program, -1);
    }
    program.ui.RunMessageLoop();
    ShutDown(program, 0);
}

}  // namespace corvane

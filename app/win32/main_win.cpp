// Corvane.exe: the Win32 services wired to the program, then start-up.
#include <windows.h>

#include "app/startup.h"
#include "app/win32/clock_win.h"
#include "app/win32/toolkit_win.h"
#include "print/win32/automation_win.h"
#include "print/win32/file_store_win.h"
#include "print/win32/registry_api_win.h"
#include "ui/main_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace corvane;
    win32::Win32Toolkit toolkit;
    win32::Win32Clock clock;
    win32::Win32RegistryApi registry;
    win32::Win32Automation automation;
    win32::Win32FileStore files;
    Program program(Services{toolkit, clock, registry, automation, files});
    RunProgram(program, MainWindowDefinition());
}

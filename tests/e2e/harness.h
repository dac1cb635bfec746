// The end-to-end harness: starts Corvane.exe as a user would, finds its windows and drives them
// from this process with window messages, as another program on the desktop sees them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/window_definition.h"

namespace corvane::testing {

// Waits are polls with a bound; nothing here sleeps for long.
inline constexpr DWORD kTimeoutMs = 10000;

// GBK (code page 936, the program's texts) and UTF-8 <-> UTF-16 (what window messages carry).
std::wstring Wide(std::string_view gbk);
std::string Gbk(std::wstring_view wide);
std::string Utf8(std::wstring_view wide);
std::wstring WideFromUtf8(std::string_view utf8);

// Equal byte strings, or where they first differ (without printing texts of many kilobytes).
::testing::AssertionResult SameBytes(std::string_view actual, std::string_view expected);

// Calls `done` every few milliseconds until it returns true or `timeoutMs` has passed; its last answer.
template <typename Predicate>
bool WaitUntil(Predicate&& done, DWORD timeoutMs = kTimeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return done();
        Sleep(5);
    }
}

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

// One run of Corvane.exe. Whatever is still running when the object goes is terminated.
class Process {
  public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { Terminate(); }

    // CreateProcessW on `exe` with this process's environment plus `extra` (replacing same names).
    bool Start(const std::wstring& exe, const Environment& extra);
    bool Running() const;
    // The full 32-bit exit code once the process has ended within the time, else nothing.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = kTimeoutMs) const;
    // Ends the process if it still runs, and waits until it has gone.
    void Terminate();

    DWORD id() const { return id_; }
    HANDLE handle() const { return process_; }

  private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// The program under test: CORVANE_EXE, or Corvane.exe next to this executable.
std::wstring ProgramPath();
// The folder of this executable, ending in a backslash.
std::wstring HarnessFolder();

// Top-level windows of a process, in z-order.
std::vector<HWND> TopLevelWindows(DWORD pid);
std::vector<HWND> VisibleTopLevelWindows(DWORD pid);
// The top-level window of `pid` with this class and exactly this title; nullptr when there is none.
HWND FindTopLevel(DWORD pid, std::wstring_view className, std::wstring_view title);
// The first top-level window of `pid` of this class; nullptr when there is none.
HWND FindTopLevelOfClass(DWORD pid, std::wstring_view className);

std::wstring ClassName(HWND hwnd);
// WM_GETTEXT / WM_SETTEXT through SendMessageTimeoutW, so that a hung program fails the test
// instead of hanging it.
std::wstring GetText(HWND hwnd);
std::string GetGbkText(HWND hwnd);
bool SetText(HWND hwnd, std::wstring_view text);
// Answers a message sent from another thread, so the target's GUI thread is back in its message loop
// (or in a modal loop) and no handler of it is running.
bool Responsive(HWND hwnd);
// SendMessageTimeoutW with a bound; nothing when the target did not answer.
std::optional<LRESULT> Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The control's window rectangle in the client coordinates of `parent`.
RECT RectIn(HWND control, HWND parent);
// The control that a window definition names: a child of the top-level window with id 100 + its
// index in the definition's table.
HWND ControlOf(HWND window, const WindowDefinition& definition, std::string_view name);

// Input, posted so that a handler that opens a modal box does not block this process.
void PostClick(HWND button);                   // BM_CLICK
void PostMouseClick(HWND hwnd, int x, int y);  // WM_LBUTTONDOWN/UP at a client point
void PostKey(HWND hwnd, UINT virtualKey);      // WM_KEYDOWN/UP
// The window with the keyboard focus on the GUI thread that owns `window`; nullptr when none.
HWND FocusOf(HWND window);

// Memory in the target process for control messages that carry pointers.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, std::size_t size);
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer();

    bool ok() const { return address_ != nullptr; }
    void* address() const { return address_; }
    LPARAM lparam() const { return reinterpret_cast<LPARAM>(address_); }
    bool Write(const void* data, std::size_t size, std::size_t offset = 0);
    bool Read(void* data, std::size_t size, std::size_t offset = 0) const;

  private:
    HANDLE process_;
    void* address_ = nullptr;
};

std::vector<std::wstring> TabCaptions(HWND tab, HANDLE process);
std::optional<RECT> TabItemRect(HWND tab, HANDLE process, int item);

struct Tool {
    HWND owner;
    UINT_PTR id;  // the tool's window when flags hold TTF_IDISHWND
    UINT flags;
    std::wstring text;
};
// Every tool of a tooltip window, read with TTM_ENUMTOOLSW.
std::vector<Tool> Tools(HWND tooltip, HANDLE process);

// A message box of the process: a #32770 window, its text the static with id 0xFFFF.
struct MessageBoxWindow {
    HWND hwnd;
    std::wstring title;
    std::wstring text;
};
std::optional<MessageBoxWindow> FindMessageBox(DWORD pid);
// Presses OK (IDOK) and waits until the box has gone.
bool CloseMessageBox(HWND box);

// Runs Corvane.exe and, at the end of every test, makes sure it is gone. Window handles of the run
// are kept in gate_ and main_ once found.
class CorvaneTest : public ::testing::Test {
  protected:
    void TearDown() override;

    // Starts the program and waits for the gate window to be shown; fails the test otherwise.
    void StartProgram(const Environment& extra = {});
    // Waits for the gate window "中国共产党.党章" and for MainWindow (which exists hidden meanwhile).
    void FindStartWindows();
    // Clicks "知 道" and waits until MainWindow is visible and enabled.
    void AcceptGate();
    // StartProgram and AcceptGate.
    void StartAtMainWindow(const Environment& extra = {});
    // Posts WM_CLOSE to MainWindow and expects the process to end with exit code 0.
    void CloseAndExpectExitCodeZero();

    HWND Gate(std::string_view name) const;
    HWND Main(std::string_view name) const;

    // Presses "生 成" and returns the letter box's text once the handler has run. A letter with a very
    // long name takes Wine's edit control seconds to lay out, hence the longer bound.
    std::string Generate(DWORD timeoutMs = 6 * kTimeoutMs);

    // Presses a button and waits until the message box it opens is there.
    std::optional<MessageBoxWindow> ClickAndWaitForMessageBox(HWND button);

    Process program_;
    HWND gate_ = nullptr;
    HWND main_ = nullptr;
};

}  // namespace corvane::testing

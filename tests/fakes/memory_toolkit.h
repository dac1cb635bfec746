// MemoryToolkit: the window toolkit kept in memory, with user events a test can raise and every call
// recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/toolkit.h"

namespace corvane::testing {

// Thrown by EndProcess: the process would end here with `exitCode`.
struct ProcessEnded {
    int exitCode;
};

struct MessageBoxCall {
    Text text;
    int style;
    Text title;
};

struct TooltipCall {
    NativeHandle handle;
    Text text;
    bool balloon;
    bool centred;
};

struct MidiCall {
    int count;
    int pause;
    std::vector<MidiItem> items;
};

struct ControlState {
    const ControlDefinition* definition;
    Text text;                // edit box content, or the caption of a label, button, check box or link
    bool outsideGbk = false;  // edit box: holds a character GBK cannot represent (text shows it as '?')
    bool checked = false;
    int timerPeriod = 0;   // milliseconds; 0 or less: stopped
    int selectedPage = 0;  // tab control: 1-based
    NativeHandle handle = nullptr;
};

struct WindowState {
    const WindowDefinition* definition;
    bool modal = false;
    bool shown = false;
    bool everShown = false;
    bool enabled = true;
    bool destroyed = false;
    std::map<std::string, ControlState, std::less<>> controls;
};

// Behaves as the program needs its toolkit to, without any window on a screen:
// - LoadWindow creates the window's controls from the definition, runs the created handler, shows the window.
//   A modal load disables the other windows, runs the test's script for that window (the user's actions while
//   it is open) and requires the window to be destroyed by then, as the real call only returns at that point.
// - DestroyProgramWindow takes effect when the running handler has returned.
// - RunMessageLoop runs the test's loop script and then requires that no program window is left.
// - EndProcess throws ProcessEnded.
// Addressing a control that the window does not have, or with an operation its kind does not support, is a
// test failure.
class MemoryToolkit final : public Toolkit {
  public:
    using Script = std::function<void()>;

    MemoryToolkit();
    ~MemoryToolkit() override;

    void Initialise(Program& program) override;
    void Release() override;
    [[noreturn]] void EndProcess(int exitCode) override;

    bool LoadWindow(const WindowDefinition& window, bool modal) override;
    void DestroyProgramWindow(WindowId window) override;
    void RunMessageLoop() override;
    void ProcessPendingEvents() override { ++pendingEventCalls_; }

    Text GetControlText(ControlRef control) override;
    bool IsControlTextGbk(ControlRef control) override;
    void SetControlText(ControlRef control, std::string_view text) override;
    void AppendControlText(ControlRef control, std::string_view text) override;
    int GetCheckState(ControlRef control) override;
    void SetCheckState(ControlRef control, bool checked) override;
    void SetLabelCaption(ControlRef control, std::string_view caption) override;
    void SetTimerPeriod(ControlRef timer, int milliseconds) override;
    int ShowMessageBox(std::string_view text, int style, std::string_view title) override;
    NativeHandle GetControlHandle(ControlRef control) override;
    void AddTooltip(NativeHandle handle, std::string_view text, bool balloon, bool centred) override;
    void PlayMidi(int count, int pause, std::vector<MidiItem> items) override;

    // Set-up by the test.
    void SetLoadFails(bool fails) { loadFails_ = fails; }
    void SetModalScript(WindowId window, Script script) { modalScripts_[window] = std::move(script); }
    void SetMessageLoopScript(Script script) { loopScript_ = std::move(script); }
    // Runs when the window's controls exist, just before its created handler.
    void SetCreationProbe(WindowId window, Script probe) { creationProbes_[window] = std::move(probe); }

    // What the user does; each needs the window shown and enabled.
    // A check box click toggles the check mark first, then runs the click handler.
    void Click(ControlRef control);
    // Replaces the text of an edit box, as typing would.
    void Type(ControlRef editBox, std::string_view text);
    // Types text holding a character outside GBK (an emoji, say); `asGbk` is what GetControlText
    // then returns, with that character replaced as the Win32 conversion does.
    void TypeOutsideGbk(ControlRef editBox, std::string_view asGbk);
    // The close box, or Esc where the window allows it: the window is destroyed at once.
    void Close(WindowId window);
    // One period of a running timer elapses; timers tick also in disabled and hidden windows.
    void Tick(ControlRef timer);

    // What a test observes. A window that was loaded several times answers with its latest load.
    const WindowState* Window(WindowId window) const;
    bool IsOpen(WindowId window) const;            // loaded and not destroyed
    const Text& TextOf(ControlRef control) const;  // edit box content or caption
    bool IsChecked(ControlRef checkBox) const;
    int TimerPeriodOf(ControlRef timer) const;
    int SelectedPageOf(ControlRef tabControl) const;
    NativeHandle HandleOf(ControlRef control) const;

    Program* program() const { return program_; }
    int initialisations() const { return initialisations_; }
    int releases() const { return releases_; }
    std::optional<int> exitCode() const { return exitCode_; }
    int loadCalls() const { return loadCalls_; }
    int messageLoopRuns() const { return messageLoopRuns_; }
    bool quitPosted() const { return quitPosted_; }
    int pendingEventCalls() const { return pendingEventCalls_; }
    const std::vector<MessageBoxCall>& messageBoxes() const { return messageBoxes_; }
    const std::vector<TooltipCall>& tooltips() const { return tooltips_; }
    const std::vector<MidiCall>& midiCalls() const { return midiCalls_; }

  private:
    WindowState* FindWindow(WindowId window);
    WindowState* OpenWindow(WindowId window, std::string_view action);
    ControlState* Find(ControlRef control, std::string_view action);
    ControlState* FindOfKind(ControlRef control, ControlKind kind, std::string_view action);
    WindowState* UserWindow(WindowId window, std::string_view action);
    const ControlState* Observe(ControlRef control, std::optional<ControlKind> kind,
                                std::string_view question) const;
    void RunHandler(Handler handler);
    void Destroy(WindowState& window);

    Program* program_ = nullptr;
    std::vector<std::unique_ptr<WindowState>> windows_;
    std::vector<WindowId> pendingDestroys_;
    int handlerDepth_ = 0;
    bool loopRunning_ = false;
    bool quitPosted_ = false;
    bool loadFails_ = false;
    std::map<WindowId, Script> modalScripts_;
    std::map<WindowId, Script> creationProbes_;
    Script loopScript_;
    std::uintptr_t nextHandle_ = 0x1000;

    int initialisations_ = 0;
    int releases_ = 0;
    std::optional<int> exitCode_;
    int loadCalls_ = 0;
    int messageLoopRuns_ = 0;
    int pendingEventCalls_ = 0;
    std::vector<MessageBoxCall> messageBoxes_;
    std::vector<TooltipCall> tooltips_;
    std::vector<MidiCall> midiCalls_;
};

// "MainWindow" or "ConstitutionWindow", for messages.
std::string_view WindowName(WindowId window);

}  // namespace corvane::testing

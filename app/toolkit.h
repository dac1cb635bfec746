// What the program needs of its window toolkit; the Win32 toolkit and the in-memory one implement it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/text.h"
#include "app/window_definition.h"

namespace corvane {

struct ControlRef {
    WindowId window;
    std::string_view name;
};

using NativeHandle = void*;

// One item for PlayMidi: MIDI file bytes held in memory, or the name of a MIDI file.
struct MidiItem {
    std::string_view data;
    std::string fileName;
};

enum MessageBoxStyle : int {
    kMessageOk = 0,
    kMessageErrorIcon = 16,
};

class Toolkit {
  public:
    virtual ~Toolkit() = default;

    // Start-up step 1: prepares the GUI thread (OLE included) and binds handlers to `program`.
    virtual void Initialise(Program& program) = 0;
    // Shut-down step 2: releases windows, icons and OLE.
    virtual void Release() = 0;
    // Shut-down step 3: ends the process; never returns.
    [[noreturn]] virtual void EndProcess(int exitCode) = 0;

    virtual bool LoadWindow(const WindowDefinition& window, bool modal) = 0;
    virtual void DestroyProgramWindow(WindowId window) = 0;
    virtual void RunMessageLoop() = 0;
    virtual void ProcessPendingEvents() = 0;

    virtual Text GetControlText(ControlRef control) = 0;
    // False when the edit box holds a character that GBK cannot represent, which GetControlText
    // could only return replaced.
    virtual bool IsControlTextGbk(ControlRef control) = 0;
    virtual void SetControlText(ControlRef control, std::string_view text) = 0;
    virtual void AppendControlText(ControlRef control, std::string_view text) = 0;
    virtual int GetCheckState(ControlRef control) = 0;
    virtual void SetCheckState(ControlRef control, bool checked) = 0;
    virtual void SetLabelCaption(ControlRef control, std::string_view caption) = 0;
    virtual void SetTimerPeriod(ControlRef timer, int milliseconds) = 0;
    virtual int ShowMessageBox(std::string_view text, int style, std::string_view title) = 0;
    virtual NativeHandle GetControlHandle(ControlRef control) = 0;
    virtual void AddTooltip(NativeHandle handle, std::string_view text, bool balloon, bool centred) = 0;
    // count: 1 plays once, -1 endlessly, 0 not at all; pause after each item in units of 100 ms.
    virtual void PlayMidi(int count, int pause, std::vector<MidiItem> items) = 0;
};

}  // namespace corvane

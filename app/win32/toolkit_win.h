// The Win32 window toolkit: windows and controls made from their definitions, wide calls, GBK texts.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <variant>
#include <vector>

#include "app/midi/midi_player.h"
#include "app/toolkit.h"
#include "app/win32/custom_controls_win.h"
#include "app/win32/handles_win.h"

namespace corvane::win32 {

class Win32Toolkit final : public Toolkit {
  public:
    Win32Toolkit();
    ~Win32Toolkit() override;

    void Initialise(Program& program) override;
    void Release() override;
    [[noreturn]] void EndProcess(int exitCode) override;

    bool LoadWindow(const WindowDefinition& window, bool modal) override;
    void DestroyProgramWindow(WindowId window) override;
    void RunMessageLoop() override;
    void ProcessPendingEvents() override;

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

  private:
    struct Control {
        const ControlDefinition* definition;
        HWND hwnd = nullptr;
        std::variant<std::monostate, LabelData, LinkData, PictureData> data;
        bool textPending = false;  // an edit box on a tab page not shown yet: filled when first shown
    };
    struct Window {
        const WindowDefinition* definition;
        HWND hwnd = nullptr;
        bool destroyed = false;
        std::vector<std::unique_ptr<Control>> controls;
        std::vector<std::pair<COLORREF, UniqueGdiObject>> brushes;
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(Window& window, UINT msg, WPARAM wParam, LPARAM lParam);
    bool CreateControls(Window& window);
    HWND CreateControl(Window& window, Control& control, int index);
    void ShowTabPage(Window& window, const Control& tab, int page);
    void RunHandler(Handler handler);
    bool PreTranslate(MSG& msg);
    void DispatchOne(MSG& msg);
    Window* FindWindowState(HWND top);
    Control& Find(ControlRef ref);
    static std::wstring WindowText(HWND hwnd);
    HBRUSH BrushFor(Window& window, COLORREF colour);

    Program* program_ = nullptr;
    HINSTANCE instance_ = nullptr;
    bool oleInitialised_ = false;
    bool releasing_ = false;
    int liveWindows_ = 0;
    std::array<std::unique_ptr<Window>, 2> windows_;
    UniqueWindow tooltip_;
    UniqueIcon bigIcon_, smallIcon_;
    std::unique_ptr<midi::MidiPlayer> midi_;
};

}  // namespace corvane::win32

#include "app/win32/toolkit_win.h"

#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>

#include "app/midi/midi_output_win.h"
#include "app/win32/gbk_win.h"

namespace corvane::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"CorvaneWindow";
constexpr UINT kMsgDestroyLater = WM_APP + 1;
constexpr int kFirstControlId = 100;
constexpr int kTooltipWidth = 320;

Win32Toolkit* gToolkit = nullptr;  // one toolkit per process, reached from the window procedure

std::size_t Slot(WindowId id) {
    return id == WindowId::kMainWindow ? 0 : 1;
}

int ControlIndex(WPARAM id) {
    return static_cast<int>(LOWORD(id)) - kFirstControlId;
}

// The styled buttons draw themselves: flat with a one-pixel border, and a focus rectangle only
// where the definition asks for one (themed push buttons would follow the system's cues).
void DrawStyledButton(const DRAWITEMSTRUCT& item, bool focusRect) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &rect, GetSysColorBrush(pressed ? COLOR_3DLIGHT : COLOR_BTNFACE));
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_3DSHADOW));
    wchar_t caption[64] = {};
    GetWindowTextW(item.hwndItem, caption, 64);
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) != 0 ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    RECT text = rect;
    if (pressed) OffsetRect(&text, 1, 1);
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    if (focusRect && (item.itemState & ODS_FOCUS) != 0) {
        InflateRect(&rect, -3, -3);
        DrawFocusRect(dc, &rect);
    }
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassOf(const ControlDefinition& c) {
    const DWORD tab = (c.flags & kTabStop) != 0 ? WS_TABSTOP : 0;
    const DWORD sunken = (c.flags & kSunkenBorder) != 0 ? WS_EX_CLIENTEDGE : 0;
    switch (c.kind) {
        case ControlKind::kPictureBox:
            return {kPictureClass, 0, 0};
        case ControlKind::kLabel:
            return {kLabelClass, 0, 0};
        case ControlKind::kHyperlink:
            return {kLinkClass, 0, 0};
        case ControlKind::kGroupBox:
            return {L"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::kEditBox:
            // Without a horizontal scroll bar or ES_AUTOHSCROLL, a multi-line edit wraps its lines.
            return {
                L"EDIT",
                ES_LEFT | tab |
                    ((c.flags & kMultiLine) != 0 ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL
                                                 : ES_AUTOHSCROLL),
                sunken};
        case ControlKind::kCheckBox:
            return {L"BUTTON", BS_AUTOCHECKBOX | BS_LEFT | BS_VCENTER | tab, 0};
        case ControlKind::kStyledButton:
            return {L"BUTTON", BS_OWNERDRAW | tab, 0};
        case ControlKind::kTabControl:
            return {WC_TABCONTROLW, 0, 0};
        case ControlKind::kTimer:
        case ControlKind::kComponent:
            break;
    }
    return {nullptr, 0, 0};
}

COLORREF ToColorRef(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

}  // namespace

Win32Toolkit::Win32Toolkit() : instance_(GetModuleHandleW(nullptr)) {
    gToolkit = this;
}

Win32Toolkit::~Win32Toolkit() {
    gToolkit = nullptr;
}

void Win32Toolkit::Initialise(Program& program) {
    program_ = &program;
    // OleUninitialize is owed only for a successful OleInitialize.
    oleInitialised_ = SUCCEEDED(OleInitialize(nullptr));
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32Toolkit::WindowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
    RegisterCustomControls(instance_);
    midi_ = std::make_unique<midi::MidiPlayer>(&midi::MakeWinmmOutput, midi::MakeSteadyClock());
}

void Win32Toolkit::Release() {
    releasing_ = true;
    midi_.reset();  // stops the player and silences every channel
    for (auto& window : windows_) {
        if (window && !window->destroyed) DestroyWindow(window->hwnd);
    }
    tooltip_.reset();
    bigIcon_.reset();
    smallIcon_.reset();
    if (oleInitialised_) OleUninitialize();
    oleInitialised_ = false;
}

void Win32Toolkit::EndProcess(int exitCode) {
    ExitProcess(static_cast<UINT>(exitCode));
}

bool Win32Toolkit::LoadWindow(const WindowDefinition& definition, bool modal) {
    auto& slot = windows_[Slot(definition.id)];
    if (slot && !slot->destroyed) return false;
    slot = std::make_unique<Window>();
    Window& window = *slot;
    window.definition = &definition;

    // No WS_CLIPCHILDREN: group boxes do not paint their inside, the window does.
    DWORD style = WS_OVERLAPPED | WS_CAPTION;
    if (definition.frame == FrameKind::kFixedWithMinimise) style |= WS_SYSMENU | WS_MINIMIZEBOX;
    const int x = CentredOrigin(GetSystemMetrics(SM_CXSCREEN), definition.width);
    const int y = CentredOrigin(GetSystemMetrics(SM_CYSCREEN), definition.height);
    const HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kWindowClass,
                                      ToWide(definition.title).c_str(), style, x, y, definition.width,
                                      definition.height, nullptr, nullptr, instance_, &window);
    if (hwnd == nullptr) return false;
    ++liveWindows_;
    if (!CreateControls(window)) {
        DestroyWindow(hwnd);
        return false;
    }
    if (definition.hasIcon) {
        bigIcon_.reset(
            static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
        smallIcon_.reset(
            static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    }

    RunHandler(definition.onCreated);
    if (window.destroyed) return true;

    ShowWindow(hwnd, SW_SHOW);  // painted by the message loop that follows
    SetForegroundWindow(hwnd);
    for (const auto& control : window.controls) {
        if ((control->definition->flags & kInitialFocus) != 0) SetFocus(control->hwnd);
    }
    if (!modal) return true;

    std::vector<std::pair<HWND, BOOL>> disabled;
    for (auto& other : windows_) {
        if (other && other.get() != &window && !other->destroyed) {
            disabled.emplace_back(other->hwnd, IsWindowEnabled(other->hwnd));
            EnableWindow(other->hwnd, FALSE);
        }
    }
    MSG msg;
    while (!window.destroyed) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit request to the outer loop
            break;
        }
        if (got == -1) break;
        DispatchOne(msg);
    }
    for (const auto& [other, wasEnabled] : disabled) {
        if (IsWindow(other)) EnableWindow(other, wasEnabled);
    }
    return true;
}

bool Win32Toolkit::CreateControls(Window& window) {
    const auto& controls = window.definition->controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        window.controls.push_back(std::make_unique<Control>(Control{&controls[i]}));
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        Control& control = *window.controls[i];
        const ControlKind kind = control.definition->kind;
        if (kind == ControlKind::kTimer || kind == ControlKind::kComponent)
            continue;  // no window of their own
        control.hwnd = CreateControl(window, control, static_cast<int>(i));
        if (control.hwnd == nullptr) return false;
    }
    for (const auto& control : window.controls) {
        const ControlDefinition& c = *control->definition;
        if (c.kind == ControlKind::kGroupBox || c.kind == ControlKind::kTabControl) {
            // Frames stay beneath the controls placed on them.
            SetWindowPos(control->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        if (c.kind == ControlKind::kTabControl) ShowTabPage(window, *control, 1);
    }
    return true;
}

HWND Win32Toolkit::CreateControl(Window& window, Control& control, int index) {
    const ControlDefinition& c = *control.definition;
    int x = c.x, y = c.y;
    if (!c.parent.empty()) {
        // Controls inside a group box or on a tab page are children of the window itself, so that
        // their notifications reach it; their places are made absolute here.
        if (const ControlDefinition* parent = FindControl(*window.definition, c.parent)) {
            x += parent->x;
            y += parent->y;
        }
    }
    const ControlClass cls = ClassOf(c);
    void* createParam = nullptr;
    std::wstring text;
    switch (c.kind) {
        case ControlKind::kLabel:
            control.data = LabelData{Text(c.caption), ToColorRef(c.textColour), (c.flags & kCentred) != 0,
                                     (c.flags & kShadowed) != 0};
            createParam = &std::get<LabelData>(control.data);
            text = ToWide(WholeCharacters(c.caption));
            break;
        case ControlKind::kHyperlink:
            control.data = LinkData{ToWide(c.caption), ToWide(c.target)};
            createParam = &std::get<LinkData>(control.data);
            text = ToWide(c.caption);
            break;
        case ControlKind::kPictureBox:
            control.data = PictureData{c.caption};
            createParam = &std::get<PictureData>(control.data);
            break;
        case ControlKind::kEditBox:
            break;  // set below, once the length limit is lifted
        default:
            text = ToWide(c.caption);
            break;
    }
    const HWND hwnd = CreateWindowExW(
        cls.exStyle, cls.name, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | cls.style, x, y,
        c.width, c.height, window.hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)), instance_, createParam);
    if (hwnd == nullptr) return nullptr;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    switch (c.kind) {
        case ControlKind::kEditBox:
            // An edit box otherwise stops at about 32,000 characters, appending included.
            SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
            // Laying out a long text costs start-up time; a page not shown yet gets it when shown.
            control.textPending = c.page > 1;
            if (!control.textPending) SetWindowTextW(hwnd, ToWide(c.caption).c_str());
            break;
        case ControlKind::kCheckBox:
            SendMessageW(hwnd, BM_SETCHECK, (c.flags & kChecked) != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case ControlKind::kTabControl: {
            std::string_view captions = c.caption;
            for (int page = 0; !captions.empty(); ++page) {
                const auto end = captions.find('\n');
                std::wstring caption = ToWide(captions.substr(0, end));
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = caption.data();
                SendMessageW(hwnd, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
                captions = end == std::string_view::npos ? std::string_view() : captions.substr(end + 1);
            }
            SendMessageW(hwnd, TCM_SETCURSEL, 0, 0);
            break;
        }
        default:
            break;
    }
    if (!c.tooltip.empty()) AddTooltip(hwnd, c.tooltip, false, false);
    return hwnd;
}

void Win32Toolkit::ShowTabPage(Window& window, const Control& tab, int page) {
    for (const auto& control : window.controls) {
        const ControlDefinition& c = *control->definition;
        if (c.parent == tab.definition->name && c.page != 0 && control->hwnd != nullptr) {
            if (c.page == page && control->textPending) {
                control->textPending = false;
                SetWindowTextW(control->hwnd, ToWide(c.caption).c_str());
            }
            ShowWindow(control->hwnd, c.page == page ? SW_SHOW : SW_HIDE);
        }
    }
}

void Win32Toolkit::DestroyProgramWindow(WindowId id) {
    const auto& window = windows_[Slot(id)];
    if (window && !window->destroyed) PostMessageW(window->hwnd, kMsgDestroyLater, 0, 0);
}

void Win32Toolkit::RunHandler(Handler handler) {
    if (handler != nullptr) handler(*program_);
}

Win32Toolkit::Window* Win32Toolkit::FindWindowState(HWND top) {
    for (auto& window : windows_) {
        if (window && !window->destroyed && window->hwnd == top) return window.get();
    }
    return nullptr;
}

bool Win32Toolkit::PreTranslate(MSG& msg) {
    const HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    Window* window = top != nullptr ? FindWindowState(top) : nullptr;
    if (window == nullptr) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        if (window->definition->escapeCloses) PostMessageW(top, WM_CLOSE, 0, 0);
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        const HWND focus = GetFocus();
        const Control* focused = nullptr;
        for (const auto& control : window->controls) {
            if (control->hwnd != nullptr && control->hwnd == focus) focused = control.get();
        }
        if (focused != nullptr) {
            const ControlDefinition& c = *focused->definition;
            if (c.kind == ControlKind::kEditBox)
                return (c.flags & kMultiLine) == 0;  // a line break, or nothing
            if (c.kind == ControlKind::kStyledButton) {
                SendMessageW(focused->hwnd, BM_CLICK, 0, 0);
                return true;
            }
            if (c.kind == ControlKind::kCheckBox) return true;
        }
        for (const auto& control : window->controls) {
            if ((control->definition->flags & kDefaultButton) != 0 && IsWindowEnabled(control->hwnd)) {
                SendMessageW(control->hwnd, BM_CLICK, 0, 0);
                break;
            }
        }
        return true;
    }
    return IsDialogMessageW(top, &msg) != FALSE;
}

void Win32Toolkit::DispatchOne(MSG& msg) {
    if (PreTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Win32Toolkit::RunMessageLoop() {
    if (liveWindows_ == 0) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchOne(msg);
}

void Win32Toolkit::ProcessPendingEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT) return;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return;
        DispatchOne(msg);
    }
}

Win32Toolkit::Control& Win32Toolkit::Find(ControlRef ref) {
    const auto& window = windows_[Slot(ref.window)];
    if (window) {
        for (const auto& control : window->controls) {
            if (control->definition->name == ref.name) return *control;
        }
    }
    // Handlers name only controls of the definitions; anything else is a defect of the program.
    std::abort();
}

std::wstring Win32Toolkit::WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got));
    return text;
}

Text Win32Toolkit::GetControlText(ControlRef ref) {
    Control& control = Find(ref);
    if (const auto* label = std::get_if<LabelData>(&control.data)) return label->caption;
    if (control.textPending) return Text(control.definition->caption);
    return FromWide(WindowText(control.hwnd));
}

bool Win32Toolkit::IsControlTextGbk(ControlRef ref) {
    if (Find(ref).textPending) return true;
    bool lossless = true;
    FromWide(WindowText(Find(ref).hwnd), &lossless);
    return lossless;
}

void Win32Toolkit::SetControlText(ControlRef ref, std::string_view text) {
    Control& control = Find(ref);
    control.textPending = false;
    SetWindowTextW(control.hwnd, ToWide(text).c_str());
}

void Win32Toolkit::AppendControlText(ControlRef ref, std::string_view text) {
    Control& control = Find(ref);
    if (control.textPending) SetControlText(ref, control.definition->caption);
    const HWND edit = control.hwnd;
    const int end = GetWindowTextLengthW(edit);
    SendMessageW(edit, EM_SETSEL, end, end);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

int Win32Toolkit::GetCheckState(ControlRef ref) {
    return SendMessageW(Find(ref).hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32Toolkit::SetCheckState(ControlRef ref, bool checked) {
    SendMessageW(Find(ref).hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Toolkit::SetLabelCaption(ControlRef ref, std::string_view caption) {
    Control& control = Find(ref);
    if (std::holds_alternative<LabelData>(control.data)) {
        win32::SetLabelCaption(control.hwnd, caption);
    } else {
        SetWindowTextW(control.hwnd, ToWide(caption).c_str());
    }
}

void Win32Toolkit::SetTimerPeriod(ControlRef ref, int milliseconds) {
    const auto& window = windows_[Slot(ref.window)];
    Control& timer = Find(ref);
    const auto id =
        static_cast<UINT_PTR>(kFirstControlId + (timer.definition - window->definition->controls.data()));
    KillTimer(window->hwnd, id);
    if (milliseconds > 0) SetTimer(window->hwnd, id, static_cast<UINT>(milliseconds), nullptr);
}

int Win32Toolkit::ShowMessageBox(std::string_view text, int style, std::string_view title) {
    // No owner window; MB_TASKMODAL disables every window of the program while the box is open.
    return MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(title).c_str(),
                       static_cast<UINT>(style) | MB_TASKMODAL);
}

NativeHandle Win32Toolkit::GetControlHandle(ControlRef ref) {
    return Find(ref).hwnd;
}

void Win32Toolkit::AddTooltip(NativeHandle handle, std::string_view text, bool balloon, bool centred) {
    const auto tool = static_cast<HWND>(handle);
    if (!tooltip_) {
        tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | (balloon ? TTS_BALLOON : 0),
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                       nullptr, instance_, nullptr));
        if (!tooltip_) return;
        SendMessageW(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, kTooltipWidth);
    }
    std::wstring wide = ToWide(text);
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS | (centred ? TTF_CENTERTIP : 0);
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = wide.data();
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void Win32Toolkit::PlayMidi(int count, int pause, std::vector<MidiItem> items) {
    std::vector<midi::MidiItem> list;
    for (auto& item : items) {
        list.push_back(item.fileName.empty() ? midi::MidiItem::FromMemory(item.data)
                                             : midi::MidiItem::FromFile(std::move(item.fileName)));
    }
    midi_->Play(count, pause, std::move(list));
}

HBRUSH Win32Toolkit::BrushFor(Window& window, COLORREF colour) {
    for (const auto& [c, brush] : window.brushes) {
        if (c == colour) return static_cast<HBRUSH>(brush.get());
    }
    window.brushes.emplace_back(colour, UniqueGdiObject(CreateSolidBrush(colour)));
    return static_cast<HBRUSH>(window.brushes.back().second.get());
}

LRESULT CALLBACK Win32Toolkit::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr || gToolkit == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return gToolkit->HandleMessage(*window, msg, wParam, lParam);
}

LRESULT Win32Toolkit::HandleMessage(Window& window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = window.hwnd;
    const auto controlAt = [&](int index) -> Control* {
        return index >= 0 && static_cast<std::size_t>(index) < window.controls.size()
                   ? window.controls[index].get()
                   : nullptr;
    };
    switch (msg) {
        case WM_COMMAND:
            if (lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
                if (Control* control = controlAt(ControlIndex(wParam)))
                    RunHandler(control->definition->onEvent);
            }
            return 0;
        case WM_TIMER:
            if (Control* control = controlAt(ControlIndex(wParam))) RunHandler(control->definition->onEvent);
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
                if (Control* tab = controlAt(ControlIndex(header->idFrom))) {
                    ShowTabPage(window, *tab,
                                static_cast<int>(SendMessageW(tab->hwnd, TCM_GETCURSEL, 0, 0)) + 1);
                }
            }
            return 0;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (Control* control = controlAt(ControlIndex(item->CtlID))) {
                DrawStyledButton(*item, (control->definition->flags & kFocusRect) != 0);
                return TRUE;
            }
            break;
        }
        case WM_CTLCOLOREDIT:
            for (const auto& control : window.controls) {
                if (control->hwnd == reinterpret_cast<HWND>(lParam)) {
                    const COLORREF back = ToColorRef(control->definition->backColour);
                    SetTextColor(reinterpret_cast<HDC>(wParam), ToColorRef(control->definition->textColour));
                    SetBkColor(reinterpret_cast<HDC>(wParam), back);
                    return reinterpret_cast<LRESULT>(BrushFor(window, back));
                }
            }
            break;
        case WM_SYSCOMMAND:
            // DefWindowProc maximises on SC_MAXIMIZE whatever the frame; a window without a maximise box
            // (MainWindow) must keep its size.
            if ((wParam & 0xFFF0) == SC_MAXIMIZE && (GetWindowLongW(hwnd, GWL_STYLE) & WS_MAXIMIZEBOX) == 0)
                return 0;
            break;
        case kMsgDestroyLater:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            window.destroyed = true;
            if (--liveWindows_ == 0 && !releasing_) PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace corvane::win32

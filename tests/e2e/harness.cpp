// The end-to-end harness: process control, window lookup and cross-process control messages.
#include "tests/e2e/harness.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "ui/constitution_window.h"
#include "ui/main_window.h"

namespace corvane::testing {
namespace {

constexpr UINT kGbkCodePage = 936;
constexpr int kFirstControlId = 100;
constexpr std::size_t kRemoteTextChars = 4096;

std::wstring ToWideIn(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string FromWideIn(UINT codePage, std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr,
                        nullptr);
    return text;
}

bool NameIs(const std::wstring& variable, const std::wstring& name) {
    return variable.size() > name.size() && variable[name.size()] == L'=' &&
           CompareStringOrdinal(variable.c_str(), static_cast<int>(name.size()), name.c_str(),
                                static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

struct EnumState {
    DWORD pid;
    std::vector<HWND> windows;
};

}  // namespace

std::wstring Wide(std::string_view gbk) {
    return ToWideIn(kGbkCodePage, gbk);
}
std::string Gbk(std::wstring_view wide) {
    return FromWideIn(kGbkCodePage, wide);
}
std::string Utf8(std::wstring_view wide) {
    return FromWideIn(CP_UTF8, wide);
}
std::wstring WideFromUtf8(std::string_view utf8) {
    return ToWideIn(CP_UTF8, utf8);
}

::testing::AssertionResult SameBytes(std::string_view actual, std::string_view expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    const auto at = static_cast<std::size_t>(a - actual.begin());
    const auto hex = [at](std::string_view text) {
        std::string out;
        char byte[4];
        for (std::size_t i = at; i < text.size() && i < at + 16; ++i) {
            std::snprintf(byte, sizeof byte, "%02X ", static_cast<unsigned char>(text[i]));
            out += byte;
        }
        return out.empty() ? std::string("(end)") : out;
    };
    return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                         << " were expected; first difference at byte " << at << ": got "
                                         << hex(actual) << "expected " << hex(expected);
}

bool Process::Start(const std::wstring& exe, const Environment& extra) {
    Terminate();
    std::vector<std::wstring> variables;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p != L'\0'; p += std::wcslen(p) + 1) variables.emplace_back(p);
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : extra) {
        std::erase_if(variables, [&](const std::wstring& v) { return NameIs(v, name); });
        variables.push_back(name + L"=" + value);
    }
    std::wstring block;
    for (const auto& v : variables) block.append(v).push_back(L'\0');
    if (variables.empty()) block.push_back(L'\0');
    block.push_back(L'\0');

    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        block.data(), nullptr, &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    return true;
}

bool Process::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(DWORD timeoutMs) const {
    if (process_ == nullptr || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_, &code)) return std::nullopt;
    return code;
}

void Process::Terminate() {
    if (process_ == nullptr) return;
    if (Running()) {
        TerminateProcess(process_, 0xDEADu);
        WaitForSingleObject(process_, kTimeoutMs);
    }
    CloseHandle(process_);
    process_ = nullptr;
    id_ = 0;
}

std::wstring HarnessFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder;
}

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"CORVANE_EXE", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::wstring(path, length);
    return HarnessFolder() + L"Corvane.exe";
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
    EnumState state{pid, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) WINAPI -> BOOL {
            auto* s = reinterpret_cast<EnumState*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s->pid) s->windows.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&state));
    return state.windows;
}

std::vector<HWND> VisibleTopLevelWindows(DWORD pid) {
    std::vector<HWND> windows = TopLevelWindows(pid);
    std::erase_if(windows, [](HWND hwnd) { return !IsWindowVisible(hwnd); });
    return windows;
}

HWND FindTopLevel(DWORD pid, std::wstring_view className, std::wstring_view title) {
    for (HWND hwnd : TopLevelWindows(pid)) {
        if (ClassName(hwnd) == className && GetText(hwnd) == title) return hwnd;
    }
    return nullptr;
}

HWND FindTopLevelOfClass(DWORD pid, std::wstring_view className) {
    for (HWND hwnd : TopLevelWindows(pid)) {
        if (ClassName(hwnd) == className) return hwnd;
    }
    return nullptr;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256];
    const int length = GetClassNameW(hwnd, name, 256);
    return std::wstring(name, static_cast<std::size_t>(std::max(length, 0)));
}

std::optional<LRESULT> Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::wstring GetText(HWND hwnd) {
    const auto length = Send(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (!length) {
        ADD_FAILURE() << "WM_GETTEXTLENGTH was not answered by window " << hwnd;
        return {};
    }
    std::wstring text(static_cast<std::size_t>(*length) + 1, L'\0');
    const auto got = Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (!got) {
        ADD_FAILURE() << "WM_GETTEXT was not answered by window " << hwnd;
        return {};
    }
    text.resize(std::min(static_cast<std::size_t>(*got), text.size()));
    return text;
}

std::string GetGbkText(HWND hwnd) {
    return Gbk(GetText(hwnd));
}

bool SetText(HWND hwnd, std::wstring_view text) {
    const std::wstring copy(text);
    const auto result = Send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
    return result.has_value() && *result != FALSE;
}

bool Responsive(HWND hwnd) {
    return Send(hwnd, WM_NULL, 0, 0).has_value();
}

RECT RectIn(HWND control, HWND parent) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND ControlOf(HWND window, const WindowDefinition& definition, std::string_view name) {
    const ControlDefinition* control = FindControl(definition, name);
    if (control == nullptr || window == nullptr) return nullptr;
    const auto index = static_cast<int>(control - definition.controls.data());
    return GetDlgItem(window, kFirstControlId + index);
}

void PostClick(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void PostMouseClick(HWND hwnd, int x, int y) {
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PostKey(HWND hwnd, UINT virtualKey) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(hwnd, WM_KEYDOWN, virtualKey, scan | 1);
    PostMessageW(hwnd, WM_KEYUP, virtualKey, scan | 1 | static_cast<LPARAM>(0xC0000000u));
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

RemoteBuffer::RemoteBuffer(HANDLE process, std::size_t size)
    : process_(process),
      address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}

RemoteBuffer::~RemoteBuffer() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::Write(const void* data, std::size_t size, std::size_t offset) {
    SIZE_T done = 0;
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}

bool RemoteBuffer::Read(void* data, std::size_t size, std::size_t offset) const {
    SIZE_T done = 0;
    return ReadProcessMemory(process_, static_cast<const char*>(address_) + offset, data, size, &done) &&
           done == size;
}

std::vector<std::wstring> TabCaptions(HWND tab, HANDLE process) {
    std::vector<std::wstring> captions;
    const auto count = Send(tab, TCM_GETITEMCOUNT, 0, 0);
    RemoteBuffer remote(process, sizeof(TCITEMW) + kRemoteTextChars * sizeof(wchar_t));
    if (!count || !remote.ok()) return captions;
    const std::wstring blank(kRemoteTextChars, L'\0');
    for (int i = 0; i < static_cast<int>(*count); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.address()) + sizeof(TCITEMW));
        item.cchTextMax = static_cast<int>(kRemoteTextChars);
        remote.Write(&item, sizeof item);
        remote.Write(blank.data(), blank.size() * sizeof(wchar_t), sizeof(TCITEMW));
        std::wstring text(kRemoteTextChars, L'\0');
        if (Send(tab, TCM_GETITEMW, i, remote.lparam()).value_or(FALSE) == FALSE ||
            !remote.Read(text.data(), text.size() * sizeof(wchar_t), sizeof(TCITEMW))) {
            captions.emplace_back(L"(unreadable)");
            continue;
        }
        text.resize(std::wcslen(text.c_str()));
        captions.push_back(text);
    }
    return captions;
}

std::optional<RECT> TabItemRect(HWND tab, HANDLE process, int item) {
    RemoteBuffer remote(process, sizeof(RECT));
    RECT rect{};
    if (!remote.ok() || Send(tab, TCM_GETITEMRECT, item, remote.lparam()).value_or(FALSE) == FALSE ||
        !remote.Read(&rect, sizeof rect)) {
        return std::nullopt;
    }
    return rect;
}

std::vector<Tool> Tools(HWND tooltip, HANDLE process) {
    std::vector<Tool> tools;
    const auto count = Send(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    RemoteBuffer remote(process, sizeof(TTTOOLINFOW) + kRemoteTextChars * sizeof(wchar_t));
    if (!count || !remote.ok()) return tools;
    const std::wstring blank(kRemoteTextChars, L'\0');
    for (int i = 0; i < static_cast<int>(*count); ++i) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        // The tooltip copies the tool's text into the buffer that lpszText points at.
        info.lpszText =
            reinterpret_cast<wchar_t*>(static_cast<char*>(remote.address()) + sizeof(TTTOOLINFOW));
        remote.Write(&info, sizeof info);
        remote.Write(blank.data(), blank.size() * sizeof(wchar_t), sizeof(TTTOOLINFOW));
        if (Send(tooltip, TTM_ENUMTOOLSW, i, remote.lparam()).value_or(FALSE) == FALSE) continue;
        std::wstring text(kRemoteTextChars, L'\0');
        if (!remote.Read(&info, sizeof info) ||
            !remote.Read(text.data(), text.size() * sizeof(wchar_t), sizeof(TTTOOLINFOW))) {
            continue;
        }
        text.resize(std::wcslen(text.c_str()));
        tools.push_back({info.hwnd, info.uId, info.uFlags, text});
    }
    return tools;
}

std::optional<MessageBoxWindow> FindMessageBox(DWORD pid) {
    for (HWND hwnd : VisibleTopLevelWindows(pid)) {
        if (ClassName(hwnd) != L"#32770") continue;
        const HWND text = GetDlgItem(hwnd, 0xFFFF);
        return MessageBoxWindow{hwnd, GetText(hwnd), text != nullptr ? GetText(text) : std::wstring()};
    }
    return std::nullopt;
}

bool CloseMessageBox(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    return WaitUntil([&] { return !IsWindow(box); });
}

void CorvaneTest::TearDown() {
    // A test that failed half-way may leave the program running, perhaps inside a message box.
    program_.Terminate();
}

void CorvaneTest::StartProgram(const Environment& extra) {
    const std::wstring exe = ProgramPath();
    ASSERT_TRUE(program_.Start(exe, extra))
        << "cannot start " << Utf8(exe) << " (error " << GetLastError() << "); set CORVANE_EXE";
    ASSERT_NO_FATAL_FAILURE(FindStartWindows());
}

void CorvaneTest::FindStartWindows() {
    const std::wstring gateTitle = Wide(kConstitutionWindowTitle);
    const std::wstring mainTitle = Wide(kMainWindowTitle);
    ASSERT_TRUE(WaitUntil([&] {
        gate_ = FindTopLevel(program_.id(), L"CorvaneWindow", gateTitle);
        return gate_ != nullptr && IsWindowVisible(gate_);
    })) << "the gate window did not come up";
    main_ = FindTopLevel(program_.id(), L"CorvaneWindow", mainTitle);
    ASSERT_NE(main_, nullptr) << "MainWindow does not exist while the gate is open";
}

void CorvaneTest::AcceptGate() {
    PostClick(Gate("超级按钮1"));
    ASSERT_TRUE(WaitUntil([&] {
        return !IsWindow(gate_) && IsWindowVisible(main_) && IsWindowEnabled(main_);
    })) << "MainWindow did not come up after 知 道";
}

void CorvaneTest::StartAtMainWindow(const Environment& extra) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(extra));
    ASSERT_NO_FATAL_FAILURE(AcceptGate());
}

void CorvaneTest::CloseAndExpectExitCodeZero() {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    const std::optional<DWORD> code = program_.WaitForExit();
    ASSERT_TRUE(code.has_value()) << "the program did not end after MainWindow was closed";
    EXPECT_EQ(*code, 0u);
}

HWND CorvaneTest::Gate(std::string_view name) const {
    return ControlOf(gate_, ConstitutionWindowDefinition(), name);
}

HWND CorvaneTest::Main(std::string_view name) const {
    return ControlOf(main_, MainWindowDefinition(), name);
}

std::string CorvaneTest::Generate(DWORD timeoutMs) {
    // The box first holds a marker that no letter equals, so its change shows that the letter is
    // written; the handler runs as one piece, so a changed box holds the whole letter.
    const HWND box = Main("编辑框5");
    EXPECT_TRUE(SetText(box, L"#"));
    PostClick(Main("超级按钮2"));
    EXPECT_TRUE(WaitUntil([&] { return Send(box, WM_GETTEXTLENGTH, 0, 0).value_or(1) != 1; }, timeoutMs))
        << "no letter was written";
    return GetGbkText(box);
}

std::optional<MessageBoxWindow> CorvaneTest::ClickAndWaitForMessageBox(HWND button) {
    PostClick(button);
    std::optional<MessageBoxWindow> box;
    WaitUntil([&] { return (box = FindMessageBox(program_.id())).has_value(); });
    return box;
}

}  // namespace corvane::testing

// Measures, side by side in one run: start-up of Corvane.exe against a minimal window program
// (process start to first visible window), and generating a letter (click to count caption)
// against setting the same letter text into the box in one call.
// Usage: bench_probe CORVANE_EXE MINIMAL_EXE [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Found {
    DWORD pid;
    HWND hwnd;
    const wchar_t* className;
};

HWND VisibleWindowOf(DWORD pid, const wchar_t* className = nullptr) {
    Found found{pid, nullptr, className};
    EnumWindows(
        [](HWND h, LPARAM l) WINAPI -> BOOL {
            auto* f = reinterpret_cast<Found*>(l);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner != f->pid || !IsWindowVisible(h)) return TRUE;
            if (f->className != nullptr) {
                wchar_t name[64] = {};
                GetClassNameW(h, name, 64);
                if (lstrcmpW(name, f->className) != 0) return TRUE;
            }
            f->hwnd = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.hwnd;
}

struct Process {
    PROCESS_INFORMATION pi{};
    bool Start(const std::wstring& exe) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring line = L"\"" + exe + L"\"";
        return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                              &pi) != 0;
    }
    void End() {
        if (pi.hProcess == nullptr) return;
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        pi = {};
    }
};

// Milliseconds from CreateProcess to the first visible window; -1 on a time-out.
double StartupTime(const std::wstring& exe) {
    Process p;
    const double start = Now();
    if (!p.Start(exe)) return -1;
    double shown = -1;
    while (Now() - start < 20000) {
        if (VisibleWindowOf(p.pi.dwProcessId) != nullptr) {
            shown = Now() - start;
            break;
        }
        Sleep(1);
    }
    p.End();
    return shown;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

HWND Child(HWND parent, int id) {
    return GetDlgItem(parent, id);
}

std::wstring TextOf(HWND h) {
    const int n = static_cast<int>(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0));
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    SendMessageW(h, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<std::size_t>(n));
    return s;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_probe CORVANE_EXE MINIMAL_EXE [ROUNDS]\n");
        return 2;
    }
    const std::wstring corvane = argv[1], minimal = argv[2];
    const int rounds = argc > 3 ? _wtoi(argv[3]) : 9;

    std::vector<double> ours, yardstick;
    for (int i = 0; i < rounds; ++i) {
        yardstick.push_back(StartupTime(minimal));
        ours.push_back(StartupTime(corvane));
    }
    const double a = Median(ours), b = Median(yardstick);
    std::printf("start-up to first visible window: Corvane %.1f ms, minimal window %.1f ms, ratio %.2f\n", a,
                b, a / b);

    // Letter generation in the real window: accept the gate, then time click -> caption.
    Process p;
    if (!p.Start(corvane)) return 1;
    HWND gate = nullptr;
    for (double t0 = Now(); gate == nullptr && Now() - t0 < 20000; Sleep(5))
        gate = VisibleWindowOf(p.pi.dwProcessId);
    // Control ids are 100 + the control's row in its window table.
    PostMessageW(Child(gate, 104), BM_CLICK, 0, 0);  // 超级按钮1 "知 道"
    HWND main = nullptr;
    for (double t0 = Now(); Now() - t0 < 20000; Sleep(5)) {
        main = VisibleWindowOf(p.pi.dwProcessId);
        if (main != nullptr && main != gate && IsWindowEnabled(main)) break;
    }
    HWND name = Child(main, 105), letter = Child(main, 122), count = Child(main, 124),
         generate = Child(main, 125);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"基准测试"));
    std::vector<double> generateTimes, setTimes;
    for (int i = 0; i < rounds; ++i) {
        SendMessageW(count, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        const double t0 = Now();
        SendMessageW(generate, BM_CLICK, 0, 0);
        while (TextOf(count).empty() && Now() - t0 < 10000) Sleep(0);
        generateTimes.push_back(Now() - t0);
        const std::wstring text = TextOf(letter);
        SendMessageW(letter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        const double t1 = Now();
        SendMessageW(letter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        setTimes.push_back(Now() - t1);
    }
    p.End();
    const double g = Median(generateTimes), s = Median(setTimes);
    std::printf(
        "generating a letter: click to caption %.2f ms, one WM_SETTEXT of the same letter %.2f ms, ratio "
        "%.2f\n",
        g, s, g / s);
    return 0;
}

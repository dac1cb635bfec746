#include "app/win32/custom_controls_win.h"

#include <ocidl.h>
#include <olectl.h>
#include <shellapi.h>

#include "app/win32/gbk_win.h"
#include "app/win32/handles_win.h"

namespace corvane::win32 {
namespace {

constexpr COLORREF kLinkHover = RGB(49, 106, 197);
constexpr COLORREF kLinkVisited = RGB(128, 0, 0);
constexpr COLORREF kLinkNew = RGB(0, 0, 255);
constexpr COLORREF kShadow = RGB(255, 255, 255);

template <typename T>
T* DataOf(HWND hwnd) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

template <typename T>
T* StoreData(HWND hwnd, LPARAM lParam) {
    auto* data = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    return data;
}

// Paints through a memory bitmap so that ten caption changes a second do not flicker.
class BufferedPaint {
  public:
    explicit BufferedPaint(HWND hwnd) : hwnd_(hwnd) {
        target_ = BeginPaint(hwnd, &ps_);
        GetClientRect(hwnd, &rect_);
        dc_ = CreateCompatibleDC(target_);
        bitmap_.reset(CreateCompatibleBitmap(target_, rect_.right, rect_.bottom));
        old_ = SelectObject(dc_, bitmap_.get());
        oldFont_ = SelectObject(dc_, GetStockObject(DEFAULT_GUI_FONT));
        FillRect(dc_, &rect_, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc_, TRANSPARENT);
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    ~BufferedPaint() {
        BitBlt(target_, 0, 0, rect_.right, rect_.bottom, dc_, 0, 0, SRCCOPY);
        SelectObject(dc_, oldFont_);
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        EndPaint(hwnd_, &ps_);
    }
    HDC dc() const { return dc_; }
    RECT rect() const { return rect_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC target_ = nullptr;
    HDC dc_ = nullptr;
    RECT rect_{};
    UniqueGdiObject bitmap_;
    HGDIOBJ old_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
};

void DrawLine(HDC dc, const std::wstring& text, RECT rect, COLORREF colour, UINT align) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCCREATE:
            StoreData<LabelData>(hwnd, lParam);
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            const LabelData* data = DataOf<LabelData>(hwnd);
            BufferedPaint paint(hwnd);
            // A caption cut inside a double-byte character shows its complete characters only.
            const std::wstring text = ToWide(WholeCharacters(data->caption));
            const UINT align = data->centred ? DT_CENTER : DT_LEFT;
            RECT rect = paint.rect();
            if (data->shadowed) {
                RECT shadow = rect;
                OffsetRect(&shadow, 1, 1);
                DrawLine(paint.dc(), text, shadow, kShadow, align);
            }
            DrawLine(paint.dc(), text, rect, data->colour, align);
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

Text RegistryDefault(HKEY root, const std::wstring& subKey) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return {};
    UniqueKey key(raw);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return {};
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    value.resize(wcsnlen(value.c_str(), value.size()));
    return FromWide(value);
}

}  // namespace

bool OpenWebAddress(const std::wstring& target) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
    const Text progId = RegistryDefault(HKEY_CLASSES_ROOT, L".htm");
    if (progId.empty()) return false;
    const Text command = RegistryDefault(HKEY_CLASSES_ROOT, ToWide(progId) + L"\\shell\\open\\command");
    if (command.empty()) return false;
    std::wstring line = ToWide(command);
    // A registered command normally carries "%1" for the document; fill it in, else append.
    if (const auto at = line.find(L"%1"); at != std::wstring::npos) {
        line.replace(at, 2, target);
    } else {
        line += L" " + target;
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

namespace {

LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LinkData* data = DataOf<LinkData>(hwnd);
    switch (msg) {
        case WM_NCCREATE:
            StoreData<LinkData>(hwnd, lParam);
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            BufferedPaint paint(hwnd);
            const COLORREF colour = data->hover ? kLinkHover : data->visited ? kLinkVisited : kLinkNew;
            DrawLine(paint.dc(), data->caption, paint.rect(), colour, DT_CENTER);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (!data->hover) {
                data->hover = true;
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&track);
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case WM_MOUSELEAVE:
            data->hover = false;
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_LBUTTONUP:
            if (OpenWebAddress(data->target)) data->visited = true;
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Decodes the JPEG with OLE's picture loader from an in-memory stream.
ComPtr<IPicture> LoadJpeg(std::string_view jpeg) {
    ComPtr<IPicture> picture;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, jpeg.size());
    if (memory == nullptr) return picture;
    if (void* p = GlobalLock(memory)) {
        CopyMemory(p, jpeg.data(), jpeg.size());
        GlobalUnlock(memory);
    }
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Out()))) {
        GlobalFree(memory);
        return picture;
    }
    OleLoadPicture(stream.get(), static_cast<LONG>(jpeg.size()), FALSE, IID_IPicture,
                   reinterpret_cast<void**>(picture.Out()));
    return picture;
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCCREATE:
            StoreData<PictureData>(hwnd, lParam);
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PictureData* state = DataOf<PictureData>(hwnd);
            BufferedPaint paint(hwnd);
            if (!state->tried) {
                state->tried = true;
                state->picture = LoadJpeg(state->jpeg);
            }
            if (state->picture) {
                OLE_XSIZE_HIMETRIC width = 0;
                OLE_YSIZE_HIMETRIC height = 0;
                state->picture->get_Width(&width);
                state->picture->get_Height(&height);
                const int px = MulDiv(width, GetDeviceCaps(paint.dc(), LOGPIXELSX), 2540);
                const int py = MulDiv(height, GetDeviceCaps(paint.dc(), LOGPIXELSY), 2540);
                state->picture->Render(paint.dc(), 0, 0, px, py, 0, height, width, -height, nullptr);
            }
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Register(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HCURSOR cursor) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

}  // namespace

void RegisterCustomControls(HINSTANCE instance) {
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    Register(instance, kLabelClass, LabelProc, arrow);
    Register(instance, kLinkClass, LinkProc, LoadCursorW(nullptr, IDC_HAND));
    Register(instance, kPictureClass, PictureProc, arrow);
}

void SetLabelCaption(HWND label, std::string_view caption) {
    auto* data = DataOf<LabelData>(label);
    data->caption.assign(caption);
    SetWindowTextW(label, ToWide(WholeCharacters(caption)).c_str());
    InvalidateRect(label, nullptr, FALSE);
}

}  // namespace corvane::win32

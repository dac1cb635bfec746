// The three controls the program draws itself: the label, the hyperlink and the picture box.
#pragma once

#include <windows.h>

#include <ocidl.h>

#include <string>
#include <string_view>

#include "app/text.h"
#include "app/win32/handles_win.h"

namespace corvane::win32 {

inline constexpr wchar_t kLabelClass[] = L"CorvaneLabel";
inline constexpr wchar_t kLinkClass[] = L"CorvaneLink";
inline constexpr wchar_t kPictureClass[] = L"CorvanePicture";

void RegisterCustomControls(HINSTANCE instance);

// Owned by the toolkit; passed as the creation parameter and kept in GWLP_USERDATA.
struct LabelData {
    Text caption;  // GBK, possibly ending in a lone lead byte
    COLORREF colour = RGB(0, 0, 0);
    bool centred = false;
    bool shadowed = false;
};

struct LinkData {
    std::wstring caption;
    std::wstring target;
    bool hover = false;
    bool visited = false;
};

struct PictureData {
    std::string_view jpeg;  // decoded on first paint, so that start-up decodes nothing
    ComPtr<IPicture> picture;
    bool tried = false;
};

// Replaces a label's caption and redraws it. The window text (what WM_GETTEXT reports) is the
// caption's complete characters.
void SetLabelCaption(HWND label, std::string_view caption);

// Opens an address with the system's handler, or else with the command registered for ".htm".
bool OpenWebAddress(const std::wstring& target);

}  // namespace corvane::win32

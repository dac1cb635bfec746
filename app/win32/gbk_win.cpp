#include "app/win32/gbk_win.h"

#include <windows.h>

namespace corvane::win32 {

std::wstring ToWide(std::string_view gbk) {
    if (gbk.empty()) return {};
    const int n = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), n);
    return wide;
}

Text FromWide(std::wstring_view wide, bool* lossless) {
    if (lossless != nullptr) *lossless = true;
    if (wide.empty()) return {};
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kGbkCodePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    Text gbk(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kGbkCodePage, 0, wide.data(), static_cast<int>(wide.size()), gbk.data(), n, nullptr,
                        &usedDefault);
    if (lossless != nullptr) *lossless = usedDefault == FALSE;
    return gbk;
}

}  // namespace corvane::win32

// Conversions between the program's GBK texts and the UTF-16 of the wide Win32 calls (code page 936).
#pragma once

#include <string>
#include <string_view>

#include "app/text.h"

namespace corvane::win32 {

inline constexpr unsigned kGbkCodePage = 936;

std::wstring ToWide(std::string_view gbk);
// `lossless` (when given) is set to false if a character has no GBK form and was replaced.
Text FromWide(std::wstring_view wide, bool* lossless = nullptr);

}  // namespace corvane::win32

// GBK <-> UTF-8 conversion for native tests and tools, through iconv's code page 936 table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvane::testing {

std::optional<std::string> Utf8ToGbk(std::string_view utf8);
std::optional<std::string> GbkToUtf8(std::string_view gbk);

}  // namespace corvane::testing

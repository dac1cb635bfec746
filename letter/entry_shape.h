// Describes the form of one GBK paragraph entry: its size, lead, inner breaks and opening words.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// The form of an entry in the notation the library's row tables use:
// lead "2×CRLF 4sp", inner "CRLF 2fw; 2×CRLF 4sp (×2)" or "—", ends "; ends with one space".
struct EntryShape {
    int bytes = 0;
    int chars = 0;         // double-byte characters, ASCII characters, CR and LF each count one
    std::string lead;      // leading line breaks and first indentation
    std::string inner;     // inner breaks in order, each with its indentation, then an unusual end
    std::string opening;   // the first ten characters after the lead, GBK bytes
    std::string problems;  // bytes that no entry may hold (tab, lone CR or LF, broken pair)
};

EntryShape DescribeEntry(std::string_view gbk);

// Number of characters in a GBK text, counting as EntryShape::chars does.
int CountGbkChars(std::string_view gbk);

}  // namespace corvane

// The program's text type: GBK (code page 936) bytes, 1-based positions, character-boundary search.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

using Text = std::string;

// True when the byte starts a double-byte GBK character.
constexpr bool IsGbkLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

// Byte length of a text.
inline int TextLength(std::string_view text) {
    return static_cast<int>(text.size());
}

// 1-based position of the first occurrence of `what` at or after `from`, matching only where a
// character begins (a double-byte character is stepped over whole); -1 when there is none.
int FindText(std::string_view text, std::string_view what, int from = 1);

// 1-based position of the last occurrence of `what`, matching only at character boundaries; -1 if none.
int FindLastText(std::string_view text, std::string_view what);

// The first `count` bytes: empty for 0 or less, the whole text beyond its end. The cut may fall
// inside a double-byte character.
std::string_view LeftText(std::string_view text, int count);

// The last `count` bytes, with the same rules as LeftText.
std::string_view RightText(std::string_view text, int count);

// The text without a trailing lone lead byte, so that it ends on a character boundary.
std::string_view WholeCharacters(std::string_view text);

}  // namespace corvane

#include "app/text.h"

namespace corvane {

int FindText(std::string_view text, std::string_view what, int from) {
    if (from < 1) from = 1;
    const std::size_t start = static_cast<std::size_t>(from - 1);
    for (std::size_t i = 0; i < text.size();) {
        if (i >= start && text.substr(i, what.size()) == what) {
            return static_cast<int>(i + 1);
        }
        i += IsGbkLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    return -1;
}

int FindLastText(std::string_view text, std::string_view what) {
    int last = -1;
    for (int at = FindText(text, what, 1); at != -1; at = FindText(text, what, at + 1)) last = at;
    return last;
}

std::string_view LeftText(std::string_view text, int count) {
    if (count <= 0) return {};
    return text.substr(0, static_cast<std::size_t>(count));
}

std::string_view RightText(std::string_view text, int count) {
    if (count <= 0) return {};
    if (static_cast<std::size_t>(count) >= text.size()) return text;
    return text.substr(text.size() - static_cast<std::size_t>(count));
}

std::string_view WholeCharacters(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t width = IsGbkLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + width > text.size()) break;
        i += width;
    }
    return text.substr(0, i);
}

}  // namespace corvane

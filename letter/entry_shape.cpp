#include "letter/entry_shape.h"

#include <cstddef>
#include <vector>

namespace corvane {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

bool IsLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

std::size_t CharWidth(std::string_view s, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

std::size_t CountBreaks(std::string_view s, std::size_t& i) {
    std::size_t n = 0;
    while (s.substr(i, 2) == kCrLf) {
        i += 2;
        ++n;
    }
    return n;
}

std::string BreakName(std::size_t n) {
    return n == 1 ? "CRLF" : std::to_string(n) + "×CRLF";
}

// Reads a run of ASCII and full-width spaces and names it as the tables do.
std::string ReadIndent(std::string_view s, std::size_t& i) {
    std::string pattern;  // 's' for an ASCII space, 'F' for a full-width space
    while (i < s.size()) {
        if (s[i] == ' ') {
            pattern += 's';
            i += 1;
        } else if (s.substr(i, 2) == kFullWidthSpace) {
            pattern += 'F';
            i += 2;
        } else {
            break;
        }
    }
    struct Name {
        std::string_view pattern, name;
    };
    static constexpr Name kNames[] = {{"ssss", "4sp"},   {"sssss", "5sp"},  {"FF", "2fw"},
                                      {"Fss", "fw+2sp"}, {"ssF", "2sp+fw"}, {"sFs", "sp+fw+sp"}};
    for (const auto& n : kNames) {
        if (pattern == n.pattern) return std::string(n.name);
    }
    return pattern.empty() ? "no indent" : "indent(" + pattern + ")";
}

}  // namespace

int CountGbkChars(std::string_view gbk) {
    int n = 0;
    for (std::size_t i = 0; i < gbk.size(); i += CharWidth(gbk, i)) ++n;
    return n;
}

EntryShape DescribeEntry(std::string_view s) {
    EntryShape shape;
    shape.bytes = static_cast<int>(s.size());
    shape.chars = CountGbkChars(s);

    std::size_t i = 0;
    const std::size_t leadBreaks = CountBreaks(s, i);
    shape.lead = leadBreaks == 0 ? "no break" : BreakName(leadBreaks);
    shape.lead += " " + ReadIndent(s, i);

    for (std::size_t j = i, n = 0; j < s.size() && n < 10; j += CharWidth(s, j), ++n) {
        shape.opening.append(s.substr(j, CharWidth(s, j)));
    }

    std::vector<std::string> items;
    std::string end;
    while (i < s.size()) {
        if (s.substr(i, 2) == kCrLf) {
            const std::size_t breaks = CountBreaks(s, i);
            if (i == s.size()) {
                end = breaks == 1 ? "ends with CRLF" : "ends with " + BreakName(breaks);
                break;
            }
            items.push_back(BreakName(breaks) + " " + ReadIndent(s, i));
            continue;
        }
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '\r' || c == '\n') shape.problems += "lone CR or LF at byte " + std::to_string(i + 1) + "; ";
        if (c == '\t') shape.problems += "tab at byte " + std::to_string(i + 1) + "; ";
        if (c == 0) shape.problems += "NUL at byte " + std::to_string(i + 1) + "; ";
        if (IsLeadByte(c) && i + 1 >= s.size()) shape.problems += "lone lead byte at the end; ";
        i += CharWidth(s, i);
    }
    if (end.empty() && !s.empty() && s.back() == ' ') {
        end = s.size() >= 2 && s[s.size() - 2] == ' ' ? "ends with spaces" : "ends with one space";
    }

    std::string inner;
    for (std::size_t k = 0; k < items.size();) {
        std::size_t run = 1;
        while (k + run < items.size() && items[k + run] == items[k]) ++run;
        if (!inner.empty()) inner += "; ";
        inner += items[k];
        if (run > 1) inner += " (×" + std::to_string(run) + ")";
        k += run;
    }
    if (inner.empty()) inner = end.empty() ? "—" : "none";
    if (!end.empty()) inner += "; " + end;
    shape.inner = inner;
    return shape;
}

}  // namespace corvane

// Tests of the text helpers: character-boundary search, left and right parts, whole characters.
#include "app/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>

namespace corvane {
namespace {

// "誠" is D5 5C in GBK: its trail byte is the ASCII backslash.
constexpr std::string_view kBackslashTrail = "誠";

// Bytes shown in hex, since a failing case is often a cut inside a character.
std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) out += ' ';
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

TEST(Text, SourceLiteralsAreGbk) {
    ASSERT_EQ(kBackslashTrail, "\xD5\x5C");
    ASSERT_EQ(std::string_view("中国"), "\xD6\xD0\xB9\xFA");
}

TEST(Text, LeadBytes) {
    struct Case {
        unsigned char byte;
        bool lead;
    };
    const Case kCases[] = {{0x00, false}, {0x5C, false}, {0x7F, false}, {0x80, false},
                           {0x81, true},  {0xA1, true},  {0xFE, true},  {0xFF, false}};
    for (const Case& c : kCases)
        EXPECT_EQ(IsGbkLeadByte(c.byte), c.lead) << Hex(std::string(1, char(c.byte)));
}

TEST(Text, FindText) {
    struct Case {
        std::string_view text, what;
        int from;
        int expected;
    };
    const Case kCases[] = {
        {"中国共产党", "共产", 1, 5},
        {"中国共产党", "中国共产党", 1, 1},
        {"中国共产党", "党员", 1, -1},
        {"", "a", 1, -1},
        {"ab", "abc", 1, -1},
        {"a中b", "b", 1, 4},
        // The trail byte 5C of a double-byte character is no backslash; the real one after it is.
        {"誠", "\\", 1, -1},
        {"誠\\", "\\", 1, 3},
        {"a誠b誠\\c", "\\", 1, 7},
        // A pair of bytes that straddles two characters is no match.
        {"中国", "\xD0\xB9", 1, -1},
        {"中b",
         "\xD0"
         "b",
         1, -1},
        {"国中国中", "\xFA\xD6", 1, -1},
        {"国中国中", "中国", 1, 3},
        // A text cut inside a character: no match runs past its end.
        {"中\xB9", "国", 1, -1},
        // `from` is a byte position; a match starts at the first character boundary at or after it.
        {"中国中国", "中国", 0, 1},
        {"中国中国", "中国", -7, 1},
        {"中国中国", "中国", 2, 5},
        {"中国中国", "中国", 5, 5},
        {"中国中国", "中国", 6, -1},
        {"中国中国", "中国", 9, -1},
        {"中国中国", "中国", INT_MAX, -1},
        {"a.b.c", ".", 3, 4},
        {"aaa", "aa", 2, 2},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(FindText(c.text, c.what, c.from), c.expected)
            << "text " << Hex(c.text) << ", what " << Hex(c.what) << ", from " << c.from;
    }
}

TEST(Text, FindTextStartsAtTheFirstByteByDefault) {
    EXPECT_EQ(FindText("入党申请书", "申请"), 5);
    EXPECT_EQ(FindText("入党申请书", "申请"), FindText("入党申请书", "申请", 1));
}

TEST(Text, FindLastText) {
    struct Case {
        std::string_view text, what;
        int expected;
    };
    const Case kCases[] = {
        {"中国中国", "中国", 5},
        {"中国共产党", "中国", 1},
        {"中国", "党", -1},
        {"", "a", -1},
        {"誠\\誠", "\\", 3},
        {"誠誠", "\\", -1},
        {"国中国中", "\xFA\xD6", -1},
        {"\xD0\xB9中国", "\xD0\xB9", 1},  // D0 B9 at 4 straddles 中 and 国
        {"aaa", "aa", 2},
        {"x中x中", "x", 4},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(FindLastText(c.text, c.what), c.expected)
            << "text " << Hex(c.text) << ", what " << Hex(c.what);
    }
}

TEST(Text, LeftText) {
    struct Case {
        std::string_view text;
        int count;
        std::string_view expected;
    };
    const Case kCases[] = {
        {"中国", INT_MIN, ""},     {"中国", -1, ""},      {"中国", 0, ""},     {"中国", 1, "\xD6"},
        {"中国", 2, "中"},         {"中国", 3, "中\xB9"}, {"中国", 4, "中国"}, {"中国", 5, "中国"},
        {"中国", INT_MAX, "中国"}, {"", 3, ""},           {"a誠", 2, "a\xD5"},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(Hex(LeftText(c.text, c.count)), Hex(c.expected)) << Hex(c.text) << ", count " << c.count;
    }
}

TEST(Text, RightText) {
    struct Case {
        std::string_view text;
        int count;
        std::string_view expected;
    };
    const Case kCases[] = {
        {"中国", INT_MIN, ""},     {"中国", -5, ""},      {"中国", 0, ""},     {"中国", 1, "\xFA"},
        {"中国", 2, "国"},         {"中国", 3, "\xD0国"}, {"中国", 4, "中国"}, {"中国", 100, "中国"},
        {"中国", INT_MAX, "中国"}, {"", 1, ""},           {"誠a", 2, "\\a"},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(Hex(RightText(c.text, c.count)), Hex(c.expected)) << Hex(c.text) << ", count " << c.count;
    }
}

TEST(Text, WholeCharacters) {
    struct Case {
        std::string_view text, expected;
    };
    const Case kCases[] = {
        {"", ""},
        {"ab", "ab"},
        // The trail byte FA of "国" lies in the lead range; it still closes its character.
        {"中国", "中国"},
        {"中\xB9", "中"},
        {"\xD6", ""},
        {"a\xD6", "a"},
        {"誠\\", "誠\\"},
        {"誠\xD5", "誠"},
    };
    for (const Case& c : kCases) EXPECT_EQ(Hex(WholeCharacters(c.text)), Hex(c.expected)) << Hex(c.text);
}

// Cut at every byte, a mixed text keeps exactly its whole characters.
TEST(Text, WholeCharactersOfEveryCut) {
    const std::string_view text = "杜 绝，入党 a誠。";
    const int boundaries[] = {0, 2, 3, 5, 7, 9, 11, 12, 13, 15, 17};
    ASSERT_EQ(TextLength(text), 17);
    for (int cut = 0; cut <= TextLength(text); ++cut) {
        int whole = 0;
        for (int b : boundaries) {
            if (b <= cut) whole = b;
        }
        EXPECT_EQ(Hex(WholeCharacters(LeftText(text, cut))), Hex(text.substr(0, whole))) << "cut " << cut;
    }
}

}  // namespace
}  // namespace corvane

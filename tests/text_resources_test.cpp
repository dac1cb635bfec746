// Tests of the compiled long texts: the two constitution pages and the ticker slogan.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/text.h"
#include "resources/resource_data.h"
#include "tests/gbk_convert.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Show(std::string_view gbk) {
    return testing::GbkToUtf8(gbk).value_or("(not GBK)");
}

// The lines of a text cut at each CR LF; a text that ends with CR LF ends with an empty line.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t end = text.find("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return lines;
        text.remove_prefix(end + 2);
    }
}

int CountCrLf(std::string_view text) {
    int n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", at + 2))
        ++n;
    return n;
}

// True when every CR is followed by LF and every LF follows a CR.
bool LineEndsArePairs(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    }
    return true;
}

// Chinese numerals as the constitution writes its chapter and article numbers, 1 to 99.
std::string ChineseNumber(int n) {
    static constexpr std::string_view kDigits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    if (n < 10) return std::string(kDigits[n]);
    std::string out = n < 20 ? "" : std::string(kDigits[n / 10]);
    out += "十";
    out += kDigits[n % 10];
    return out;
}

// A line that starts an article: optional indentation, then 第, numerals, 条. Gives the article's
// number as written ("第十二条"), its indentation and what follows it.
struct ArticleStart {
    std::string number;
    std::string_view indent;
    std::string_view rest;
};

std::optional<ArticleStart> ReadArticleStart(std::string_view line) {
    std::size_t i = 0;
    while (true) {
        if (line.substr(i, 1) == " ") {
            i += 1;
        } else if (line.substr(i, 2) == kFullWidthSpace) {
            i += 2;
        } else {
            break;
        }
    }
    const std::string_view indent = line.substr(0, i);
    if (line.substr(i, 2) != "第") return std::nullopt;
    std::size_t j = i + 2;
    constexpr std::string_view kNumerals = "一二三四五六七八九十";
    while (j + 2 <= line.size()) {
        const std::string_view c = line.substr(j, 2);
        bool numeral = false;
        for (std::size_t k = 0; k < kNumerals.size(); k += 2)
            numeral = numeral || kNumerals.substr(k, 2) == c;
        if (!numeral) break;
        j += 2;
    }
    if (j == i + 2 || line.substr(j, 2) != "条") return std::nullopt;
    return ArticleStart{std::string(line.substr(i, j + 2 - i)), indent, line.substr(j + 2)};
}

TEST(GeneralProgrammeText, SizeAndLineEnds) {
    const std::string_view text = resources::kGeneralProgrammeText;
    EXPECT_EQ(text.size(), 12'127u);
    EXPECT_EQ(CountCrLf(text), 28);
    EXPECT_TRUE(LineEndsArePairs(text));
    EXPECT_TRUE(text.starts_with("\r\n"));
    EXPECT_TRUE(text.ends_with(" \r\n"));
}

// Each paragraph is one line: two full-width spaces, the text, one ASCII space, CR LF.
TEST(GeneralProgrammeText, EveryParagraphIsAnIndentedLine) {
    const auto lines = Lines(resources::kGeneralProgrammeText);
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines.front(), "");
    EXPECT_EQ(lines.back(), "");
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        SCOPED_TRACE("paragraph " + std::to_string(i));
        const std::string_view line = lines[i];
        ASSERT_GT(line.size(), 6u);
        EXPECT_TRUE(line.starts_with("\xA1\xA1\xA1\xA1"));
        EXPECT_NE(line.substr(4, 1), " ");
        EXPECT_NE(line.substr(4, 2), kFullWidthSpace);
        EXPECT_TRUE(line.ends_with(" "));
        EXPECT_NE(line[line.size() - 2], ' ');
    }
    EXPECT_TRUE(lines[1].starts_with("\xA1\xA1\xA1\xA1中国共产党是中国工人阶级的先锋队"))
        << Show(lines[1].substr(0, 40));
}

TEST(ConstitutionArticlesText, SizeAndLineEnds) {
    const std::string_view text = resources::kConstitutionArticlesText;
    EXPECT_EQ(text.size(), 22'859u);
    EXPECT_EQ(CountCrLf(text), 204);
    EXPECT_TRUE(LineEndsArePairs(text));
    EXPECT_TRUE(text.starts_with("\r\n"));
}

// A heading stands alone on its line with a blank line under it; nothing else starts a line with 第.
TEST(ConstitutionArticlesText, ElevenChapterHeadingsInOrder) {
    const std::string_view kHeadings[] = {
        "第一章 党 员",        "第二章 党的组织制度",
        "第三章 党的中央组织", "第四章 党的地方组织",
        "第五章 党的基层组织", "第六章 党的干部",
        "第七章 党的纪律",     "第八章 党的纪律检查机关",
        "第九章 党 组",        "第十章 党和共产主义青年团的关系",
        "第十一章 党徽党旗",
    };
    const auto lines = Lines(resources::kConstitutionArticlesText);
    std::vector<std::string> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].starts_with("第")) continue;
        found.push_back(Show(lines[i]));
        EXPECT_TRUE(i + 1 < lines.size() && lines[i + 1].empty()) << "no blank line under " << Show(lines[i]);
        EXPECT_TRUE(i > 0 && lines[i - 1].empty()) << Show(lines[i]) << " does not follow a blank line";
    }
    std::vector<std::string> expected;
    for (std::string_view h : kHeadings) expected.push_back(Show(h));
    EXPECT_EQ(found, expected);
}

TEST(ConstitutionArticlesText, FiftyThreeArticlesInOrder) {
    std::vector<std::string> found;
    for (std::string_view line : Lines(resources::kConstitutionArticlesText)) {
        const auto article = ReadArticleStart(line);
        if (!article) continue;
        SCOPED_TRACE(Show(article->number));
        found.push_back(Show(article->number));
        EXPECT_EQ(article->indent, "\xA1\xA1\xA1\xA1");
        EXPECT_TRUE(article->rest.starts_with(kFullWidthSpace));
        EXPECT_FALSE(article->rest.substr(2).starts_with(kFullWidthSpace));
        EXPECT_FALSE(article->rest.substr(2).starts_with(" "));
    }
    std::vector<std::string> expected;
    for (int n = 1; n <= 53; ++n) expected.push_back(Show("第" + ChineseNumber(n) + "条"));
    EXPECT_EQ(found, expected);
}

TEST(TickerText, PartsOfTheSlogan) {
    const std::string_view text = resources::kTickerText;
    ASSERT_EQ(text.size(), 248u);

    constexpr std::string_view kSlogan = "杜 绝 千 篇 一 律，入 党 要 有 心 意。";
    ASSERT_EQ(kSlogan.size(), 38u);
    EXPECT_EQ(Show(text.substr(0, 38)), Show(kSlogan));
    EXPECT_EQ(text.substr(38, 11), std::string(11, ' '));

    const std::string_view verse = text.substr(49, 108);
    EXPECT_TRUE(verse.starts_with("惜秦皇汉武")) << Show(verse);
    EXPECT_TRUE(verse.ends_with("！")) << Show(verse);
    for (std::size_t i = 0; i < verse.size(); i += 2) {
        // 54 double-byte characters, none of them a full-width space.
        EXPECT_TRUE(IsGbkLeadByte(static_cast<unsigned char>(verse[i]))) << "byte " << 49 + i;
        EXPECT_NE(verse.substr(i, 2), kFullWidthSpace) << "byte " << 49 + i;
    }
    EXPECT_GT(FindText(verse, "，"), 0);
    EXPECT_GT(FindText(verse, "。"), 0);

    const std::string_view trailing = text.substr(157, 90);
    for (std::size_t i = 0; i < trailing.size(); i += 2) {
        EXPECT_EQ(trailing.substr(i, 2), kFullWidthSpace) << "byte " << 157 + i;
    }
    EXPECT_EQ(text.substr(247), " ");
}

// Each text converts from its UTF-8 source to the compiled bytes and back, and the build's file holds them.
TEST(TextResources, RoundTripWithTheirSourcesAndFiles) {
    struct Case {
        const char* name;
        const char* source;
        std::string_view compiled;
    };
    const Case kCases[] = {
        {"GeneralProgrammeText", "constitution/GeneralProgrammeText.txt", resources::kGeneralProgrammeText},
        {"ConstitutionArticlesText", "constitution/ConstitutionArticlesText.txt",
         resources::kConstitutionArticlesText},
        {"TickerText", "ticker/TickerText.txt", resources::kTickerText},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const auto source = ReadFile(fs::path(CORVANE_SOURCE_DIR) / "resources" / c.source);
        ASSERT_TRUE(source.has_value());
        EXPECT_TRUE(testing::Utf8ToGbk(*source) == c.compiled);
        EXPECT_TRUE(testing::GbkToUtf8(c.compiled) == *source);
        const auto file = ReadFile(fs::path(CORVANE_RESOURCE_DIR) / (std::string(c.name) + ".bin"));
        ASSERT_TRUE(file.has_value());
        EXPECT_TRUE(*file == c.compiled);
    }
}

}  // namespace
}  // namespace corvane

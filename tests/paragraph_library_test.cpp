// Tests of the paragraph library: every entry against its row, the stored files, the sources, the
// particulars.
#include "letter/paragraph_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/text.h"
#include "letter/entry_shape.h"
#include "resources/resource_data.h"
#include "tests/gbk_convert.h"
#include "tests/paragraph_rows.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// GBK shown as UTF-8, so that a failure message is readable.
std::string Show(std::string_view gbk) {
    return testing::GbkToUtf8(gbk).value_or("(not GBK)");
}

std::optional<Pool> PoolNamed(std::string_view name) {
    for (Pool pool : kAllPools) {
        if (PoolName(pool) == name) return pool;
    }
    return std::nullopt;
}

std::string_view EntryOrEmpty(Pool pool, int number) {
    return Entry(pool, number).value_or(std::string_view{});
}

std::string Where(Pool pool, int number) {
    return std::string(PoolName(pool)) + " " + std::to_string(number);
}

// An entry split into its characters as decoded, one string of one or two bytes each.
std::vector<std::string_view> Characters(std::string_view gbk) {
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < gbk.size();) {
        const std::size_t width =
            IsGbkLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
        chars.push_back(gbk.substr(i, width));
        i += width;
    }
    return chars;
}

// Length in characters of the longest passage that two texts share.
int LongestCommonPassage(std::string_view a, std::string_view b) {
    const auto x = Characters(a), y = Characters(b);
    std::vector<int> previous(y.size() + 1, 0), current(y.size() + 1, 0);
    int best = 0;
    for (std::size_t i = 1; i <= x.size(); ++i) {
        for (std::size_t j = 1; j <= y.size(); ++j) {
            current[j] = x[i - 1] == y[j - 1] ? previous[j - 1] + 1 : 0;
            best = std::max(best, current[j]);
        }
        std::swap(previous, current);
    }
    return best;
}

int CommonBeginning(std::string_view a, std::string_view b) {
    const auto x = Characters(a), y = Characters(b);
    const auto [ix, iy] = std::mismatch(x.begin(), x.end(), y.begin(), y.end());
    return static_cast<int>(ix - x.begin());
}

// The entry after its leading line breaks and the indentation of its first paragraph.
std::string_view AfterLead(std::string_view entry) {
    while (entry.starts_with("\r\n")) entry.remove_prefix(2);
    while (true) {
        if (entry.starts_with(" ")) {
            entry.remove_prefix(1);
        } else if (entry.starts_with("\xA1\xA1")) {
            entry.remove_prefix(2);
        } else {
            return entry;
        }
    }
}

// The first paragraph of an entry: its text up to the first inner break.
std::string_view FirstParagraph(std::string_view entry) {
    const std::string_view text = AfterLead(entry);
    return text.substr(0, text.find("\r\n"));
}

TEST(ParagraphLibrary, EveryEntryHasTheFormOfItsRow) {
    const auto& tables = ParagraphRows();
    ASSERT_EQ(tables.size(), std::size(kAllPools));
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const PoolRows& table = tables[t];
        const auto pool = PoolNamed(table.pool);
        ASSERT_TRUE(pool.has_value()) << table.pool;
        EXPECT_EQ(*pool, kAllPools[t]) << "tables out of pool order";
        ASSERT_EQ(EntryCount(*pool), static_cast<int>(table.rows.size())) << table.pool;
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            const ParagraphRow& row = table.rows[r];
            SCOPED_TRACE(Where(*pool, row.number));
            ASSERT_EQ(row.number, static_cast<int>(r) + 1) << "rows out of number order";
            const auto entry = Entry(*pool, row.number);
            ASSERT_TRUE(entry.has_value());
            const EntryShape shape = DescribeEntry(*entry);
            EXPECT_EQ(shape.bytes, row.bytes);
            EXPECT_EQ(shape.chars, row.chars);
            EXPECT_EQ(Show(shape.lead), Show(row.lead));
            EXPECT_EQ(Show(shape.inner), Show(row.inner));
            EXPECT_EQ(Show(shape.opening), Show(row.opening));
            EXPECT_EQ(shape.problems, "") << Show(shape.problems);
            EXPECT_TRUE(testing::GbkToUtf8(*entry).has_value()) << "not valid GBK";
        }
    }
}

// Single bytes are CR, LF, space, a few punctuation marks, digits and the "x" of one fill-in mark.
TEST(ParagraphLibrary, SingleBytesAreOnlyTheAllowedAscii) {
    constexpr std::string_view kAllowed = "\r\n !,;.?:()\"-0123456789x";
    for (Pool pool : kAllPools) {
        for (int n = 1; n <= EntryCount(pool); ++n) {
            SCOPED_TRACE(Where(pool, n));
            for (std::string_view c : Characters(EntryOrEmpty(pool, n))) {
                if (c.size() != 1) continue;
                EXPECT_NE(kAllowed.find(c[0]), std::string_view::npos) << "byte " << int(c[0]);
            }
        }
    }
}

TEST(ParagraphLibrary, PoolCountsAndTotals) {
    struct Case {
        Pool pool;
        int count;
        std::size_t bytes;
    };
    const Case kCases[] = {
        {Pool::kOpeningPool, 37, 15'677},
        {Pool::kBodyPool1, 30, 20'330},
        {Pool::kBodyPool2, 36, 32'125},
        {Pool::kClosingPool, 25, 10'178},
    };
    std::size_t all = 0;
    int entries = 0;
    for (const Case& c : kCases) {
        SCOPED_TRACE(PoolName(c.pool));
        ASSERT_EQ(EntryCount(c.pool), c.count);
        std::size_t total = 0;
        for (int n = 1; n <= c.count; ++n) total += EntryOrEmpty(c.pool, n).size();
        EXPECT_EQ(total, c.bytes);
        all += total;
        entries += c.count;
    }
    EXPECT_EQ(entries, 128);
    EXPECT_EQ(all, 78'310u);
}

TEST(ParagraphLibrary, NumbersOutsideThePoolGiveNothing) {
    for (Pool pool : kAllPools) {
        SCOPED_TRACE(PoolName(pool));
        const int count = EntryCount(pool);
        for (int n : {INT_MIN, -1, 0, count + 1, count + 2, INT_MAX}) {
            EXPECT_FALSE(Entry(pool, n).has_value()) << n;
        }
        EXPECT_TRUE(Entry(pool, 1).has_value());
        EXPECT_TRUE(Entry(pool, count).has_value());
    }
}

// The composer appends the stored bytes: a lookup hands out a view of them and never a copy.
TEST(ParagraphLibrary, EntriesAreViewsOfTheStoredBytes) {
    struct Case {
        Pool pool;
        const std::string_view* stored;
    };
    const Case kCases[] = {
        {Pool::kOpeningPool, resources::kOpeningPool},
        {Pool::kBodyPool1, resources::kBodyPool1},
        {Pool::kBodyPool2, resources::kBodyPool2},
        {Pool::kClosingPool, resources::kClosingPool},
    };
    for (const Case& c : kCases) {
        for (int n = 1; n <= EntryCount(c.pool); ++n) {
            SCOPED_TRACE(Where(c.pool, n));
            const std::string_view first = EntryOrEmpty(c.pool, n);
            const std::string_view second = EntryOrEmpty(c.pool, n);
            EXPECT_EQ(first.data(), second.data());
            EXPECT_EQ(first.data(), c.stored[n - 1].data());
            EXPECT_EQ(first.size(), c.stored[n - 1].size());
        }
    }
}

TEST(ParagraphLibrary, NoTwoEntriesAreAlike) {
    std::set<std::string_view> seen;
    for (Pool pool : kAllPools) {
        for (int n = 1; n <= EntryCount(pool); ++n) {
            EXPECT_TRUE(seen.insert(EntryOrEmpty(pool, n)).second) << Where(pool, n) << " repeats an entry";
        }
    }
}

// The build also writes each pool as one file, entries in number order separated by NUL.
TEST(ParagraphLibrary, StoredPoolFilesHoldTheCompiledEntries) {
    for (Pool pool : kAllPools) {
        SCOPED_TRACE(PoolName(pool));
        const auto file = ReadFile(fs::path(CORVANE_RESOURCE_DIR) / (std::string(PoolName(pool)) + ".bin"));
        ASSERT_TRUE(file.has_value()) << "missing in " << CORVANE_RESOURCE_DIR;
        ASSERT_FALSE(file->empty());
        EXPECT_NE(file->front(), '\0');
        EXPECT_NE(file->back(), '\0') << "NUL after the last entry";
        std::vector<std::string_view> parts;
        for (std::string_view rest = *file;;) {
            const std::size_t nul = rest.find('\0');
            parts.push_back(rest.substr(0, nul));
            if (nul == std::string_view::npos) break;
            rest.remove_prefix(nul + 1);
        }
        ASSERT_EQ(static_cast<int>(parts.size()), EntryCount(pool));
        for (int n = 1; n <= EntryCount(pool); ++n) {
            EXPECT_TRUE(parts[n - 1] == EntryOrEmpty(pool, n)) << "entry " << n;
        }
    }
}

// Every entry converts from its UTF-8 source to the compiled bytes and back to the source unchanged.
TEST(ParagraphLibrary, EntriesRoundTripWithTheirSources) {
    for (Pool pool : kAllPools) {
        for (int n = 1; n <= EntryCount(pool); ++n) {
            SCOPED_TRACE(Where(pool, n));
            char name[16];
            std::snprintf(name, sizeof name, "%02d.txt", n);
            const auto source =
                ReadFile(fs::path(CORVANE_SOURCE_DIR) / "resources" / "paragraphs" / PoolName(pool) / name);
            ASSERT_TRUE(source.has_value());
            const std::string_view entry = EntryOrEmpty(pool, n);
            EXPECT_TRUE(testing::Utf8ToGbk(*source) == entry);
            EXPECT_TRUE(testing::GbkToUtf8(entry) == *source);
        }
    }
}

TEST(ParagraphLibrary, ParticularPhrasesStandWhereTheyAre) {
    struct Case {
        Pool pool;
        int number;
        std::string_view phrase;
    };
    const Case kCases[] = {
        {Pool::kClosingPool, 23, "以xx为领导的"},   {Pool::kOpeningPool, 35, "邓--理论"},
        {Pool::kBodyPool2, 15, "邓--理论"},         {Pool::kBodyPool1, 1, "入党申请书范文"},
        {Pool::kBodyPool2, 22, "危害社入党会稳定"}, {Pool::kClosingPool, 5, "今后会我"},
        {Pool::kBodyPool2, 35, "今后会我"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(Where(c.pool, c.number) + ": " + Show(c.phrase));
        EXPECT_GT(FindText(EntryOrEmpty(c.pool, c.number), c.phrase), 0);
    }
}

// "xx" and the hyphens of "邓--理论" are the only ASCII letters and hyphens, in their entries alone.
TEST(ParagraphLibrary, FillInMarkAndHyphensStandOnlyInTheirEntries) {
    std::set<std::string> withX, withHyphen;
    for (Pool pool : kAllPools) {
        for (int n = 1; n <= EntryCount(pool); ++n) {
            const std::string_view entry = EntryOrEmpty(pool, n);
            if (FindText(entry, "x") > 0) withX.insert(Where(pool, n));
            if (FindText(entry, "-") > 0) withHyphen.insert(Where(pool, n));
        }
    }
    EXPECT_EQ(withX, (std::set<std::string>{"ClosingPool 23"}));
    EXPECT_EQ(withHyphen, (std::set<std::string>{"OpeningPool 35", "BodyPool2 15"}));
    const std::string_view closing23 = EntryOrEmpty(Pool::kClosingPool, 23);
    EXPECT_EQ(std::count(closing23.begin(), closing23.end(), 'x'), 2);
}

TEST(ParagraphLibrary, TwoClosingsBeginWithASalutation) {
    for (int n : {10, 13}) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(AfterLead(EntryOrEmpty(Pool::kClosingPool, n)).starts_with("敬爱的党组织，"));
    }
}

// The dash is the pair A1 AA; none of GBK's look-alike dashes stands in for it.
TEST(ParagraphLibrary, EveryDashIsTheGbkDash) {
    const std::string_view kLookAlikes[] = {
        "\xA8\x44",  // U+2015 horizontal bar
        "\xA8\x43",  // U+2013 en dash
        "\xA9\x5C",  // U+2010 hyphen
        "\xA3\xAD",  // U+FF0D full-width hyphen-minus
        "\xA9\xA4",  // U+2500 box drawing light horizontal
        "\xA9\xA5",  // U+2501 box drawing heavy horizontal
        "\xA9\x81",  // U+FE63 small hyphen-minus
        "\xA1\xA5",  // U+02C9 modifier macron
    };
    int dashes = 0;
    for (Pool pool : kAllPools) {
        for (int n = 1; n <= EntryCount(pool); ++n) {
            SCOPED_TRACE(Where(pool, n));
            for (std::string_view c : Characters(EntryOrEmpty(pool, n))) {
                if (c == "\xA1\xAA") ++dashes;
                for (std::string_view other : kLookAlikes) EXPECT_NE(c, other) << Show(c);
            }
        }
    }
    EXPECT_GT(dashes, 0) << "the texts use the dash, so at least one entry must hold A1 AA";
    EXPECT_EQ(std::string_view("—"), "\xA1\xAA") << "the source literal of the dash is not GBK A1 AA";
}

TEST(ParagraphLibrary, UnbalancedQuotesAndAsciiFullStopAreKept) {
    const std::string_view body20 = EntryOrEmpty(Pool::kBodyPool1, 20);
    EXPECT_EQ(std::count(body20.begin(), body20.end(), '"') % 2, 1);
    const std::string_view closing5 = EntryOrEmpty(Pool::kClosingPool, 5);
    EXPECT_EQ(closing5.size(), 77u);
    EXPECT_TRUE(closing5.ends_with("."));
}

// Entries end with the last character of their text but for four, whose trailing bytes are kept.
TEST(ParagraphLibrary, EntriesEndAsStored) {
    struct Case {
        Pool pool;
        int number;
        std::string_view end;
    };
    const Case kExceptions[] = {
        {Pool::kClosingPool, 2, "\r\n"},
        {Pool::kBodyPool2, 3, " "},
        {Pool::kBodyPool2, 35, " "},
        {Pool::kClosingPool, 21, " "},
    };
    for (Pool pool : kAllPools) {
        for (int n = 1; n <= EntryCount(pool); ++n) {
            SCOPED_TRACE(Where(pool, n));
            const std::string_view entry = EntryOrEmpty(pool, n);
            ASSERT_GE(entry.size(), 3u);
            std::string_view end;
            for (const Case& c : kExceptions) {
                if (c.pool == pool && c.number == n) end = c.end;
            }
            // The exceptional end comes once, after a character of text.
            ASSERT_TRUE(entry.ends_with(end));
            const char last = entry[entry.size() - end.size() - 1];
            EXPECT_NE(last, ' ');
            EXPECT_NE(last, '\n');
            EXPECT_NE(last, '\r');
        }
    }
}

TEST(ParagraphLibrary, SharedPassagesAreKeptInEachEntry) {
    const std::string_view body2_7 = EntryOrEmpty(Pool::kBodyPool2, 7);
    const std::string_view body2_10 = EntryOrEmpty(Pool::kBodyPool2, 10);
    const std::string_view body1_11 = EntryOrEmpty(Pool::kBodyPool1, 11);
    // Recurs almost whole, or mostly, in the other entry: a share of the smaller text's characters.
    struct Share {
        const char* what;
        std::string_view part, whole;
        double atLeast;
    };
    const Share kShares[] = {
        {"BodyPool2 7 in BodyPool2 9", body2_7, EntryOrEmpty(Pool::kBodyPool2, 9), 0.9},
        {"BodyPool2 10 in BodyPool1 3", body2_10, EntryOrEmpty(Pool::kBodyPool1, 3), 0.8},
        {"BodyPool1 11 in BodyPool2 11's first paragraph", body1_11,
         FirstParagraph(EntryOrEmpty(Pool::kBodyPool2, 11)), 0.75},
    };
    for (const Share& s : kShares) {
        const int chars = CountGbkChars(s.part);
        const int shared = LongestCommonPassage(s.part, s.whole);
        EXPECT_GE(shared, s.atLeast * chars) << s.what << ": " << shared << " of " << chars << " characters";
    }
    // Share a passage of at least so many characters.
    struct Passage {
        const char* what;
        std::string_view a, b;
        int atLeast;
    };
    const Passage kPassages[] = {
        {"BodyPool2 17 and 19", EntryOrEmpty(Pool::kBodyPool2, 17), EntryOrEmpty(Pool::kBodyPool2, 19), 371},
        {"OpeningPool 1 and 15", EntryOrEmpty(Pool::kOpeningPool, 1), EntryOrEmpty(Pool::kOpeningPool, 15),
         190},
    };
    for (const Passage& p : kPassages) EXPECT_GE(LongestCommonPassage(p.a, p.b), p.atLeast) << p.what;
    EXPECT_GE(CommonBeginning(EntryOrEmpty(Pool::kClosingPool, 14), EntryOrEmpty(Pool::kClosingPool, 23)),
              150);
    // The measure tells such passages from the common phrases of unrelated entries.
    EXPECT_LT(LongestCommonPassage(body2_7, body2_10), 30);
}

}  // namespace
}  // namespace corvane

// GenerateLetter, the "生 成" button: draws, layout bytes, count caption and the empty-name refusal.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "letter/composer.h"
#include "letter/random.h"
#include "resources/resource_data.h"
#include "tests/program_harness.h"
#include "ui/main_window_controls.h"

namespace corvane::testing {
namespace {

using main_window::k标签6;
using main_window::k编辑框1;
using main_window::k编辑框5;

// The layout written out from the letter's description, so that the composer's own constants are not
// compared with themselves.
const std::string kTitle = std::string(33, ' ') + "入 党 申 请 书\r\n\r\n\r\n";
const std::string kSignatureLead = "\r\n\r\n    申请人： ";
const std::string kDateLead = "\r\n    申请日期： ";
const std::string kRespectfully = "\r\n\r\n\r\n" + std::string(44, ' ') + "此 致";
const std::string kSalute = "\r\n\r\n\r\n" + std::string(69, ' ') + "敬 礼";

struct Entries {
    int opening, body1, body2, closing;
};

std::string ExpectedLetter(std::string_view salutation, Entries k, std::string_view name,
                           std::string_view date) {
    std::string letter = kTitle;
    letter += salutation;
    letter += resources::kOpeningPool[k.opening - 1];
    letter += resources::kBodyPool1[k.body1 - 1];
    letter += resources::kBodyPool2[k.body2 - 1];
    letter += resources::kClosingPool[k.closing - 1];
    letter += kSignatureLead + std::string(name) + "\r\n";
    letter += kDateLead + std::string(date) + "\r\n";
    letter += kRespectfully;
    letter += kSalute;
    return letter;
}

// "生成：" + half the byte length + " 字"; a byte length halves to a whole number or one ending in .5.
std::string ExpectedCount(std::size_t letterBytes) {
    std::string half = std::to_string(letterBytes / 2);
    if (letterBytes % 2 != 0) half += ".5";
    return "生成：" + half + " 字";
}

// The pick of the C runtime's generator from a pool of n entries with seed s, straight from its formula.
int Pick(std::uint32_t seed, int n) {
    const std::uint32_t state = seed * 214013u + 2531011u;
    return 1 + static_cast<int>((state >> 16) & 0x7FFFu) % n;
}

constexpr LocalDateTime kOctober10{2012, 10, 10, 15, 21, 28};

TEST(LetterLayout, FixedPiecesHaveTheirByteCounts) {
    EXPECT_EQ(kTitle.size(), 53u);
    EXPECT_EQ(kSignatureLead.size(), 17u);
    EXPECT_EQ(kDateLead.size(), 17u);
    EXPECT_EQ(kRespectfully.size(), 55u);
    EXPECT_EQ(kSalute.size(), 80u);
}

TEST(GenerateLetter, EqualReadingsGiveTheWorkedExamplesDownToTheBytes) {
    struct Case {
        std::int32_t reading;
        std::uint32_t seeds[4];
        Entries entries;
    };
    // A reading past 2^31 ms is negative: seeds wrap to unsigned, and halving truncates toward zero (-2, not
    // -3).
    const Case cases[] = {
        {0, {0, 0, 0, 2}, {2, 9, 3, 21}},
        {7, {7, 14, 3, 16}, {25, 25, 13, 16}},
        {1000000, {1000000, 2000000, 500000, 2000002}, {15, 16, 17, 22}},
        {1000001, {1000001, 2000002, 500000, 2000004}, {19, 22, 17, 4}},
        {-5, {0xFFFFFFFBu, 0xFFFFFFF6u, 0xFFFFFFFEu, 0xFFFFFFF8u}, {23, 6, 33, 13}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reading);
        const int drawn[4] = {c.entries.opening, c.entries.body1, c.entries.body2, c.entries.closing};
        const int poolSizes[4] = {37, 30, 36, 25};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Pick(c.seeds[i], poolSizes[i]), drawn[i]) << "seed " << c.seeds[i];
            SetRandomSeed(c.seeds[i]);
            EXPECT_EQ(RandomInRange(1, poolSizes[i]), drawn[i]) << "seed " << c.seeds[i];
        }

        ProgramHarness h;
        h.clock.SetNow(kOctober10);
        h.OpenMainWindow();
        h.clock.SetSteadyTick(c.reading);
        h.ui.Type(k编辑框1, "张三");
        h.ui.Click(kGenerateButton);

        const std::string expected = ExpectedLetter("尊敬的党组织：", c.entries, "张三", "2012年10月10日");
        EXPECT_EQ(h.ui.TextOf(k编辑框5), expected);
        EXPECT_EQ(h.ui.TextOf(k标签6), ExpectedCount(expected.size()));
        EXPECT_EQ(h.clock.tickReads(), 5);  // x1, x2, x3, then a and b for the closing seed
        EXPECT_EQ(h.clock.nowReads(), 1);
        EXPECT_TRUE(h.ui.TextOf(k编辑框5).ends_with("敬 礼"));
        EXPECT_TRUE(h.ui.messageBoxes().empty());
    }
}

TEST(GenerateLetter, EachDrawIsSeededFromItsOwnReadings) {
    ProgramHarness h;
    h.clock.SetNow(kOctober10);
    h.OpenMainWindow();
    // Seeds 100, 2 * 200, 303 / 2 = 151 and 5 + 6 + 2 = 13. Mixing up the readings, rounding the halving up
    // or doubling one closing reading would each draw another entry.
    h.clock.QueueTicks({100, 200, 303, 5, 6});
    const Entries expectedEntries{Pick(100, 37), Pick(400, 30), Pick(151, 36), Pick(13, 25)};
    ASSERT_NE(Pick(152, 36), expectedEntries.body2);
    ASSERT_NE(Pick(12, 25), expectedEntries.closing);
    ASSERT_NE(Pick(14, 25), expectedEntries.closing);
    ASSERT_NE(Pick(200, 30), expectedEntries.body1);

    h.ui.Type(k编辑框1, "李四");
    h.ui.Click(kGenerateButton);

    EXPECT_EQ(h.ui.TextOf(k编辑框5),
              ExpectedLetter("尊敬的党组织：", expectedEntries, "李四", "2012年10月10日"));
    EXPECT_EQ(h.clock.queuedTicks(), 0);
}

TEST(GenerateLetter, EqualReadingsGiveByteIdenticalLetters) {
    ProgramHarness h;
    h.OpenMainWindow();
    h.clock.SetSteadyTick(123456);
    h.ui.Type(k编辑框1, "王五");
    h.ui.Click(kGenerateButton);
    const Text first = h.ui.TextOf(k编辑框5);
    h.ui.Click(kGenerateButton);              // pressed again within one tick interval
    EXPECT_EQ(h.ui.TextOf(k编辑框5), first);  // replaced, not appended to
    EXPECT_EQ(h.ui.TextOf(k标签6), ExpectedCount(first.size()));
}

TEST(GenerateLetter, AnEmptyNameOnlyShowsTheNotice) {
    ProgramHarness h;
    h.OpenMainWindow();
    h.clock.SetSteadyTick(0);

    h.ui.Click(kGenerateButton);
    ASSERT_EQ(h.ui.messageBoxes().size(), 1u);
    const MessageBoxCall& notice = h.ui.messageBoxes()[0];
    EXPECT_EQ(notice.text, "  请 添 写 你 的 姓 名. ");
    EXPECT_EQ(notice.text.size(), 24u);
    EXPECT_EQ(notice.title, "提示：");
    EXPECT_EQ(notice.style, 0);
    EXPECT_EQ(h.ui.TextOf(k编辑框5), "");
    EXPECT_EQ(h.ui.TextOf(k标签6), "");
    EXPECT_EQ(h.clock.tickReads(), 0);
    EXPECT_EQ(h.clock.nowReads(), 0);

    // A letter already shown stays as it is, and so does its count.
    h.ui.Type(k编辑框1, "赵六");
    h.ui.Click(kGenerateButton);
    const Text letter = h.ui.TextOf(k编辑框5);
    const Text count = h.ui.TextOf(k标签6);
    const int reads = h.clock.tickReads();
    h.ui.Type(k编辑框1, "");
    h.ui.Click(kGenerateButton);
    EXPECT_EQ(h.ui.messageBoxes().size(), 2u);
    EXPECT_EQ(h.ui.TextOf(k编辑框5), letter);
    EXPECT_EQ(h.ui.TextOf(k标签6), count);
    EXPECT_EQ(h.clock.tickReads(), reads);
}

// The Win32 conversion could only hand such a name over with '?' in place of the character, and the
// letter and its printed file would silently carry the '?'.
TEST(GenerateLetter, ANameOutsideGbkIsRefusedAndTouchesNothing) {
    ProgramHarness h;
    h.OpenMainWindow();
    h.clock.SetSteadyTick(0);
    h.ui.Type(k编辑框1, "赵六");
    h.ui.Click(kGenerateButton);
    const Text letter = h.ui.TextOf(k编辑框5);
    const Text count = h.ui.TextOf(k标签6);
    const int reads = h.clock.tickReads();

    h.ui.TypeOutsideGbk(k编辑框1, "赵六??");
    h.ui.Click(kGenerateButton);
    ASSERT_EQ(h.ui.messageBoxes().size(), 1u);
    EXPECT_EQ(h.ui.messageBoxes()[0].text, kNameNotGbkText);
    EXPECT_EQ(h.ui.messageBoxes()[0].title, "提示：");
    EXPECT_EQ(h.ui.messageBoxes()[0].style, 0);
    EXPECT_EQ(h.ui.TextOf(k编辑框5), letter);
    EXPECT_EQ(h.ui.TextOf(k标签6), count);
    EXPECT_EQ(h.clock.tickReads(), reads);
}

TEST(GenerateLetter, AnyNonEmptyNameIsWrittenUnchanged) {
    std::string megabyte;
    while (megabyte.size() < (1u << 20)) megabyte += "党";
    struct Case {
        const char* what;
        std::string name;
    };
    const Case cases[] = {
        {"one space", " "},
        {"only spaces", "     "},
        {"GBK with a 0x5C trail byte and ASCII", "乗 Zhang\\"},
        {"one megabyte", megabyte},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramHarness h;
        h.clock.SetNow(kOctober10);
        h.OpenMainWindow();
        h.clock.SetSteadyTick(0);
        h.ui.Type(k编辑框1, c.name);
        h.ui.Click(kGenerateButton);
        const std::string expected =
            ExpectedLetter("尊敬的党组织：", {2, 9, 3, 21}, c.name, "2012年10月10日");
        EXPECT_TRUE(h.ui.TextOf(k编辑框5) == expected);  // not EXPECT_EQ: a megabyte diff helps nobody
        EXPECT_EQ(h.ui.TextOf(k标签6), ExpectedCount(expected.size()));
        EXPECT_TRUE(h.ui.messageBoxes().empty());
    }
}

TEST(GenerateLetter, CountCaptionHalvesTheByteLength) {
    const std::size_t withoutName =
        ExpectedLetter("尊敬的党组织：", {2, 9, 3, 21}, "", "2012年10月10日").size();
    ASSERT_LT(withoutName, 4566u);
    struct Case {
        std::size_t letterBytes;
        const char* caption;
    };
    const Case cases[] = {{4567, "生成：2283.5 字"}, {4566, "生成：2283 字"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letterBytes);
        ProgramHarness h;
        h.clock.SetNow(kOctober10);
        h.OpenMainWindow();
        h.clock.SetSteadyTick(0);
        h.ui.Type(k编辑框1, std::string(c.letterBytes - withoutName, 'a'));
        h.ui.Click(kGenerateButton);
        EXPECT_EQ(h.ui.TextOf(k编辑框5).size(), c.letterBytes);
        EXPECT_EQ(h.ui.TextOf(k标签6), c.caption);
    }
}

TEST(GenerateLetter, DateLineShowsTheDateAloneWithoutLeadingZeros) {
    struct Case {
        LocalDateTime now;
        const char* date;
    };
    const Case cases[] = {
        {{2013, 1, 5, 0, 0, 0}, "2013年1月5日"},  // midnight exactly: DateTimeText gives the date part alone
        {{2013, 1, 5, 9, 0, 0}, "2013年1月5日"},
        {{2012, 10, 10, 15, 21, 28}, "2012年10月10日"},
        {{2009, 3, 7, 8, 5, 0}, "2009年3月7日"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        ProgramHarness h;
        h.clock.SetNow(c.now);
        h.OpenMainWindow();
        h.clock.SetSteadyTick(0);
        h.ui.Type(k编辑框1, "张三");
        h.ui.Click(kGenerateButton);
        EXPECT_EQ(h.ui.TextOf(k编辑框5), ExpectedLetter("尊敬的党组织：", {2, 9, 3, 21}, "张三", c.date));
    }
}

TEST(GenerateLetter, ClosingEntryDecidesTheBlankLinesAboveTheSignature) {
    // Every reading 1 seeds the closing draw with 4, which picks ClosingPool 2, the entry that ends with its
    // own CR LF; every reading 0 picks ClosingPool 21, which ends with a space.
    ASSERT_EQ(Pick(4, 25), 2);
    ASSERT_TRUE(resources::kClosingPool[1].ends_with("\r\n"));
    ASSERT_TRUE(resources::kClosingPool[20].ends_with(" "));
    struct Case {
        std::int32_t reading;
        std::string breaksAboveSignature;
    };
    const Case cases[] = {{1, "\r\n\r\n\r\n"}, {0, "\r\n\r\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reading);
        ProgramHarness h;
        h.OpenMainWindow();
        h.clock.SetSteadyTick(c.reading);
        h.ui.Type(k编辑框1, "张三");
        h.ui.Click(kGenerateButton);
        const Text& letter = h.ui.TextOf(k编辑框5);
        const std::size_t signature = letter.find("    申请人： 张三\r\n");
        ASSERT_NE(signature, std::string::npos);
        const std::size_t n = c.breaksAboveSignature.size();
        ASSERT_GT(signature, n);
        EXPECT_EQ(letter.substr(signature - n, n), c.breaksAboveSignature);
        EXPECT_NE(letter[signature - n - 1], '\n');
    }
}

}  // namespace
}  // namespace corvane::testing

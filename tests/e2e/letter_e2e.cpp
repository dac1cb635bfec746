// Letters as the user makes them: name, style boxes, "生 成", and what the letter box and count show.
#include <windows.h>

#include <array>
#include <cstdio>
#include <string>

#include "letter/composer.h"
#include "letter/paragraph_library.h"
#include "tests/e2e/harness.h"

namespace corvane::testing {
namespace {

const std::string kTitle = std::string(33, ' ') + "入 党 申 请 书\r\n\r\n\r\n";
const std::string kClosing =
    "\r\n\r\n\r\n" + std::string(44, ' ') + "此 致" + "\r\n\r\n\r\n" + std::string(69, ' ') + "敬 礼";

std::string DateText(const SYSTEMTIME& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%d年%d月%d日", t.wYear, t.wMonth, t.wDay);
    return text;
}

// Today's local date and yesterday's, in case the letter was written just before midnight.
std::array<std::string, 2> RecentDates() {
    SYSTEMTIME today{};
    GetLocalTime(&today);
    FILETIME file{};
    SystemTimeToFileTime(&today, &file);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart -= 24ull * 60 * 60 * 10'000'000;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME yesterday{};
    FileTimeToSystemTime(&file, &yesterday);
    return {DateText(today), DateText(yesterday)};
}

std::string CountCaption(std::size_t letterBytes) {
    char count[64];
    std::snprintf(count, sizeof count, "%.13g", static_cast<double>(letterBytes) / 2);
    return "生成：" + std::string(count) + " 字";
}

// A letter taken apart: the salutation, the entry drawn from each pool, and what follows them.
struct Letter {
    std::string salutation;
    std::array<int, 4> entries{};
    std::string rest;
};

// Empty when `text` has the shape title, salutation, one entry of each pool in pool order, rest.
std::string ParseLetter(std::string_view text, Letter& letter) {
    if (!text.starts_with(kTitle)) return "the letter does not begin with the title line";
    std::size_t at = kTitle.size();
    for (const char* salutation :
         {"尊敬的党组织：", "敬爱的党组织：", "党组织您好：", "崇敬的党组织您好："}) {
        if (text.substr(at).starts_with(salutation)) letter.salutation = salutation;
    }
    if (letter.salutation.empty()) return "no salutation after the title";
    at += letter.salutation.size();
    for (std::size_t p = 0; p < std::size(kAllPools); ++p) {
        const Pool pool = kAllPools[p];
        int matches = 0;
        std::size_t length = 0;
        for (int n = 1; n <= EntryCount(pool); ++n) {
            const std::string_view entry = *Entry(pool, n);
            if (text.substr(at).starts_with(entry)) {
                ++matches;
                letter.entries[p] = n;
                length = entry.size();
            }
        }
        if (matches != 1) {
            return std::string(PoolName(pool)) + ": " + std::to_string(matches) + " entries match at byte " +
                   std::to_string(at);
        }
        at += length;
    }
    letter.rest = text.substr(at);
    return {};
}

// What follows the four entries for this name: signature, date, closing formula.
bool RestIsSignedBy(const std::string& rest, const std::string& name) {
    for (const std::string& date : RecentDates()) {
        if (rest ==
            "\r\n\r\n    申请人： " + name + "\r\n" + "\r\n    申请日期： " + date + "\r\n" + kClosing) {
            return true;
        }
    }
    return false;
}

class LetterTest : public CorvaneTest {
  protected:
    // Generates a letter for `name` and checks all of it; the salutation it had.
    std::string GenerateAndCheck(const std::wstring& name) {
        EXPECT_TRUE(SetText(Main("编辑框1"), name));
        const std::string text = Generate();
        Letter letter;
        const std::string problem = ParseLetter(text, letter);
        EXPECT_EQ(problem, "");
        EXPECT_TRUE(RestIsSignedBy(letter.rest, Gbk(name)))
            << "signature, date and closing do not follow the paragraphs as expected; the end of the letter: "
            << letter.rest.substr(0, 200);
        EXPECT_EQ(GetGbkText(Main("标签6")), CountCaption(text.size()));
        return letter.salutation;
    }

    std::array<bool, 6> CheckStates() const {
        std::array<bool, 6> states{};
        for (int box = 0; box < 6; ++box) {
            const std::string name = "选择框" + std::to_string(box + 1);
            states[box] = Send(Main(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
        }
        return states;
    }
};

TEST_F(LetterTest, WritesTitleSalutationFourEntriesSignatureDateAndClosing) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());
    EXPECT_EQ(GenerateAndCheck(L"张三"), "尊敬的党组织：");
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

TEST_F(LetterTest, WritesAnyNameUnchangedIntoTheSignature) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());
    // 100,000 characters, ASCII and Chinese mixed: far beyond an edit box's default limit.
    const std::wstring pattern = Wide("Zhang 张三丰, Li-Si 李四; ");
    std::wstring longName;
    while (longName.size() < 100'000) longName += pattern;
    longName.resize(100'000);

    struct Case {
        const char* what;
        std::wstring name;
    };
    const Case cases[] = {
        {"one character", L"a"},
        {"Chinese and ASCII", Wide("李雷 Li Lei")},
        {"spaces only", L"   "},
        {"100,000 characters", longName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GenerateAndCheck(c.name);
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

TEST_F(LetterTest, EmptyNameShowsTheMessageAndLeavesLetterAndCount) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());
    ASSERT_TRUE(SetText(Main("编辑框1"), L"张三"));
    const std::string letter = Generate();
    const std::wstring count = GetText(Main("标签6"));
    ASSERT_FALSE(count.empty());

    ASSERT_TRUE(SetText(Main("编辑框1"), L""));
    const std::optional<MessageBoxWindow> box = ClickAndWaitForMessageBox(Main("超级按钮2"));
    ASSERT_TRUE(box.has_value()) << "no message box for the empty name";
    EXPECT_EQ(Gbk(box->title), "提示：");
    EXPECT_EQ(Gbk(box->text), "  请 添 写 你 的 姓 名. ");
    EXPECT_FALSE(IsWindowEnabled(main_)) << "the box must keep the user from MainWindow";
    ASSERT_TRUE(CloseMessageBox(box->hwnd));

    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }));
    EXPECT_TRUE(SameBytes(GetGbkText(Main("编辑框5")), letter));
    EXPECT_EQ(GetText(Main("标签6")), count);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

TEST_F(LetterTest, NameOutsideGbkShowsTheMessageAndLeavesLetterAndCount) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());
    ASSERT_TRUE(SetText(Main("编辑框1"), L"张三"));
    const std::string letter = Generate();
    const std::wstring count = GetText(Main("标签6"));

    // An emoji and an ideograph beyond GBK (U+20000): code page 936 has no bytes for either.
    for (const wchar_t* name : {L"张三\U0001F600", L"\U00020000李"}) {
        ASSERT_TRUE(SetText(Main("编辑框1"), name));
        const std::optional<MessageBoxWindow> box = ClickAndWaitForMessageBox(Main("超级按钮2"));
        ASSERT_TRUE(box.has_value()) << "no message box for a name outside GBK";
        EXPECT_EQ(Gbk(box->title), "提示：");
        EXPECT_EQ(Gbk(box->text), kNameNotGbkText);
        ASSERT_TRUE(CloseMessageBox(box->hwnd));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }));
        EXPECT_TRUE(SameBytes(GetGbkText(Main("编辑框5")), letter));
        EXPECT_EQ(GetText(Main("标签6")), count);
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

TEST_F(LetterTest, StyleBoxesSetTheSalutationOfTheNextLetter) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());
    struct Step {
        int click;  // style box 1 to 6; 0: no click
        std::array<bool, 6> checked;
        const char* salutation;
    };
    const Step steps[] = {
        {0, {true, false, false, false, false, false}, "尊敬的党组织："},
        {3, {false, false, true, false, false, false}, "党组织您好："},
        // Unchecking the checked box leaves none checked and keeps its salutation.
        {3, {false, false, false, false, false, false}, "党组织您好："},
        {6, {false, false, false, false, false, true}, "崇敬的党组织您好："},
        {2, {false, true, false, false, false, false}, "敬爱的党组织："},
        {5, {false, false, false, false, true, false}, "敬爱的党组织："},
        {1, {true, false, false, false, false, false}, "尊敬的党组织："},
        {4, {false, false, false, true, false, false}, "尊敬的党组织："},
    };
    std::string shown;
    for (const Step& step : steps) {
        SCOPED_TRACE("click on box " + std::to_string(step.click));
        if (step.click != 0) {
            const HWND box = Main("选择框" + std::to_string(step.click));
            const LRESULT before = Send(box, BM_GETCHECK, 0, 0).value_or(-1);
            PostClick(box);
            // The handler runs inside the click, so once the state has turned it has finished.
            ASSERT_TRUE(WaitUntil([&] { return Send(box, BM_GETCHECK, 0, 0).value_or(-1) != before; }));
            EXPECT_TRUE(SameBytes(GetGbkText(Main("编辑框5")), shown)) << "a style change altered the letter";
        }
        EXPECT_EQ(CheckStates(), step.checked);
        EXPECT_EQ(GenerateAndCheck(L"王五"), step.salutation);
        shown = GetGbkText(Main("编辑框5"));
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

}  // namespace
}  // namespace corvane::testing

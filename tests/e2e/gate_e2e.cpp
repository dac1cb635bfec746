// The constitution gate as the user meets it at start: its frame, pages, tooltips and ways out.
#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>

#include "resources/resource_data.h"
#include "tests/e2e/harness.h"

namespace corvane::testing {
namespace {

using GateTest = CorvaneTest;

TEST_F(GateTest, OpensAloneWhileMainWindowWaitsHiddenAndDisabled) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());

    EXPECT_EQ(VisibleTopLevelWindows(program_.id()), std::vector<HWND>{gate_});
    EXPECT_FALSE(IsWindowVisible(main_));
    EXPECT_FALSE(IsWindowEnabled(main_));

    EXPECT_EQ(GetGbkText(gate_), std::string(31, ' ') + "中国共产党.党章");
    RECT rect{};
    GetWindowRect(gate_, &rect);
    EXPECT_EQ(rect.right - rect.left, 667);
    EXPECT_EQ(rect.bottom - rect.top, 620);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 667) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 620) / 2);

    // A caption bar without system menu: no close, minimise or maximise box, and a fixed border.
    const auto style = static_cast<DWORD>(GetWindowLongW(gate_, GWL_STYLE));
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);

    EXPECT_EQ(FocusOf(gate_), Gate("超级按钮1")) << "the focus should start on 知 道";
}

TEST_F(GateTest, ControlsStandWhereTheTablePutsThem) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    struct Case {
        const char* name;
        const wchar_t* className;
        RECT place;           // left, top, right, bottom in the gate's client area
        const char* caption;  // nullptr: checked on their own (page captions and texts)
    };
    const Case cases[] = {
        {"选择夹1", WC_TABCONTROLW, {0, 0, 661, 552}, nullptr},
        {"编辑框1", L"Edit", {2, 22, 2 + 658, 22 + 528}, nullptr},
        {"编辑框2", L"Edit", {2, 22, 2 + 658, 22 + 528}, nullptr},
        {"超级按钮1", L"Button", {82, 557, 82 + 227, 557 + 28}, "知 道"},
        {"超级按钮2", L"Button", {367, 556, 367 + 222, 556 + 28}, "不知道"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND control = Gate(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), gate_);
        EXPECT_EQ(ClassName(control), c.className);
        const RECT rect = RectIn(control, gate_);
        EXPECT_EQ(rect.left, c.place.left);
        EXPECT_EQ(rect.top, c.place.top);
        EXPECT_EQ(rect.right, c.place.right);
        EXPECT_EQ(rect.bottom, c.place.bottom);
        if (c.caption != nullptr) {
            EXPECT_EQ(GetGbkText(control), c.caption);
        }
    }
    // The constitution boxes wrap their lines: multi-line, vertical scroll bar, no horizontal one.
    for (const char* name : {"编辑框1", "编辑框2"}) {
        SCOPED_TRACE(name);
        const auto style = static_cast<DWORD>(GetWindowLongW(Gate(name), GWL_STYLE));
        EXPECT_NE(style & ES_MULTILINE, 0u);
        EXPECT_NE(style & WS_VSCROLL, 0u);
        EXPECT_EQ(style & (WS_HSCROLL | ES_AUTOHSCROLL | ES_READONLY), 0u);
    }
}

TEST_F(GateTest, ShowsTheConstitutionOnTwoTabPages) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    const HWND tab = Gate("选择夹1");
    const HWND page1 = Gate("编辑框1");
    const HWND page2 = Gate("编辑框2");

    std::vector<std::string> captions;
    for (const std::wstring& caption : TabCaptions(tab, program_.handle())) captions.push_back(Gbk(caption));
    EXPECT_EQ(captions, (std::vector<std::string>{" 总 纲： ", " 党 章： "}));

    EXPECT_EQ(Send(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(page1));
    EXPECT_FALSE(IsWindowVisible(page2));
    EXPECT_TRUE(SameBytes(GetGbkText(page1), resources::kGeneralProgrammeText));

    Send(tab, TCM_SETCURFOCUS, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(page2) && !IsWindowVisible(page1); }))
        << "switching to the second tab should show page 2 alone";
    EXPECT_EQ(Send(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(SameBytes(GetGbkText(page2), resources::kConstitutionArticlesText));

    Send(tab, TCM_SETCURFOCUS, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(page1) && !IsWindowVisible(page2); }));
}

TEST_F(GateTest, ButtonsCarryTheirTooltips) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    const HWND tooltip = FindTopLevelOfClass(program_.id(), TOOLTIPS_CLASSW);
    ASSERT_NE(tooltip, nullptr) << "no tooltip window in the program";

    std::map<HWND, std::string> tips;
    for (const Tool& tool : Tools(tooltip, program_.handle())) {
        if ((tool.flags & TTF_IDISHWND) != 0) tips[reinterpret_cast<HWND>(tool.id)] = Gbk(tool.text);
    }
    EXPECT_EQ(tips[Gate("超级按钮1")], "以上党章内容我以熟读.");
    EXPECT_EQ(tips[Gate("超级按钮2")], "没有熟读党章内容。");
}

// How the user leaves the gate, and what follows.
enum class Input {
    kClickAccept,
    kClickDecline,
    kEscape,
    kEnterOnAccept,
    kEnterOnDecline,
    kEnterOnTabControl,
    kEnterOnEditBox,
};

enum class Outcome {
    kMainWindowShown,
    kEndedWithoutMainWindow,
    kLineBreakInEditBox,  // the gate stays open
};

class GateExitTest : public CorvaneTest {
  protected:
    // Moves the focus to `target` by posting the input a user would make, and waits until it is there.
    void FocusOn(HWND target, bool byClick) {
        if (byClick) {
            POINT at{20, 10};
            if (target == Gate("选择夹1")) {
                const std::optional<RECT> item = TabItemRect(target, program_.handle(), 0);
                ASSERT_TRUE(item.has_value());
                at = {(item->left + item->right) / 2, (item->top + item->bottom) / 2};
            }
            PostMouseClick(target, at.x, at.y);
        } else {
            PostKey(FocusOf(gate_), VK_TAB);
        }
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(gate_) == target; }))
            << "the focus did not move to the " << Utf8(ClassName(target)) << " control";
    }

    void Perform(Input input) {
        switch (input) {
            case Input::kClickAccept:
                return PostClick(Gate("超级按钮1"));
            case Input::kClickDecline:
                return PostClick(Gate("超级按钮2"));
            case Input::kEscape:
                return PostKey(FocusOf(gate_), VK_ESCAPE);
            case Input::kEnterOnAccept:
                ASSERT_EQ(FocusOf(gate_), Gate("超级按钮1"));
                break;
            case Input::kEnterOnDecline:
                ASSERT_NO_FATAL_FAILURE(FocusOn(Gate("超级按钮2"), false));
                break;
            case Input::kEnterOnTabControl:
                ASSERT_NO_FATAL_FAILURE(FocusOn(Gate("选择夹1"), true));
                break;
            case Input::kEnterOnEditBox:
                ASSERT_NO_FATAL_FAILURE(FocusOn(Gate("编辑框1"), true));
                break;
        }
        PostKey(FocusOf(gate_), VK_RETURN);
    }

    // Until the process ends, MainWindow must never become visible. Its visibility is sampled every
    // few milliseconds: Wine delivers no cross-process EVENT_OBJECT_SHOW to an out-of-context hook.
    void ExpectEndWithoutMainWindow() {
        bool mainShown = false;
        const bool ended = WaitUntil([&] {
            mainShown = mainShown || IsWindowVisible(main_);
            return !program_.Running();
        });
        ASSERT_TRUE(ended) << "the program did not end";
        EXPECT_FALSE(mainShown) << "MainWindow was shown";
        EXPECT_EQ(program_.WaitForExit(0), std::optional<DWORD>(0));
    }
};

TEST_F(GateExitTest, EachWayOutLeadsWhereItShould) {
    struct Case {
        const char* what;
        Input input;
        Outcome outcome;
    };
    const Case cases[] = {
        {"知 道 clicked", Input::kClickAccept, Outcome::kMainWindowShown},
        {"不知道 clicked", Input::kClickDecline, Outcome::kEndedWithoutMainWindow},
        {"Esc", Input::kEscape, Outcome::kMainWindowShown},
        {"Enter on 知 道", Input::kEnterOnAccept, Outcome::kMainWindowShown},
        {"Enter on 不知道", Input::kEnterOnDecline, Outcome::kEndedWithoutMainWindow},
        // The first enabled default button in definition order is 不知道.
        {"Enter on the tab control", Input::kEnterOnTabControl, Outcome::kEndedWithoutMainWindow},
        {"Enter in the page text", Input::kEnterOnEditBox, Outcome::kLineBreakInEditBox},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(StartProgram());
        const std::size_t pageLength = GetText(Gate("编辑框1")).size();

        ASSERT_NO_FATAL_FAILURE(Perform(c.input));
        switch (c.outcome) {
            case Outcome::kMainWindowShown:
                EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) && IsWindowEnabled(main_); }));
                EXPECT_FALSE(IsWindow(gate_)) << "the gate should be destroyed";
                EXPECT_EQ(VisibleTopLevelWindows(program_.id()), std::vector<HWND>{main_});
                EXPECT_TRUE(program_.Running());
                break;
            case Outcome::kEndedWithoutMainWindow:
                ASSERT_NO_FATAL_FAILURE(ExpectEndWithoutMainWindow());
                break;
            case Outcome::kLineBreakInEditBox:
                EXPECT_TRUE(WaitUntil([&] { return GetText(Gate("编辑框1")).size() == pageLength + 2; }))
                    << "Enter should insert CR LF into the page";
                EXPECT_TRUE(Responsive(gate_));
                EXPECT_TRUE(IsWindowVisible(gate_));
                EXPECT_FALSE(IsWindowVisible(main_));
                EXPECT_TRUE(program_.Running());
                break;
        }
        program_.Terminate();
    }
}

}  // namespace
}  // namespace corvane::testing

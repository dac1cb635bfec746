// MainWindow after the gate: frame, controls in their places, banner tooltip, and closing.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "tests/e2e/harness.h"
#include "ui/main_window.h"

namespace corvane::testing {
namespace {

using MainWindowTest = CorvaneTest;

RECT WindowRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(MainWindowTest, HasItsTitleSizeAndFrameAndClosesWithExitCodeZero) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());

    EXPECT_EQ(GetGbkText(main_), " Corvane (申请书范文生成)" + std::string(17, ' ') + "[Velmora]");
    const RECT rect = WindowRect(main_);
    EXPECT_EQ(rect.right - rect.left, 705);
    EXPECT_EQ(rect.bottom - rect.top, 611);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 705) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 611) / 2);

    const auto style = static_cast<DWORD>(GetWindowLongW(main_, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
    EXPECT_EQ(FocusOf(main_), Main("编辑框1"));

    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

TEST_F(MainWindowTest, CanBeMinimisedButNotMaximisedOrResized) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());
    const RECT before = WindowRect(main_);

    Send(main_, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(Responsive(main_));
    EXPECT_FALSE(IsZoomed(main_));
    EXPECT_TRUE(SameRect(WindowRect(main_), before)) << "SC_MAXIMIZE changed the window's place or size";

    // Every point of the border must answer something other than a sizing edge.
    struct Case {
        const char* where;
        POINT at;
    };
    const LONG midX = (before.left + before.right) / 2, midY = (before.top + before.bottom) / 2;
    const Case cases[] = {
        {"left edge", {before.left, midY}},
        {"right edge", {before.right - 1, midY}},
        {"top edge", {midX, before.top}},
        {"bottom edge", {midX, before.bottom - 1}},
        {"top-left corner", {before.left, before.top}},
        {"bottom-right corner", {before.right - 1, before.bottom - 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        const auto hit = Send(main_, WM_NCHITTEST, 0, MAKELPARAM(c.at.x, c.at.y));
        ASSERT_TRUE(hit.has_value());
        EXPECT_FALSE(*hit >= HTLEFT && *hit <= HTBOTTOMRIGHT) << "hit test " << *hit << " is a sizing edge";
        EXPECT_NE(*hit, HTSIZE);
    }

    Send(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(main_) != FALSE; })) << "the window could not be minimised";
    Send(main_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main_) && SameRect(WindowRect(main_), before); }));

    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

enum class Kind { kPicture, kLabel, kLink, kGroupBox, kEdit, kLetterBox, kCheckBox, kButton };

// Class and the styles that make the control what the table says it is.
void ExpectKind(HWND control, Kind kind) {
    const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE));
    const std::wstring cls = ClassName(control);
    switch (kind) {
        case Kind::kPicture:
            EXPECT_EQ(cls, L"CorvanePicture");
            break;
        case Kind::kLabel:
            EXPECT_EQ(cls, L"CorvaneLabel");
            break;
        case Kind::kLink:
            EXPECT_EQ(cls, L"CorvaneLink");
            break;
        case Kind::kGroupBox:
            EXPECT_EQ(cls, L"Button");
            EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
            break;
        case Kind::kEdit:
            EXPECT_EQ(cls, L"Edit");
            EXPECT_EQ(style & ES_MULTILINE, 0u);
            EXPECT_NE(exStyle & WS_EX_CLIENTEDGE, 0u) << "sunken border";
            break;
        case Kind::kLetterBox:
            EXPECT_EQ(cls, L"Edit");
            EXPECT_NE(style & ES_MULTILINE, 0u);
            EXPECT_NE(style & WS_VSCROLL, 0u);
            EXPECT_EQ(style & (WS_HSCROLL | ES_AUTOHSCROLL | ES_READONLY), 0u) << "lines must wrap";
            EXPECT_NE(exStyle & WS_EX_CLIENTEDGE, 0u) << "sunken border";
            break;
        case Kind::kCheckBox:
            EXPECT_EQ(cls, L"Button");
            EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_AUTOCHECKBOX));
            break;
        case Kind::kButton: {
            // A push button, drawn by the system or by the program, and not a default button.
            EXPECT_EQ(cls, L"Button");
            const DWORD type = style & BS_TYPEMASK;
            EXPECT_TRUE(type == BS_PUSHBUTTON || type == BS_OWNERDRAW) << "button type " << type;
            break;
        }
    }
}

TEST_F(MainWindowTest, ControlsStandWhereTheTablePutsThem) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());
    struct Case {
        const char* name;
        Kind kind;
        const char* inside;  // group box, or "" for the window
        int x, y, width, height;
        const char* caption;  // nullptr: not fixed (the ticker, the link)
        bool checked;
    };
    const Case cases[] = {
        {"图片框1", Kind::kPicture, "", 0, 0, 704, 72, "", false},
        {"标签5", Kind::kLabel, "", 7, 72, 473, 18, nullptr, false},
        {"超级链接框1", Kind::kLink, "", 494, 76, 199, 17, nullptr, false},
        {"分组框1", Kind::kGroupBox, "", 0, 92, 699, 63, "个人资料 （除姓名外其余可选择性添写）：", false},
        {"标签1", Kind::kLabel, "分组框1", 32, 21, 32, 24, "姓名：", false},
        {"编辑框1", Kind::kEdit, "分组框1", 71, 22, 80, 20, "", false},
        {"标签2", Kind::kLabel, "分组框1", 200, 21, 32, 24, "单位：", false},
        {"编辑框2", Kind::kEdit, "分组框1", 239, 22, 80, 20, "", false},
        {"标签3", Kind::kLabel, "分组框1", 375, 21, 32, 24, "职务：", false},
        {"编辑框3", Kind::kEdit, "分组框1", 414, 22, 80, 20, "", false},
        {"标签4", Kind::kLabel, "分组框1", 558, 21, 32, 24, "年龄：", false},
        {"编辑框4", Kind::kEdit, "分组框1", 597, 22, 80, 20, "", false},
        {"分组框2", Kind::kGroupBox, "", 0, 160, 699, 55, "风格设置：", false},
        {"选择框1", Kind::kCheckBox, "分组框2", 64, 21, 80, 24, "进取型", true},
        {"选择框2", Kind::kCheckBox, "分组框2", 173, 21, 80, 24, "稳重型", false},
        {"选择框3", Kind::kCheckBox, "分组框2", 281, 21, 80, 24, "激昂型", false},
        {"选择框4", Kind::kCheckBox, "分组框2", 388, 21, 80, 24, "保守型", false},
        {"选择框5", Kind::kCheckBox, "分组框2", 495, 21, 80, 24, "开放型", false},
        {"选择框6", Kind::kCheckBox, "分组框2", 601, 21, 80, 24, "低调型", false},
        {"分组框3", Kind::kGroupBox, "", 0, 219, 699, 329, "入党申请书范文生成：", false},
        {"编辑框5", Kind::kLetterBox, "分组框3", 2, 19, 694, 308, "", false},
        {"编辑框19", Kind::kEdit, "分组框3", 1000, 213, 80, 20, "", false},
        {"标签6", Kind::kLabel, "", 11, 555, 93, 16, "", false},
        {"超级按钮2", Kind::kButton, "", 122, 552, 225, 24, "生 成", false},
        {"超级按钮1", Kind::kButton, "", 370, 551, 225, 24, "打 印", false},
    };
    const auto origin = [&](std::string_view group) {
        for (const Case& c : cases) {
            if (c.name == group) return POINT{c.x, c.y};
        }
        return POINT{0, 0};
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND control = Main(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), main_);
        ExpectKind(control, c.kind);
        const POINT at = origin(c.inside);
        const RECT rect = RectIn(control, main_);
        EXPECT_EQ(rect.left, at.x + c.x);
        EXPECT_EQ(rect.top, at.y + c.y);
        EXPECT_EQ(rect.right - rect.left, c.width);
        EXPECT_EQ(rect.bottom - rect.top, c.height);
        if (c.caption != nullptr) {
            EXPECT_EQ(GetGbkText(control), c.caption);
        }
        if (c.kind == Kind::kCheckBox) {
            EXPECT_EQ(Send(control, BM_GETCHECK, 0, 0), c.checked ? BST_CHECKED : BST_UNCHECKED);
        }
        EXPECT_TRUE(IsWindowVisible(control));
    }

    // The timer and the two Word components take no room: the window has one child per row above.
    int children = 0;
    EnumChildWindows(
        main_, [](HWND, LPARAM count) WINAPI -> BOOL { return ++*reinterpret_cast<int*>(count), TRUE; },
        reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(children, static_cast<int>(std::size(cases)));

    // 编辑框19 lies wholly outside the client area, so the user never sees it.
    RECT client{}, hidden = RectIn(Main("编辑框19"), main_), overlap{};
    GetClientRect(main_, &client);
    EXPECT_FALSE(IntersectRect(&overlap, &client, &hidden));
    EXPECT_GE(hidden.left, client.right);

    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

TEST_F(MainWindowTest, LinkShowsTheMakerAndVersionAndTheCountLabelStartsEmpty) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());
    const HWND link = Main("超级链接框1");
    const RECT place = RectIn(link, main_);
    EXPECT_EQ(place.left, 494);
    EXPECT_EQ(place.top, 76);
    EXPECT_EQ(place.right - place.left, 199);
    EXPECT_EQ(place.bottom - place.top, 17);

    // "Velmora", a full-width colon, the web address, five spaces and "V1.4".
    const std::string caption = GetGbkText(link);
    const std::string lead = "Velmora：", tail = "     V1.4";
    ASSERT_GT(caption.size(), lead.size() + tail.size()) << caption;
    EXPECT_TRUE(caption.starts_with(lead)) << caption;
    EXPECT_TRUE(caption.ends_with(tail)) << caption;
    const std::string address = caption.substr(lead.size(), caption.size() - lead.size() - tail.size());
    EXPECT_EQ(address.find(' '), std::string::npos) << "the address is one word: " << address;
    EXPECT_NE(address.find('.'), std::string::npos) << "a web address has a dot: " << address;

    const HWND count = Main("标签6");
    const RECT label = RectIn(count, main_);
    EXPECT_EQ(label.left, 11);
    EXPECT_EQ(label.top, 555);
    EXPECT_EQ(label.right - label.left, 93);
    EXPECT_EQ(label.bottom - label.top, 16);
    EXPECT_EQ(GetText(count), L"");

    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

TEST_F(MainWindowTest, BannerCarriesTheBalloonTooltip) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());
    const HWND tooltip = FindTopLevelOfClass(program_.id(), TOOLTIPS_CLASSW);
    ASSERT_NE(tooltip, nullptr) << "no tooltip window in the program";
    EXPECT_NE(static_cast<DWORD>(GetWindowLongW(tooltip, GWL_STYLE)) & TTS_BALLOON, 0u);

    const HWND banner = Main("图片框1");
    int found = 0;
    for (const Tool& tool : Tools(tooltip, program_.handle())) {
        if ((tool.flags & TTF_IDISHWND) == 0 || reinterpret_cast<HWND>(tool.id) != banner) continue;
        ++found;
        EXPECT_EQ(Gbk(tool.text),
                  "加入中国共产党是神圣的，软件自动生成的例文只用于写作参考，请熟读软件内的党章，"
                  "其实只要做到5个字我们就都是共产党员，那就是<为人民服务>");
        EXPECT_EQ(Gbk(tool.text).size(), 133u);
        EXPECT_EQ(tool.flags & TTF_CENTERTIP, 0u) << "the banner tip is not centred";
    }
    EXPECT_EQ(found, 1) << "the banner should carry exactly one tool";

    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

}  // namespace
}  // namespace corvane::testing

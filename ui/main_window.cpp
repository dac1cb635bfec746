#include "ui/main_window.h"

#include "letter/composer.h"
#include "letter/styles.h"
#include "print/print_job.h"
#include "resources/resource_data.h"
#include "ui/constitution_window.h"
#include "ui/main_window_controls.h"
#include "ui/ticker.h"

namespace corvane {
namespace {

using K = ControlKind;
constexpr Rgb kRed{255, 0, 0};

// One row per control, in definition order; places are relative to the parent.
const ControlDefinition kControls[] = {
    {.kind = K::kPictureBox, .name = "图片框1", .parent = "", .page = 0, .x = 0, .y = 0, .width = 704, .height = 72,
     .caption = resources::kBannerImage},
    {.kind = K::kLabel, .name = "标签5", .parent = "", .page = 0, .x = 7, .y = 72, .width = 473, .height = 18,
     .caption = "", .flags = kCentred | kShadowed, .textColour = kRed},
    {.kind = K::kHyperlink, .name = "超级链接框1", .parent = "", .page = 0, .x = 494, .y = 76, .width = 199,
     .height = 17, .caption = "Velmora：velmora.example     V1.4", .target = kMakerAddress},
    {.kind = K::kGroupBox, .name = "分组框1", .parent = "", .page = 0, .x = 0, .y = 92, .width = 699, .height = 63,
     .caption = "个人资料 （除姓名外其余可选择性添写）："},
    {.kind = K::kLabel, .name = "标签1", .parent = "分组框1", .page = 0, .x = 32, .y = 21, .width = 32, .height = 24,
     .caption = "姓名："},
    {.kind = K::kEditBox, .name = "编辑框1", .parent = "分组框1", .page = 0, .x = 71, .y = 22, .width = 80,
     .height = 20, .flags = kTabStop | kSunkenBorder | kInitialFocus},
    {.kind = K::kLabel, .name = "标签2", .parent = "分组框1", .page = 0, .x = 200, .y = 21, .width = 32, .height = 24,
     .caption = "单位："},
    {.kind = K::kEditBox, .name = "编辑框2", .parent = "分组框1", .page = 0, .x = 239, .y = 22, .width = 80,
     .height = 20, .flags = kTabStop | kSunkenBorder},
    {.kind = K::kLabel, .name = "标签3", .parent = "分组框1", .page = 0, .x = 375, .y = 21, .width = 32, .height = 24,
     .caption = "职务："},
    {.kind = K::kEditBox, .name = "编辑框3", .parent = "分组框1", .page = 0, .x = 414, .y = 22, .width = 80,
     .height = 20, .flags = kTabStop | kSunkenBorder},
    {.kind = K::kLabel, .name = "标签4", .parent = "分组框1", .page = 0, .x = 558, .y = 21, .width = 32, .height = 24,
     .caption = "年龄："},
    {.kind = K::kEditBox, .name = "编辑框4", .parent = "分组框1", .page = 0, .x = 597, .y = 22, .width = 80,
     .height = 20, .flags = kTabStop | kSunkenBorder},
    {.kind = K::kComponent, .name = "Word程序1", .parent = "分组框1", .page = 0, .x = 504, .y = 61, .width = 26,
     .height = 26},
    {.kind = K::kComponent, .name = "Word文档集1", .parent = "分组框1", .page = 0, .x = 544, .y = 61, .width = 26,
     .height = 26},
    {.kind = K::kGroupBox, .name = "分组框2", .parent = "", .page = 0, .x = 0, .y = 160, .width = 699, .height = 55,
     .caption = "风格设置："},
    {.kind = K::kCheckBox, .name = "选择框1", .parent = "分组框2", .page = 0, .x = 64, .y = 21, .width = 80,
     .height = 24, .caption = kStyles[0].caption, .flags = kTabStop | kChecked, .onEvent = &OnStyleBoxClicked<1>},
    {.kind = K::kCheckBox, .name = "选择框2", .parent = "分组框2", .page = 0, .x = 173, .y = 21, .width = 80,
     .height = 24, .caption = kStyles[1].caption, .flags = kTabStop, .onEvent = &OnStyleBoxClicked<2>},
    {.kind = K::kCheckBox, .name = "选择框3", .parent = "分组框2", .page = 0, .x = 281, .y = 21, .width = 80,
     .height = 24, .caption = kStyles[2].caption, .flags = kTabStop, .onEvent = &OnStyleBoxClicked<3>},
    {.kind = K::kCheckBox, .name = "选择框4", .parent = "分组框2", .page = 0, .x = 388, .y = 21, .width = 80,
     .height = 24, .caption = kStyles[3].caption, .flags = kTabStop, .onEvent = &OnStyleBoxClicked<4>},
    {.kind = K::kCheckBox, .name = "选择框5", .parent = "分组框2", .page = 0, .x = 495, .y = 21, .width = 80,
     .height = 24, .caption = kStyles[4].caption, .flags = kTabStop, .onEvent = &OnStyleBoxClicked<5>},
    {.kind = K::kCheckBox, .name = "选择框6", .parent = "分组框2", .page = 0, .x = 601, .y = 21, .width = 80,
     .height = 24, .caption = kStyles[5].caption, .flags = kTabStop, .onEvent = &OnStyleBoxClicked<6>},
    {.kind = K::kGroupBox, .name = "分组框3", .parent = "", .page = 0, .x = 0, .y = 219, .width = 699, .height = 329,
     .caption = "入党申请书范文生成："},
    {.kind = K::kEditBox, .name = "编辑框5", .parent = "分组框3", .page = 0, .x = 2, .y = 19, .width = 694,
     .height = 308, .flags = kTabStop | kSunkenBorder | kMultiLine},
    {.kind = K::kEditBox, .name = "编辑框19", .parent = "分组框3", .page = 0, .x = 1000, .y = 213, .width = 80,
     .height = 20, .flags = kTabStop | kSunkenBorder},
    {.kind = K::kLabel, .name = "标签6", .parent = "", .page = 0, .x = 11, .y = 555, .width = 93, .height = 16,
     .caption = "", .flags = kCentred},
    {.kind = K::kStyledButton, .name = "超级按钮2", .parent = "", .page = 0, .x = 122, .y = 552, .width = 225,
     .height = 24, .caption = "生 成", .flags = kTabStop, .onEvent = &GenerateLetter},
    {.kind = K::kStyledButton, .name = "超级按钮1", .parent = "", .page = 0, .x = 370, .y = 551, .width = 225,
     .height = 24, .caption = "打 印", .flags = kTabStop, .onEvent = &PrintLetter},
    {.kind = K::kTimer, .name = "时钟1", .parent = "", .page = 0, .x = 696, .y = 552, .width = 26, .height = 26,
     .onEvent = &TickerTick},
};

const WindowDefinition kMainWindow{
    .id = WindowId::kMainWindow,
    .title = kMainWindowTitle,
    .width = 705,
    .height = 611,
    .frame = FrameKind::kFixedWithMinimise,
    .escapeCloses = false,
    .hasIcon = true,
    .onCreated = &OnMainWindowCreated,
    .controls = kControls,
};

}  // namespace

const WindowDefinition& MainWindowDefinition() { return kMainWindow; }

void OnMainWindowCreated(Program& p) {
    using namespace main_window;
    p.TickerText = resources::kTickerText;
    p.ui.SetTimerPeriod(k时钟1, 100);
    p.TickerPosition = 0;
    p.Salutation = kDefaultSalutation;
    p.ui.AddTooltip(p.ui.GetControlHandle(k图片框1), kBannerTooltip, true, false);
    p.ui.LoadWindow(ConstitutionWindowDefinition(), true);
}

}  // namespace corvane

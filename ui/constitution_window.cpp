#include "ui/constitution_window.h"

#include "app/startup.h"
#include "resources/resource_data.h"

namespace corvane {
namespace {

using K = ControlKind;
constexpr Rgb kLightGrey{236, 236, 236};

// Definition order matters: Enter with the focus on no button clicks the first enabled default
// button in this order, 超级按钮2 ("不知道").
const ControlDefinition kControls[] = {
    {.kind = K::kStyledButton,
     .name = "超级按钮2",
     .parent = "",
     .page = 0,
     .x = 367,
     .y = 556,
     .width = 222,
     .height = 28,
     .caption = "不知道",
     .flags = kTabStop | kDefaultButton | kFocusRect,
     .tooltip = "没有熟读党章内容。",
     .onEvent = &DeclineConstitution},
    {.kind = K::kEditBox,
     .name = "编辑框2",
     .parent = "选择夹1",
     .page = 2,
     .x = 2,
     .y = 22,
     .width = 658,
     .height = 528,
     .caption = resources::kConstitutionArticlesText,
     .flags = kTabStop | kMultiLine,
     .backColour = kLightGrey},
    {.kind = K::kEditBox,
     .name = "编辑框1",
     .parent = "选择夹1",
     .page = 1,
     .x = 2,
     .y = 22,
     .width = 658,
     .height = 528,
     .caption = resources::kGeneralProgrammeText,
     .flags = kTabStop | kMultiLine,
     .backColour = kLightGrey},
    {.kind = K::kTabControl,
     .name = "选择夹1",
     .parent = "",
     .page = 0,
     .x = 0,
     .y = 0,
     .width = 661,
     .height = 552,
     .caption = " 总 纲： \n 党 章： \n"},
    {.kind = K::kStyledButton,
     .name = "超级按钮1",
     .parent = "",
     .page = 0,
     .x = 82,
     .y = 557,
     .width = 227,
     .height = 28,
     .caption = "知 道",
     .flags = kTabStop | kDefaultButton | kFocusRect | kInitialFocus,
     .tooltip = "以上党章内容我以熟读.",
     .onEvent = &AcceptConstitution},
};

const WindowDefinition kConstitutionWindow{
    .id = WindowId::kConstitutionWindow,
    .title = kConstitutionWindowTitle,
    .width = 667,
    .height = 620,
    .frame = FrameKind::kCaptionOnly,
    .escapeCloses = true,
    .hasIcon = false,
    .onCreated = &OnConstitutionWindowCreated,
    .controls = kControls,
};

}  // namespace

const WindowDefinition& ConstitutionWindowDefinition() {
    return kConstitutionWindow;
}

void OnConstitutionWindowCreated(Program& p) {
    p.ui.PlayMidi(1, 0, {{.data = resources::kGateTune1}, {.data = resources::kGateTune2}});
}

void AcceptConstitution(Program& p) {
    p.ui.DestroyProgramWindow(WindowId::kConstitutionWindow);
}

void DeclineConstitution(Program& p) {
    ExitProgram(p, 0);
}

}  // namespace corvane

// MainWindow: its definition as data and its creation handler.
#pragma once

#include <string_view>

#include "app/program.h"

namespace corvane {

const WindowDefinition& MainWindowDefinition();

void OnMainWindowCreated(Program& program);

inline constexpr std::string_view kMainWindowTitle = " Corvane (申请书范文生成)                 [Velmora]";
inline constexpr std::string_view kBannerTooltip =
    "加入中国共产党是神圣的，软件自动生成的例文只用于写作参考，请熟读软件内的党章，"
    "其实只要做到5个字我们就都是共产党员，那就是<为人民服务>";
inline constexpr std::string_view kMakerAddress = "http://velmora.example/";

}  // namespace corvane

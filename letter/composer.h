// GenerateLetter: the "生 成" button's handler, and the fixed texts of the letter's layout.
#pragma once

#include <string_view>

#include "app/program.h"

namespace corvane {

void GenerateLetter(Program& program);

inline constexpr std::string_view kEmptyNameText = "  请 添 写 你 的 姓 名. ";
inline constexpr std::string_view kEmptyNameTitle = "提示：";
// A name with a character that GBK cannot hold would reach the letter and its file as '?'.
inline constexpr std::string_view kNameNotGbkText = "  姓 名 中 有 无 法 写 入 申 请 书 的 字 符. ";
inline constexpr std::string_view kTitleLine = "                                 入 党 申 请 书\r\n\r\n\r\n";
inline constexpr std::string_view kSignatureLead = "\r\n\r\n    申请人： ";
inline constexpr std::string_view kDateLead = "\r\n    申请日期： ";
inline constexpr std::string_view kRespectfully =
    "\r\n\r\n\r\n                                            此 致";
inline constexpr std::string_view kSalute =
    "\r\n\r\n\r\n                                                                     敬 礼";

}  // namespace corvane

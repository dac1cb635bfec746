// PrintLetter: the "打 印" button's handler: Word check, letter check, letter file, Word print job.
#pragma once

#include <string_view>

#include "app/program.h"

namespace corvane {

void PrintLetter(Program& program);

inline constexpr std::string_view kWordPathKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Winword.exe";
inline constexpr std::string_view kWordPathValue = "Path";
inline constexpr std::string_view kLetterFile = "c:\\windows\\a.txt";
inline constexpr std::string_view kFallbackLetterName = "a.txt";
inline constexpr std::string_view kCannotPrintTitle = "无 法 打 印：";
inline constexpr std::string_view kNoWordText = "  电 脑 没 有 安 装 WORD 办 公 软 件. ";
inline constexpr std::string_view kNoLetterText = " 没有生成入党申请书！. ";
inline constexpr std::string_view kFileNotWrittenText = "  信 件 文 件 无 法 写 入. ";
inline constexpr std::string_view kLetterNotGbkText = "  申 请 书 中 有 无 法 打 印 的 字 符. ";

}  // namespace corvane

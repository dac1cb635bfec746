// Start-up, the message loop and the shut-down sequence shared by every way of ending.
#pragma once

#include "app/program.h"

namespace corvane {

// Runs the whole program: start-up with `startWindow`, the message loop, shut-down. Never returns.
[[noreturn]] void RunProgram(Program& program, const WindowDefinition& startWindow);

// Runs the shut-down sequence at once and ends the process with `exitCode`.
[[noreturn]] void ExitProgram(Program& program, int exitCode);

// The exit-time routine: releases what the program-wide variables own.
void ReleaseProgramState(Program& program);

inline constexpr std::string_view kLoadFailureText = "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n";
inline constexpr std::string_view kLoadFailureTitle = "错误";

}  // namespace corvane

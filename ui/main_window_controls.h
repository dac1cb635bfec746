// The controls of MainWindow that handlers address by name.
#pragma once

#include "app/toolkit.h"

namespace corvane::main_window {

inline constexpr WindowId kWindow = WindowId::kMainWindow;

inline constexpr ControlRef k图片框1{kWindow, "图片框1"};
inline constexpr ControlRef k标签5{kWindow, "标签5"};
inline constexpr ControlRef k编辑框1{kWindow, "编辑框1"};
inline constexpr ControlRef k编辑框5{kWindow, "编辑框5"};
inline constexpr ControlRef k编辑框19{kWindow, "编辑框19"};
inline constexpr ControlRef k标签6{kWindow, "标签6"};
inline constexpr ControlRef k时钟1{kWindow, "时钟1"};
inline constexpr ControlRef k选择框[6] = {{kWindow, "选择框1"}, {kWindow, "选择框2"}, {kWindow, "选择框3"},
                                          {kWindow, "选择框4"}, {kWindow, "选择框5"}, {kWindow, "选择框6"}};

}  // namespace corvane::main_window

// The slogan ticker: one more byte of the slogan in 标签5 on every tick of 时钟1.
#pragma once

#include "app/program.h"

namespace corvane {

void TickerTick(Program& program);

}  // namespace corvane

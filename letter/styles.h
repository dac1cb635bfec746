// The six letter styles: each check box sets the salutation of the next letter.
#pragma once

#include <string_view>

#include "app/program.h"

namespace corvane {

inline constexpr std::string_view kDefaultSalutation = "尊敬的党组织：";

struct Style {
    std::string_view caption;
    std::string_view salutation;
};

// Styles of 选择框1 to 选择框6, in box order.
inline constexpr Style kStyles[6] = {
    {"进取型", "尊敬的党组织："}, {"稳重型", "敬爱的党组织："}, {"激昂型", "党组织您好："},
    {"保守型", "尊敬的党组织："}, {"开放型", "敬爱的党组织："}, {"低调型", "崇敬的党组织您好："},
};

// Click handler of style box `Box` (1 to 6); the click has already toggled the box.
template <int Box>
void OnStyleBoxClicked(Program& program);

}  // namespace corvane

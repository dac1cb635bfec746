#include "letter/styles.h"

#include "ui/main_window_controls.h"

namespace corvane {
namespace {

void StyleBoxClicked(Program& p, int box) {
    using main_window::k选择框;
    if (p.ui.GetCheckState(k选择框[box - 1]) == 0) return;
    p.Salutation = kStyles[box - 1].salutation;
    for (int other = 1; other <= 6; ++other) {
        if (other != box) p.ui.SetCheckState(k选择框[other - 1], false);
    }
}

}  // namespace

template <int Box>
void OnStyleBoxClicked(Program& program) {
    StyleBoxClicked(program, Box);
}

template void OnStyleBoxClicked<1>(Program&);
template void OnStyleBoxClicked<2>(Program&);
template void OnStyleBoxClicked<3>(Program&);
template void OnStyleBoxClicked<4>(Program&);
template void OnStyleBoxClicked<5>(Program&);
template void OnStyleBoxClicked<6>(Program&);

}  // namespace corvane

#include "ui/ticker.h"

#include "ui/main_window_controls.h"

namespace corvane {

void TickerTick(Program& p) {
    p.TickerPosition += 1;
    p.TickerShownText.assign(LeftText(p.TickerText, p.TickerPosition));
    p.ui.SetLabelCaption(main_window::k标签5, p.TickerShownText);
    if (static_cast<double>(p.TickerPosition) - (TextLength(p.TickerText) + 1.0) > 0.0000001)
        p.TickerPosition = 0;
}

}  // namespace corvane

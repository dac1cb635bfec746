#include "letter/composer.h"

#include "app/text.h"
#include "letter/date_number_text.h"
#include "letter/paragraph_library.h"
#include "letter/random.h"
#include "ui/main_window_controls.h"

namespace corvane {
namespace {

using namespace main_window;

std::string_view Draw(Pool pool, std::uint32_t seed) {
    SetRandomSeed(seed);
    return *Entry(pool, RandomInRange(1, EntryCount(pool)));
}

}  // namespace

void GenerateLetter(Program& p) {
    Toolkit& ui = p.ui;
    if (ui.GetControlText(k编辑框1).empty()) {
        ui.ShowMessageBox(kEmptyNameText, kMessageOk, kEmptyNameTitle);
        return;
    }
    if (!ui.IsControlTextGbk(k编辑框1)) {
        ui.ShowMessageBox(kNameNotGbkText, kMessageOk, kEmptyNameTitle);
        return;
    }
    ui.SetControlText(k编辑框5, "");
    ui.AppendControlText(k编辑框5, kTitleLine);

    Clock& clock = p.services.clock;
    const double x1 = clock.TickCount();
    Text opening(p.Salutation);
    opening += Draw(Pool::kOpeningPool, SeedFrom(x1));
    ui.AppendControlText(k编辑框5, opening);

    const double x2 = clock.TickCount();
    ui.AppendControlText(k编辑框5, Draw(Pool::kBodyPool1, SeedFrom(2.0 * x2)));

    const double x3 = clock.TickCount();
    ui.AppendControlText(k编辑框5, Draw(Pool::kBodyPool2, SeedFrom(x3 / 2.0)));

    const double a = clock.TickCount();
    const double b = clock.TickCount();
    ui.AppendControlText(k编辑框5, Draw(Pool::kClosingPool, SeedFrom(a + b + 2.0)));

    Text signature(kSignatureLead);
    signature += ui.GetControlText(k编辑框1);
    signature += "\r\n";
    ui.AppendControlText(k编辑框5, signature);

    const Text dateTime = DateTimeText(clock.Now());
    Text dateLine(kDateLead);
    dateLine += LeftText(dateTime, FindText(dateTime, "日") + 1);
    dateLine += "\r\n";
    ui.AppendControlText(k编辑框5, dateLine);

    ui.AppendControlText(k编辑框5, kRespectfully);
    ui.AppendControlText(k编辑框5, kSalute);

    const double halfLength = TextLength(ui.GetControlText(k编辑框5)) / 2.0;
    ui.SetLabelCaption(k标签6, "生成：" + NumberText(halfLength) + " 字");
}

}  // namespace corvane

// The menu tree: the Menu tab read from a family's sample with edits, the first language
// chosen and the first rows entered, three levels deep. [family selector][edits]
#include "FuzzHarness.h"
#include "app/FileFlow.h"
#include "menu/MenuLevels.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    Editor& ed = Edited(data, n);
    FuzzUi ui;
    Expect([&] { TabChanged(ed, ui, Tab::Menu); });
    if (ed.texts.menuLanguages.size() < 2) return 0;
    Expect([&] { ChooseMenuLanguage(ed, ed.menu, ed.texts, ui, 1); });
    for (int depth = 0; depth < 3; ++depth) {
        const auto rows = ed.menu.tab.rows.size();
        if (rows == 0) break;
        const int row = static_cast<int>((n + static_cast<std::size_t>(depth)) % rows);
        Expect([&] { EnterSubMenu(ed, ed.menu, ed.texts, ui, row); });
    }
    return 0;
}

#include "menu/MenuTab.h"

#include "core/Interaction.h"
#include "image/Session.h"
#include "menu/MenuLevels.h"
#include "menu/MenuState.h"
#include "texts/Languages.h"
#include "texts/TextState.h"

namespace brivant {

void ShowMenuTab(Session& ed, MenuState& m, TextState& texts, Interaction& ui) {
    if (ed.Is62xx()) {
        ui.error(kMenuUnsupported);
        return;
    }
    if (texts.CommTextCount != 0 && !texts.menuLanguages.empty()) return;
    ReadLanguages(ed, texts);
    // The language list's edit step with the selector still on its entry 0: counts COMM.
    if (texts.CommTextCount == 0) ReadMenuTexts(ed, texts, 0);
    GetRootOffset(ed, m);
}

}  // namespace brivant

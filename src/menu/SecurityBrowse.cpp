#include "menu/SecurityBrowse.h"

#include "core/Interaction.h"
#include "image/Session.h"
#include "menu/SecurityPatch.h"
#include "menu/SecurityState.h"
#include "menu/TBrowseMenu.h"

namespace brivant {

void BrowseSecurityField(Session& ed, SecurityState& sec, MenuState& m, TextState& texts,
                         Interaction& ui, int field) {
    if (ed.Is62xx()) {
        ui.error(kSecurityUnsupported);
        return;
    }
    if (ed.fileNameField.empty()) {
        ui.error(kOpenFirst);
        return;
    }
    if (ed.PhoneType() == 0) {
        ui.error(kBrowseChooseType);
        return;
    }
    const auto record = BrowseMenu(ed, m, texts, ui, field == 1 ? kBrowseToPatch : kBrowseSecurity);
    if (record) SetSecurityField(sec, field, *record);
}

}  // namespace brivant

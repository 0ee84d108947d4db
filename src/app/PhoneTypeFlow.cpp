#include "app/PhoneTypeFlow.h"

#include "app/Editor.h"
#include "app/Features.h"
#include "core/Interaction.h"
#include "image/PhoneTypes.h"
#include "ppm/FreeSpace.h"
#include "ppm/PpmCopy.h"

namespace brivant {

void GetPhoneType(Editor& ed, Interaction& ui) {
    GetUnitModel(ed);
    for (const auto& d : Designations()) {
        if (ed.UnitModelHex.find(d.hex) == std::string::npos) continue;
        ed.phoneList.entries[static_cast<std::size_t>(d.index)] =
            PhoneTypeTexts()[static_cast<std::size_t>(d.index)];
        ed.phoneList.selected = d.index;
        ed.ModelName = d.model;
    }
    if (ed.phoneList.selected == 0) {
        ed.phoneList.enabled = true;
        FillPhoneTypeList(ed);
        ed.phoneList.entries[0] = kSelectHere;
    }
    PhoneTypeChanged(ed, ui);
}

void ChoosePhoneType(Editor& ed, Interaction& ui, int index) {
    if (index < 0 || index > kPhoneTypeCount) return;
    ed.phoneList.selected = index;
    PhoneTypeChanged(ed, ui);
}

void PhoneTypeChanged(Editor& ed, Interaction& ui) {
    if (ed.MainHex.Empty()) {
        ui.error(kOpenFirst);
        ed.phoneList.selected = 0;
        return;
    }
    if (ed.phoneList.selected == 0) return;
    GetFreespace(ed);
    SplitPPM(ed);
    for (const Feature& f : ed.features)
        if (f.typeChosen) f.typeChosen(ed, ui);
}

}  // namespace brivant

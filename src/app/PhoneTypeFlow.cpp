#include "app/PhoneTypeFlow.h"

#include "app/Editor.h"
#include "app/Features.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"
#include "ppm/FreeSpace.h"
#include "ppm/PpmCopy.h"
#include "tones/ToneCatalog.h"

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

namespace {
constexpr const char* kTypeDoesNotFit =
    "This image cannot be read as a %s: its ringtone list does not fit that type. Please "
    "choose the phone type the image was made for.";

// Whether the chosen type's readers can read the image. The ringtone walk is the first
// reader that depends on the type, and the one a wrong choice trips over.
bool TypeFits(Editor& ed) {
    GetFreespace(ed);
    SplitPPM(ed);
    return WalkTones(HexToBytes(ed.ppm[Piece::TONE]), ed.Is62xx()).fault.empty();
}
}  // namespace

void ChoosePhoneType(Editor& ed, Interaction& ui, int index) {
    if (index < 0 || index > kPhoneTypeCount) return;
    const int before = ed.phoneList.selected;
    ed.phoneList.selected = index;
    // A type chosen by hand must fit the image: otherwise the lists would show garbage and
    // every edit would write in the wrong places. The earlier choice stays.
    if (index != 0 && !ed.MainHex.Empty()) {
        if (!TypeFits(ed)) {
            const std::string type = ed.PhoneTypeText();
            ed.phoneList.selected = before;
            if (before != 0) SplitPPM(ed);
            ui.error(Format(kTypeDoesNotFit, {type}));
            return;
        }
    }
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

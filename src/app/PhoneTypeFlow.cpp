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
    // What trying the type reads is put back when it does not fit: the PPM copy (with any
    // chunk edits in it) and the free-space figures of the earlier choice, or none.
    const PpmCopy copy = ed.ppm;
    const std::string mcuFree = ed.mcuFreeField, ppmFree = ed.ppmFreeField;
    ed.phoneList.selected = index;
    // A type chosen by hand must fit the image: otherwise the lists would show garbage and
    // every edit would write in the wrong places. The earlier choice stays.
    if (index != 0 && !ed.MainHex.Empty()) {
        bool fits = false;
        try {
            fits = TypeFits(ed);
        } catch (const UserError&) {
            // The type's free-space layout is not in the image either.
        }
        if (!fits) {
            const std::string type = ed.PhoneTypeText();
            ed.phoneList.selected = before;
            ed.ppm = copy;
            ed.mcuFreeField = mcuFree;
            ed.ppmFreeField = ppmFree;
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

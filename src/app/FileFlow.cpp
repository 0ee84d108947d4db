#include "app/FileFlow.h"

#include "app/Editor.h"
#include "app/Features.h"
#include "app/PhoneTypeFlow.h"
#include "core/Interaction.h"
#include "image/PhoneTypes.h"
#include "ppm/Checksums.h"
#include "ppm/PpmCopy.h"

namespace brivant {

void OpenCommand(Editor& ed, Interaction& ui) {
    const auto path = ui.askOpenFile(OpenDialog(kOpenTitle, kOpenFilter, "fls"));
    if (!path) return;
    OpenPath(ed, ui, *path);
}

void OpenPath(Editor& ed, Interaction& ui, const std::string& path) {
    ed.fileNameField = path;
    ed.MainHex.LoadFile(path);
    // The pieces of the previous image must never reach this one.
    ed.ppm = PpmCopy{};

    ed.phoneList.entries[0].clear();
    ed.phoneList.enabled = false;
    for (const Feature& f : ed.features)
        if (f.opened) f.opened(ed);
    ed.phoneList.selected = 0;
    ed.mcuFreeField.clear();
    ed.ppmFreeField.clear();
    ed.activeTab = Tab::Tones;

    GetFreeOffset(ed);
    GetPhoneType(ed, ui);
}

bool CanSave(Editor& ed, Interaction& ui) {
    if (ed.MainHex.Empty()) {
        ui.error(kNothingOpen);
        return false;
    }
    if (!ed.MainHex.HasUnsavedChanges() && !ed.PpmChanged) {
        ui.error(kNothingEdited);
        return false;
    }
    return true;
}

void SaveCommand(Editor& ed, Interaction& ui) {
    if (!CanSave(ed, ui)) return;
    const auto path = ui.askSaveFile(SaveDialog(kSaveTitle, kSaveFilter, "fls"));
    if (!path) return;
    SavePath(ed, ui, *path);
}

bool SavePath(Editor& ed, Interaction& ui, const std::string& path) {
    // A copy that was never cut from this image has nothing of it to write back.
    if (ed.PpmChanged && ed.ppm.split) UpdatePPM(ed);
    ed.MainHex.SaveFile(path, true);
    RunChecksumDialog(ui, path);
    ui.info(kSaved);
    return true;
}

void TabChanged(Editor& ed, Interaction& ui, Tab tab) {
    ed.activeTab = tab;
    if (ed.MainHex.Empty() || ed.fileNameField.empty()) return;
    if (ed.PhoneType() == 0) {
        ui.error(kChooseModel);
        return;
    }
    for (const Feature& f : ed.features)
        if (f.tab == tab && f.tabShown) f.tabShown(ed, ui);
}

}  // namespace brivant

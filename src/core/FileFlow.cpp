#include "core/FileFlow.h"

#include "core/Interaction.h"
#include "core/PhoneTypes.h"
#include "core/Search.h"
#include "ppm/Checksums.h"
#include "ppm/PpmCopy.h"

namespace brivant {

std::int32_t GetFreeOffset(Editor& ed) {
    ed.MainHex.SetSelectionStart(1);
    FindOffSet1(ed, kDumfileHex);
    FindOffSet1(ed, std::string(40, 'F'));
    ed.FreeOffset = ed.FoundOffset;
    return ed.FreeOffset;
}

void OpenCommand(Editor& ed, Interaction& ui) {
    const auto path = ui.askOpenFile(OpenDialog(kOpenTitle, kOpenFilter, "fls"));
    if (!path) return;
    OpenPath(ed, ui, *path);
}

void OpenPath(Editor& ed, Interaction& ui, const std::string& path) {
    WindowState& w = ed.win;
    w.patchEnabled = true;
    w.fileNameField = path;
    ed.MainHex.LoadFile(path);
    // The pieces of the previous image must never reach this one.
    ed.ppm = PpmCopy{};

    ed.phoneList.entries[0].clear();
    ed.phoneList.enabled = false;
    ed.CommTextCount = 0;
    w.securityOffset1.clear();
    w.securityOffset2.clear();
    w.securityOption = 0;
    w.bmpIds.clear();
    w.aniIds.clear();
    w.aniLengthField.clear();
    w.frames.clear();
    w.frameBmpIds.clear();
    w.graphicsHidden1.clear();
    w.graphicsHidden2.clear();
    w.graphicsHidden3.clear();
    w.ringtones.clear();
    w.languages.clear();
    w.countries.clear();
    w.menuRows.clear();
    w.menuCommandEnabled = false;
    w.menuLanguages.clear();
    w.menuSecondSelector.clear();
    ed.phoneList.selected = 0;
    w.ringtoneCount = "Ringtones Count: 0";
    w.languageCount = "Languages Count: 0";
    w.mcuFreeField.clear();
    w.ppmFreeField.clear();
    w.activeTab = Tab::Tones;

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
    ed.win.activeTab = tab;
    if (ed.MainHex.Empty() || ed.win.fileNameField.empty()) return;
    if (ed.PhoneType() == 0) {
        ui.error(kChooseModel);
        return;
    }
    const FeatureReaders& r = ed.readers;
    switch (tab) {
        case Tab::Languages:
            if (r.languages) r.languages(ed, ui);
            break;
        case Tab::Operators:
            if (r.operators) r.operators(ed, ui);
            break;
        case Tab::Menu:
            if (ed.Is62xx()) {
                ui.error(kMenuUnsupported);
                return;
            }
            if (ed.CommTextCount != 0 && !ed.win.menuLanguages.empty()) return;
            if (r.languages) r.languages(ed, ui);
            if (r.menu) r.menu(ed, ui);
            break;
        case Tab::Graphics:
            if (ed.win.bmpIds.empty() && r.bitmaps) r.bitmaps(ed, ui);
            if (r.animations) r.animations(ed, ui);
            break;
        case Tab::Tones:
            break;
    }
}

bool RequireTypeAndImage(Editor& ed, Interaction& ui) {
    if (ed.PhoneType() == 0) {
        ui.error(kChooseModel);
        return false;
    }
    if (ed.MainHex.Empty()) {
        ui.error(kOpenFirstCap);
        return false;
    }
    return true;
}

}  // namespace brivant

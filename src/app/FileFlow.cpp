#include "app/FileFlow.h"

#include "app/Editor.h"
#include "app/Features.h"
#include "app/PhoneTypeFlow.h"
#include "core/FileIO.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/ImageCheck.h"
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
    // Read and looked at beside the open image: a file that cannot be read, or is not an
    // image, leaves the open image and everything shown of it as they were.
    OpenContent(ed, ui, ReadFileContent(path, HexBuffer::kCannotOpen), path);
}

void OpenContent(Editor& ed, Interaction& ui, FileContent file, const std::string& path) {
    if (const std::string missing = MissingImagePart(file.bytes); !missing.empty())
        throw UserError(Format(kNotAnImage, {path, missing}));
    ed.fileNameField = path;
    ed.MainHex.Adopt(std::move(file), path);
    // The pieces of the previous image must never reach this one.
    ed.ppm = PpmCopy{};
    ed.history.Clear();

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
    // Offered under its own name: saving over the image is the usual answer.
    const auto path = ui.askSaveFile(SaveDialog(kSaveTitle, kSaveFilter, "fls", ed.fileNameField));
    if (!path) return;
    SavePath(ed, ui, *path);
}

bool SavePath(Editor& ed, Interaction& ui, const std::string& path) {
    // A copy that was never cut from this image has nothing of it to write back.
    if (ed.PpmChanged && ed.ppm.split) UpdatePPM(ed);
    ed.MainHex.SaveFile(path, true);
    // The image now belongs to the file just written.
    ed.fileNameField = path;
    RecountFreeSpace(ed);
    if (ed.written) ed.written(ed, ui, path);
    if (RunChecksumDialog(ui, path)) {
        // The image in memory holds what the file now holds, so that a later save (its
        // checksum question cancelled) does not write back the checksums from the open.
        RepairImageChecksums(ed.MainHex);
        ed.MainHex.SetModified(false);
    }
    ui.info(kSaved);
    return true;
}

void SaveWithChecksums(Editor& ed, Interaction& ui, const std::string& path) {
    if (ed.PpmChanged && ed.ppm.split) UpdatePPM(ed);
    RepairImageChecksums(ed.MainHex);
    ed.MainHex.SaveFile(path, true);
    ed.fileNameField = path;
    RecountFreeSpace(ed);
    ui.info(kSaved);
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

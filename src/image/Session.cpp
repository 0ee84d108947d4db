#include "image/Session.h"

#include "core/FileIO.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/McuSpace.h"
#include "image/PhoneTypes.h"

namespace brivant {

Session::Session() {
    FillPhoneTypeList(*this);
}

void RefuseImageAsExport(const Session& s, const std::string& path) {
    const auto& image = s.MainHex.FileIdentity();
    if (image && IdOf(path) == image) throw UserError(Format(kExportIsImage, {path}));
}

std::optional<std::string> AskExportFile(const Session& s, Interaction& ui, const FileDialog& d) {
    // Names come from the image: one with control bytes or a "/" is no name a file can have.
    FileDialog safe = d;
    safe.defaultName = SafeFileName(d.defaultName);
    auto path = ui.askSaveFile(safe);
    if (path) RefuseImageAsExport(s, *path);
    return path;
}

bool Session::Is62xx() const {
    return PhoneTypeText() == k62xx;
}

void FindOffSet1(Session& s, std::string_view pattern) {
    FindOffSet(s, s.MainHex, pattern);
}
void FindOffSet2(Session& s, std::string_view pattern) {
    FindOffSet(s, s.SubHex, pattern);
}

std::int32_t GetFreeOffset(Session& s) {
    s.MainHex.SetSelectionStart(1);
    s.FreeOffset = FindMcuFreeStart(s.MainHex.Data());
    return s.FreeOffset;
}

bool RequireTypeAndImage(Session& s, Interaction& ui) {
    if (s.PhoneType() == 0) {
        ui.error(kChooseModel);
        return false;
    }
    if (s.MainHex.Empty()) {
        ui.error(kOpenFirstCap);
        return false;
    }
    return true;
}

}  // namespace brivant

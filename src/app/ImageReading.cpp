#include "app/ImageReading.h"

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"

namespace brivant::diff {

std::optional<Bytes> Side::Read(std::int64_t at, std::int64_t n) const {
    const Bytes& m = Image();
    if (at < 0 || n < 0 || at + n > static_cast<std::int64_t>(m.size())) return std::nullopt;
    return Bytes(m.begin() + at, m.begin() + at + n);
}

std::string Attempt(Side& s, const std::function<void()>& read) {
    s.ui.lastError.clear();
    try {
        read();
    } catch (const std::exception& e) {
        // Another image's reader may fail in ways its own command never meets; the
        // comparison goes on with the other subsystems.
        return DisplayText(e.what());
    }
    return DisplayText(s.ui.lastError);
}

std::string SplitError(const Side& s) {
    if (s.ed.ppm.split) return {};
    if (!s.openError.empty()) return s.openError;
    return s.ed.PhoneType() == 0 ? kChooseModel : "The PPM area of this image could not be read";
}

std::int64_t Find(const Side& s, const char* hex, std::int64_t from) {
    const Bytes pattern = HexToBytes(hex);
    const HexBuffer& m = s.ed.MainHex;
    if (from < 0 || from >= m.Size()) return -1;
    // The buffer's own search, which leaves the cursor and the selection alone.
    return m.Search(pattern.data(), static_cast<std::int32_t>(pattern.size()),
                    static_cast<std::int32_t>(from), m.Size() - 1, false);
}

std::string Quoted(const std::string& latin1) {
    return '"' + Latin1ToUtf8(latin1) + '"';
}

std::string OffsetText(std::int64_t offset) {
    return "0x" + IntToHex(static_cast<std::uint32_t>(offset), 8);
}

void OpenSide(Side& s, const std::string& path, int phoneType) {
    try {
        OpenPath(s.ed, s.ui, path);
    } catch (const UserError& e) {
        // Not loaded at all: there is nothing to compare.
        if (s.ed.MainHex.FileName() != path) throw;
        s.openError = DisplayText(e.what());
    }
    if (phoneType != 0 && s.ed.PhoneType() == 0 && s.ed.phoneList.enabled) {
        try {
            ChoosePhoneType(s.ed, s.ui, phoneType);
        } catch (const UserError& e) {
            s.openError = DisplayText(e.what());
        }
    }
    if (s.openError.empty()) s.openError = DisplayText(s.ui.lastError);
}

}  // namespace brivant::diff

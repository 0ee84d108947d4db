#include "tones/AlertTones.h"

#include <cctype>

#include "image/Session.h"
#include "tones/ToneState.h"
#include "core/Interaction.h"
#include "image/Address.h"
#include "image/McuSpace.h"
#include "image/PhoneTypes.h"
#include "core/UserError.h"
#include "ppm/FreeSpace.h"
#include "ppm/PpmCopy.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneCatalog.h"

namespace brivant {

namespace {
constexpr const char* kAnchorHex = "06070B";
constexpr const char* kNoAlertRow = "The ringtone list has no row for this alert tone";

const AlertTable& TableOf(Session& ed) {
    const AlertTable* t = AlertTableFor(ed.PhoneType());
    if (!t) throw UserError(kNoAlertTable);
    return *t;
}

}  // namespace

std::string BuildAlertSequence(int kind, const std::string& prefix, std::string body) {
    const AlertKindInfo& k = AlertKinds().at(static_cast<std::size_t>(kind));
    for (auto& c : body) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string x = prefix + RemoveAll(body, "0A0A") + k.terminator;
    // The firmware reads the sequences word by word: fill up with Thumb no-ops, or, when
    // the sequence already ends on a word, give it a closing that keeps it whole.
    switch ((x.size() / 2) % 4) {
        case 1:
            x += "C046C0";
            break;
        case 2:
            x += "46C0";
            break;
        case 3:
            x += "C0";
            break;
        default:
            x.resize(x.size() - static_cast<std::size_t>(k.dropDigits));
            x += k.tail;
            break;
    }
    return x;
}

std::string BuildAlertRecord(int kind, const std::string& body) {
    const AlertKindInfo& k = AlertKinds().at(static_cast<std::size_t>(kind));
    std::string r = std::string(k.header) + "0002FC09" + body + "070B";
    while ((r.size() / 2) % 4) r += "FF";
    r.replace(0, 8, "00000001");
    r.replace(8, 8, IntToHex(static_cast<std::uint32_t>(r.size() / 2), 8));
    return r;
}

std::int32_t LocateAlertEntry(Session& ed, int kind) {
    const AlertTable& table = TableOf(ed);
    const int offset = table.offsets.at(static_cast<std::size_t>(kind));
    HexBuffer& m = ed.MainHex;
    if (offset < 0 || m.Size() < 2) throw UserError(kNoAlertTable);
    m.SetSelectionStart(1);
    FindOffSet1(ed, kAnchorHex);
    const std::int32_t a = ed.FoundOffset;
    if (a < 0) throw UserError(kNoAlertTable);
    m.SetSelectionStart(a);
    FindOffSet1(ed, table.anchorWord);
    const std::int32_t b = ed.FoundOffset;
    if (b < 0 || std::int64_t{b} + offset + 4 > m.Size()) throw UserError(kNoAlertTable);
    return b + offset;
}

void AlertToneChange(Session& ed, ToneState& t, Interaction& ui, int kind) {
    const AlertKindInfo& k = AlertKinds().at(static_cast<std::size_t>(kind));
    const auto path = ui.askOpenFile(OpenDialog(kToneOpenTitle, kToneOpenFilter));
    if (!path) return;

    // The tone body runs from its 0A01 start up to the kind's end pattern.
    HexBuffer& s = ed.SubHex;
    s.LoadFile(*path);
    s.SetSelectionStart(0);
    FindOffSet2(ed, "0A01");
    const std::int32_t start = ed.FoundOffset;
    s.SetSelectionStart(start);  // no 0A01: the buffer's selection error
    s.SetSelectionStart(start + 1);
    FindOffSet2(ed, k.endPattern);
    if (ed.FoundOffset < 0) {
        s.SetSelectionStart(start + 1);
        FindOffSet2(ed, "070B");
    }
    const std::int32_t end = ed.FoundOffset;
    s.SetSelectionStart(start);
    s.SetSelectionEnd(end - 1);
    const std::string body = BytesToHex(s.CopyBytes(start, end - start));

    std::string prefix;
    if (k.fixedPrefix) {
        prefix = k.fixedPrefix;
    } else {
        // Closed without "&OK", the dialog keeps the repeat prefix it gave last time.
        ui.askDialog(t.Options);
        if (!t.Options.HasPrefix()) return;
        prefix = t.Options.Prefix();
    }
    const Bytes sequence = HexToBytes(BuildAlertSequence(kind, prefix, body));
    const auto length = static_cast<std::int32_t>(sequence.size());

    // Everything is checked before the first byte is written: the table entry must exist
    // and the sequence must fit into the free space that is left.
    const std::int32_t entry = LocateAlertEntry(ed, kind);
    if (!McuFits(ed, length)) {
        ui.error(kNoMcuSpace);
        return;
    }

    const std::int32_t o = WriteAtFreeOffset(ed, sequence);
    // The entry holds the sequence's phone address.
    Bytes pointer(4);
    PutBE32(pointer.data(), ToPhoneAddress(o));
    ed.MainHex.WriteAt(entry, pointer);
    GetFreespace(ed);
}

void AlertToneRetrieve(Session& ed, Interaction& ui, int kind) {
    HexBuffer& m = ed.MainHex;
    const std::int32_t entry = LocateAlertEntry(ed, kind);
    const std::int64_t g = ToImageOffset(GetBE32(m.ReadAt(entry, 4).data()));
    if (g < 0 || g >= m.Size()) throw UserError(HexBuffer::kInvalidSelStart);
    const auto at = static_cast<std::int32_t>(g);
    m.SetSelectionStart(at);
    FindOffSet1(ed, "0B");
    const std::int32_t h = ed.FoundOffset;
    if (h < 0) throw UserError(HexBuffer::kInvalidSelEnd);
    // The stored prefix's first word and the closing 0B are not part of the tone.
    const std::string body = h > at + 4 ? BytesToHex(m.ReadAt(at + 4, h - at - 4)) : "";
    const std::string record = BuildAlertRecord(kind, body);

    const auto path = ui.askSaveFile(SaveDialog(kToneSaveTitle, kToneSaveFilter, "re"));
    if (!path) return;
    ed.SubHex.SetHexText(record);
    ed.SubHex.SaveFile(*path, true);
}

void AlertToneDoIt(Session& ed, ToneState& t, Interaction& ui, int kind, bool change) {
    if (ed.PhoneType() == 0) {
        ui.error(kChooseModel);
        return;
    }
    if (kind < 0 || kind >= kAlertKindCount) return;
    if (kind == kCalendar && (ed.PhoneTypeText() == "51XX" || ed.PhoneTypeText() == "3210")) {
        ui.error(kCalendarUnsupported);
        return;
    }
    if (ed.MainHex.Empty()) {
        ui.error(kOpenFirstCap);
        return;
    }
    if (!ed.Is62xx()) {
        if (change)
            AlertToneChange(ed, t, ui, kind);
        else
            AlertToneRetrieve(ed, ui, kind);
        return;
    }
    // 62XX/7110 keeps its alert tones as fixed rows of the ringtone list.
    ed.activeTab = Tab::Tones;
    const int row = AlertRow62xx(kind, t.ringtones.size());
    if (row >= static_cast<int>(t.ringtones.size())) {
        ui.error(kNoAlertRow);
        return;
    }
    t.selectedRingtone = row;
    if (change)
        ChangeRingtone(ed, t, ui, row);
    else
        RetrieveRingtone(ed, t, ui, row);
}

}  // namespace brivant

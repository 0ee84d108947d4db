#include "tones/ToneCatalog.h"

#include "image/Session.h"
#include "tones/ToneState.h"
#include "core/Interaction.h"
#include "image/PhoneTypes.h"
#include "core/UserError.h"

namespace brivant {

std::string RingtoneCountText(std::size_t rows) {
    return kRingtoneCountPrefix + std::to_string(rows);
}

std::string RemoveAll(std::string text, std::string_view what) {
    if (what.empty()) return text;
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    for (;;) {
        const std::size_t hit = text.find(what, at);
        if (hit == std::string::npos) break;
        out.append(text, at, hit - at);
        at = hit + what.size();
    }
    out.append(text, at, std::string::npos);
    return out;
}

std::string DecodeName(std::string_view hex) {
    std::string name;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        name.push_back(static_cast<char>(HexTextToInt(hex.substr(i, 2)) & 0xFF));
    return name;
}

RingtoneRow ReadToneRecord(Session& ed, std::int32_t p, bool layout62xx) {
    HexBuffer& s = ed.SubHex;
    RingtoneRow row;
    const Bytes head = s.ReadAt(p, 8);
    row.id = BytesToHex(head.data(), 4);
    row.length = BytesToHex(head.data() + 4, 4);

    const std::int32_t n = s.ReadAt(layout62xx ? p + 17 : p + 16, 1)[0];
    if (n <= 1) {
        const Bytes tag = s.ReadAt(p + 8, 4);
        row.name.assign(tag.begin(), tag.end());
        return row;
    }
    if (layout62xx) {
        // Two bytes per character, high byte first; the high bytes in use are zero.
        const Bytes wide = s.ReadAt(p + 18, 2 * (n - 1));
        row.name = DecodeName(RemoveAll(BytesToHex(wide), "00"));
        return row;
    }
    // The name ends where the tone data's 00 00 02 begins. The search starts at the first
    // name byte: started on the header it would find the record's own bytes 14-16 whenever
    // bytes 12-15 are zero and the name has two characters, and the name would vanish.
    s.SetSelectionStart(p + 17);
    FindOffSet2(ed, "000002");
    const std::int32_t f = ed.FoundOffset;
    if (f == p + 17) return row;
    const Bytes name = f >= 0 ? s.ReadAt(p + 17, f - (p + 17)) : s.ReadAt(p + 17, n);
    row.name = DecodeName(BytesToHex(name));
    return row;
}

void ShowRingtones(Session& ed, ToneState& t, Interaction& ui) {
    if (ed.PhoneType() == 0) {
        ui.error(kChooseModel);
        return;
    }
    if (ed.MainHex.Empty()) {
        ui.error(kOpenFirstCap);
        return;
    }
    t.ringtones.clear();
    t.selectedRingtone = -1;
    ed.SubHex.SetHexText(ed.ppm[Piece::TONE]);
    const std::int32_t size = ed.SubHex.Size();
    const bool wide = ed.Is62xx();

    std::int32_t p = kFirstRecord;
    while (p < size - kTrailerSize) {
        RingtoneRow row = ReadToneRecord(ed, p, wide);
        const std::int32_t length = HexTextToInt(row.length);
        t.ringtones.push_back(std::move(row));
        // A record that claims no length would hold the walk on the spot for ever.
        if (length <= 0) break;
        p += length;
    }
    t.ringtoneCount = RingtoneCountText(t.ringtones.size());
}

std::int32_t FindRecord(Session& ed, const RingtoneRow& row) {
    ed.SubHex.SetSelectionStart(1);
    FindOffSet2(ed, row.id + row.length);
    const std::int32_t at = ed.FoundOffset;
    if (at < 0) throw UserError(HexBuffer::kInvalidSelStart);
    return at;
}

void OpenedTones(ToneState& t) {
    t.ringtones.clear();
    t.ringtoneCount = RingtoneCountText(0);
}

void TonesTypeChosen(Session& ed, ToneState& t, Interaction& ui) {
    t.ringtoneAddEnabled = !ed.Is62xx();
    ShowRingtones(ed, t, ui);
}

}  // namespace brivant

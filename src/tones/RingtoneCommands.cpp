#include "tones/RingtoneCommands.h"

#include "image/Session.h"
#include "tones/ToneState.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "ppm/PpmCopy.h"
#include "tones/ToneCatalog.h"
#include "tones/ToneConvert.h"

namespace brivant {

namespace {
constexpr std::int32_t kHeaderBytes = 17;

bool RowSelected(const ToneState& t, Interaction& ui, int row) {
    if (row < 0 || row >= static_cast<int>(t.ringtones.size())) {
        ui.error(kNoRingtoneSelected);
        return false;
    }
    return true;
}

std::optional<std::string> AskToneFile(Interaction& ui) {
    return ui.askOpenFile(OpenDialog(kToneOpenTitle, kToneOpenFilter));
}

// Loads the TONE piece into SubHex and finds the row's record: its offset, its length.
std::pair<std::int32_t, std::int32_t> LoadRecord(Session& ed, const RingtoneRow& row) {
    ed.SubHex.SetHexText(ed.ppm[Piece::TONE]);
    const std::int32_t at = FindRecord(ed, row);
    const std::int32_t length = HexTextToInt(row.length);
    if (length < 1) throw UserError(HexBuffer::kInvalidSelEnd);
    ed.SubHex.SetSelectionStart(at);
    ed.SubHex.SetSelectionEnd(at + length - 1);
    return {at, length};
}
}  // namespace

void ChangeRingtone(Session& ed, ToneState& t, Interaction& ui, int row) {
    if (!RowSelected(t, ui, row)) return;
    const RingtoneRow selected = t.ringtones[static_cast<std::size_t>(row)];
    const auto rows = static_cast<std::int32_t>(t.ringtones.size());
    const bool wide = ed.Is62xx();

    const auto [at, length] = LoadRecord(ed, selected);
    (void)length;
    const std::string oldHeader = BytesToHex(ed.SubHex.ReadAt(at, kHeaderBytes));

    const auto path = AskToneFile(ui);
    if (!path) return;
    ed.SubHex.LoadFile(*path);
    if (wide) {
        const std::string converted =
            ConvertFor62xx(ed.SubHex.HexText(), selected.id, selected.length, oldHeader, rows);
        ed.SubHex.SetHexText(converted);
    }
    RingtoneRow fresh = ReadToneRecord(ed, 0, wide);
    const Bytes record = ed.SubHex.Data();

    // The piece is untouched until here: a file that cannot be read changes nothing.
    LoadRecord(ed, selected);
    ed.SubHex.ReplaceSelected(record);
    t.ringtones[static_cast<std::size_t>(row)] = std::move(fresh);
    SealChunk(ed, Piece::TONE);
}

void AddRingtone(Session& ed, ToneState& t, Interaction& ui) {
    if (!RequireTypeAndImage(ed, ui)) return;
    if (ed.Is62xx()) {
        ui.error(kNoAdd62xx);
        return;
    }
    const auto path = AskToneFile(ui);
    if (!path) return;

    HexBuffer& s = ed.SubHex;
    s.LoadFile(*path);
    Bytes record = s.Data();
    const Bytes trailer = HexToBytes(kTrailerHex);
    Bytes tail = record;
    tail.insert(tail.end(), trailer.begin(), trailer.end());
    s.SetHexText(BytesToHex(tail));

    RingtoneRow added;
    const Bytes head = s.ReadAt(0, 8);
    added.id = BytesToHex(head.data(), 4);
    added.length = BytesToHex(head.data() + 4, 4);
    const Bytes lenField = s.ReadAt(14, 3);
    const std::uint32_t v = (std::uint32_t{lenField[0]} << 16) | (lenField[1] << 8) | lenField[2];
    if (v <= 1) {
        const Bytes tag = s.ReadAt(8, 4);
        added.name.assign(tag.begin(), tag.end());
    } else {
        // From the first name byte, as the list reads names.
        s.SetSelectionStart(kHeaderBytes);
        FindOffSet2(ed, "000002");
        const std::int32_t f = ed.FoundOffset;
        if (f > kHeaderBytes)
            added.name = DecodeName(BytesToHex(s.ReadAt(kHeaderBytes, f - kHeaderBytes)));
        else if (f < 0)
            added.name =
                DecodeName(BytesToHex(s.ReadAt(kHeaderBytes, static_cast<std::int32_t>(v))));
    }

    s.SetHexText(ed.ppm[Piece::TONE]);
    s.SetSelectionStart(1);
    FindOffSet2(ed, kTrailerHex);
    const std::int32_t end = ed.FoundOffset;
    if (end < 0) throw UserError(HexBuffer::kInvalidSelStart);
    s.SetSelectionStart(end);
    s.SetSelectionEnd(end + kTrailerSize - 1);
    s.ReplaceSelected(tail);

    t.ringtones.push_back(std::move(added));
    t.ringtoneCount = RingtoneCountText(t.ringtones.size());
    SealChunk(ed, Piece::TONE);
}

void RetrieveRingtone(Session& ed, ToneState& t, Interaction& ui, int row) {
    if (!RowSelected(t, ui, row)) return;
    const RingtoneRow selected = t.ringtones[static_cast<std::size_t>(row)];
    const auto [at, length] = LoadRecord(ed, selected);
    const Bytes record = ed.SubHex.ReadAt(at, length);

    const auto path = ui.askSaveFile(
        SaveDialog(kToneSaveTitle, kToneSaveFilter, "re", Latin1ToUtf8(selected.name)));
    if (!path) return;
    ed.SubHex.SetHexText(BytesToHex(record));
    ed.SubHex.SaveFile(*path, true);
}

void DeleteRingtone(Session& ed, ToneState& t, Interaction& ui, int row) {
    if (!RowSelected(t, ui, row)) return;
    const RingtoneRow selected = t.ringtones[static_cast<std::size_t>(row)];
    LoadRecord(ed, selected);
    ed.SubHex.ReplaceSelected(nullptr, 0);
    t.ringtones.erase(t.ringtones.begin() + row);
    t.selectedRingtone = -1;
    t.ringtoneCount = RingtoneCountText(t.ringtones.size());
    SealChunk(ed, Piece::TONE);
}

void RetrieveAllRingtones(Session& ed, Interaction& ui) {
    if (!RequireTypeAndImage(ed, ui)) return;
    RetrieveAllChunk(ed, ui, Piece::TONE, kToneChunkSaveTitle);
}

void LoadAllRingtones(Session& ed, ToneState& t, Interaction& ui) {
    if (!RequireTypeAndImage(ed, ui)) return;
    if (!LoadAllChunk(ed, ui, Piece::TONE, kToneChunkOpenTitle, false)) return;
    ShowRingtones(ed, t, ui);
}

}  // namespace brivant

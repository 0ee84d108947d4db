#include "tones/RingtoneCommands.h"

#include <filesystem>

#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/Session.h"
#include "ppm/PpmCopy.h"
#include "tones/ToneCatalog.h"
#include "tones/ToneConvert.h"
#include "tones/ToneState.h"

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

// The TONE piece as it stands and its records; a piece the list cannot walk to its end
// takes no edits, since nothing after the fault could be placed.
struct TonePiece {
    Bytes bytes;
    ToneWalk walk;
};
TonePiece LoadPiece(Session& ed) {
    ed.SubHex.SetHexText(ed.ppm[Piece::TONE]);
    TonePiece p{ed.SubHex.Data(), WalkTones(ed.SubHex.Data(), ed.Is62xx())};
    if (!p.walk.fault.empty()) throw UserError(p.walk.fault);
    return p;
}

// The row's record, checked to be still where the row says: its offset in the piece.
std::int32_t LocateRecord(Session& ed, const RingtoneRow& row) {
    ed.SubHex.SetHexText(ed.ppm[Piece::TONE]);
    const std::int32_t at = FindRecord(ed, row);
    if (row.offset < 0) {
        // A row that knows no place spans the Length its key names.
        const std::int64_t length = HexTextToInt(row.length);
        if (length < 1 || at + length > ed.SubHex.Size())
            throw UserError(HexBuffer::kInvalidSelEnd);
    }
    return at;
}

std::int32_t RecordSize(const RingtoneRow& row) {
    return row.offset >= 0 ? row.size : HexTextToInt(row.length);
}

// Replaces `count` bytes at `at` of the piece by `with` and keeps the result only when the
// list reads it back as expected: the records before `at` where they were, the new record
// (if any) whole at `at`, the records after it moved by the change in size, and the walk
// ending at the end marker. Then the chunk is sealed and the rows are those of the result.
void Splice(Session& ed, ToneState& t, const TonePiece& p, std::int32_t at, std::int32_t count,
            const Bytes& with, const std::string& file) {
    Bytes result(p.bytes.begin(), p.bytes.begin() + at);
    result.insert(result.end(), with.begin(), with.end());
    result.insert(result.end(), p.bytes.begin() + at + count, p.bytes.end());
    const std::int64_t shift = static_cast<std::int64_t>(with.size()) - count;

    std::vector<std::pair<std::int64_t, std::int64_t>> expected;
    bool placed = with.empty();
    for (const RingtoneRow& r : p.walk.rows) {
        if (r.offset >= at && !placed) {
            expected.emplace_back(at, static_cast<std::int64_t>(with.size()));
            placed = true;
        }
        if (r.offset < at)
            expected.emplace_back(r.offset, r.size);
        else if (r.offset >= at + count)
            expected.emplace_back(r.offset + shift, r.size);
    }
    if (!placed) expected.emplace_back(at, static_cast<std::int64_t>(with.size()));

    ToneWalk w = WalkTones(result, ed.Is62xx());
    std::string fault = w.fault;
    if (fault.empty()) {
        bool same = w.rows.size() == expected.size();
        for (std::size_t i = 0; same && i < expected.size(); ++i)
            same = w.rows[i].offset == expected[i].first && w.rows[i].size == expected[i].second;
        if (!same) fault = "the ringtone list would no longer read the records around it";
    }
    if (!fault.empty()) {
        if (file.empty()) throw UserError(fault);
        throw UserError(Format(kToneNotLoaded, {ShownFileName(file), fault}));
    }

    ed.SubHex.SetHexText(BytesToHex(result));
    SealChunk(ed, Piece::TONE);
    t.ringtones = std::move(w.rows);
    t.ringtoneCount = RingtoneCountText(t.ringtones.size());
}

// Whether a record ends as the 62XX/7110 conversion ends them, before its FF padding.
bool HasWideEnding(const Bytes& record) {
    std::string hex = BytesToHex(record);
    while (hex.size() >= 2 && hex.compare(hex.size() - 2, 2, "FF") == 0) hex.resize(hex.size() - 2);
    const auto endsWith = [&](const std::string& e) {
        return hex.size() >= e.size() && hex.compare(hex.size() - e.size(), e.size(), e) == 0;
    };
    return endsWith("0A0E070B") || endsWith("060A7F0A0E0B");
}

// A tone file of the common layout, taken as it is, or a refusal naming the file. Put back
// in place of a record (`inPlace`), a record whose name the list reads only in the chunk
// (on into the next record, as an exported one may) is taken too: the chunk is read back
// whole before it is kept.
Bytes RecordOf(const Bytes& file, const std::string& path, bool inPlace = false) {
    const std::string fault = ToneFileFault(file, false);
    // A record of the 62XX/7110 layout often reads in this one too, its name running on into
    // the data: one that reads whole in that layout and ends as its records end is one.
    const bool wide = ToneFileFault(file, true).empty();
    if (fault.empty() && !(wide && NameRunsOn(file) && HasWideEnding(file))) return file;
    if (inPlace && (fault == kNamePastFile || fault == kNamePastRecord) && !HasWideEnding(file))
        return file;
    if (ToneFileFault(file, true).empty())
        throw UserError(Format(kToneOf62xxLayout, {ShownFileName(path)}));
    throw UserError(Format(kNotAToneFile, {ShownFileName(path), fault}));
}

// A record of the 62XX/7110 layout takes the selected record's place with its ID.
Bytes AsWideRecord(Bytes record, const RingtoneRow& selected) {
    const Bytes id = HexToBytes(selected.id);
    std::copy(id.begin(), id.end(), record.begin());
    return record;
}

// Change under 62XX/7110: a file of the common layout is converted; one that already has the
// 62XX/7110 layout (as Retrieve writes it) is taken as it is, with the selected row's ID.
Bytes WideRecordOf(const Bytes& file, const RingtoneRow& selected, const std::string& oldHeader,
                   std::int32_t rows, const std::string& path) {
    const bool readsWide = ToneFileFault(file, true).empty();
    if (readsWide && HasWideEnding(file)) return AsWideRecord(file, selected);
    std::string fault = ToneFileFault(file, false);
    if (fault.empty()) {
        try {
            const Bytes record = HexToBytes(
                ConvertFor62xx(BytesToHex(file), selected.id, selected.length, oldHeader, rows));
            fault = ToneFileFault(record, true);
            if (fault.empty()) return record;
            fault = Format(kToneNotConverted, {ShownFileName(path), fault});
        } catch (const UserError& e) {
            fault = ShownFileName(path) + ": " + e.what();
        }
    } else {
        fault = Format(kNotAToneFile, {ShownFileName(path), fault});
    }
    if (readsWide) return AsWideRecord(file, selected);
    throw UserError(fault);
}
}  // namespace

void ChangeRingtone(Session& ed, ToneState& t, Interaction& ui, int row) {
    if (!RowSelected(t, ui, row)) return;
    const RingtoneRow selected = t.ringtones[static_cast<std::size_t>(row)];
    const auto rows = static_cast<std::int32_t>(t.ringtones.size());
    const bool wide = ed.Is62xx();

    const std::int32_t at = LocateRecord(ed, selected);
    const std::int32_t size = RecordSize(selected);
    const std::string oldHeader = BytesToHex(ed.SubHex.ReadAt(at, kHeaderBytes));

    const auto path = AskToneFile(ui);
    if (!path) return;
    ed.SubHex.LoadFile(*path);
    const Bytes file = ed.SubHex.Data();
    const Bytes record =
        wide ? WideRecordOf(file, selected, oldHeader, rows, *path) : RecordOf(file, *path, true);

    // The piece is untouched until here: a file that cannot be read changes nothing.
    const TonePiece p = LoadPiece(ed);
    Splice(ed, t, p, at, size, record, *path);
}

void AddRingtone(Session& ed, ToneState& t, Interaction& ui) {
    if (!RequireTypeAndImage(ed, ui)) return;
    if (ed.Is62xx()) {
        ui.error(kNoAdd62xx);
        return;
    }
    const auto path = AskToneFile(ui);
    if (!path) return;
    ed.SubHex.LoadFile(*path);
    const Bytes record = RecordOf(ed.SubHex.Data(), *path);

    // The new record goes where the walk ends: in front of the chunk's end marker.
    const TonePiece p = LoadPiece(ed);
    const auto end = static_cast<std::int32_t>(p.bytes.size()) - kTrailerSize;
    Splice(ed, t, p, end, 0, record, *path);
}

void RetrieveRingtone(Session& ed, ToneState& t, Interaction& ui, int row) {
    if (!RowSelected(t, ui, row)) return;
    const RingtoneRow selected = t.ringtones[static_cast<std::size_t>(row)];
    const std::int32_t at = LocateRecord(ed, selected);
    const Bytes record = ed.SubHex.ReadAt(at, RecordSize(selected));

    const auto path = AskExportFile(
        ed, ui, SaveDialog(kToneSaveTitle, kToneSaveFilter, "re", Latin1ToUtf8(selected.name)));
    if (!path) return;
    ed.SubHex.SetHexText(BytesToHex(record));
    ed.SubHex.SaveFile(*path, true);
}

void DeleteRingtone(Session& ed, ToneState& t, Interaction& ui, int row) {
    if (ed.Is62xx()) {
        ui.error(kNoDelete62xx);
        return;
    }
    if (!RowSelected(t, ui, row)) return;
    const RingtoneRow selected = t.ringtones[static_cast<std::size_t>(row)];
    const std::int32_t at = LocateRecord(ed, selected);
    const std::int32_t size = RecordSize(selected);
    const TonePiece p = LoadPiece(ed);
    Splice(ed, t, p, at, size, {}, "");
    t.selectedRingtone = -1;
}

void RetrieveAllRingtones(Session& ed, Interaction& ui) {
    if (!RequireTypeAndImage(ed, ui)) return;
    RetrieveAllChunk(ed, ui, Piece::TONE, kToneChunkSaveTitle);
}

void LoadAllRingtones(Session& ed, ToneState& t, Interaction& ui) {
    if (!RequireTypeAndImage(ed, ui)) return;
    const ChunkReader reader = [](Session& s, const Bytes& chunk) {
        return ToneChunkFault(chunk, s.Is62xx());
    };
    if (!LoadAllChunk(ed, ui, Piece::TONE, kToneChunkOpenTitle, false, reader)) return;
    ShowRingtones(ed, t, ui);
}

}  // namespace brivant

#include "texts/Operators.h"

#include "core/Editor.h"
#include "core/FileFlow.h"
#include "core/FileIO.h"
#include "core/Interaction.h"
#include "core/Search.h"
#include "core/UserError.h"
#include "ppm/PpmCopy.h"
#include "texts/OperatorRecord.h"
#include "texts/TOpEdit.h"

namespace brivant {

namespace {
constexpr const char* kCntrHex = "434E5452";

bool ValidRow(const Editor& ed, int row) {
    return row >= 0 && row < static_cast<int>(ed.win.countries.size());
}

void LoadPlmnPiece(Editor& ed) {
    ed.SubHex.SetHexText(ed.ppm[Piece::PLMN]);
}

void SetCount(Editor& ed) {
    ed.win.countryCount = kCountriesCount + std::to_string(ed.win.countries.size());
}

void Replace(HexBuffer& b, std::int32_t at, std::int32_t n, const Bytes& with) {
    b.SetSelectionStart(at);
    b.SetSelectionEnd(at + n - 1);
    b.ReplaceSelected(with);
}

// New bytes go in front of the chunk's trailer.
void InsertBeforeTrailer(Editor& ed, const Bytes& data) {
    ed.SubHex.SetSelectionStart(1);
    FindOffSet2(ed, kTrailerHex);
    if (ed.FoundOffset < 0) throw UserError(HexBuffer::kInvalidSelStart);
    Bytes with = data;
    const Bytes trailer = HexToBytes(kTrailerHex);
    with.insert(with.end(), trailer.begin(), trailer.end());
    Replace(ed.SubHex, ed.FoundOffset, 16, with);
}

void Rebuild(Editor& ed) {
    ed.win.countries.clear();
    GetOperators(ed);
}
}  // namespace

void GetOperators(Editor& ed) {
    WindowState& w = ed.win;
    if (!w.countries.empty()) return;
    LoadPlmnPiece(ed);
    HexBuffer& s = ed.SubHex;
    s.SetSelectionStart(1);
    FindOffSet2(ed, kCntrHex);
    while (ed.FoundOffset >= 0 && ed.FoundOffset + 15 <= s.Size()) {
        const std::int32_t a = ed.FoundOffset;
        const Bytes b = s.CopyBytes(a + 8, 7);
        CountryRow row;
        row.nameBytes.assign(b.begin(), b.begin() + 4);
        row.country = row.nameBytes.substr(0, row.nameBytes.find('\0'));
        row.code = BcdToCountryCode(b[4], b[5]);
        row.operators = IntToHex(b[6], 2);
        w.countries.push_back(row);
        s.SetSelectionStart(a + 12);
        FindOffSet2(ed, kCntrHex);
    }
    SetCount(ed);
}

std::int32_t FindCountryRecord(Editor& ed, int row, bool byName) {
    const CountryRow& r = ed.win.countries.at(static_cast<std::size_t>(row));
    Bytes pattern;
    if (byName) {
        pattern.assign(r.nameBytes.begin(), r.nameBytes.end());
        pattern.resize(4, 0);
    }
    const Bytes bcd = CountryCodeToBcd(r.code);
    pattern.insert(pattern.end(), bcd.begin(), bcd.end());
    const Bytes count = HexToBytes(r.operators);
    pattern.insert(pattern.end(), count.begin(), count.end());
    const std::int32_t back = byName ? 8 : 12;

    LoadPlmnPiece(ed);
    const HexBuffer& s = ed.SubHex;
    const Bytes tag = HexToBytes(kCntrHex);
    // Only a hit that sits in a record counts: the same bytes inside an operator name
    // before it must not be taken for the country.
    for (std::int32_t from = 1;;) {
        const std::int32_t hit = s.Search(pattern.data(), static_cast<std::int32_t>(pattern.size()),
                                          from, s.Size() - 1, false);
        if (hit < 0) throw UserError(HexBuffer::kInvalidSelStart);
        const std::int32_t at = hit - back;
        if (at >= 0 && s.Search(tag.data(), 4, at, at + 3, false) == at) return at;
        from = hit + 1;
    }
}

Bytes CountryRecord(Editor& ed, int row, bool byName, std::int32_t* where) {
    const std::int32_t at = FindCountryRecord(ed, row, byName);
    if (where) *where = at;
    const Bytes len = ed.SubHex.CopyBytes(at + 4, 4);
    const std::int64_t length = len.size() == 4 ? GetBE32(len.data()) : 0;
    if (length < 16 || at + length > ed.SubHex.Size())
        throw UserError(
            Format(kCountryDamaged, {ed.win.countries[static_cast<std::size_t>(row)].country}));
    return ed.SubHex.CopyBytes(at, static_cast<std::int32_t>(length));
}

void EditOperators(Editor& ed, Interaction& ui, int row) {
    if (!ValidRow(ed, row)) return;
    const CountryRow r = ed.win.countries[static_cast<std::size_t>(row)];
    std::int32_t at = -1;
    const Bytes old = CountryRecord(ed, row, true, &at);

    TOpEdit dialog(r.code, ParseOperators(old));
    dialog.Show();
    if (!ui.editOperators(dialog) || !dialog.Accepted()) return;

    const Bytes name(old.begin() + 8, old.begin() + 12);
    const Bytes record = BuildCountryRecord(name, r.code, static_cast<std::uint8_t>(dialog.Count()),
                                            dialog.Entries());
    LoadPlmnPiece(ed);
    Replace(ed.SubHex, at, static_cast<std::int32_t>(old.size()), record);
    SealChunk(ed, Piece::PLMN);
    Rebuild(ed);
}

void NewCountry(Editor& ed, Interaction& ui) {
    Bytes name;
    std::string code;
    while (code.empty()) {
        const auto typed = ui.askText(kCountryNameTitle, kCountryNamePrompt, "");
        if (!typed) return;  // the user gave up: nothing is added
        if (typed->empty()) continue;
        std::string latin1;
        try {
            latin1 = Utf8ToLatin1(*typed);
        } catch (const UserError&) {
            ui.error(kBadCountryName);
            continue;
        }
        name.assign(latin1.begin(), latin1.begin() + std::min<std::size_t>(latin1.size(), 4));
        name.resize(4, 0);
        for (;;) {
            const auto c = ui.askText(kCountryCodeTitle, kCountryCodePrompt, "");
            if (!c) return;
            if (c->empty()) break;  // back to the name
            if (!IsCountryCode(*c)) {
                ui.error(kBadCountryCode);
                continue;
            }
            code = *c;
            break;
        }
    }
    LoadPlmnPiece(ed);
    InsertBeforeTrailer(ed, BuildCountryRecord(name, code, 0, {}));
    SealChunk(ed, Piece::PLMN);
    Rebuild(ed);
}

void LoadCountry(Editor& ed, Interaction& ui) {
    const auto path = ui.askOpenFile(OpenDialog(kLoadCountryTitle, kLoadCountryFilter));
    LoadPlmnPiece(ed);
    if (path) {
        HexBuffer file(false);
        file.LoadFile(*path);
        InsertBeforeTrailer(ed, file.Data());
    }
    SealChunk(ed, Piece::PLMN);
    Rebuild(ed);
}

void RetrieveCountry(Editor& ed, Interaction& ui, int row) {
    if (!ValidRow(ed, row)) return;
    const Bytes record = CountryRecord(ed, row, false);
    const auto path = ui.askSaveFile(
        SaveDialog(kRetrieveCountryTitle, kRetrieveCountryFilter, "opr",
                   Latin1ToUtf8(ed.win.countries[static_cast<std::size_t>(row)].country)));
    if (!path) return;
    WriteFileAtomic(*path, record);
}

void DeleteCountry(Editor& ed, Interaction&, int row) {
    if (!ValidRow(ed, row)) return;
    std::int32_t at = -1;
    const Bytes record = CountryRecord(ed, row, false, &at);
    Replace(ed.SubHex, at, static_cast<std::int32_t>(record.size()), {});
    ed.win.countries.erase(ed.win.countries.begin() + row);
    SetCount(ed);
    SealChunk(ed, Piece::PLMN);
}

void RetrieveAllOperators(Editor& ed, Interaction& ui) {
    RetrieveAllChunk(ed, ui, Piece::PLMN, kRetrieveAllOperatorsTitle);
}

void LoadAllOperators(Editor& ed, Interaction& ui) {
    if (!RequireTypeAndImage(ed, ui)) return;
    if (!LoadAllChunk(ed, ui, Piece::PLMN, kLoadAllOperatorsTitle, true)) return;
    Rebuild(ed);
}

}  // namespace brivant

#include "texts/Operators.h"

#include "image/Session.h"
#include "texts/TextState.h"
#include "core/FileIO.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "ppm/PpmCopy.h"
#include "texts/OperatorRecord.h"
#include "texts/TOpEdit.h"

namespace brivant {

namespace {
constexpr const char* kCntrHex = "434E5452";

bool ValidRow(const TextState& t, int row) {
    return row >= 0 && row < static_cast<int>(t.countries.size());
}

void LoadPlmnPiece(Session& ed) {
    ed.SubHex.SetHexText(ed.ppm[Piece::PLMN]);
}

void SetCount(TextState& t) {
    t.countryCount = kCountriesCount + std::to_string(t.countries.size());
}

void Replace(HexBuffer& b, std::int32_t at, std::int32_t n, const Bytes& with) {
    b.SetSelectionStart(at);
    b.SetSelectionEnd(at + n - 1);
    b.ReplaceSelected(with);
}

// New bytes go in front of the chunk's trailer.
void InsertBeforeTrailer(Session& ed, const Bytes& data) {
    ed.SubHex.SetSelectionStart(1);
    FindOffSet2(ed, kTrailerHex);
    if (ed.FoundOffset < 0) throw UserError(HexBuffer::kInvalidSelStart);
    Bytes with = data;
    const Bytes trailer = HexToBytes(kTrailerHex);
    with.insert(with.end(), trailer.begin(), trailer.end());
    Replace(ed.SubHex, ed.FoundOffset, 16, with);
}

void Rebuild(Session& ed, TextState& t) {
    t.countries.clear();
    GetOperators(ed, t);
}
}  // namespace

void GetOperators(Session& ed, TextState& t) {
    
    if (!t.countries.empty()) return;
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
        t.countries.push_back(row);
        s.SetSelectionStart(a + 12);
        FindOffSet2(ed, kCntrHex);
    }
    SetCount(t);
}

std::int32_t FindCountryRecord(Session& ed, TextState& t, int row, bool byName) {
    const CountryRow& r = t.countries.at(static_cast<std::size_t>(row));
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

Bytes CountryRecord(Session& ed, TextState& t, int row, bool byName, std::int32_t* where) {
    const std::int32_t at = FindCountryRecord(ed, t, row, byName);
    if (where) *where = at;
    const Bytes len = ed.SubHex.CopyBytes(at + 4, 4);
    const std::int64_t length = len.size() == 4 ? GetBE32(len.data()) : 0;
    if (length < 16 || at + length > ed.SubHex.Size())
        throw UserError(
            Format(kCountryDamaged, {t.countries[static_cast<std::size_t>(row)].country}));
    return ed.SubHex.CopyBytes(at, static_cast<std::int32_t>(length));
}

void EditOperators(Session& ed, TextState& t, Interaction& ui, int row) {
    if (!ValidRow(t, row)) return;
    const CountryRow r = t.countries[static_cast<std::size_t>(row)];
    std::int32_t at = -1;
    const Bytes old = CountryRecord(ed, t, row, true, &at);

    TOpEdit dialog(r.code, ParseOperators(old));
    dialog.Show();
    if (!ui.askDialog(dialog) || !dialog.Accepted()) return;

    const Bytes name(old.begin() + 8, old.begin() + 12);
    const Bytes record = BuildCountryRecord(name, r.code, static_cast<std::uint8_t>(dialog.Count()),
                                            dialog.Entries());
    LoadPlmnPiece(ed);
    Replace(ed.SubHex, at, static_cast<std::int32_t>(old.size()), record);
    SealChunk(ed, Piece::PLMN);
    Rebuild(ed, t);
}

void NewCountry(Session& ed, TextState& t, Interaction& ui) {
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
    Rebuild(ed, t);
}

void LoadCountry(Session& ed, TextState& t, Interaction& ui) {
    const auto path = ui.askOpenFile(OpenDialog(kLoadCountryTitle, kLoadCountryFilter));
    LoadPlmnPiece(ed);
    if (path) {
        HexBuffer file(false);
        file.LoadFile(*path);
        InsertBeforeTrailer(ed, file.Data());
    }
    SealChunk(ed, Piece::PLMN);
    Rebuild(ed, t);
}

void RetrieveCountry(Session& ed, TextState& t, Interaction& ui, int row) {
    if (!ValidRow(t, row)) return;
    const Bytes record = CountryRecord(ed, t, row, false);
    const auto path = ui.askSaveFile(
        SaveDialog(kRetrieveCountryTitle, kRetrieveCountryFilter, "opr",
                   Latin1ToUtf8(t.countries[static_cast<std::size_t>(row)].country)));
    if (!path) return;
    WriteFileAtomic(*path, record);
}

void DeleteCountry(Session& ed, TextState& t, Interaction&, int row) {
    if (!ValidRow(t, row)) return;
    std::int32_t at = -1;
    const Bytes record = CountryRecord(ed, t, row, false, &at);
    Replace(ed.SubHex, at, static_cast<std::int32_t>(record.size()), {});
    t.countries.erase(t.countries.begin() + row);
    SetCount(t);
    SealChunk(ed, Piece::PLMN);
}

void RetrieveAllOperators(Session& ed, Interaction& ui) {
    RetrieveAllChunk(ed, ui, Piece::PLMN, kRetrieveAllOperatorsTitle);
}

void LoadAllOperators(Session& ed, TextState& t, Interaction& ui) {
    if (!RequireTypeAndImage(ed, ui)) return;
    if (!LoadAllChunk(ed, ui, Piece::PLMN, kLoadAllOperatorsTitle, true)) return;
    Rebuild(ed, t);
}

}  // namespace brivant

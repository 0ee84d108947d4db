#include "texts/Operators.h"

#include <algorithm>
#include <optional>

#include "core/FileIO.h"
#include "core/Interaction.h"
#include "core/PrintableText.h"
#include "core/UserError.h"
#include "image/Session.h"
#include "ppm/PpmCopy.h"
#include "texts/OperatorRecord.h"
#include "texts/TOpEdit.h"
#include "texts/TextEscapes.h"
#include "texts/TextState.h"

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

std::string Shown(const std::string& name) {
    return EscapeBytes(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
}

Bytes Spliced(const Bytes& piece, std::int32_t at, std::int32_t removed, const Bytes& with) {
    Bytes out(piece.begin(), piece.begin() + at);
    out.insert(out.end(), with.begin(), with.end());
    out.insert(out.end(), piece.begin() + at + removed, piece.end());
    return out;
}

// A change to the PLMN piece is made on a copy and kept only when the country list reads
// the copy back as expected: the records before `at` where they were, `inserted` (when
// given) whole at `at`, the records behind moved by the size change, and the walk whole
// unless it was not whole before. Returns what is wrong, or nothing.
std::optional<std::string> CheckChange(const Bytes& before, const Bytes& after, std::int32_t at,
                                       std::int32_t removed, const Bytes* inserted) {
    const CountryWalk old = WalkCountries(before);
    const CountryWalk now = WalkCountries(after);
    const auto added = static_cast<std::int32_t>(inserted ? inserted->size() : 0);
    std::vector<CountryAt> expected;
    bool placed = inserted == nullptr;
    auto place = [&] {
        CountryAt c;
        c.offset = at;
        c.length = GetBE32(inserted->data() + 4);
        c.fields.assign(inserted->begin() + 8, inserted->begin() + 15);
        expected.push_back(c);
        placed = true;
    };
    for (const CountryAt& c : old.records) {
        if (c.offset < at) {
            expected.push_back(c);
        } else if (c.offset >= at + removed) {
            if (!placed) place();
            CountryAt moved = c;
            moved.offset += added - removed;
            expected.push_back(moved);
        }
    }
    if (!placed) place();
    if (old.Whole() && !now.Whole()) return now.problem;
    if (now.records != expected)
        return std::string("the list of countries would not read back as it should");
    return std::nullopt;
}

// Stores a checked PLMN piece: sealed, PpmChanged set.
void StorePiece(Session& ed, const Bytes& piece) {
    ed.SubHex.SetHexText(BytesToHex(piece));
    SealChunk(ed, Piece::PLMN);
}

// Where new records go: in front of the chunk's trailer.
std::int32_t TrailerOffset(Session& ed) {
    ed.SubHex.SetSelectionStart(1);
    FindOffSet2(ed, kTrailerHex);
    if (ed.FoundOffset < 0) throw UserError(HexBuffer::kInvalidSelStart);
    return ed.FoundOffset;
}

// The record goes in front of the trailer when the list reads it back whole; otherwise
// what is wrong.
std::optional<std::string> InsertRecord(Session& ed, const Bytes& record) {
    LoadPlmnPiece(ed);
    const std::int32_t at = TrailerOffset(ed);
    const Bytes before = ed.SubHex.Data();
    const Bytes after = Spliced(before, at, 0, record);
    if (auto why = CheckChange(before, after, at, 0, &record)) return why;
    StorePiece(ed, after);
    return std::nullopt;
}

void Rebuild(Session& ed, TextState& t) {
    t.countries.clear();
    GetOperators(ed, t);
}
}  // namespace

void GetOperators(Session& ed, TextState& t) {
    if (!t.countries.empty()) return;
    LoadPlmnPiece(ed);
    for (const CountryAt& c : WalkCountries(ed.SubHex.Data()).records) {
        CountryRow row;
        row.nameBytes.assign(c.fields.begin(), c.fields.begin() + 4);
        row.country = row.nameBytes.substr(0, row.nameBytes.find('\0'));
        row.code = BcdToCountryCode(c.fields[4], c.fields[5]);
        row.operators = IntToHex(c.fields[6], 2);
        row.offset = c.offset;
        t.countries.push_back(row);
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
    auto holds = [&s](std::int64_t at, const Bytes& what) {
        return at >= 0 && at + static_cast<std::int64_t>(what.size()) <= s.Size() &&
               std::equal(what.begin(), what.end(), s.Data().begin() + at);
    };
    // A row bound to its record acts on that one, also when another country has the same
    // fields; the fields must still be there, or the list no longer matches the piece.
    if (r.offset >= 0) {
        if (!holds(r.offset, tag) || !holds(std::int64_t{r.offset} + back, pattern))
            throw UserError(Format(kCountryMoved, {Shown(r.country)}));
        return r.offset;
    }
    // Only a hit that sits in a record counts: the same bytes inside an operator name
    // before it must not be taken for the country.
    for (std::int32_t from = 1;;) {
        const std::int32_t hit = s.Search(pattern.data(), static_cast<std::int32_t>(pattern.size()),
                                          from, s.Size() - 1, false);
        if (hit < 0) throw UserError(HexBuffer::kInvalidSelStart);
        const std::int32_t at = hit - back;
        if (holds(at, tag)) return at;
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
            Format(kCountryDamaged, {Shown(t.countries[static_cast<std::size_t>(row)].country)}));
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
    const Bytes before = ed.SubHex.Data();
    const Bytes after = Spliced(before, at, static_cast<std::int32_t>(old.size()), record);
    if (const auto why =
            CheckChange(before, after, at, static_cast<std::int32_t>(old.size()), &record)) {
        ui.error(Format(kCountryEditRefused, {Shown(r.country), *why}));
        return;
    }
    StorePiece(ed, after);
    Rebuild(ed, t);
}

void NewCountry(Session& ed, TextState& t, Interaction& ui) {
    Bytes name;
    std::string code;
    // A refused answer comes back as typed, to be mended rather than typed again.
    std::string nameTyped, codeTyped;
    while (code.empty()) {
        const auto typed = ui.askText(kCountryNameTitle, kCountryNamePrompt, nameTyped);
        if (!typed) return;  // the user gave up: nothing is added
        nameTyped = *typed;
        if (typed->empty()) continue;
        std::string why;
        // Typed as every other stored text: \xHH writes any byte, \x5C the backslash.
        const auto latin1 = Utf8ToTextBytes(*typed, &why);
        const auto bytes = latin1 ? UnescapeText(*latin1, &why) : std::nullopt;
        if (!bytes) {
            ui.error(Format(kBadCountryName, {why}));
            continue;
        }
        // The record holds four bytes: a longer name is refused rather than cut.
        if (bytes->size() > 4) {
            ui.error(Format(kCountryNameTooLong, {*typed, std::to_string(bytes->size())}));
            continue;
        }
        name = *bytes;
        name.resize(4, 0);
        for (;;) {
            const auto c = ui.askText(kCountryCodeTitle, kCountryCodePrompt, codeTyped);
            if (!c) return;
            codeTyped = *c;
            if (c->empty()) break;  // back to the name
            if (!IsCountryCode(*c)) {
                ui.error(kBadCountryCode);
                continue;
            }
            code = *c;
            break;
        }
    }
    if (const auto why = InsertRecord(ed, BuildCountryRecord(name, code, 0, {}))) {
        ui.error(Format(kCountryEditRefused, {Shown(std::string(name.begin(), name.end())), *why}));
        return;
    }
    Rebuild(ed, t);
}

void LoadCountry(Session& ed, TextState& t, Interaction& ui) {
    const auto path = ui.askOpenFile(OpenDialog(kLoadCountryTitle, kLoadCountryFilter));
    if (path) {
        HexBuffer file(false);
        file.LoadFile(*path);
        // The file must be one whole record, as Retrieve writes it, and the list must read
        // it back in front of the trailer.
        std::string why = CountryRecordProblem(file.Data());
        if (why.empty()) why = InsertRecord(ed, file.Data()).value_or("");
        if (!why.empty()) {
            ui.error(Format(kNotACountryFile, {*path, why}));
            return;
        }
    } else {
        // A cancelled dialog still recomputes the checksum and marks the copy changed.
        LoadPlmnPiece(ed);
        SealChunk(ed, Piece::PLMN);
    }
    Rebuild(ed, t);
}

void RetrieveCountry(Session& ed, TextState& t, Interaction& ui, int row) {
    if (!ValidRow(t, row)) return;
    const Bytes record = CountryRecord(ed, t, row, false);
    const auto path =
        AskExportFile(ed, ui,
                      SaveDialog(kRetrieveCountryTitle, kRetrieveCountryFilter, "opr",
                                 Latin1ToUtf8(t.countries[static_cast<std::size_t>(row)].country)));
    if (!path) return;
    WriteFileAtomic(*path, record);
}

void DeleteCountry(Session& ed, TextState& t, Interaction& ui, int row) {
    if (!ValidRow(t, row)) return;
    std::int32_t at = -1;
    const auto removed = static_cast<std::int32_t>(CountryRecord(ed, t, row, false, &at).size());
    const Bytes before = ed.SubHex.Data();
    const Bytes after = Spliced(before, at, removed, {});
    if (const auto why = CheckChange(before, after, at, removed, nullptr)) {
        ui.error(Format(kCountryDeleteRefused,
                        {Shown(t.countries[static_cast<std::size_t>(row)].country), *why}));
        return;
    }
    StorePiece(ed, after);
    t.countries.erase(t.countries.begin() + row);
    for (CountryRow& later : t.countries)
        if (later.offset > at) later.offset -= removed;
    SetCount(t);
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

// The chunk lists and the alert tones: each read as its tab reads it, every record of it
// read back as its own command would take it.
#include "check/CheckParts.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "texts/Languages.h"
#include "texts/OperatorRecord.h"
#include "texts/Operators.h"
#include "tones/AlertTones.h"
#include "tones/ToneCatalog.h"

namespace brivant::check {

namespace {

constexpr const char* kListStops = "The ringtone list stops early: %s";
constexpr const char* kToneNotBack = "Ringtone row %s (ID %s) would not load back: %s";
constexpr const char* kAlertMoved =
    "The %s alert tone's record stands on row %s of the ringtone list; the phone plays row %s";
constexpr const char* kAlertNoEnd = "The %s alert tone at %s has no end (0B)";
constexpr const char* kLanguageFails = "Language %s (ID %s) cannot be read: %s";
constexpr const char* kCountryFails = "Country %s (%s) cannot be read: %s";
// Tone records of the 62XX/7110 family carry their kind's tag here.
constexpr std::size_t kToneTag = 8;

std::string RowText(std::size_t row) {
    return std::to_string(row);
}

}  // namespace

void CheckRingtones(Checker& c) {
    c.Begin("ringtones");
    Editor& ed = c.ed();
    const std::string error =
        diff::Attempt(c.side(), [&] { ShowRingtones(ed, ed.tones, c.side().ui); });
    const Bytes piece = HexToBytes(ed.ppm[Piece::TONE]);
    const ToneWalk walk = WalkTones(piece, ed.Is62xx());
    if (!walk.fault.empty())
        c.Problem(Format(kListStops, {walk.fault}));
    else if (!error.empty())
        c.Problem(Format(kReadFails, {"ringtone list", error}));
    c.Summary(std::to_string(walk.rows.size()) + " ringtones");
    for (std::size_t i = 0; i < walk.rows.size(); ++i) {
        const RingtoneRow& r = walk.rows[i];
        if (r.offset < 0 || r.size <= 0 ||
            static_cast<std::size_t>(r.offset) + static_cast<std::size_t>(r.size) > piece.size())
            continue;
        const Bytes record(piece.begin() + r.offset, piece.begin() + r.offset + r.size);
        const std::string fault = ToneFileFault(record, ed.Is62xx());
        if (!fault.empty()) c.Problem(Format(kToneNotBack, {RowText(i), r.id, fault}));
    }
}

namespace {

// 62XX/7110 keeps the alert tones as fixed rows of the ringtone list. A kind's record (known
// by its tag) that stands on another row than its own has moved: the phone plays whatever
// now lies on the kind's row. Records are numbered by their rows (row 0 holds ID 1), and a
// record taken out or put in moves the records behind it with their IDs. A Change keeps the
// row's ID and may bring any tag (the Calendar record exported and loaded as the System
// Error tone): a kind's tag on a row whose ID is that row's own is such a choice, no move.
void CheckAlertRows(Checker& c) {
    Editor& ed = c.ed();
    const Bytes piece = HexToBytes(ed.ppm[Piece::TONE]);
    const std::vector<RingtoneRow> rows = WalkTones(piece, true).rows;
    auto tagOf = [&](std::size_t row) {
        const RingtoneRow& r = rows[row];
        const auto at = static_cast<std::size_t>(r.offset) + kToneTag;
        if (r.offset < 0 || at + 4 > piece.size()) return std::string();
        return std::string(piece.begin() + static_cast<std::ptrdiff_t>(at),
                           piece.begin() + static_cast<std::ptrdiff_t>(at) + 4);
    };
    for (int kind = 0; kind < kAlertKindCount; ++kind) {
        const AlertKindInfo& info = AlertKinds()[static_cast<std::size_t>(kind)];
        const Bytes tag = HexToBytes(std::string(info.header).substr(kToneTag * 2, 8));
        const std::string want(tag.begin(), tag.end());
        const int row = AlertRow62xx(kind, rows.size());
        if (row >= 0 && static_cast<std::size_t>(row) < rows.size() &&
            tagOf(static_cast<std::size_t>(row)) == want)
            continue;
        for (std::size_t other = 0; other < rows.size(); ++other) {
            if (tagOf(other) != want) continue;
            if (HexTextToInt(rows[other].id) == static_cast<std::int64_t>(other) + 1) continue;
            c.Problem(
                Format(kAlertMoved, {info.entry, std::to_string(other), std::to_string(row)}));
            break;
        }
    }
    c.Summary("8 alert tones in the ringtone list");
}

}  // namespace

void CheckAlertTones(Checker& c) {
    c.Begin("alertTones");
    Editor& ed = c.ed();
    if (ed.Is62xx()) return CheckAlertRows(c);
    const AlertTable* table = AlertTableFor(ed.PhoneType());
    const Bytes& b = c.Image();
    int found = 0;
    for (int kind = 0; table && kind < kAlertKindCount; ++kind) {
        if (table->offsets[static_cast<std::size_t>(kind)] < 0) continue;
        const AlertKindInfo& info = AlertKinds()[static_cast<std::size_t>(kind)];
        std::int32_t entry = -1;
        const std::string error =
            diff::Attempt(c.side(), [&] { entry = LocateAlertEntry(ed, kind); });
        if (!error.empty()) {
            c.Problem(Format(kReadFails, {"alert tone table", error}));
            return;
        }
        const std::string owner = std::string("the ") + info.entry + " alert tone";
        const std::int64_t at = ToImageOffset(GetBE32(&b[static_cast<std::size_t>(entry)]));
        c.Claim(entry, 4, "alert table", "the alert tone table");
        if (!c.RequireMcu(owner + "'s table entry", at, 1)) continue;
        const auto limit = c.ppmStart < 0 ? b.end() : b.begin() + c.ppmStart;
        const auto close = std::find(b.begin() + at, limit, std::uint8_t{0x0B});
        if (close == limit) {
            c.Problem(Format(kAlertNoEnd, {info.entry, diff::OffsetText(at)}));
            continue;
        }
        c.Claim(at, close - b.begin() + 1 - at, "alert tone", owner);
        ++found;
    }
    c.Summary(std::to_string(found) + " alert tones");
}

void CheckLanguages(Checker& c) {
    c.Begin("languages");
    Editor& ed = c.ed();
    const std::string error = diff::Attempt(c.side(), [&] { ReadLanguages(ed, ed.texts); });
    if (!error.empty()) c.Problem(Format(kReadFails, {"language list", error}));
    std::size_t texts = 0;
    for (const LanguageRow& r : std::vector<LanguageRow>(ed.texts.languages)) {
        LanguageTexts t;
        const std::string e =
            diff::Attempt(c.side(), [&] { t = ReadLanguageTexts(ed, r.id, r.length); });
        if (!e.empty()) c.Problem(Format(kLanguageFails, {diff::Quoted(r.language), r.id, e}));
        texts += t.texts.size();
    }
    c.Summary(std::to_string(ed.texts.languages.size()) + " languages, " + std::to_string(texts) +
              " texts");
}

void CheckOperators(Checker& c) {
    c.Begin("operators");
    Editor& ed = c.ed();
    const std::string error = diff::Attempt(c.side(), [&] { GetOperators(ed, ed.texts); });
    if (!error.empty()) c.Problem(Format(kReadFails, {"operator list", error}));
    const CountryWalk walk = WalkCountries(HexToBytes(ed.ppm[Piece::PLMN]));
    if (!walk.Whole()) c.Problem(Format(kReadFails, {"operator list", walk.problem}));
    std::size_t operators = 0;
    const std::vector<CountryRow> rows = ed.texts.countries;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Bytes record;
        std::string e = diff::Attempt(c.side(), [&] {
            record = CountryRecord(ed, ed.texts, static_cast<int>(i), true);
            operators += ParseOperators(record).size();
        });
        if (e.empty()) e = CountryRecordProblem(record);
        if (!e.empty())
            c.Problem(Format(kCountryFails, {diff::Quoted(rows[i].country), rows[i].code, e}));
    }
    c.Summary(std::to_string(rows.size()) + " countries, " + std::to_string(operators) +
              " operators");
}

}  // namespace brivant::check

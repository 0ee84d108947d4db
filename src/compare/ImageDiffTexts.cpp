// The chunk lists: ringtones, languages and their texts, countries and their operators; and
// the alert tones.
#include <algorithm>

#include "compare/ImageDiffParts.h"
#include "image/Address.h"
#include "image/PpmPieces.h"
#include "texts/Languages.h"
#include "texts/OperatorRecord.h"
#include "texts/Operators.h"
#include "tones/AlertTones.h"
#include "tones/ToneCatalog.h"

namespace brivant::diff {

namespace {

constexpr const char* kOtherBytes = ", other bytes";

// The chunk the list reads is the same piece in both images: the lists cannot differ.
bool SamePiece(Pair& p, Piece piece) {
    if (!p.Readable(SplitError(p.a), SplitError(p.b))) return true;
    return p.a.ed.ppm[piece] == p.b.ed.ppm[piece];
}

// The bytes of every tone record, in row order: records lie back to back behind the header.
std::vector<Bytes> ToneRecords(const Side& s) {
    const Bytes piece = HexToBytes(s.ed.ppm[Piece::TONE]);
    std::vector<Bytes> records;
    std::size_t at = kFirstRecord;
    for (const RingtoneRow& row : s.ed.tones.ringtones) {
        const auto length = static_cast<std::size_t>(std::max(0, HexTextToInt(row.length)));
        const std::size_t end = std::min(piece.size(), at + length);
        records.emplace_back(piece.begin() + std::min(at, end), piece.begin() + end);
        at = end;
    }
    return records;
}

std::string ToneItem(const RingtoneRow& r) {
    return "ringtone " + Quoted(r.name) + " (ID " + r.id + ")";
}

std::string ToneText(const RingtoneRow& r, bool nameToo) {
    return (nameToo ? Quoted(r.name) + ", " : "") + "Length " + r.length;
}

}  // namespace

void CompareTones(Pair& p) {
    if (SamePiece(p, Piece::TONE)) return;
    Editor& a = p.a.ed;
    Editor& b = p.b.ed;
    if (!p.ReadBoth([](Side& s) { ShowRingtones(s.ed, s.ed.tones, s.ui); })) return;
    const auto& ra = a.tones.ringtones;
    const auto& rb = b.tones.ringtones;
    std::vector<std::string> ka, kb;
    for (const auto& r : ra) ka.push_back(r.id);
    for (const auto& r : rb) kb.push_back(r.id);
    const std::vector<int> match = MatchByKey(ka, kb);
    const std::vector<Bytes> bytesA = ToneRecords(p.a);
    const std::vector<Bytes> bytesB = ToneRecords(p.b);
    std::vector<bool> matched(rb.size(), false);
    for (std::size_t i = 0; i < ra.size(); ++i) {
        if (match[i] < 0) {
            p.Add("removed", ToneItem(ra[i]), ToneText(ra[i], false));
            continue;
        }
        const auto j = static_cast<std::size_t>(match[i]);
        matched[j] = true;
        const bool renamed = ra[i].name != rb[j].name;
        const std::string ta = ToneText(ra[i], renamed);
        std::string tb = ToneText(rb[j], renamed);
        if (ta == tb && bytesA[i] != bytesB[j]) tb += kOtherBytes;
        if (ta != tb) p.Add("changed", ToneItem(ra[i]), ta, tb);
    }
    for (std::size_t j = 0; j < rb.size(); ++j)
        if (!matched[j]) p.Add("added", ToneItem(rb[j]), {}, ToneText(rb[j], false));
}

namespace {

// One alert tone as the table gives it: its entry, and the sequence the entry points at up
// to the word that holds its closing 0B (the sequence is written in whole words).
struct AlertPlace {
    std::int64_t entry = -1;
    std::int64_t at = -1;
    Bytes sequence;
};

std::optional<AlertPlace> AlertOf(Side& s, int kind) {
    AlertPlace place;
    if (!Attempt(s, [&] { place.entry = LocateAlertEntry(s.ed, kind); }).empty()) return {};
    const auto pointer = s.Read(place.entry, 4);
    if (place.entry < 0 || !pointer) return {};
    place.at = ToImageOffset(GetBE32(pointer->data()));
    const Bytes& image = s.Image();
    if (place.at < 0 || place.at >= static_cast<std::int64_t>(image.size())) return place;
    auto end = static_cast<std::size_t>(place.at);
    while (end < image.size() && image[end] != 0x0B) ++end;
    end = std::min(image.size(), static_cast<std::size_t>(place.at) +
                                     (end + 1 - static_cast<std::size_t>(place.at) + 3) / 4 * 4);
    place.sequence.assign(image.begin() + place.at,
                          image.begin() + static_cast<std::ptrdiff_t>(end));
    return place;
}

std::string AlertText(const AlertPlace& p) {
    return "Address " + IntToHex(ToPhoneAddress(std::max<std::int64_t>(0, p.at)), 8) + ", " +
           std::to_string(p.sequence.size()) + " bytes";
}

}  // namespace

// The alert tones of the families that keep them in a table of the MCU area (62XX/7110 keeps
// them as ringtone rows): the sequence each entry points at, and the entry itself.
void CompareAlerts(Pair& p) {
    if (!AlertTableFor(p.a.ed.PhoneType()) || p.a.ed.PhoneType() != p.b.ed.PhoneType()) return;
    for (int kind = 0; kind < kAlertKindCount; ++kind) {
        const auto pa = AlertOf(p.a, kind);
        const auto pb = AlertOf(p.b, kind);
        if (!pa || !pb) continue;
        const std::string item =
            std::string("alert tone ") + AlertKinds()[static_cast<std::size_t>(kind)].entry;
        if (pa->sequence != pb->sequence) {
            const std::string ta = AlertText(*pa);
            const std::string tb = AlertText(*pb);
            p.Add("changed", item, ta, ta == tb ? tb + kOtherBytes : tb);
        } else if (pa->at != pb->at)
            p.Add("moved", item, AlertText(*pa), AlertText(*pb));
        else
            continue;
        for (const AlertPlace* place : {&*pa, &*pb}) {
            p.Explain(place->entry, 4);
            p.Explain(place->at, static_cast<std::int64_t>(place->sequence.size()));
        }
    }
}

namespace {

std::string LanguageItem(const LanguageRow& r) {
    return "language " + Quoted(r.language) + " (ID " + r.id + ")";
}

void CompareTexts(Pair& p, const LanguageRow& ra, const LanguageRow& rb) {
    LanguageTexts ta, tb;
    const std::string ea = Attempt(p.a, [&] { ta = ReadLanguageTexts(p.a.ed, ra.id, ra.length); });
    const std::string eb = Attempt(p.b, [&] { tb = ReadLanguageTexts(p.b.ed, rb.id, rb.length); });
    const std::string item = LanguageItem(ra);
    if (!ea.empty() || !eb.empty()) {
        p.Add("unreadable", item, ea, eb);
        return;
    }
    if (ra.length != rb.length)
        p.Add("changed", item, "Length " + ra.length, "Length " + rb.length);
    const std::size_t n = std::max(ta.texts.size(), tb.texts.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::string text = item + " text " + std::to_string(i);
        if (i >= tb.texts.size())
            p.Add("removed", text, Quoted(ta.texts[i]));
        else if (i >= ta.texts.size())
            p.Add("added", text, {}, Quoted(tb.texts[i]));
        else if (ta.texts[i] != tb.texts[i])
            p.Add("changed", text, Quoted(ta.texts[i]), Quoted(tb.texts[i]));
    }
}

}  // namespace

void CompareLanguages(Pair& p) {
    if (SamePiece(p, Piece::TEXT)) return;
    Editor& a = p.a.ed;
    Editor& b = p.b.ed;
    if (!p.ReadBoth([](Side& s) { ReadLanguages(s.ed, s.ed.texts); })) return;
    const std::vector<LanguageRow> ra = a.texts.languages;
    const std::vector<LanguageRow> rb = b.texts.languages;
    std::vector<std::string> ka, kb;
    for (const auto& r : ra) ka.push_back(r.language + '/' + r.id);
    for (const auto& r : rb) kb.push_back(r.language + '/' + r.id);
    const std::vector<int> match = MatchByKey(ka, kb);
    std::vector<bool> matched(rb.size(), false);
    for (std::size_t i = 0; i < ra.size(); ++i) {
        if (match[i] < 0) {
            p.Add("removed", LanguageItem(ra[i]), "Length " + ra[i].length);
            continue;
        }
        matched[static_cast<std::size_t>(match[i])] = true;
        CompareTexts(p, ra[i], rb[static_cast<std::size_t>(match[i])]);
    }
    for (std::size_t j = 0; j < rb.size(); ++j)
        if (!matched[j]) p.Add("added", LanguageItem(rb[j]), {}, "Length " + rb[j].length);
}

namespace {

std::string CountryItem(const CountryRow& r) {
    return "country " + Quoted(r.country) + " " + r.code;
}

std::vector<OperatorItem> OperatorsOf(Side& s, int row, std::string* error) {
    std::vector<OperatorItem> ops;
    *error = Attempt(s, [&] { ops = ParseOperators(CountryRecord(s.ed, s.ed.texts, row, true)); });
    return ops;
}

void CompareOperatorLists(Pair& p, const CountryRow& country, int rowA, int rowB) {
    std::string ea, eb;
    const std::vector<OperatorItem> oa = OperatorsOf(p.a, rowA, &ea);
    const std::vector<OperatorItem> ob = OperatorsOf(p.b, rowB, &eb);
    if (!ea.empty() || !eb.empty()) {
        p.Add("unreadable", CountryItem(country), ea, eb);
        return;
    }
    std::vector<std::string> ka, kb;
    for (const auto& o : oa) ka.push_back(o.code);
    for (const auto& o : ob) kb.push_back(o.code);
    const std::vector<int> match = MatchByKey(ka, kb);
    std::vector<bool> matched(ob.size(), false);
    const std::string prefix = "operator " + country.code + "-";
    for (std::size_t i = 0; i < oa.size(); ++i) {
        if (match[i] < 0) {
            p.Add("removed", prefix + oa[i].code, Quoted(oa[i].name));
            continue;
        }
        const auto j = static_cast<std::size_t>(match[i]);
        matched[j] = true;
        Changed(p, prefix + oa[i].code, Quoted(oa[i].name), Quoted(ob[j].name));
    }
    for (std::size_t j = 0; j < ob.size(); ++j)
        if (!matched[j]) p.Add("added", prefix + ob[j].code, {}, Quoted(ob[j].name));
}

}  // namespace

void CompareOperators(Pair& p) {
    if (SamePiece(p, Piece::PLMN)) return;
    Editor& a = p.a.ed;
    Editor& b = p.b.ed;
    if (!p.ReadBoth([](Side& s) { GetOperators(s.ed, s.ed.texts); })) return;
    const std::vector<CountryRow> ra = a.texts.countries;
    const std::vector<CountryRow> rb = b.texts.countries;
    std::vector<std::string> ka, kb;
    for (const auto& r : ra) ka.push_back(r.code);
    for (const auto& r : rb) kb.push_back(r.code);
    const std::vector<int> match = MatchByKey(ka, kb);
    std::vector<bool> matched(rb.size(), false);
    for (std::size_t i = 0; i < ra.size(); ++i) {
        if (match[i] < 0) {
            p.Add("removed", CountryItem(ra[i]), "Operators " + ra[i].operators);
            continue;
        }
        const auto j = static_cast<std::size_t>(match[i]);
        matched[j] = true;
        Changed(p, CountryItem(ra[i]), Quoted(ra[i].country), Quoted(rb[j].country));
        CompareOperatorLists(p, ra[i], static_cast<int>(i), static_cast<int>(j));
    }
    for (std::size_t j = 0; j < rb.size(); ++j)
        if (!matched[j]) p.Add("added", CountryItem(rb[j]), {}, "Operators " + rb[j].operators);
}

}  // namespace brivant::diff

#include "tones/AlertTones.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/McuSpace.h"
#include "image/PhoneTypes.h"
#include "image/Session.h"
#include "ppm/FreeSpace.h"
#include "ppm/PpmCopy.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneCatalog.h"
#include "tones/ToneState.h"

namespace brivant {

namespace {
constexpr const char* kAnchorHex = "06070B";
constexpr const char* kNoAlertRow = "The ringtone list has no row for this alert tone";

const AlertTable& TableOf(Session& ed) {
    const AlertTable* t = AlertTableFor(ed.PhoneType());
    if (!t) throw UserError(kNoAlertTable);
    return *t;
}

std::int64_t Find(const Bytes& b, std::int64_t from, const Bytes& what) {
    if (from < 0 || from > static_cast<std::int64_t>(b.size())) return -1;
    const auto hit = std::search(b.begin() + from, b.end(), what.begin(), what.end());
    return hit == b.end() ? -1 : hit - b.begin();
}

// The kind's table entry in an image: after the first 06 07 0B (searched from offset 1),
// the family's anchor word, plus the kind's offset.
std::int64_t EntryIn(const Bytes& image, const AlertTable& table, int kind) {
    const int offset = table.offsets.at(static_cast<std::size_t>(kind));
    if (offset < 0 || image.size() < 2) throw UserError(kNoAlertTable);
    const std::int64_t a = Find(image, 1, HexToBytes(kAnchorHex));
    if (a < 0) throw UserError(kNoAlertTable);
    const std::int64_t b = Find(image, a, HexToBytes(table.anchorWord));
    if (b < 0 || b + offset + 4 > static_cast<std::int64_t>(image.size()))
        throw UserError(kNoAlertTable);
    return b + offset;
}

// Where the tone an entry points at starts, and the offset of its closing 0B.
std::pair<std::int64_t, std::int64_t> ToneAt(const Bytes& image, std::int64_t entry) {
    const std::int64_t g = ToImageOffset(GetBE32(&image[static_cast<std::size_t>(entry)]));
    if (g < 0 || g >= static_cast<std::int64_t>(image.size()))
        throw UserError(HexBuffer::kInvalidSelStart);
    const std::int64_t h = Find(image, g, {0x0B});
    if (h < 0) throw UserError(HexBuffer::kInvalidSelEnd);
    return {g, h};
}

// A tone file as a tone record: its length field gives its size.
void CheckToneRecord(const Bytes& file, const std::string& path) {
    const auto m = static_cast<std::int64_t>(file.size());
    if (m < 8)
        throw UserError(Format(kNotAlertToneFile,
                               {ShownFileName(path), Format("it is %s bytes long, shorter than a "
                                                            "tone record's header (8 bytes)",
                                                            {std::to_string(m)})}));
    const std::int64_t length = GetBE32(&file[4]);
    if (length != m)
        throw UserError(
            Format(kNotAlertToneFile,
                   {ShownFileName(path), Format("its length field says %s bytes, the "
                                                "file has %s",
                                                {std::to_string(length), std::to_string(m)})}));
}

// The image as it would be after the change, read back by Retrieve's reader: the entry
// must lead to the new sequence and the reader must take it up to its own closing 0B.
void CheckReadBack(Session& ed, int kind, std::int32_t at, const Bytes& sequence,
                   const std::string& path) {
    Bytes image = ed.MainHex.Data();
    if (at < 0 || std::int64_t{at} + static_cast<std::int64_t>(sequence.size()) >
                      static_cast<std::int64_t>(image.size()))
        throw UserError(kNoMcuSpace);
    std::copy(sequence.begin(), sequence.end(), image.begin() + at);
    const AlertTable& table = TableOf(ed);
    const std::int64_t entry = EntryIn(ed.MainHex.Data(), table, kind);
    PutBE32(&image[static_cast<std::size_t>(entry)], ToPhoneAddress(at));
    const auto last = std::find(sequence.rbegin(), sequence.rend(), 0x0B);
    const std::int64_t close = at + (sequence.rend() - last) - 1;
    std::int64_t again = -1;
    std::pair<std::int64_t, std::int64_t> tone{-1, -1};
    try {
        again = EntryIn(image, table, kind);
        tone = ToneAt(image, again);
    } catch (const UserError&) {
    }
    const char* kind_ = AlertKinds()[static_cast<std::size_t>(kind)].entry;
    if (again != entry || tone.first != at)
        throw UserError(Format(kAlertNotReadBack, {ShownFileName(path), kind_,
                                                   "the alert tone table would not lead "
                                                   "to it"}));
    if (tone.second != close)
        throw UserError(Format(kAlertNotReadBack,
                               {ShownFileName(path), kind_,
                                "its tone holds a 0B byte, where the tone would end when read "
                                "back"}));
}

}  // namespace

std::string BuildAlertSequence(int kind, const std::string& prefix, std::string body) {
    const AlertKindInfo& k = AlertKinds().at(static_cast<std::size_t>(kind));
    for (auto& c : body) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // Whole bytes 0A 0A go; a 0A0A made of two bytes' halves (10 A0 A1) is no such pair.
    std::string kept;
    kept.reserve(body.size());
    for (std::size_t i = 0; i < body.size(); i += 2) {
        if (body.compare(i, 4, "0A0A") == 0) {
            i += 2;
            continue;
        }
        kept.append(body, i, 2);
    }
    std::string x = prefix + kept + k.terminator;
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
    return static_cast<std::int32_t>(EntryIn(ed.MainHex.Data(), TableOf(ed), kind));
}

void AlertToneChange(Session& ed, ToneState& t, Interaction& ui, int kind) {
    const AlertKindInfo& k = AlertKinds().at(static_cast<std::size_t>(kind));
    const auto path = ui.askOpenFile(OpenDialog(kToneOpenTitle, kToneOpenFilter));
    if (!path) return;

    // The tone body runs from its 0A01 start up to the kind's end pattern.
    HexBuffer& s = ed.SubHex;
    s.LoadFile(*path);
    const Bytes file = s.Data();
    CheckToneRecord(file, *path);
    const std::int64_t start = Find(file, 0, HexToBytes("0A01"));
    if (start < 0)
        throw UserError(
            Format(kNotAlertToneFile, {ShownFileName(*path), "it holds no tone (0A01)"}));
    std::int64_t end = Find(file, start + 1, HexToBytes(k.endPattern));
    if (end < 0) end = Find(file, start + 1, HexToBytes("070B"));
    if (end < 0)
        throw UserError(Format(kNotAlertToneFile, {ShownFileName(*path),
                                                   "its tone has no end (070B) after its start"}));
    const std::string body = BytesToHex(file.data() + start, static_cast<std::size_t>(end - start));

    std::string prefix;
    if (k.fixedPrefix) {
        prefix = k.fixedPrefix;
    } else {
        // Cancel, Escape and the close box give up the change: nothing is written.
        if (!ui.askDialog(t.Options) || !t.Options.HasPrefix()) return;
        prefix = t.Options.Prefix();
    }
    const Bytes sequence = HexToBytes(BuildAlertSequence(kind, prefix, body));

    // Everything is checked before the first byte is written: the table entry must exist
    // and the sequence must fit into the free space that is left.
    const std::int32_t entry = LocateAlertEntry(ed, kind);
    if (!McuFits(ed, McuFootprint(sequence))) {
        ui.error(kNoMcuSpace);
        return;
    }

    CheckReadBack(ed, kind, ed.FreeOffset, sequence, *path);
    const std::int32_t o = WriteAtFreeOffset(ed, sequence);
    // The entry holds the sequence's phone address.
    Bytes pointer(4);
    PutBE32(pointer.data(), ToPhoneAddress(o));
    ed.MainHex.WriteAt(entry, pointer);
    GetFreespace(ed);
}

namespace {
std::string StoredAlertBody(const Bytes& image, std::int64_t at, std::int64_t h, int kind) {
    // The stored prefix's first word and the closing 0B are not part of the tone.
    if (h <= at + 4) return "";
    const std::string raw = BytesToHex(image.data() + at + 4, static_cast<std::size_t>(h - at - 4));
    // Nor is the ending the writer puts before that 0B (the terminator, or in a sequence of
    // whole words the tail that takes its place): taken off where a Change of the tone
    // writes the stored bytes again, so that exporting and loading back is exact.
    const AlertKindInfo& k = AlertKinds().at(static_cast<std::size_t>(kind));
    const std::string terminator = k.terminator;
    const std::string whole =
        terminator.substr(0, terminator.size() - static_cast<std::size_t>(k.dropDigits)) + k.tail;
    // A Change takes the tone from its first 0A01 and the prefix from the options.
    const std::int64_t toneStart = Find(image, at + 4, HexToBytes("0A01"));
    if (toneStart < at + 4 || toneStart >= h) return raw;
    const std::string prefix =
        BytesToHex(image.data() + at, static_cast<std::size_t>(toneStart - at));
    const std::string tone =
        BytesToHex(image.data() + toneStart, static_cast<std::size_t>(h - toneStart));
    for (const std::string& ending :
         {whole.substr(0, whole.find("0B")), terminator.substr(0, terminator.size() - 2)}) {
        if (ending.empty() || !raw.ends_with(ending) || !tone.ends_with(ending)) continue;
        const std::string again =
            BuildAlertSequence(kind, prefix, tone.substr(0, tone.size() - ending.size()));
        const std::size_t n = again.size() / 2;
        if (static_cast<std::int64_t>(at + n) <= static_cast<std::int64_t>(image.size()) &&
            again == BytesToHex(image.data() + at, n))
            return raw.substr(0, raw.size() - ending.size());
    }
    return raw;
}
}  // namespace

void AlertToneRetrieve(Session& ed, Interaction& ui, int kind) {
    const Bytes& image = ed.MainHex.Data();
    const auto [at, h] = ToneAt(image, LocateAlertEntry(ed, kind));
    const std::string record = BuildAlertRecord(kind, StoredAlertBody(image, at, h, kind));

    const auto path = AskExportFile(ed, ui, SaveDialog(kToneSaveTitle, kToneSaveFilter, "re"));
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

#include "tones/ToneCatalog.h"

#include <algorithm>

#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"
#include "image/PpmPieces.h"
#include "image/Session.h"
#include "tones/ToneState.h"

namespace brivant {

namespace {
constexpr std::uint8_t kDataMark[] = {0x00, 0x00, 0x02};

// The bytes p .. p+n-1 of `b`; the buffer's own error when they are not all there.
Bytes Take(const Bytes& b, std::int64_t p, std::int64_t n) {
    const auto size = static_cast<std::int64_t>(b.size());
    if (p < 0 || p > size) throw UserError(HexBuffer::kInvalidSelStart);
    if (n < 0 || n > size - p) throw UserError(HexBuffer::kInvalidSelEnd);
    return Bytes(b.begin() + p, b.begin() + p + n);
}

std::int64_t MinimumRecord(bool layout62xx) {
    // The reader looks at byte 16 (common) or 17 (62XX/7110) of every record.
    return layout62xx ? 18 : 17;
}

// Faults of one record read on its own, without a word on which file it came from.
std::string RecordFault(const Bytes& file, bool wide) {
    const auto m = static_cast<std::int64_t>(file.size());
    if (m < 8)
        return Format("it is %s bytes long, shorter than a ringtone record's header (8 bytes)",
                      {std::to_string(m)});
    const std::int64_t length = GetBE32(&file[4]);
    if (length != m)
        return Format("its length field says %s bytes, the file has %s",
                      {std::to_string(length), std::to_string(m)});
    if (m < MinimumRecord(wide))
        return Format("it is %s bytes long, too short for a ringtone record (%s bytes at least)",
                      {std::to_string(m), std::to_string(MinimumRecord(wide))});
    Bytes withTrailer = file;
    const Bytes trailer = HexToBytes(kTrailerHex);
    withTrailer.insert(withTrailer.end(), trailer.begin(), trailer.end());
    ToneRecordRead read;
    try {
        read = ReadToneRecordAt(withTrailer, 0, wide);
    } catch (const UserError&) {
        return kNamePastFile;
    }
    // A name that ends at the tone data's 00 00 02 inside the record reads the same wherever
    // the record lies, also when that is past the characters its length byte gives: the list
    // shows such records, so they must load back.
    if (read.nameEnd > m) return kNamePastRecord;
    return {};
}
}  // namespace

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

ToneRecordRead ReadToneRecordAt(const Bytes& b, std::int64_t p, bool layout62xx) {
    ToneRecordRead r;
    const Bytes head = Take(b, p, 8);
    r.row.id = BytesToHex(head.data(), 4);
    r.row.length = BytesToHex(head.data() + 4, 4);

    const std::int64_t n = Take(b, layout62xx ? p + 17 : p + 16, 1)[0];
    r.nameLength = static_cast<std::uint32_t>(n);
    if (n <= 1) {
        const Bytes tag = Take(b, p + 8, 4);
        r.row.name.assign(tag.begin(), tag.end());
        r.nameEnd = p + 12;
        return r;
    }
    if (layout62xx) {
        // Two bytes per character, high byte first; the high bytes in use are zero.
        const Bytes wide = Take(b, p + 18, 2 * (n - 1));
        r.row.name = DecodeName(RemoveAll(BytesToHex(wide), "00"));
        r.nameEnd = p + 18 + 2 * (n - 1);
        return r;
    }
    // The name ends where the tone data's 00 00 02 begins. The search starts at the first
    // name byte: started on the header it would find the record's own bytes 14-16 whenever
    // bytes 12-15 are zero and the name has two characters, and the name would vanish.
    const std::int64_t from = p + 17;
    if (from > static_cast<std::int64_t>(b.size())) throw UserError(HexBuffer::kInvalidSelStart);
    const auto hit =
        std::search(b.begin() + from, b.end(), std::begin(kDataMark), std::end(kDataMark));
    const std::int64_t f = hit == b.end() ? -1 : hit - b.begin();
    const std::int64_t count = f >= 0 ? f - from : n;
    r.row.name = DecodeName(BytesToHex(Take(b, from, count)));
    r.nameEnd = from + count;
    return r;
}

RingtoneRow ReadToneRecord(Session& ed, std::int32_t p, bool layout62xx) {
    return ReadToneRecordAt(ed.SubHex.Data(), p, layout62xx).row;
}

ToneWalk WalkTones(const Bytes& piece, bool layout62xx) {
    ToneWalk w;
    const auto size = static_cast<std::int64_t>(piece.size());
    const std::int64_t end = size - kTrailerSize;
    if (end < kFirstRecord) {
        w.fault = Format(kToneChunkTooShort, {std::to_string(size)});
        return w;
    }
    // Offsets and lengths stay 64-bit: a stored length near 2^31 must not wrap the walk.
    std::int64_t p = kFirstRecord;
    while (p < end) {
        const std::int64_t left = end - p;
        if (left < 8) {
            w.fault = Format(kToneLengthPast, {std::to_string(p), "8", std::to_string(left)});
            return w;
        }
        const std::uint32_t stored = GetBE32(&piece[static_cast<std::size_t>(p) + 4]);
        const auto length = static_cast<std::int64_t>(static_cast<std::int32_t>(stored));
        if (length <= 0) {
            w.fault = Format(kToneLengthBad, {std::to_string(p), std::to_string(length)});
            return w;
        }
        if (length > left) {
            w.fault = Format(kToneLengthPast,
                             {std::to_string(p), std::to_string(length), std::to_string(left)});
            return w;
        }
        try {
            RingtoneRow row = ReadToneRecordAt(piece, p, layout62xx).row;
            row.offset = static_cast<std::int32_t>(p);
            row.size = static_cast<std::int32_t>(length);
            w.rows.push_back(std::move(row));
        } catch (const UserError& e) {
            w.fault = e.what();
            return w;
        }
        p += length;
    }
    return w;
}

bool NameRunsOn(const Bytes& record) {
    Bytes withTrailer = record;
    const Bytes trailer = HexToBytes(kTrailerHex);
    withTrailer.insert(withTrailer.end(), trailer.begin(), trailer.end());
    try {
        const ToneRecordRead read = ReadToneRecordAt(withTrailer, 0, false);
        return read.nameLength >= 2 && read.nameEnd - 17 > read.nameLength;
    } catch (const UserError&) {
        return false;
    }
}

std::string ToneFileFault(const Bytes& file, bool layout62xx) {
    return RecordFault(file, layout62xx);
}

std::string ToneChunkFault(const Bytes& chunk, bool layout62xx) {
    ToneWalk w = WalkTones(chunk, layout62xx);
    if (!w.fault.empty()) return w.fault;
    // Records of the other layout walk just as well; their names give them away: none of
    // them reads whole in this layout, while all of them do in the other.
    bool thisFails = false;
    bool otherFails = false;
    for (const RingtoneRow& r : w.rows) {
        const Bytes record(chunk.begin() + r.offset, chunk.begin() + r.offset + r.size);
        // Names of 62XX/7110 records read in the common layout run on into their data.
        const auto misread = [&](bool wide) {
            return !RecordFault(record, wide).empty() || (!wide && NameRunsOn(record));
        };
        thisFails = thisFails || misread(layout62xx);
        otherFails = otherFails || misread(!layout62xx);
    }
    if (thisFails && !otherFails && !w.rows.empty())
        return layout62xx ? "its ringtones have the common layout, not the one of 62XX/7110"
                          : "its ringtones have the 62XX/7110 layout, which this phone type "
                            "does not read";
    return {};
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
    ToneWalk w = WalkTones(ed.SubHex.Data(), ed.Is62xx());
    t.ringtones = std::move(w.rows);
    // Told, not thrown: the list is read while an image is being opened, and the rest of
    // that flow must still run.
    if (!w.fault.empty()) {
        ui.error(w.fault);
        return;
    }
    t.ringtoneCount = RingtoneCountText(t.ringtones.size());
}

std::int32_t FindRecord(Session& ed, const RingtoneRow& row) {
    HexBuffer& s = ed.SubHex;
    if (row.offset < 0) {
        s.SetSelectionStart(1);
        FindOffSet2(ed, row.id + row.length);
        if (ed.FoundOffset < 0) throw UserError(HexBuffer::kInvalidSelStart);
        return ed.FoundOffset;
    }
    const std::int64_t end = std::int64_t{row.offset} + row.size;
    if (row.offset >= s.Size() || row.size < 8 || end > std::int64_t{s.Size()} - kTrailerSize)
        throw UserError(Format(kToneRecordMoved, {PrintableText(row.name)}));
    s.SetSelectionStart(row.offset);
    FindOffSet2(ed, row.id + row.length);
    if (ed.FoundOffset != row.offset)
        throw UserError(Format(kToneRecordMoved, {PrintableText(row.name)}));
    return row.offset;
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

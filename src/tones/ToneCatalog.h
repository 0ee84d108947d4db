#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/HexText.h"
#include "tones/ToneRows.h"

namespace brivant {

struct Session;
struct ToneState;
class HexBuffer;
class Interaction;

inline constexpr const char* kRingtoneCountPrefix = "Ringtones Count: ";
inline constexpr std::int32_t kFirstRecord = 20;  // tone records follow the chunk header
inline constexpr std::int32_t kTrailerSize = 16;

inline constexpr const char* kToneChunkTooShort =
    "The TONE chunk is %s bytes long, too short for its header and end marker";
inline constexpr const char* kToneLengthBad =
    "The ringtone record at offset %s of the TONE chunk gives its length as %s bytes; the "
    "list ends before it";
inline constexpr const char* kToneLengthPast =
    "The ringtone record at offset %s of the TONE chunk claims %s bytes, but only %s bytes "
    "are left before the chunk's end marker; the list ends before it";
inline constexpr const char* kToneRecordMoved =
    "The ringtone \"%s\" is no longer where the list found it; nothing was changed";

std::string RingtoneCountText(std::size_t rows);

// Hex text with every "00" removed, left to right without overlap, at any digit position.
std::string RemoveAll(std::string text, std::string_view what);
// Two digits per character; a trailing odd digit is ignored.
std::string DecodeName(std::string_view hex);

// What the list reader takes from the record at `p` of a TONE piece (or of a tone file
// followed by the chunk's end marker).
struct ToneRecordRead {
    RingtoneRow row;
    std::uint32_t nameLength = 0;  // the name length byte
    std::int64_t nameEnd = 0;      // one past the last name byte taken; p + 12 for a tag
};
// Reads past the end of `b` fail as the buffer does ("Invalid selection end").
ToneRecordRead ReadToneRecordAt(const Bytes& b, std::int64_t p, bool layout62xx);

// The record at `p` of the scratch buffer: ID and Length texts as stored, and the name as
// the list shows it, in the layout of the chosen phone type.
RingtoneRow ReadToneRecord(Session& ed, std::int32_t p, bool layout62xx);

// The records of a TONE piece from offset 20 to its end marker, each row bound to its
// record. A length that does not lead on to the end marker stops the walk: `fault` then
// tells why, and the rows before that record stay.
struct ToneWalk {
    std::vector<RingtoneRow> rows;
    std::string fault;
};
ToneWalk WalkTones(const Bytes& piece, bool layout62xx);

// A record whose name the list finds only beyond its end (in the chunk, the next record).
inline constexpr const char* kNamePastFile = "its name runs past the end of the file";
inline constexpr const char* kNamePastRecord = "its name runs past the end of the record";

// Why a tone file (exactly one record) would not be read back whole in this layout; empty
// when the list reader takes it as it is: length field equal to the file's size, the
// fields the reader uses inside the record, the name no longer than its length byte says.
std::string ToneFileFault(const Bytes& file, bool layout62xx);

// Why a whole TONE chunk would not be listed whole in this layout; empty when it would.
std::string ToneChunkFault(const Bytes& chunk, bool layout62xx);

// Show Ringtones: the Tones list and its count label rebuilt from the TONE piece. A walk
// that stops early keeps the rows before the fault and the old count, and tells why.
void ShowRingtones(Session& ed, ToneState& t, Interaction& ui);

// A new image: the list is empty until a phone type is chosen.
void OpenedTones(ToneState& t);
// A phone type was chosen: 62XX/7110 takes no new ringtones; the list is read.
void TonesTypeChosen(Session& ed, ToneState& t, Interaction& ui);

// The record of a row in the TONE piece held by SubHex: its ID + Length key searched from
// where the row says the record lies, which must be found right there. A row that knows no
// place searches from offset 1 and takes the first match. Throws when the record is gone.
std::int32_t FindRecord(Session& ed, const RingtoneRow& row);

}  // namespace brivant
